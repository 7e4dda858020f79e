// "DDR LISTER" through the real broker component, with the entries the client's browsing,
// master/detail links, finder and device selection send.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "tests/devserver/listing_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Pieces;

constexpr int kManySpecimens = 5000;

// Specimen names that mix numbers (negative, fractional), number-like strings, letters of both
// cases and runs of equal names.
std::string SpecimenName(int i) {
    switch (i % 10) {
        case 0:
        case 1:
            return std::to_string((i * 37) % 1500);
        case 2:
            if (i % 50 == 2) return "-" + std::to_string(i % 97 + 1);
            if (i % 30 == 2) return std::to_string(i % 40) + ".5";
            return std::to_string(i);
        case 3:
            return "0" + std::to_string(i % 100);  // "012": a string, not a number
        case 4:
            return i < 600 ? "SAME" : "SAMPLE " + std::to_string(i);
        case 5:
            return "specimen " + std::to_string(i);
        case 6:
            return std::to_string(i % 300) + "A";
        default:
            return "Specimen " + std::to_string(i % 1000);
    }
}

class Lister : public test::ListingTest {
  protected:
    // The browse walk of a plain source: batches of `max`, going on from "MORE^value^ien".
    std::vector<std::string> WalkAll(const std::string& file, const std::string& flags, int max,
                                     int* calls = nullptr) {
        std::vector<std::string> lines;
        std::string from, fromIen;
        for (int guard = 0; guard < 100000; ++guard) {
            Entries e{{"\"FILE\"", file}, {"\"FIELDS\"", ".01;"}};
            if (!flags.empty()) e.push_back({"\"FLAGS\"", flags});
            e.push_back({"\"MAX\"", std::to_string(max)});
            e.push_back({"\"XREF\"", "B"});
            if (!from.empty()) {
                e.push_back({"\"FROM\"", from});
                e.push_back({"\"FROM\",\"IEN\"", fromIen});
            }
            const auto reply = Call("DDR LISTER", e);
            if (calls) ++*calls;
            bool more = false;
            std::size_t data = 0;
            if (reply.size() >= 2 && reply[0] == "[Misc]") {
                more = true;
                const auto p = Pieces(reply[1]);
                EXPECT_EQ(p.size(), 3u) << reply[1];
                EXPECT_EQ(p[0], "MORE");
                from = p[1];
                fromIen = p[2];
                data = 2;
            }
            EXPECT_EQ(reply.at(data), "[Data]");
            const std::size_t got = reply.size() - data - 1;
            EXPECT_EQ(got, more ? static_cast<std::size_t>(max) : got);
            for (std::size_t i = data + 1; i < reply.size(); ++i)
                lines.push_back(reply[i]);
            if (!more) break;
        }
        return lines;
    }

    // The logical detail's browse entries (its link screen and PART the master's number).
    Entries DetailBrowse(const std::string& master, const std::string& flags,
                         const std::string& screen, const std::string& current = "") {
        Entries e{{"\"FILE\"", "80006"}, {"\"FIELDS\"", "2"},  {"\"FLAGS\"", flags},
                  {"\"MAX\"", "1"},      {"\"PART\"", master}, {"\"SCREEN\"", screen},
                  {"\"XREF\"", "C"}};
        if (!current.empty()) {
            e.push_back({"\"FROM\"", master});
            e.push_back({"\"FROM\",\"IEN\"", current});
        }
        return e;
    }
    // The record number a MAX 1 browse call found, or "" for none.
    std::string Found(const Entries& e) {
        const auto reply = Call("DDR LISTER", e);
        for (std::size_t i = 0; i < reply.size(); ++i)
            if (reply[i] == "[Data]") return i + 1 < reply.size() ? Pieces(reply[i + 1])[0] : "";
        ADD_FAILURE() << "no data section";
        return "";
    }
};

TEST_F(Lister, AWalkOfFiveThousandRecordsSeesEachOnceInMOrderBothWays) {
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
        if (a.first != b.first) return test::MOrderLess(a.first, b.first);
        return std::stol(a.second) < std::stol(b.second);
    });
    std::vector<std::string> expectedLines;
    for (const auto& [name, ien] : expected)
        expectedLines.push_back(ien + "^" + name);
    // Numbers first: the walk starts with the negative ones and ends with the lower-case names.
    EXPECT_EQ(Pieces(expectedLines.front())[1][0], '-');
    EXPECT_EQ(Pieces(expectedLines.back())[1].substr(0, 9), "specimen ");

    int calls = 0;
    const auto forwards = WalkAll("80004", "P", 20, &calls);
    EXPECT_EQ(calls, (kManySpecimens + 10 + 19) / 20);
    EXPECT_EQ(forwards, expectedLines);
    std::set<std::string> seen;
    for (const auto& line : forwards)
        EXPECT_TRUE(seen.insert(Pieces(line)[0]).second) << "twice: " << line;

    const auto backwards = WalkAll("80004", "B", 20);
    std::vector<std::string> reversed(expectedLines.rbegin(), expectedLines.rend());
    EXPECT_EQ(backwards, reversed);
}

TEST_F(Lister, AWalkResumesFromTheMiddleOfEqualIndexValues) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        for (int i = 1; i <= 30; ++i)
            AddRecord(store, dict, "80004", std::to_string(200 + i), {{"0", "SAME"}});
    });
    const auto reply = Call("DDR LISTER", {{"\"FILE\"", "80004"},
                                           {"\"FIELDS\"", ".01;"},
                                           {"\"MAX\"", "5"},
                                           {"\"XREF\"", "B"},
                                           {"\"FROM\"", "SAME"},
                                           {"\"FROM\",\"IEN\"", "212"}});
    EXPECT_EQ(reply, (std::vector<std::string>{"[Misc]", "MORE^SAME^217", "[Data]", "213^SAME",
                                               "214^SAME", "215^SAME", "216^SAME", "217^SAME"}));
    // Backwards from the same place: the equal names before it, then the names before "SAME".
    const auto back = Call("DDR LISTER", {{"\"FILE\"", "80004"},
                                          {"\"FIELDS\"", ".01;"},
                                          {"\"FLAGS\"", "B"},
                                          {"\"MAX\"", "3"},
                                          {"\"XREF\"", "B"},
                                          {"\"FROM\"", "SAME"},
                                          {"\"FROM\",\"IEN\"", "203"}});
    EXPECT_EQ(back, (std::vector<std::string>{"[Misc]", "MORE^EXTERNAL SAMPLE 010^10", "[Data]",
                                              "202^SAME", "201^SAME", "10^EXTERNAL SAMPLE 010"}));
    // FROM alone starts after every entry of the value.
    const auto after = Call(
        "DDR LISTER",
        {{"\"FILE\"", "80004"}, {"\"FIELDS\"", ".01;"}, {"\"MAX\"", "1"}, {"\"FROM\"", "SAME"}});
    EXPECT_EQ(after, (std::vector<std::string>{"[Data]"}));
}

TEST_F(Lister, PlainBrowsingFindsFirstNextPriorAndLast) {
    StartServer();
    auto browse = [&](const std::string& flags, const std::string& from, const std::string& ien) {
        Entries e{{"\"FILE\"", "80002"}, {"\"FIELDS\"", ".001"}};
        if (!flags.empty()) e.push_back({"\"FLAGS\"", flags});
        e.push_back({"\"MAX\"", "1"});
        e.push_back({"\"XREF\"", "B"});
        if (!from.empty()) {
            e.push_back({"\"FROM\"", from.substr(0, 30)});
            e.push_back({"\"FROM\",\"IEN\"", ien});
        }
        return Found(e);
    };
    EXPECT_EQ(browse("", "", ""), "8");                     // CARDIOLOGY CLINIC
    EXPECT_EQ(browse("P", "CARDIOLOGY CLINIC", "8"), "5");  // next: CHILDREN'S WARD
    EXPECT_EQ(browse("BP", "CHILDREN'S WARD", "5"), "8");   // prior
    EXPECT_EQ(browse("BP", "CARDIOLOGY CLINIC", "8"), "");  // nothing before the first
    EXPECT_EQ(browse("B", "", ""), "4");                    // last: SURGICAL WARD 2
    EXPECT_EQ(browse("P", "SURGICAL WARD 2", "4"), "");     // nothing after the last
    // The ".001" field is the record number itself.
    EXPECT_EQ(Call("DDR LISTER",
                   {{"\"FILE\"", "80002"}, {"\"FIELDS\"", ".001;.01;2;"}, {"\"MAX\"", "1"}}),
              (std::vector<std::string>{"[Misc]", "MORE^CARDIOLOGY CLINIC^8", "[Data]",
                                        "8^8^CARDIOLOGY CLINIC^CARD"}));
}

TEST_F(Lister, InternalOrExternalValues) {
    StartServer();
    const Entries external{{"\"FILE\"", "80006"},
                           {"\"FIELDS\"", ".01;2;3;"},
                           {"\"MAX\"", "1"},
                           {"\"SCREEN\"", "I Y=1"}};
    EXPECT_EQ(Call("DDR LISTER", external),
              (std::vector<std::string>{
                  "[Data]", "1^MEDICAL WARD 1^" + FieldOf("80001", "11", ".01") + "^ALWAYS"}));
    Entries internal = external;
    internal.insert(internal.begin() + 2, {"\"FLAGS\"", "I"});
    EXPECT_EQ(Call("DDR LISTER", internal), (std::vector<std::string>{"[Data]", "1^1^11^1"}));
}

TEST_F(Lister, ADetailsPartAlsoFindsLongerNumbersAndItsLinkScreenKeepsExactMatches) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        // Record 5 now belongs to lab test 1 as well, and two more to lab tests 10 and 1.
        SetField(store, dict, "80006", "5", "2", "1");
        AddRecord(store, dict, "80006", "81", {{"0", "4^10^1"}});
        AddRecord(store, dict, "80006", "82", {{"0", "6^1^2"}});
    });
    std::vector<std::string> ofLabTest1, beginningWith1;
    for (const std::string& ien : RecordNumbers("80006")) {
        const std::string test = FieldOf("80006", ien, "2");
        if (test == "1") ofLabTest1.push_back(ien);
        if (test[0] == '1') beginningWith1.push_back(ien);
    }
    ASSERT_EQ(ofLabTest1.size(), 4u);  // 5, 6, ... 82
    ASSERT_GT(beginningWith1.size(), ofLabTest1.size() + 5);

    // PART alone: every value that begins with "1": 1, then 10 to 19 (numbers in order).
    const auto all = Call("DDR LISTER", {{"\"FILE\"", "80006"},
                                         {"\"FIELDS\"", "2"},
                                         {"\"FLAGS\"", "I"},
                                         {"\"PART\"", "1"},
                                         {"\"XREF\"", "C"}});
    ASSERT_EQ(all.size(), beginningWith1.size() + 1);
    std::vector<long> tests;
    for (std::size_t i = 1; i < all.size(); ++i)
        tests.push_back(std::stol(Pieces(all[i])[1]));
    EXPECT_TRUE(std::is_sorted(tests.begin(), tests.end()));
    EXPECT_EQ(tests.front(), 1);
    EXPECT_EQ(tests.back(), 19);

    // The detail's own browsing: first, next until none, last, prior until none.
    const std::string link = "I 1=$P($G(^(0)),U,2)";
    std::vector<std::string> forwards, backwards;
    for (std::string at = Found(DetailBrowse("1", "I", link)); !at.empty();
         at = Found(DetailBrowse("1", "IP", link, at)))
        forwards.push_back(at);
    EXPECT_EQ(forwards, ofLabTest1);
    for (std::string at = Found(DetailBrowse("1", "IB", link)); !at.empty();
         at = Found(DetailBrowse("1", "IBP", link, at)))
        backwards.push_back(at);
    EXPECT_EQ(backwards, std::vector<std::string>(ofLabTest1.rbegin(), ofLabTest1.rend()));

    // Its data line is the link field's internal value.
    EXPECT_EQ(Call("DDR LISTER", DetailBrowse("1", "I", link)),
              (std::vector<std::string>{"[Misc]", "MORE^1^5", "[Data]", "5^1"}));

    // "I Y'=5" chained after the link screen leaves record 5 out.
    std::vector<std::string> withoutFive;
    for (std::string at = Found(DetailBrowse("1", "I", link + " I Y'=5")); !at.empty();
         at = Found(DetailBrowse("1", "I", link + " I Y'=5", at)))
        withoutFive.push_back(at);
    std::vector<std::string> expected = ofLabTest1;
    expected.erase(expected.begin());
    EXPECT_EQ(withoutFive, expected);
}

TEST_F(Lister, TheDeviceScreenSelectsExactlyThePrintersInService) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        AddRecord(store, dict, "3.5", "6",
                  {{"0", "NUMBERED PRINTER^12"}, {"SUBTYPE", "1"}, {"TYPE", "TRM"}});
        AddRecord(store, dict, "3.5", "7",
                  {{"0", "NO SUBTYPE PRINTER^LPT7"}, {"1", "X^^^^"}, {"TYPE", "TRM"}});
        AddRecord(store, dict, "3.5", "8",
                  {{"0", "HOST FILE^/tmp/x"}, {"1", "X^^^^"}, {"SUBTYPE", "2"}, {"TYPE", "HFS"}});
    });
    const std::string screen =
        "N STYPE,TYPE,TI S STYPE=$G(^%ZIS(2,$G(^%ZIS(1,Y,\"SUBTYPE\"),\"NOSUBTYPE\"),0)),"
        "TYPE=$G(^%ZIS(1,Y,\"TYPE\")),TI=$P($G(^(0)),U,2) I TYPE=\"HFS\"!(TYPE=\"TRM\")&(TI>0!"
        "(TI?1AP.ANP))&($P($G(^(1)),U,5)'=1)&($P(STYPE,U)?1\"P-\".E)&($P(^(0),U)'=\"CLIENT "
        "WORKSTATION\")";
    // The device dialog's pick list: the finder's lister call with its screen and columns.
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "3.5"},
                                  {"\"FIELDS\"", ".01;.02;"},
                                  {"\"MAX\"", "200"},
                                  {"\"SCREEN\"", screen},
                                  {"\"XREF\"", "B"}}),
              (std::vector<std::string>{"[Data]", "8^HOST FILE^X",
                                        "2^LASER PRINTER 1^LABORATORY, ROOM 12",
                                        "6^NUMBERED PRINTER^", "3^OFFICE PRINTER^OFFICE, ROOM 3"}));
    // Typing "o" in it looks the devices up: OLD PRINTER is out of service.
    EXPECT_EQ(Call("VRNX FINDER", {{"\"FILE\"", "3.5"},
                                   {"\"FIELDS\"", ".01;.02;"},
                                   {"\"MAX\"", "200"},
                                   {"\"PART\"", "o"},
                                   {"\"VALUE\"", "o"},
                                   {"\"SCREEN\"", screen},
                                   {"\"XREF\"", "B"}}),
              (std::vector<std::string>{"[Data]", "3^OFFICE PRINTER^OFFICE, ROOM 3"}));
}

TEST_F(Lister, SubFileRecordsAreListedUnderTheirParentWithOrWithoutTheLeadingComma) {
    StartServer();
    const std::string parent = "33";  // a lab test with three result codes
    std::vector<std::string> withComma, without;
    withComma = Call("DDR LISTER", {{"\"FILE\"", "80001.03"},
                                    {"\"FIELDS\"", ".01;2;"},
                                    {"\"IENS\"", "," + parent + ","},
                                    {"\"XREF\"", "B"}});
    without = Call("DDR LISTER", {{"\"FILE\"", "80001.03"},
                                  {"\"FIELDS\"", ".01;2;"},
                                  {"\"IENS\"", parent + ","},
                                  {"\"XREF\"", "B"}});
    EXPECT_EQ(withComma, without);
    ASSERT_EQ(withComma.size(), 4u);
    EXPECT_EQ(withComma[0], "[Data]");
    // Every line names a result code of that lab test.
    GlobalStore store(dataPath);
    for (std::size_t i = 1; i < withComma.size(); ++i) {
        const auto p = Pieces(withComma[i]);
        EXPECT_TRUE(store.Get({"ZDEMO", {"80001", parent, "3", p[0], "0"}}).has_value()) << p[0];
    }
}

}  // namespace
}  // namespace vorn::devserver
