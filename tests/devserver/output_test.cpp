// Printing through the real broker component: "VRNX REPORT" and "ZORADOD TUL POTTUTK" store a
// document, "VRNX OUTCR" pages it in as the client's print component reads it, and server
// printers get it in their spool files.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/devserver/broker_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Lines;
using vorn::test::FileText;

std::string SpecimenName(int i) {
    const std::string n = std::to_string(i);
    return "SPECIMEN " + std::string(4 - n.size(), '0') + n;
}

class Output : public test::BrokerTest {
  protected:
    // Pages the whole document in: each reply's "position^more" line, and the lines.
    std::pair<Lines, Lines> ReadAll(const std::string& handle) {
        Lines positions, lines;
        for (int guard = 0; guard < 1000; ++guard) {
            const Lines reply = CallLiteral(Demo(), "VRNX OUTCR", handle);
            EXPECT_TRUE(reply.size() >= 3 && reply[0] == "[Misc]" && reply[2] == "[Data]");
            if (reply.size() < 3 || reply[0] != "[Misc]") break;
            EXPECT_LE(reply.size() - 3, 200u);
            positions.push_back(reply[1]);
            lines.insert(lines.end(), reply.begin() + 3, reply.end());
            if (test::Pieces(reply[1]).at(1) != "1") break;
        }
        return {positions, lines};
    }
    std::string Handle(const Lines& reply, const std::string& marker = "[Data]") {
        EXPECT_EQ(reply.size(), 2u);
        EXPECT_EQ(reply.at(0), marker) << reply.at(1);
        return reply.at(1);
    }
    Lines Report(const Entries& e) { return ReadAll(Handle(Call("VRNX REPORT", e))).second; }
};

class Specimens : public Output {
  protected:
    void SetUp() override {
        StartServer([](GlobalStore& store, const Dictionary& dict) {
            for (int i = 1; i <= 2000; ++i)
                AddRecord(store, dict, "80004", std::to_string(100 + i), {{"0", SpecimenName(i)}});
        });
    }
};

TEST_F(Specimens, AThreePageDocumentArrivesInOrder) {
    const std::string handle = Handle(Call(
        "VRNX REPORT",
        {{"FILE", "80004"}, {"FROM", "SPECIMEN 0001"}, {"TO", "SPECIMEN 0410"}, {"DHD", "@"}}));
    const auto [positions, lines] = ReadAll(handle);
    // 410 records on pages of 60 without heading: 6 form feeds between 7 pages.
    EXPECT_EQ(positions, (Lines{"200^1", "400^1", "416^0"}));
    Lines expected;
    for (int i = 1; i <= 410; ++i) {
        if (i % 60 == 1 && i > 1) expected.push_back("\f");
        expected.push_back(SpecimenName(i));
    }
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(CallLiteral(Demo(), "VRNX OUTCR", handle), (Lines{"[Misc]", "416^0", "[Data]"}));
}

TEST_F(Specimens, ATwoThousandLineReportPagesWholeInBatchesOf200) {
    const std::string handle = Handle(
        Call("VRNX REPORT",
             {{"FILE", "80004"}, {"FIELDS", ".001;.01;"}, {"IOP", "CLIENT WORKSTATION;;68"}}));
    const auto [positions, lines] = ReadAll(handle);
    // 2010 records under a heading of three lines, 57 a page: 36 pages, 35 form feeds.
    const std::size_t total = 2010 + 36 * 3 + 35;
    ASSERT_EQ(lines.size(), total);
    for (std::size_t i = 0; i < positions.size(); ++i)
        EXPECT_EQ(positions[i], std::to_string(std::min(total, 200 * (i + 1))) +
                                    (i + 1 < positions.size() ? "^1" : "^0"));
    Lines records;
    std::size_t page = 0;
    for (auto start = lines.begin(), end = start; start < lines.end(); start = end + 1) {
        end = std::find(start, lines.end(), "\f");
        EXPECT_LE(end - start, 60);
        const std::string right = "DEC 6, 2026  PAGE " + std::to_string(++page);
        EXPECT_EQ(start[0], "DEMO SPECIMEN" + std::string(67 - right.size(), ' ') + right);
        EXPECT_EQ(start[1], "NUMBER  NAME");
        EXPECT_EQ(start[2], std::string(80, '-'));
        records.insert(records.end(), start + 3, end);
    }
    for (int i = 1; i <= 2000; ++i) {
        const std::string n = std::to_string(100 + i);
        EXPECT_EQ(records.at(9 + i), n + std::string(8 - n.size(), ' ') + SpecimenName(i));
    }
}

using Printing = Output;

TEST_F(Printing, ADocumentBelongsToItsSessionAndGoesWithIt) {
    StartServer();
    TRPCBroker& mine = Demo();
    TRPCBroker& other = Broker(test::kDemoCodes, test::kSecondHost);
    const std::string handle = Handle(CallList(other, "VRNX REPORT", {{"FILE", "80002"}}));
    for (const std::string& h : {handle, std::string("0123456789abcdef0123456789abcdef")})
        EXPECT_EQ(CallLiteral(mine, "VRNX OUTCR", h), (Lines{"[Errors]", "Document not found."}));
    EXPECT_EQ(server->context().documents.Size(), 1u);
    other.SetConnected(false);
    for (int i = 0; i < 300 && server->context().documents.Size() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(server->context().documents.Size(), 0u);
}

TEST_F(Printing, AServerPrinterGetsWholeDocumentsInItsSpoolFile) {
    StartServer();
    const Entries report{{"FILE", "80002"}, {"FIELDS", ".01;2;"}, {"IOP", "LASER PRINTER 1;;68"}};
    std::string text;
    for (const std::string& line : ReadAll(Handle(Call("VRNX REPORT", report))).second)
        text += line + "\n";
    Call("VRNX REPORT", report);
    EXPECT_EQ(FileText(folder.Path("spool/2-LASER_PRINTER_1.prn")), text + "\f\n" + text);
}

TEST_F(Printing, AnUnwritableSpoolFolderPrintsNothing) {
    std::ofstream(folder.Path("spool")) << "a file where the folder should be";
    StartServer();
    EXPECT_EQ(
        Call("ZORADOD TUL POTTUTK", {{"POT", "16"}, {"IOP", "OFFICE PRINTER"}}),
        (Lines{"[Error]", "Cannot print on OFFICE PRINTER: the spool folder " +
                              folder.Path("spool") + " cannot be written (Not a directory)."}));
    EXPECT_EQ(server->context().documents.Size(), 0u);
    EXPECT_EQ(FileText(folder.Path("spool")), "a file where the folder should be");
}

TEST_F(Printing, APatientsLabResultsByDate) {
    StartServer();
    const Lines reply = Call("ZORADOD TUL POTTUTK", {{"POT", "55"}, {"IOP", "CLIENT WORKSTATION"}});
    const Lines lines = ReadAll(Handle(reply, "[Misc]")).second;
    EXPECT_EQ(lines.at(0).substr(0, 50), "LAB RESULTS: KARJALAINEN,MERJA (CARDIOLOGY CLINIC)");
    EXPECT_EQ(lines.at(3), "SEP 12, 2023  ALT         Alanine aminotransferase        36.6");
    const auto ecg = std::find(lines.begin(), lines.end(),
                               "OCT 2, 2025   ECG         Electrocardiogram               "
                               "See the multiline result");
    ASSERT_LE(ecg + 3, lines.end());
    EXPECT_EQ(ecg[1], std::string(14, ' ') + "No abnormal findings.");
    EXPECT_EQ(ecg[2], std::string(14, ' ') + "Checked by the laboratory.");
}

// Lines of a template's document that must appear, in this order.
struct TemplateCase {
    std::string name;
    Entries request;
    Lines expected;
};

class Templates : public Output, public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(Templates, PrintTheKnownDemoRecords) {
    StartServer();
    const Lines lines = Report(GetParam().request);
    auto at = lines.begin();
    for (const std::string& line : GetParam().expected) {
        at = std::find(at, lines.end(), line);
        ASSERT_NE(at, lines.end()) << "missing, or out of order: \"" << line << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Demo, Templates,
    ::testing::Values(
        TemplateCase{"Captioned",
                     {{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}, {"BY", "NUMBER=35"}},
                     {"NUMBER: 35", "ABBREVIATION: U-STIX", "DATE OF INTRODUCTION: OCT 17, 1987",
                      "SUBRESULT: GLUCOSE", "  TYPE: SET OF CODES", "  SUBRESULT CODE: +++",
                      "    MEANING: Much raised", "SUBRESULT: PH", "DESCRIPTION:",
                      "  Results are reported the same day.", "YEARS OF USAGE: 39"}},
        TemplateCase{"LabTestSheet",
                     {{"FILE", "80001"}, {"FIELDS", "<PERUSTULOSTUS>;"}, {"FROM", "HIV-AB"}},
                     {"HIV-AB      HIV antibodies", "  RESULT FORMAT: SET OF CODES",
                      "  RESULT CODE: NEG         No antibodies found",
                      "U-STIX      Urine dipstick test", "  SUBRESULT: GLUCOSE (SET OF CODES)",
                      "    +++         Much raised", "  SUBRESULT: PH (FREE TEXT OR NUMBER)"}},
        TemplateCase{"WardLabTests",
                     {{"FILE", "80002"},
                      {"FIELDS", "<VORNYKSTUTK>;"},
                      {"FROM", "MEDICAL WARD 1"},
                      {"TO", "MEDICAL WARD 1"},
                      {"DHD", "Lab tests of wards"}},
                     {"Lab tests of wards" + std::string(43, ' ') + "DEC 6, 2026  PAGE 1",
                      "MEDICAL WARD 1  (M1, WARD)",
                      "  ALP         Alkaline phosphatase" + std::string(22, ' ') + "ALWAYS",
                      "  CHOL        Cholesterol" + std::string(31, ' ') + "OFFICE HOURS ONLY"}}),
    [](const auto& info) { return info.param.name; });

// A refused request: the reason, under "[Error]" for the demo's own procedure.
struct ErrorCase {
    std::string procedure;
    Entries request;
    std::string reason;
};

class Refused : public Output, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(Refused, WithTheReasonAndNothingStored) {
    StartServer();
    const std::string marker = GetParam().procedure == "VRNX REPORT" ? "[Errors]" : "[Error]";
    EXPECT_EQ(Call(GetParam().procedure, GetParam().request), (Lines{marker, GetParam().reason}));
    EXPECT_EQ(server->context().documents.Size(), 0u);
}

const char* const kReport = "VRNX REPORT";
const char* const kPatient = "ZORADOD TUL POTTUTK";

INSTANTIATE_TEST_SUITE_P(
    Demo, Refused,
    ::testing::Values(
        ErrorCase{
            kReport,
            {{"FILE", "80002"}, {"FROM", "SURGICAL"}, {"TO", "CARDIOLOGY"}},
            "The range starts after its end: FROM \"SURGICAL\" comes after TO \"CARDIOLOGY\"."},
        ErrorCase{kReport,
                  {{"FILE", "80001"}, {"FIELDS", "<TULOSTE>;"}},
                  "Print template \"<TULOSTE>\" does not exist."},
        ErrorCase{kReport,
                  {{"FILE", "80002"}, {"FIELDS", "<PERUSTULOSTUS>;"}},
                  "Print template \"<PERUSTULOSTUS>\" prints file 80001 (DEMO LAB TEST), not "
                  "80002 (DEMO WARD/CLINIC)."},
        ErrorCase{kReport,
                  {{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}, {"BY", "NUMBER="}},
                  "BY \"NUMBER=\" names no record."},
        ErrorCase{kReport,
                  {{"FILE", "80001"}, {"FIELDS", ".01;100;"}},
                  "Field DESCRIPTION (100) does not fit on one line: print it with "
                  "\"<CAPTIONED>\"."},
        ErrorCase{kReport,
                  {{"FILE", "80002"}, {"IOP", "OLD PRINTER"}},
                  "Device \"OLD PRINTER\" is out of service."},
        ErrorCase{kReport,
                  {{"FILE", "80002"}, {"IOP", "WARD TERMINAL;;68"}},
                  "Device \"WARD TERMINAL\" is not a printer."},
        ErrorCase{kPatient,
                  {{"POT", "16"}, {"IOP", "NO PRINTER"}},
                  "Device \"NO PRINTER\" does not exist."},
        ErrorCase{kPatient, {{"POT", "999"}}, "Patient 999 does not exist."},
        ErrorCase{kPatient, {{"IOP", "CLIENT WORKSTATION"}}, "No patient was given (POT)."}));

}  // namespace
}  // namespace vorn::devserver
