// "DDR LISTER" through the real broker component, with the entries the client's browsing,
// master/detail links, finder and device selection send.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Lines;
using test::Pieces;

constexpr int kManySpecimens = 5000;

// Specimen names that mix numbers (negative, fractional), number-like strings, letters of both
// cases and runs of equal names.
std::string SpecimenName(int i) {
    const int kind = i % 10;
    if (kind < 2) return std::to_string((i * 37) % 1500);
    if (kind == 2 && i % 50 == 2) return "-" + std::to_string(i % 97 + 1);
    if (kind == 2 && i % 30 == 2) return std::to_string(i % 40) + ".5";
    if (kind == 2) return std::to_string(i);
    if (kind == 3) return "0" + std::to_string(i % 100);  // "012": a string, not a number
    if (kind == 4) return i < 600 ? "SAME" : "SAMPLE " + std::to_string(i);
    if (kind == 5) return "specimen " + std::to_string(i);
    if (kind == 6) return std::to_string(i % 300) + "A";
    return "Specimen " + std::to_string(i % 1000);
}

class Lister : public test::OnBothEngines<test::BrokerTest> {
  protected:
    // A browse call: after "FROM" (and "FROM","IEN" when `ien` is given).
    Lines Browse(Entries e, const std::string& from = "", const std::string& ien = "") {
        if (!from.empty()) e.push_back({"FROM", from});
        if (!ien.empty()) e.push_back({"FROM,IEN", ien});
        return Call("DDR LISTER", e);
    }
    // The browse walk of a plain source: batches of `max`, going on from "MORE^value^ien".
    Lines WalkAll(const std::string& flags, int max, int* calls = nullptr) {
        Lines lines;
        std::string from, fromIen;
        const std::string size = std::to_string(max);
        const Entries e{
            {"FILE", "80004"}, {"FIELDS", ".01;"}, {"FLAGS", flags}, {"MAX", size}, {"XREF", "B"}};
        for (int guard = 0; guard < 100000; ++guard) {
            const Lines reply = Browse(e, from, fromIen);
            if (calls) ++*calls;
            const bool more = reply.size() >= 2 && reply[0] == "[Misc]";
            const std::size_t data = more ? 2 : 0;
            if (more) {
                const auto p = Pieces(reply[1]);
                EXPECT_EQ(p.size(), 3u) << reply[1];
                EXPECT_EQ(p[0], "MORE");
                from = p[1];
                fromIen = p[2];
                EXPECT_EQ(reply.size(), static_cast<std::size_t>(max) + 3);
            }
            EXPECT_EQ(reply.at(data), "[Data]");
            lines.insert(lines.end(), reply.begin() + static_cast<long>(data) + 1, reply.end());
            if (!more) break;
        }
        return lines;
    }
    // The record number a MAX 1 browse call found, or "" for none.
    std::string Found(const Lines& reply) {
        for (std::size_t i = 0; i < reply.size(); ++i)
            if (reply[i] == "[Data]") return i + 1 < reply.size() ? Pieces(reply[i + 1])[0] : "";
        ADD_FAILURE() << "no data section";
        return "";
    }
    // The logical detail's browse call (its link screen and PART the master's number), and the
    // record number it found.
    Lines DetailReply(const std::string& flags, const std::string& screen,
                      const std::string& current = "") {
        const Entries e{{"FILE", "80006"}, {"FIELDS", "2"},    {"FLAGS", flags}, {"MAX", "1"},
                        {"PART", "1"},     {"SCREEN", screen}, {"XREF", "C"}};
        return Browse(e, current.empty() ? "" : "1", current);
    }
    // The detail's own browsing: `first` from the start, then `next` from each record found,
    // until none is.
    Lines DetailWalk(const std::string& first, const std::string& next, const std::string& screen) {
        Lines found;
        for (std::string at = Found(DetailReply(first, screen)); !at.empty();
             at = Found(DetailReply(next, screen, at)))
            found.push_back(at);
        return found;
    }
};

TEST_P(Lister, AWalkOfFiveThousandRecordsSeesEachOnceInMOrderBothWays) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        for (int i = 1; i <= kManySpecimens; ++i)
            AddRecord(store, dict, "80004", std::to_string(100 + i), {{"0", SpecimenName(i)}});
    });
    // What the walk must give: every specimen, by name in M order, then by record number.
    std::vector<std::pair<std::string, std::string>> expected;
    for (const std::string& ien : RecordNumbers("80004"))
        expected.push_back({FieldOf("80004", ien, ".01"), ien});
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kManySpecimens + 10));
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? test::MOrderLess(a.first, b.first)
                                  : std::stol(a.second) < std::stol(b.second);
    });
    Lines expectedLines;
    for (const auto& [name, ien] : expected)
        expectedLines.push_back(ien + "^" + name);
    // Numbers first: the walk starts with the negative ones and ends with the lower-case names.
    EXPECT_EQ(Pieces(expectedLines.front())[1][0], '-');
    EXPECT_EQ(Pieces(expectedLines.back())[1].substr(0, 9), "specimen ");
    int calls = 0;
    EXPECT_EQ(WalkAll("P", 20, &calls), expectedLines);  // each record once, in order
    EXPECT_EQ(calls, (kManySpecimens + 10 + 19) / 20);
    EXPECT_EQ(WalkAll("B", 20), Lines(expectedLines.rbegin(), expectedLines.rend()));
}

TEST_P(Lister, AWalkResumesAmongEqualValuesAndListsInternalOrExternalValuesAndSubFileRecords) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        for (int i = 1; i <= 30; ++i)
            AddRecord(store, dict, "80004", std::to_string(200 + i), {{"0", "SAME"}});
    });
    auto specimens = [](Entries more) {
        more.insert(more.begin(), {{"FILE", "80004"}, {"FIELDS", ".01;"}, {"XREF", "B"}});
        return more;
    };
    EXPECT_EQ(Browse(specimens({{"MAX", "5"}}), "SAME", "212"),
              (Lines{"[Misc]", "MORE^SAME^217", "[Data]", "213^SAME", "214^SAME", "215^SAME",
                     "216^SAME", "217^SAME"}));
    // Backwards from the same place: the equal names before it, then the names before "SAME".
    EXPECT_EQ(Browse(specimens({{"FLAGS", "B"}, {"MAX", "3"}}), "SAME", "203"),
              (Lines{"[Misc]", "MORE^EXTERNAL SAMPLE 010^10", "[Data]", "202^SAME", "201^SAME",
                     "10^EXTERNAL SAMPLE 010"}));
    // FROM alone starts after every entry of the value.
    EXPECT_EQ(Browse(specimens({{"MAX", "1"}}), "SAME"), (Lines{"[Data]"}));
    // Values internal or external; ".001" is the record number itself.
    Entries e = {{"FILE", "80006"}, {"FIELDS", ".001;.01;2;3;"}, {"MAX", "1"}, {"SCREEN", "I Y=1"}};
    EXPECT_EQ(Call("DDR LISTER", e),
              (Lines{"[Data]", "1^1^MEDICAL WARD 1^" + FieldOf("80001", "11", ".01") + "^ALWAYS"}));
    e.push_back({"FLAGS", "I"});
    EXPECT_EQ(Call("DDR LISTER", e), (Lines{"[Data]", "1^1^1^11^1"}));
    // Sub-file records are listed under their parent, with or without the leading comma.
    // Lab test 33 has three result codes.
    e = {{"FILE", "80001.03"}, {"FIELDS", ".01;2;"}, {"XREF", "B"}, {"IENS", ",33,"}};
    const Lines listed = Call("DDR LISTER", e);
    e.back().second = "33,";
    EXPECT_EQ(Call("DDR LISTER", e), listed);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0], "[Data]");
    for (std::size_t i = 1; i < listed.size(); ++i) {
        const auto p = Pieces(listed[i]);
        EXPECT_EQ(Node("ZDEMO", {"80001", "33", "3", p[0], "0"}), p[1] + "^" + p[2]) << p[0];
    }
}

TEST_P(Lister, ADetailsPartAndLinkScreenAndTheDeviceScreenSelectExactlyTheirRecords) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        // Record 5 now belongs to lab test 1 as well, and two more to lab tests 10 and 1.
        SetField(store, dict, "80006", "5", "2", "1");
        AddRecord(store, dict, "80006", "81", {{"0", "4^10^1"}});
        AddRecord(store, dict, "80006", "82", {{"0", "6^1^2"}});
        const std::vector<Entries> devices = {
            {{"0", "NUMBERED PRINTER^12"}, {"SUBTYPE", "1"}, {"TYPE", "TRM"}},  // no node 1
            {{"0", "NO SUBTYPE PRINTER^LPT7"}, {"1", "X^^^^"}, {"TYPE", "TRM"}},
            {{"0", "HOST FILE^/tmp/x"}, {"1", "X^^^^"}, {"SUBTYPE", "2"}, {"TYPE", "HFS"}},
            {{"0", "EMPTY PORT^"}, {"1", "X^^^^"}, {"SUBTYPE", "1"}, {"TYPE", "HFS"}},
            {{"0", "CLIENT WORKSTATION^LPT9"}, {"1", "X^^^^"}, {"SUBTYPE", "1"}, {"TYPE", "TRM"}},
            {{"0", "SPOOL^ spool"}, {"1", "X^^^^0"}, {"SUBTYPE", "2"}, {"TYPE", "HFS"}},
            {{"0", "BROWSER^LPT11"}, {"1", "X^^^^"}, {"SUBTYPE", "1"}, {"TYPE", "VTRM"}}};
        for (std::size_t i = 0; i < devices.size(); ++i)
            AddRecord(store, dict, "3.5", std::to_string(6 + i), devices[i]);
    });
    const std::string screen =
        "N STYPE,TYPE,TI S STYPE=$G(^%ZIS(2,$G(^%ZIS(1,Y,\"SUBTYPE\"),\"NOSUBTYPE\"),0)),"
        "TYPE=$G(^%ZIS(1,Y,\"TYPE\")),TI=$P($G(^(0)),U,2) I TYPE=\"HFS\"!(TYPE=\"TRM\")&(TI>0!"
        "(TI?1AP.ANP))&($P($G(^(1)),U,5)'=1)&($P(STYPE,U)?1\"P-\".E)&($P(^(0),U)'=\"CLIENT "
        "WORKSTATION\")";
    // The device dialog's pick list: the finder's lister call with its screen and columns. Of
    // the added ones a number or a path (a blank is punctuation) is a port; no port, no
    // subtype, the workstation's name or another type are not printers.
    Entries pick{
        {"FILE", "3.5"}, {"FIELDS", ".01;.02;"}, {"MAX", "200"}, {"SCREEN", screen}, {"XREF", "B"}};
    EXPECT_EQ(Call("DDR LISTER", pick),
              (Lines{"[Data]", "8^HOST FILE^X", "2^LASER PRINTER 1^LABORATORY, ROOM 12",
                     "6^NUMBERED PRINTER^", "3^OFFICE PRINTER^OFFICE, ROOM 3", "11^SPOOL^X"}));
    // Typing "o" in it looks the devices up: OLD PRINTER is out of service.
    pick.insert(pick.end(), {{"PART", "o"}, {"VALUE", "o"}});
    EXPECT_EQ(Call("VRNX FINDER", pick), (Lines{"[Data]", "3^OFFICE PRINTER^OFFICE, ROOM 3"}));
    Lines ofLabTest1;
    std::size_t beginningWith1 = 0;
    for (const std::string& ien : RecordNumbers("80006")) {
        const std::string test = FieldOf("80006", ien, "2");
        if (test == "1") ofLabTest1.push_back(ien);
        beginningWith1 += test[0] == '1';
    }
    ASSERT_EQ(ofLabTest1.size(), 4u);  // 5, 6, ... 82
    // PART alone: every value that begins with "1": 1, then 10 to 19 (numbers in order).
    std::vector<long> tests;
    for (const std::string& line :
         Call("DDR LISTER",
              {{"FILE", "80006"}, {"FIELDS", "2"}, {"FLAGS", "I"}, {"PART", "1"}, {"XREF", "C"}}))
        if (line != "[Data]") tests.push_back(std::stol(Pieces(line)[1]));
    EXPECT_TRUE(std::is_sorted(tests.begin(), tests.end()));
    EXPECT_EQ(tests.size(), beginningWith1);
    EXPECT_EQ(tests.front(), 1);
    EXPECT_EQ(tests.back(), 19);
    // The detail's own browsing: first, next until none, last, prior until none; chained after
    // the link screen, "I Y'=5" leaves record 5 out.
    const std::string link = "I 1=$P($G(^(0)),U,2)";
    EXPECT_EQ(DetailWalk("I", "IP", link), ofLabTest1);
    EXPECT_EQ(DetailWalk("IB", "IBP", link), Lines(ofLabTest1.rbegin(), ofLabTest1.rend()));
    EXPECT_EQ(DetailWalk("I", "I", link + " I Y'=5"),
              Lines(ofLabTest1.begin() + 1, ofLabTest1.end()));
    // Its data line is the link field's internal value.
    EXPECT_EQ(DetailReply("I", link), (Lines{"[Misc]", "MORE^1^5", "[Data]", "5^1"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, Lister, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver
