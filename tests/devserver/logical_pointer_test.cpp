// "VRNX LOGICAL POINTER" through the real broker component, with the entries a bound grid under
// a logical detail sends: sorted on the server, in batches with a continuation point.
#include <algorithm>
#include <map>

#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Errors;
using test::Lines;
using test::Pieces;

class LogicalPointer : public test::BrokerTest {
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
    // The departmental records of lab test 40, by ward name and record number, either way.
    Lines OfLabTest40(bool descending, const std::string& leftOut = "") {
        std::vector<std::pair<std::string, long>> records;
        for (const std::string& ien : RecordNumbers("80006"))
            if (FieldOf("80006", ien, "2") == "40" && ien != leftOut)
                records.push_back(
                    {FieldOf("80002", FieldOf("80006", ien, ".01"), ".01"), std::stol(ien)});
        std::sort(records.begin(), records.end());
        if (descending) std::reverse(records.begin(), records.end());
        Lines out;
        for (const auto& [ward, ien] : records)
            out.push_back(std::to_string(ien));
        return out;
    }
    Lines Grid(const Entries& more) {
        Entries e{{"FILE", "80006"}, {"XREF", "C"}, {"IEN", "40"}, {"FIELDS", ".01;3;"}};
        e.insert(e.end(), more.begin(), more.end());
        return Call("VRNX LOGICAL POINTER", e);
    }
};

TEST_F(LogicalPointer, ADescendingListingComesInThreeBatches) {
    const Lines expected = OfLabTest40(true);
    ASSERT_EQ(expected.size(), 10u);
    Lines got;
    std::vector<std::size_t> sizes;
    for (std::string from;;) {
        Entries e{{"MAX", "4"}, {"SORT", ".01"}, {"SORTDIR", "DESC"}};
        if (!from.empty()) e.push_back({"FROM", from});
        const Lines reply = Grid(e);
        sizes.push_back(reply.size());
        std::size_t i = reply.at(0) == "[Misc]" ? 2 : 0;
        from.clear();
        if (i == 2) {
            const auto p = Pieces(reply.at(1));
            ASSERT_EQ(p.size(), 3u) << "no \"^\" inside the continuation: " << reply[1];
            EXPECT_EQ(p[0] + "^" + p[1], "MORE^");
            from = p[2];
        }
        EXPECT_EQ(reply.at(i), "[Data]");
        for (++i; i < reply.size(); ++i) {
            const auto p = Pieces(reply[i]);
            ASSERT_EQ(p.size(), 3u);
            EXPECT_EQ(p[1], FieldOf("80002", FieldOf("80006", p[0], ".01"), ".01"));
            got.push_back(p[0]);
        }
        if (from.empty() || sizes.size() == 5) break;
    }
    // Two full batches behind "[Misc]", the last one starting with "[Data]": no more after it.
    EXPECT_EQ(sizes, (std::vector<std::size_t>{7, 7, 3}));
    EXPECT_EQ(got, expected);
}

TEST_F(LogicalPointer, AscendingWithoutMaxListsEverythingTheScreenAppliesAndDatesSortInTimeOrder) {
    const Lines reply = Grid({{"SORT", ".01"}, {"SCREEN", "I Y'=81"}});
    ASSERT_EQ(reply.at(0), "[Data]");
    Lines got;
    for (std::size_t i = 1; i < reply.size(); ++i)
        got.push_back(Pieces(reply[i])[0]);
    EXPECT_EQ(got, OfLabTest40(false, "81"));
    // Lab results of one lab test, by their date: "APR" must not come before "JAN".
    std::map<std::string, std::size_t> perTest;
    for (const std::string& ien : RecordNumbers("80005"))
        ++perTest[FieldOf("80005", ien, "2")];
    const auto most = std::max_element(perTest.begin(), perTest.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    ASSERT_GE(most->second, 3u);
    const Lines results = Call(
        "VRNX LOGICAL POINTER",
        {{"FILE", "80005"}, {"XREF", "C"}, {"IEN", most->first}, {"FIELDS", "3;"}, {"SORT", "3"}});
    ASSERT_EQ(results.size(), most->second + 1);
    Lines internal;
    for (std::size_t i = 1; i < results.size(); ++i)
        internal.push_back(FieldOf("80005", Pieces(results[i])[0], "3"));
    EXPECT_TRUE(std::is_sorted(internal.begin(), internal.end())) << results[1];
}

TEST_F(LogicalPointer, BadRequestsAreErrors) {
    EXPECT_EQ(Call("VRNX LOGICAL POINTER", {{"FILE", "80006"}, {"XREF", "C"}}),
              Errors("The master record (IEN) is missing."));
    EXPECT_EQ(Grid({{"MAX", "4"}, {"FROM", "not a continuation"}}),
              Errors("FROM \"not a continuation\" is not a continuation of this listing."));
    EXPECT_EQ(Grid({{"SORT", "77"}}), Errors("Field 77 does not exist in file 80006."));
    ExpectStillServing();
}

}  // namespace
}  // namespace vorn::devserver
