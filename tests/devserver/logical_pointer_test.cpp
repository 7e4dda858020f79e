// "VRNX LOGICAL POINTER" through the real broker component, with the entries a bound grid under
// a logical detail sends: sorted on the server, in batches with a continuation point.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/devserver/listing_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Pieces;

class LogicalPointer : public test::ListingTest {
  protected:
    void SetUp() override {
        StartServer([](GlobalStore& store, const Dictionary& dict) {
            // Lab test 40 gets seven more departmental records, two of them on one ward.
            const char* wards[] = {"1", "1", "3", "8", "12", "5", "9"};
            for (int i = 0; i < 7; ++i)
                AddRecord(store, dict, "80006", std::to_string(81 + i),
                          {{"0", std::string(wards[i]) + "^40^" + std::to_string(1 + i % 3)}});
        });
    }
    // The departmental records of lab test 40: (ward name, record number).
    std::vector<std::pair<std::string, std::string>> OfLabTest40() {
        std::vector<std::pair<std::string, std::string>> out;
        for (const std::string& ien : RecordNumbers("80006"))
            if (FieldOf("80006", ien, "2") == "40")
                out.push_back({FieldOf("80002", FieldOf("80006", ien, ".01"), ".01"), ien});
        return out;
    }
    Entries Grid(const std::string& max, const std::string& from, bool descending,
                 const std::string& sort = ".01", const std::string& screen = "") {
        Entries e{
            {"\"FILE\"", "80006"}, {"\"XREF\"", "C"}, {"\"IEN\"", "40"}, {"\"FIELDS\"", ".01;3;"}};
        if (!max.empty()) e.push_back({"\"MAX\"", max});
        if (!from.empty()) e.push_back({"\"FROM\"", from});
        e.push_back({"\"SORT\"", sort});
        if (descending) e.push_back({"\"SORTDIR\"", "DESC"});
        if (!screen.empty()) e.push_back({"\"SCREEN\"", screen});
        return e;
    }
};

TEST_F(LogicalPointer, ADescendingListingComesInThreeBatches) {
    auto records = OfLabTest40();
    ASSERT_EQ(records.size(), 10u);
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first > b.first;
        return std::stol(a.second) > std::stol(b.second);
    });
    std::vector<std::string> expected;
    for (const auto& [ward, ien] : records)
        expected.push_back(ien);

    std::vector<std::string> got;
    std::string from;
    std::vector<std::vector<std::string>> replies;
    for (int batch = 0; batch < 5; ++batch) {
        const auto reply = Call("VRNX LOGICAL POINTER", Grid("4", from, true));
        replies.push_back(reply);
        std::size_t i = 0;
        from.clear();
        if (reply.at(0) == "[Misc]") {
            const auto p = Pieces(reply.at(1));
            ASSERT_EQ(p.size(), 3u) << "no \"^\" inside the continuation: " << reply[1];
            EXPECT_EQ(p[0], "MORE");
            EXPECT_EQ(p[1], "");
            from = p[2];
            i = 2;
        }
        EXPECT_EQ(reply.at(i), "[Data]");
        for (++i; i < reply.size(); ++i) {
            const auto p = Pieces(reply[i]);
            ASSERT_EQ(p.size(), 3u);
            EXPECT_EQ(p[1], FieldOf("80002", FieldOf("80006", p[0], ".01"), ".01"));
            got.push_back(p[0]);
        }
        if (from.empty()) break;
    }
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0].size(), 2u + 1u + 4u);
    EXPECT_EQ(replies[1].size(), 2u + 1u + 4u);
    EXPECT_EQ(replies[2].size(), 1u + 2u);  // starts with "[Data]": no more after it
    EXPECT_EQ(got, expected);
}

TEST_F(LogicalPointer, AscendingWithoutMaxListsEverythingAndTheScreenApplies) {
    auto records = OfLabTest40();
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return std::stol(a.second) < std::stol(b.second);
    });
    const auto reply = Call("VRNX LOGICAL POINTER", Grid("", "", false, ".01", "I Y'=81"));
    ASSERT_EQ(reply.at(0), "[Data]");
    std::vector<std::string> got, expected;
    for (std::size_t i = 1; i < reply.size(); ++i)
        got.push_back(Pieces(reply[i])[0]);
    for (const auto& [ward, ien] : records)
        if (ien != "81") expected.push_back(ien);
    EXPECT_EQ(got, expected);
    // Sorting on a set of codes: by its text.
    const auto bySet = Call("VRNX LOGICAL POINTER", Grid("*", "", false, "3"));
    std::vector<std::string> texts;
    for (std::size_t i = 1; i < bySet.size(); ++i)
        texts.push_back(Pieces(bySet[i])[2]);
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end()));
    EXPECT_EQ(texts.front(), "ALWAYS");
}

TEST_F(LogicalPointer, DatesSortInTimeOrder) {
    // Lab results of one lab test, by their date: "APR" must not come before "JAN".
    std::string labTest;
    std::size_t most = 0;
    std::map<std::string, std::size_t> perTest;
    for (const std::string& ien : RecordNumbers("80005"))
        ++perTest[FieldOf("80005", ien, "2")];
    for (const auto& [test, n] : perTest)
        if (n > most) most = n, labTest = test;
    ASSERT_GE(most, 3u);
    const auto reply = Call("VRNX LOGICAL POINTER", {{"\"FILE\"", "80005"},
                                                     {"\"XREF\"", "C"},
                                                     {"\"IEN\"", labTest},
                                                     {"\"FIELDS\"", "3;"},
                                                     {"\"SORT\"", "3"}});
    ASSERT_EQ(reply.size(), most + 1);
    std::vector<std::string> internal;
    for (std::size_t i = 1; i < reply.size(); ++i)
        internal.push_back(FieldOf("80005", Pieces(reply[i])[0], "3"));
    EXPECT_TRUE(std::is_sorted(internal.begin(), internal.end())) << reply[1];
}

TEST_F(LogicalPointer, BadRequestsAreErrors) {
    EXPECT_EQ(Call("VRNX LOGICAL POINTER", {{"\"FILE\"", "80006"}, {"\"XREF\"", "C"}}),
              (std::vector<std::string>{"[Errors]", "The master record (IEN) is missing."}));
    EXPECT_EQ(
        Call("VRNX LOGICAL POINTER", Grid("4", "not a continuation", true)),
        (std::vector<std::string>{
            "[Errors]", "FROM \"not a continuation\" is not a continuation of this listing."}));
    EXPECT_EQ(Call("VRNX LOGICAL POINTER", Grid("4", "", true, "77")),
              (std::vector<std::string>{"[Errors]", "Field 77 does not exist in file 80006."}));
    ExpectStillServing();
}

}  // namespace
}  // namespace vorn::devserver
