// Printing through the real broker component: "VRNX REPORT" and "ZORADOD TUL POTTUTK" store a
// document, "VRNX OUTCR" pages it in as the client's print component reads it, and server
// printers get it in their spool files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "tests/devserver/broker_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Errors;
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

using Specimens = Output;

TEST_F(Specimens, AThreePageDocumentArrivesInOrderAndATwoThousandLineReportPagesWhole) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        for (int i = 1; i <= 2000; ++i)
            AddRecord(store, dict, "80004", std::to_string(100 + i), {{"0", SpecimenName(i)}});
    });
    const std::string handle = Handle(Call(
        "VRNX REPORT",
        {{"FILE", "80004"}, {"FROM", "SPECIMEN 0001"}, {"TO", "SPECIMEN 0410"}, {"DHD", "@"}}));
    auto [positions, lines] = ReadAll(handle);
    // 410 records on pages of 60 without heading: 6 form feeds between 7 pages.
    EXPECT_EQ(positions, (Lines{"200^1", "400^1", "416^0"}));
    Lines expected;
    for (int i = 1; i <= 410; ++i) {
        if (i % 60 == 1 && i > 1) expected.push_back("\f");
        expected.push_back(SpecimenName(i));
    }
    EXPECT_EQ(lines, expected);
    // Read to its end, it is gone.
    EXPECT_EQ(CallLiteral(Demo(), "VRNX OUTCR", handle), Errors("Document not found."));
    EXPECT_EQ(server->context().documents.Size(), 0u);
    std::tie(positions, lines) = ReadAll(Handle(
        Call("VRNX REPORT",
             {{"FILE", "80004"}, {"FIELDS", ".001;.01;"}, {"IOP", "CLIENT WORKSTATION;;68"}})));
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

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

using Printing = Output;

TEST_F(Printing, ADocumentBelongsToItsSessionAndAServerPrinterGetsItInASpoolFile) {
    StartServer();
    TRPCBroker& mine = Demo();
    TRPCBroker& other = Broker(test::kDemoCodes, test::kSecondHost);
    const std::string handle = Handle(CallList(other, "VRNX REPORT", {{"FILE", "80002"}}));
    for (const std::string& h : {handle, std::string("0123456789abcdef0123456789abcdef")})
        EXPECT_EQ(CallLiteral(mine, "VRNX OUTCR", h), Errors("Document not found."));
    EXPECT_EQ(server->context().documents.Size(), 1u);
    other.SetConnected(false);
    EXPECT_TRUE(test::Soon([&] { return server->context().documents.Size() == 0; }));
    // A server printer gets whole documents in its spool file.
    const Entries report{{"FILE", "80002"}, {"FIELDS", ".01;2;"}, {"IOP", "LASER PRINTER 1;;68"}};
    std::string text;
    for (const std::string& line : ReadAll(Handle(Call("VRNX REPORT", report))).second)
        text += line + "\n";
    Call("VRNX REPORT", report);
    EXPECT_EQ(FileText(folder.Path("spool/2-LASER_PRINTER_1.prn")), text + "\f\n" + text);
    // The spool is the server's user's only.
    EXPECT_EQ(ModeOf(folder.Path("spool")), 0700u);
    EXPECT_EQ(ModeOf(folder.Path("spool/2-LASER_PRINTER_1.prn")), 0600u);
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

TEST_F(Printing, TemplatesAndLabResultsPrintTheKnownDemoRecordsAndRefusedRequestsStoreNothing) {
    StartServer();
    // Lines of each template's document that must appear, in this order.
    // clang-format off
    const std::vector<std::tuple<std::string, Entries, Lines>> templates = {
        {"Captioned", {{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}, {"BY", "NUMBER=35"}},
         {"NUMBER: 35", "ABBREVIATION: U-STIX", "DATE OF INTRODUCTION: OCT 17, 1987",
          "SUBRESULT: GLUCOSE", "  TYPE: SET OF CODES", "  SUBRESULT CODE: +++", "    MEANING: Much raised",
          "SUBRESULT: PH", "DESCRIPTION:", "  Results are reported the same day.", "YEARS OF USAGE: 39"}},
        {"LabTestSheet", {{"FILE", "80001"}, {"FIELDS", "<PERUSTULOSTUS>;"}, {"FROM", "HIV-AB"}},
         {"HIV-AB      HIV antibodies", "  RESULT FORMAT: SET OF CODES",
          "  RESULT CODE: NEG         No antibodies found", "U-STIX      Urine dipstick test",
          "  SUBRESULT: GLUCOSE (SET OF CODES)", "    +++         Much raised",
          "  SUBRESULT: PH (FREE TEXT OR NUMBER)"}},
        {"WardLabTests",
         {{"FILE", "80002"}, {"FIELDS", "<VORNYKSTUTK>;"}, {"FROM", "MEDICAL WARD 1"},
          {"TO", "MEDICAL WARD 1"}, {"DHD", "Lab tests of wards"}},
         {"Lab tests of wards" + std::string(43, ' ') + "DEC 6, 2026  PAGE 1", "MEDICAL WARD 1  (M1, WARD)",
          "  ALP         Alkaline phosphatase" + std::string(22, ' ') + "ALWAYS",
          "  CHOL        Cholesterol" + std::string(31, ' ') + "OFFICE HOURS ONLY"}}};
    // clang-format on
    for (const auto& [name, request, expected] : templates) {
        SCOPED_TRACE(name);
        const Lines lines = Report(request);
        auto at = lines.begin();
        for (const std::string& line : expected) {
            at = std::find(at, lines.end(), line);
            EXPECT_NE(at, lines.end()) << "missing, or out of order: \"" << line << "\"";
            if (at == lines.end()) break;
        }
    }
    // A refused request: the reason, under "[Error]" for the demo's own procedure, and nothing
    // stored.
    const std::string report = "VRNX REPORT", patient = "ZORADOD TUL POTTUTK";
    // clang-format off
    const std::vector<std::tuple<std::string, Entries, std::string>> refused = {
        {report, {{"FILE", "80002"}, {"FROM", "SURGICAL"}, {"TO", "CARDIOLOGY"}},
         "The range starts after its end: FROM \"SURGICAL\" comes after TO \"CARDIOLOGY\"."},
        {report, {{"FILE", "80001"}, {"FIELDS", "<TULOSTE>;"}}, "Print template \"<TULOSTE>\" does not exist."},
        {report, {{"FILE", "80002"}, {"FIELDS", "<PERUSTULOSTUS>;"}},
         "Print template \"<PERUSTULOSTUS>\" prints file 80001 (DEMO LAB TEST), not 80002 (DEMO WARD/CLINIC)."},
        {report, {{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}, {"BY", "NUMBER="}}, "BY \"NUMBER=\" names no record."},
        {report, {{"FILE", "80001"}, {"FIELDS", ".01;100;"}},
         "Field DESCRIPTION (100) does not fit on one line: print it with \"<CAPTIONED>\"."},
        {report, {{"FILE", "80002"}, {"IOP", "OLD PRINTER"}}, "Device \"OLD PRINTER\" is out of service."},
        {report, {{"FILE", "80002"}, {"IOP", "WARD TERMINAL;;68"}}, "Device \"WARD TERMINAL\" is not a printer."},
        {patient, {{"POT", "16"}, {"IOP", "NO PRINTER"}}, "Device \"NO PRINTER\" does not exist."},
        {patient, {{"POT", "999"}}, "Patient 999 does not exist."},
        {patient, {{"IOP", "CLIENT WORKSTATION"}}, "No patient was given (POT)."}};
    // clang-format on
    for (const auto& [procedure, request, reason] : refused) {
        EXPECT_EQ(Call(procedure, request),
                  (Lines{procedure == report ? "[Errors]" : "[Error]", reason}));
        EXPECT_EQ(server->context().documents.Size(), 0u) << reason;
    }
    // A patient's lab results by date.
    const Lines reply = Call(patient, {{"POT", "55"}, {"IOP", "CLIENT WORKSTATION"}});
    const Lines results = ReadAll(Handle(reply, "[Misc]")).second;
    EXPECT_EQ(results.at(0).substr(0, 50), "LAB RESULTS: KARJALAINEN,MERJA (CARDIOLOGY CLINIC)");
    EXPECT_EQ(results.at(3), "SEP 12, 2023  ALT         Alanine aminotransferase        36.6");
    const auto ecg = std::find(results.begin(), results.end(),
                               "OCT 2, 2025   ECG         Electrocardiogram               "
                               "See the multiline result");
    ASSERT_LE(ecg + 3, results.end());
    EXPECT_EQ(ecg[1], std::string(14, ' ') + "No abnormal findings.");
    EXPECT_EQ(ecg[2], std::string(14, ' ') + "Checked by the laboratory.");
}

using Budgets = Output;

TEST_F(Budgets, AReportOverASessionsBudgetIsRefusedBeforeItIsWhole) {
    adjustOptions = [](ServerOptions& o) { o.documentBudget.perSession = 8 * 1024; };
    StartServer();
    const std::string tooLarge =
        "The document is too large to keep: it takes more than the 8 KiB of documents a "
        "session may keep. Ask for fewer records.";
    EXPECT_EQ(Call("VRNX REPORT", {{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}}),
              Errors(tooLarge));
    EXPECT_EQ(Call("VRNX REPORT", {{"FILE", "80005"}, {"FIELDS", ".01;2;3;4;"}}), Errors(tooLarge));
    EXPECT_EQ(server->context().documents.Size(), 0u);
    const Lines one = Report({{"FILE", "80001"}, {"FIELDS", "<CAPTIONED>;"}, {"BY", "NUMBER=35"}});
    EXPECT_NE(std::find(one.begin(), one.end(), "NUMBER: 35"), one.end());
}

using Spool = Output;

TEST_F(Spool, AFileLeftReadableByAnOlderServerIsClosed) {
    std::filesystem::create_directories(folder.Path("spool"));
    std::ofstream(folder.Path("spool/3-OFFICE_PRINTER.prn")) << "earlier\n";
    std::filesystem::permissions(folder.Path("spool/3-OFFICE_PRINTER.prn"),
                                 std::filesystem::perms(0644));
    StartServer();
    Handle(Call("VRNX REPORT", {{"FILE", "80002"}, {"IOP", "OFFICE PRINTER"}}));
    EXPECT_EQ(ModeOf(folder.Path("spool/3-OFFICE_PRINTER.prn")), 0600u);
    EXPECT_EQ(FileText(folder.Path("spool/3-OFFICE_PRINTER.prn")).rfind("earlier\n\f\n", 0), 0u);
}

TEST_F(Spool, ADocumentPastTheCapIsRefusedWholeAndNotKept) {
    constexpr std::size_t kCap = 20000;
    adjustOptions = [](ServerOptions& o) { o.spoolCap = kCap; };
    StartServer();
    const Entries report{{"FILE", "80002"}, {"IOP", "LASER PRINTER 1;;68"}};
    const std::string path = folder.Path("spool/2-LASER_PRINTER_1.prn");
    Handle(Call("VRNX REPORT", report));
    const std::size_t one = FileText(path).size();
    ASSERT_GT(one, 100u);
    // Each further copy takes a form feed line and the document, until the next would not fit.
    for (int copies = 1;; ++copies) {
        ASSERT_LT(copies, 1000);
        const std::size_t before = FileText(path).size();
        const std::size_t stored = server->context().documents.Size();
        const Lines reply = Call("VRNX REPORT", report);
        if (reply.at(0) == "[Data]") {
            EXPECT_EQ(FileText(path).size(), before + 2 + one);
            EXPECT_LE(before + 2 + one, kCap);
            continue;
        }
        EXPECT_GT(before + 2 + one, kCap);
        EXPECT_EQ(reply, Errors("Cannot print on LASER PRINTER 1: its spool file " + path +
                                " would grow past its cap of " + ByteSizeText(kCap) +
                                " (it holds " + ByteSizeText(before) + ", the document takes " +
                                ByteSizeText(one + 2) + "). Nothing was printed."));
        EXPECT_EQ(FileText(path).size(), before);
        EXPECT_EQ(server->context().documents.Size(), stored);
        break;
    }
}

// A device is the one the IOP names whole, or by its record; never one whose name is only the
// first ";" piece of another's. Each print appends to its device's spool file and to no other.
TEST_F(Printing, OnTheDeviceNamedWholeOrByRecord) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        // clang-format off
        AddRecord(store, dict, "3.5", "90", {{"0", "LASER PRINTER 1;COPY^LPT9"}, {"1", "LABORATORY^^^^"},
                                             {"SUBTYPE", "1"}, {"TYPE", "TRM"}});
        AddRecord(store, dict, "3.5", "91", {{"0", "OFFICE PRINTER;OLD^LPT8"}, {"1", "STORE^^^^1"},
                                             {"SUBTYPE", "2"}, {"TYPE", "HFS"}});
        // clang-format on
    });
    auto spool = [&] {
        std::map<std::string, std::size_t> files;
        if (std::filesystem::exists(folder.Path("spool")))
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path("spool")))
                files[entry.path().filename().string()] = entry.file_size();
        return files;
    };
    // IOP, the spool file written ("" when refused or kept for the workstation) and the reason
    // it was refused ("" when a handle comes back).
    // clang-format off
    const std::vector<std::tuple<std::string, std::string, std::string>> devices = {
        {"LASER PRINTER 1;COPY", "90-LASER_PRINTER_1_COPY.prn", ""},  // a name holding a ";"
        {"LASER PRINTER 1;COPY;;68", "90-LASER_PRINTER_1_COPY.prn", ""},  // that name with margin and length
        {"LASER PRINTER 1;;68", "2-LASER_PRINTER_1.prn", ""},  // the plain name with margin and length
        {"`90", "90-LASER_PRINTER_1_COPY.prn", ""}, {"`3;;68", "3-OFFICE_PRINTER.prn", ""},
        {"OFFICE PRINTER;OLD", "", "Device \"OFFICE PRINTER;OLD\" is out of service."},  // not the first piece
        {"`99", "", "Device record 99 does not exist."}, {"`5", "", "Device \"WARD TERMINAL\" is not a printer."},
        {"`1", "", ""}};  // the workstation by its record
    // clang-format on
    for (const auto& [iop, spoolFile, reason] : devices) {
        SCOPED_TRACE(iop);
        const auto before = spool();
        const Lines reply = Call("VRNX REPORT", {{"FILE", "80002"}, {"IOP", iop}});
        if (reason.empty())
            Handle(reply);
        else
            EXPECT_EQ(reply, Errors(reason));
        Lines written;
        for (const auto& [file, size] : spool())
            if (!before.count(file) || before.at(file) != size) written.push_back(file);
        EXPECT_EQ(written, spoolFile.empty() ? Lines{} : Lines{spoolFile});
    }
}

}  // namespace
}  // namespace vorn::devserver
