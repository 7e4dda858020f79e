// "VRNX FINDER" through the real broker component, with the entries the client's finder sends:
// prefix lookups ignoring case, over several indexes, in batches, and a pointer field's screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Errors;
using test::Lines;
using test::Pieces;

class Finder : public test::OnBothEngines<test::BrokerTest> {
  protected:
    // The finder's request: lookup text, flags, indexes, batch size and continuation.
    Lines Lookup(const std::string& file, const std::string& value, const std::string& flags,
                 const std::string& xref, const std::string& max, const Entries& more = {}) {
        Entries e{{"FILE", file},  {"FIELDS", ".01;2;"}, {"FLAGS", flags}, {"MAX", max},
                  {"PART", value}, {"VALUE", value},     {"XREF", xref}};
        e.insert(e.end(), more.begin(), more.end());
        return Call("VRNX FINDER", e);
    }
    // Every batch, as the finder's GetMore fetches them; the record numbers in order.
    Lines AllBatches(const std::string& value, const std::string& flags, const std::string& xref,
                     int max, int* batches) {
        Lines iens;
        Entries from;
        for (*batches = 0; *batches < 1000;) {
            const Lines reply = Lookup("80003", value, flags, xref, std::to_string(max), from);
            ++*batches;
            const bool more = reply.at(0) == "[Misc]";
            if (more) from = {{"FROM", Pieces(reply.at(1))[1]}, {"FROM,IEN", Pieces(reply[1])[2]}};
            std::size_t i = more ? 2 : 0;
            EXPECT_EQ(reply.at(i), "[Data]");
            for (++i; i < reply.size(); ++i)
                iens.push_back(Pieces(reply[i])[0]);
            if (!more) break;
        }
        return iens;
    }
};

TEST_P(Finder, ALookupListsEachRecordOnceInValueOrderAcrossIndexesAndInASubFile) {
    StartServer();
    // Patients: index B holds the person's number, C the ward's. A record is listed at the
    // first of its matching entries in (value, record) order.
    std::vector<std::pair<std::string, std::string>> expected;  // (value, ien)
    int inBoth = 0;
    for (const std::string& ien : RecordNumbers("80003")) {
        Lines matching;
        for (const char* field : {".01", "2"})
            if (const std::string v = FieldOf("80003", ien, field); v[0] == '1')
                matching.push_back(v);
        if (matching.empty()) continue;
        inBoth += matching.size() == 2;
        expected.push_back(
            {*std::min_element(matching.begin(), matching.end(), test::MOrderLess), ien});
    }
    ASSERT_GT(inBoth, 0) << "the data have no record that both indexes match";
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? test::MOrderLess(a.first, b.first)
                                  : std::stol(a.second) < std::stol(b.second);
    });
    Lines expectedIens;
    for (const auto& [value, ien] : expected)
        expectedIens.push_back(ien);
    int batches = 0;
    EXPECT_EQ(AllBatches("1", "", "B^C", 5, &batches), expectedIens);
    EXPECT_EQ(batches, static_cast<int>((expectedIens.size() + 4) / 5));
    // "M" searches every index of the file, after the one named.
    EXPECT_EQ(AllBatches("1", "M", "B", 5, &batches), expectedIens);
    // Backwards, the same records in the opposite order (each at its last entry).
    const Lines back = AllBatches("1", "MB", "B", 7, &batches);
    EXPECT_EQ(std::set<std::string>(back.begin(), back.end()),
              std::set<std::string>(expectedIens.begin(), expectedIens.end()));
    EXPECT_EQ(back.size(), expectedIens.size());
    // A sub-file is searched under its parent, and without a text every record comes once.
    const Entries codes{{"FILE", "80001.03"}, {"FIELDS", ".01;"}, {"IENS", "33,"}, {"MAX", "5"},
                        {"PART", ""},         {"VALUE", ""},      {"XREF", "B"}};
    const Lines reply = Call("VRNX FINDER", codes);
    ASSERT_EQ(reply.size(), 4u);  // lab test 33 has three result codes
    for (std::size_t i = 1; i < reply.size(); ++i) {
        const auto p = Pieces(reply[i]);
        EXPECT_EQ(Pieces(*Node("ZDEMO", {"80001", "33", "3", p[0], "0"}))[0], p[1]);
    }
    const Entries typing{
        {"FILE", "80001.03"}, {"FIELDS", ".01;"}, {"IENS", ",33,"}, {"VALUE", Pieces(reply[1])[1]}};
    const Lines typed = Call("VRNX FINDER", typing);
    ASSERT_GE(typed.size(), 2u);
    EXPECT_EQ(typed[1], reply[1]);
    const Lines all = Lookup("80003", "", "M", "B", "*");
    ASSERT_EQ(all.at(0), "[Data]");
    EXPECT_EQ(all.size(), RecordNumbers("80003").size() + 1);
    std::set<std::string> once;
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_TRUE(once.insert(Pieces(all[i])[0]).second) << all[i];
}

TEST_P(Finder, PrefixesMatchIgnoringCase) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        AddRecord(store, dict, "80002", "13", {{"0", "Mental health clinic^MH^2"}});
        AddRecord(store, dict, "80002", "14", {{"0", "memory clinic^MEM^2"}});
    });
    EXPECT_EQ(Lookup("80002", "me", "M", "B", "5"),
              (Lines{"[Data]", "1^MEDICAL WARD 1^M1", "2^MEDICAL WARD 2^M2",
                     "13^Mental health clinic^MH", "14^memory clinic^MEM"}));
    EXPECT_EQ(Lookup("80002", "ME", "", "B", "2"),
              (Lines{"[Misc]", "MORE^MEDICAL WARD 2^2", "[Data]", "1^MEDICAL WARD 1^M1",
                     "2^MEDICAL WARD 2^M2"}));
    EXPECT_EQ(Lookup("80002", "mEd", "", "B", "2", {{"FROM", "MEDICAL WARD 2"}, {"FROM,IEN", "2"}}),
              (Lines{"[Data]"}));
    EXPECT_EQ(Lookup("80002", "eye", "", "B", "*"), (Lines{"[Data]", "11^EYE CLINIC^EYE"}));
    EXPECT_EQ(Lookup("80002", "x", "", "B", "5"), (Lines{"[Data]"}));
}

TEST_P(Finder, TheComboBoxLocatesItsEntryAndThePointerFieldsScreenAppliesWhenTheFieldIsNamed) {
    StartServer(
        [](GlobalStore& store, const Dictionary& dict) {
            AddRecord(store, dict, "80002", "13", {{"0", "MEDICAL WARD 2^M2B^1"}});
        },
        [](std::string dictionary) {
            const std::string field = "[field 80001 7]\n";
            const auto at = dictionary.find(field);
            EXPECT_NE(at, std::string::npos);
            return dictionary.insert(at + field.size(), "screen = I $P(^(0),U,3)=\"HELSINKI\"\n");
        });
    // LocateValue: the shown text as the lookup and "I Y=" the stored number as the screen.
    EXPECT_EQ(Lookup("80002", "MEDICAL WARD 2", "M", "B", "20", {{"SCREEN", "I Y=13"}}),
              (Lines{"[Data]", "13^MEDICAL WARD 2^M2B"}));
    EXPECT_EQ(
        Lookup("80000", "s", "MI", "B", "5"),
        (Lines{"[Data]", "13^SAARINEN,ANNA^2881026", "14^SALMINEN,MIKKO^2750701",
               "21^SALO,RIITTA^2710706", "19^SALONEN,TUULA^2670207", "28^SAVOLAINEN,ARI^2930819"}));
    EXPECT_EQ(Lookup("80000", "s", "MI", "B", "5", {{"DDFILE", "80001"}, {"DDFIELD", "7"}}),
              (Lines{"[Data]", "21^SALO,RIITTA^2710706"}));
    // The pointer lookup opened without a text lists through the lister, screened the same way.
    const Entries list{{"FILE", "80000"}, {"FIELDS", ".01;"},  {"MAX", "5"},
                       {"XREF", "B"},     {"DDFILE", "80001"}, {"DDFIELD", "7"}};
    EXPECT_EQ(Call("DDR LISTER", list),
              (Lines{"[Data]", "11^LEHTONEN,ELINA", "21^SALO,RIITTA", "1^VIRTANEN,AINO"}));
    // A field that is named but does not exist is an error.
    EXPECT_EQ(Lookup("80000", "s", "MI", "B", "5", {{"DDFILE", "80001"}, {"DDFIELD", "99"}}),
              Errors("Field 99 does not exist in file 80001."));
}

INSTANTIATE_TEST_SUITE_P(Engines, Finder, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver
