// "VRNX FINDER" through the real broker component, with the entries the client's finder sends:
// prefix lookups ignoring case, over several indexes, in batches, and a pointer field's screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "tests/devserver/listing_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Pieces;

class Finder : public test::ListingTest {
  protected:
    // The finder's request: lookup text, flags, indexes, batch size and continuation.
    Entries Lookup(const std::string& file, const std::string& value, const std::string& flags,
                   const std::string& xref, const std::string& max, const std::string& from = "",
                   const std::string& fromIen = "") {
        Entries e{{"\"FILE\"", file}, {"\"FIELDS\"", ".01;2;"}};
        if (!flags.empty()) e.push_back({"\"FLAGS\"", flags});
        e.push_back({"\"MAX\"", max});
        e.push_back({"\"PART\"", value});
        e.push_back({"\"VALUE\"", value});
        e.push_back({"\"XREF\"", xref});
        if (!from.empty()) e.push_back({"\"FROM\"", from});
        if (!fromIen.empty()) e.push_back({"\"FROM\",\"IEN\"", fromIen});
        return e;
    }
    // Every batch, as the finder's GetMore fetches them; the record numbers in order.
    std::vector<std::string> AllBatches(const std::string& file, const std::string& value,
                                        const std::string& flags, const std::string& xref, int max,
                                        int* batches) {
        std::vector<std::string> iens;
        std::string from, fromIen;
        *batches = 0;
        for (int guard = 0; guard < 1000; ++guard) {
            const auto reply = Call("VRNX FINDER", Lookup(file, value, flags, xref,
                                                          std::to_string(max), from, fromIen));
            ++*batches;
            std::size_t i = 0;
            bool more = false;
            if (reply.at(0) == "[Misc]") {
                more = true;
                from = Pieces(reply.at(1))[1];
                fromIen = Pieces(reply.at(1))[2];
                i = 2;
            }
            EXPECT_EQ(reply.at(i), "[Data]");
            for (++i; i < reply.size(); ++i)
                iens.push_back(Pieces(reply[i])[0]);
            if (!more) break;
        }
        return iens;
    }
};

TEST_F(Finder, ALookupAcrossTwoIndexesListsEachRecordOnceInValueOrder) {
    StartServer();
    // Patients: index B holds the person's number, C the ward's. A record is listed at the
    // first of its matching entries in (value, record) order.
    std::vector<std::pair<std::string, std::string>> expected;  // (value, ien)
    int inBoth = 0;
    for (const std::string& ien : RecordNumbers("80003")) {
        const std::string person = FieldOf("80003", ien, ".01");
        const std::string ward = FieldOf("80003", ien, "2");
        std::vector<std::string> matching;
        if (person[0] == '1') matching.push_back(person);
        if (ward[0] == '1') matching.push_back(ward);
        if (matching.empty()) continue;
        if (matching.size() == 2) ++inBoth;
        expected.push_back(
            {*std::min_element(matching.begin(), matching.end(), test::MOrderLess), ien});
    }
    ASSERT_GT(inBoth, 0) << "the data have no record that both indexes match";
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return test::MOrderLess(a.first, b.first);
        return std::stol(a.second) < std::stol(b.second);
    });
    std::vector<std::string> expectedIens;
    for (const auto& [value, ien] : expected)
        expectedIens.push_back(ien);

    int batches = 0;
    const auto named = AllBatches("80003", "1", "", "B^C", 5, &batches);
    EXPECT_EQ(named, expectedIens);
    EXPECT_EQ(batches, static_cast<int>((expectedIens.size() + 4) / 5));
    std::set<std::string> once(named.begin(), named.end());
    EXPECT_EQ(once.size(), named.size());
    // "M" searches every index of the file, after the one named.
    EXPECT_EQ(AllBatches("80003", "1", "M", "B", 5, &batches), expectedIens);
    // Backwards, the same records in the opposite order (each at its last entry).
    const auto back = AllBatches("80003", "1", "MB", "B", 7, &batches);
    EXPECT_EQ(std::set<std::string>(back.begin(), back.end()), once);
    EXPECT_EQ(back.size(), once.size());
}

TEST_F(Finder, PrefixesMatchIgnoringCase) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        AddRecord(store, dict, "80002", "13", {{"0", "Mental health clinic^MH^2"}});
        AddRecord(store, dict, "80002", "14", {{"0", "memory clinic^MEM^2"}});
    });
    EXPECT_EQ(Call("VRNX FINDER", Lookup("80002", "me", "M", "B", "5")),
              (std::vector<std::string>{"[Data]", "1^MEDICAL WARD 1^M1", "2^MEDICAL WARD 2^M2",
                                        "13^Mental health clinic^MH", "14^memory clinic^MEM"}));
    EXPECT_EQ(Call("VRNX FINDER", Lookup("80002", "ME", "", "B", "2")),
              (std::vector<std::string>{"[Misc]", "MORE^MEDICAL WARD 2^2", "[Data]",
                                        "1^MEDICAL WARD 1^M1", "2^MEDICAL WARD 2^M2"}));
    EXPECT_EQ(Call("VRNX FINDER", Lookup("80002", "mEd", "", "B", "2", "MEDICAL WARD 2", "2")),
              (std::vector<std::string>{"[Data]"}));
    EXPECT_EQ(Call("VRNX FINDER", Lookup("80002", "eye", "", "B", "*")),
              (std::vector<std::string>{"[Data]", "11^EYE CLINIC^EYE"}));
    EXPECT_EQ(Call("VRNX FINDER", Lookup("80002", "x", "", "B", "5")),
              (std::vector<std::string>{"[Data]"}));
}

TEST_F(Finder, ThePointerFieldsScreenAppliesWhenTheFieldIsNamed) {
    StartServer({}, [](std::string dictionary) {
        const std::string field = "[field 80001 7]\n";
        const auto at = dictionary.find(field);
        EXPECT_NE(at, std::string::npos);
        return dictionary.insert(at + field.size(), "screen = I $P(^(0),U,3)=\"HELSINKI\"\n");
    });
    Entries lookup = Lookup("80000", "s", "MI", "B", "5");
    EXPECT_EQ(Call("VRNX FINDER", lookup),
              (std::vector<std::string>{"[Data]", "13^SAARINEN,ANNA^2881026",
                                        "14^SALMINEN,MIKKO^2750701", "21^SALO,RIITTA^2710706",
                                        "19^SALONEN,TUULA^2670207", "28^SAVOLAINEN,ARI^2930819"}));
    lookup.push_back({"\"DDFILE\"", "80001"});
    lookup.push_back({"\"DDFIELD\"", "7"});
    EXPECT_EQ(Call("VRNX FINDER", lookup),
              (std::vector<std::string>{"[Data]", "21^SALO,RIITTA^2710706"}));
    // The pointer lookup opened without a text lists through the lister, screened the same way.
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "80000"},
                                  {"\"FIELDS\"", ".01;"},
                                  {"\"MAX\"", "5"},
                                  {"\"XREF\"", "B"},
                                  {"\"DDFILE\"", "80001"},
                                  {"\"DDFIELD\"", "7"}}),
              (std::vector<std::string>{"[Data]", "11^LEHTONEN,ELINA", "21^SALO,RIITTA",
                                        "1^VIRTANEN,AINO"}));
    // A field that is named but does not exist is an error.
    lookup.back().second = "99";
    EXPECT_EQ(Call("VRNX FINDER", lookup),
              (std::vector<std::string>{"[Errors]", "Field 99 does not exist in file 80001."}));
}

TEST_F(Finder, TheComboBoxLocatesItsStoredEntryByTextAndRecordNumber) {
    StartServer([](GlobalStore& store, const Dictionary& dict) {
        AddRecord(store, dict, "80002", "13", {{"0", "MEDICAL WARD 2^M2B^1"}});
    });
    // LocateValue: the shown text as the lookup and "I Y=" the stored number as the screen.
    Entries locate = Lookup("80002", "MEDICAL WARD 2", "M", "B", "20");
    locate.push_back({"\"SCREEN\"", "I Y=13"});
    EXPECT_EQ(Call("VRNX FINDER", locate),
              (std::vector<std::string>{"[Data]", "13^MEDICAL WARD 2^M2B"}));
}

TEST_F(Finder, ASubFileIsSearchedUnderItsParent) {
    StartServer();
    const auto reply = Call("VRNX FINDER", {{"\"FILE\"", "80001.03"},
                                            {"\"FIELDS\"", ".01;"},
                                            {"\"IENS\"", "33,"},
                                            {"\"MAX\"", "5"},
                                            {"\"PART\"", ""},
                                            {"\"VALUE\"", ""},
                                            {"\"XREF\"", "B"}});
    ASSERT_EQ(reply.size(), 4u);  // lab test 33 has three result codes
    GlobalStore store(dataPath);
    for (std::size_t i = 1; i < reply.size(); ++i) {
        const auto p = Pieces(reply[i]);
        EXPECT_EQ(store.GetOr({"ZDEMO", {"80001", "33", "3", p[0], "0"}}).substr(0, p[1].size()),
                  p[1]);
    }
    const std::string first = Pieces(reply[1])[1];
    const auto typed = Call("VRNX FINDER", {{"\"FILE\"", "80001.03"},
                                            {"\"FIELDS\"", ".01;"},
                                            {"\"IENS\"", ",33,"},
                                            {"\"VALUE\"", first}});
    ASSERT_GE(typed.size(), 2u);
    EXPECT_EQ(typed[1], reply[1]);
}

TEST_F(Finder, WithoutATextTheLookupListsEveryRecordOnce) {
    StartServer();
    const auto reply = Call("VRNX FINDER", Lookup("80003", "", "M", "B", "*"));
    ASSERT_EQ(reply.at(0), "[Data]");
    EXPECT_EQ(reply.size(), RecordNumbers("80003").size() + 1);
    std::set<std::string> once;
    for (std::size_t i = 1; i < reply.size(); ++i)
        EXPECT_TRUE(once.insert(Pieces(reply[i])[0]).second) << reply[i];
}

}  // namespace
}  // namespace vorn::devserver
