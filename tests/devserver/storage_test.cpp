// The global store: M collation, get/set/kill/order/data, walks and transactions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "devserver/m/collation.h"
#include "devserver/storage/global_store.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

TEST(Collation, CanonicNumbersCollateFirstAndKeysAndRefTextsKeepTheirForm) {
    for (const char* yes : {"0", "1", "12", "-3", ".5", "-.25", "10.01", "100"})
        EXPECT_TRUE(IsCanonicNumber(yes)) << yes;
    for (const char* no :
         {"", "01", "1.0", "1.", "+1", "-0", "0.5", "1e3", " 1", "1 ", "-", ".", "abc", "1a"})
        EXPECT_FALSE(IsCanonicNumber(no)) << no;
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"007", "7"},   {"1.50abc", "1.5"}, {"abc", "0"},      {"-0", "0"},
        {"+.50", ".5"}, {"--2", "2"},       {"-0.250", "-.25"}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(CanonicNumber(text), number) << text;
    const std::vector<std::string> ordered = {
        "-1000", "-12", "-1.5", "-1.25", "-1",    "-.5", "0",       ".001", ".5",
        "1",     "1.5", "2",    "10",    "99",    "100", "1000000", " ",    "-",
        "01",    "1.0", "A",    "B",     "B\x01", "a",   "\xff"};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i)
        EXPECT_LT(CompareSubscripts(ordered[i], ordered[i + 1]), 0)
            << ordered[i] << " before " << ordered[i + 1];
    std::vector<std::string> shuffled = ordered;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    std::sort(shuffled.begin(), shuffled.end(), [](const std::string& a, const std::string& b) {
        return EncodeKey({a}) < EncodeKey({b});
    });
    EXPECT_EQ(shuffled, ordered);
    // The bytes are what every database already holds: an encoding that reads the same but writes
    // other bytes would lose the nodes stored before it.
    using namespace std::string_literals;
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"0", "\x20"s}, {"1000", "\x30\x80\x04\x31\x00"s}, {".007", "\x30\x7F\xFE\x37\x00"s},
        {"120.5", "\x30\x80\x03\x31\x32\x30\x35\x00"s}, {"-12.5", "\x10\x7F\xFD\x38\x37\x34\xFE"s},
        {"-.5", "\x10\x7F\xFF\x34\xFE"s}, {"a\0b\x01"s, "\x40\x61\x01\x01\x62\x01\x02\x00"s},
        {"12a", "\x40\x31\x32\x61\x00"s}};
    // clang-format on
    for (const auto& [subscript, key] : keys) {
        EXPECT_EQ(EncodeKey({subscript}), key) << subscript;
        std::size_t pos = 0;
        EXPECT_EQ(DecodeOne(key, pos), subscript);
        EXPECT_EQ(pos, key.size()) << subscript;
    }
    for (const std::string number :
         {"1000000", "-1000", "123.456", "-.001", "100000000000000000", ".0000000000001"})
        EXPECT_EQ(DecodeKey(EncodeKey({number})), Subscripts{number}) << number;
    const Subscripts s = {"80001",     "-12.5", ".007", "0", "B", std::string("a\0b\x01", 4),
                          "\"quoted\""};
    EXPECT_EQ(DecodeKey(EncodeKey(s)), s);
    EXPECT_THROW(DecodeKey("\x30\x80"), std::invalid_argument);
    EXPECT_THROW(EncodeKey({""}), std::invalid_argument);
    // A global reference's text quotes strings and leaves numbers bare.
    EXPECT_EQ((GlobalRef{"ZDEMO", {"80001", "B", "say \"hi\"", "-1.5"}}).Text(),
              "^ZDEMO(80001,\"B\",\"say \"\"hi\"\"\",-1.5)");
    EXPECT_EQ((GlobalRef{"%ZIS", {}}).Text(), "^%ZIS");
}

class Store : public test::StoreOnBothEngines {
  protected:
    GlobalRef G(Subscripts s) { return GlobalRef{"ZT", std::move(s)}; }
    // The subscripts under `parent` as $ORDER steps through them, one way.
    std::vector<std::string> Siblings(Subscripts parent, int direction = 1) {
        std::vector<std::string> out;
        parent.push_back("");
        for (std::string s = store().Order(G(parent), direction); !s.empty();
             s = store().Order(G(parent), direction))
            out.push_back(parent.back() = s);
        return out;
    }
    // Another session's connection to the same database.
    std::unique_ptr<GlobalStore> Other() { return OpenStore(where); }
};

TEST_P(Store, SetGetDataKillOrderAndWalkAtAnyDepth) {
    store().Set(G({"1", "0"}), "A^B");
    store().Set(G({"1", "2", "1", "0"}), "sub");
    EXPECT_EQ(store().Get(G({"1", "0"})), "A^B");
    EXPECT_FALSE(store().Get(G({"1"})).has_value());
    EXPECT_EQ(store().GetOr(G({"9"}), "none"), "none");
    EXPECT_EQ(store().Data(G({"1"})), 10);
    EXPECT_EQ(store().Data(G({"1", "0"})), 1);
    store().Set(G({"1"}), "top");
    EXPECT_EQ(store().Data(G({"1"})), 11);
    EXPECT_EQ(store().Data(G({"2"})), 0);
    store().Kill(G({"1", "2"}));
    EXPECT_FALSE(store().Get(G({"1", "2", "1", "0"})).has_value());
    EXPECT_EQ(store().Get(G({"1", "0"})), "A^B");
    store().Kill(G({"1"}));
    EXPECT_EQ(store().Data(G({"1"})), 0);
    for (const char* s : {"B", "10", "2", "-1", ".5", "A", "AB"})
        store().Set(G({s, "x"}), s);
    store().Set(GlobalRef{"ZU", {"1"}}, "another global");
    EXPECT_EQ(Siblings({}), (std::vector<std::string>{"-1", ".5", "2", "10", "A", "AB", "B"}));
    EXPECT_EQ(Siblings({}, -1), (std::vector<std::string>{"B", "AB", "A", "10", "2", ".5", "-1"}));
    EXPECT_EQ(store().Order(G({"2", ""})), "x");
    EXPECT_EQ(store().Order(G({"3"})), "10");  // from a subscript that is not there
    EXPECT_EQ(store().Order(G({"1.5"}), -1), ".5");
    store().Atomically([&] {
        for (int i = 1; i <= 600; ++i)
            store().Set(G({"R", std::to_string(i)}), std::to_string(i));
    });
    store().Set(G({"S"}), "outside");
    int expected = 1;
    store().Walk(G({"R"}), [&](const GlobalRef& ref, const std::string& value) {
        EXPECT_EQ(ref.subscripts, (Subscripts{"R", std::to_string(expected)}));
        EXPECT_EQ(value, std::to_string(expected));
        ++expected;
        return true;
    });
    EXPECT_EQ(expected, 601);
    // Nodes deeper than a file's records usually go (a multiple inside a multiple) take another way
    // through the GT.M routine than shallow ones: each operation once there.
    const Subscripts deep = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    auto at = [&](std::initializer_list<std::string> more) {
        Subscripts s = deep;
        s.insert(s.end(), more);
        return G(s);
    };
    store().Atomically([&] {
        for (const char* s : {"B", "10", "2", "A"})
            store().Set(at({s}), std::string("v") + s);
        store().Set(at({"2", "x"}), "below");
    });
    EXPECT_EQ(store().Get(at({"10"})), "v10");
    EXPECT_EQ(store().Data(at({"2"})), 11);
    EXPECT_EQ(Siblings(deep), (std::vector<std::string>{"2", "10", "A", "B"}));
    EXPECT_EQ(Siblings(deep, -1), (std::vector<std::string>{"B", "A", "10", "2"}));
    std::vector<std::string> walked;
    store().Walk(G(deep), [&](const GlobalRef& ref, const std::string& value) {
        walked.push_back(ref.subscripts.back() + "=" + value);
        return true;
    });
    EXPECT_EQ(walked, (std::vector<std::string>{"2=v2", "x=below", "10=v10", "A=vA", "B=vB"}));
    store().Kill(at({"2"}));
    EXPECT_EQ(store().Data(at({"2"})), 0);
    EXPECT_EQ(store().Data(G(deep)), 10);
}

TEST_P(Store, ATransactionIsAllOrNothingAndOtherConnectionsSeeItsCommit) {
    store().Atomically([&] { store().Set(G({"1"}), "kept"); });
    EXPECT_THROW(store().Atomically([&] {
        store().Set(G({"2"}), "dropped");
        throw StoreError("fails half-way");
    }),
                 StoreError);
    EXPECT_EQ(store().Get(G({"1"})), "kept");
    EXPECT_FALSE(store().Get(G({"2"})).has_value());
    // An inner transaction that fails takes the outer one with it.
    EXPECT_THROW(store().Atomically([&] {
        store().Set(G({"3"}), "outer");
        try {
            store().Atomically([&] { throw StoreError("inner"); });
        } catch (const StoreError&) {
        }
    }),
                 StoreError);
    EXPECT_FALSE(store().Get(G({"3"})).has_value());
    EXPECT_FALSE(store().InTransaction());
    const auto other = Other();
    {
        GlobalStore::Transaction tx(store());
        store().Set(G({"4"}), "pending");
        EXPECT_FALSE(other->Get(G({"4"})).has_value());  // not committed yet
        tx.Commit();
    }
    EXPECT_EQ(other->Get(G({"4"})), "pending");
}

// A listing tells the store which records it will check; the answers read ahead are the same
// as the ones asked one by one, a record without nodes included, and none outlives the call.
// Records whose first node lies just below them, deeper, or beside a value of their own, all
// answer alike. A node found by a walk is read again without a query only while nothing can have
// changed it. SQLite reads one snapshot in a call. GT.M has none: in a call that only reads, a
// node found by a step is read once from that step, later in the call too; any other read of it,
// and every read after the call or after a write, goes to the database.
TEST_P(Store, RecordsReadAheadAndNodesFoundInACallAnswerAsTheyStandNow) {
    const auto other = Other();
    store().Set(G({"7", "0"}), "seven");
    store().Set(G({"9", "2", "1"}), "nine");
    store().Set(G({"11"}), "eleven");
    store().Set(G({"11", "1"}), "its first");
    {
        const GlobalStore::ReadTransaction call(store());
        store().ReadAhead(G({}), {"7", "8", "9", "10", "11", "12"});
        for (const std::string record : {"7", "8", "9", "10", "11", "12"})
            EXPECT_EQ(store().HasChildren(G({record})),
                      record == "7" || record == "9" || record == "11")
                << record;
        EXPECT_EQ(store().Get(G({"7", "0"})), "seven");
        EXPECT_EQ(store().Get(G({"9", "2", "1"})), "nine");
        EXPECT_EQ(store().Get(G({"11", "1"})), "its first");
    }
    other->Kill(G({"9"}));
    EXPECT_FALSE(store().HasChildren(G({"9"})));
    store().Set(G({"7", "0"}), "first");
    if (GetParam() == StoreEngine::Gtm) {
        store().Set(G({"8", "0"}), "eight");
        {
            const GlobalStore::ReadTransaction call(store());
            EXPECT_TRUE(store().HasChildren(G({"7"})));
            EXPECT_TRUE(store().HasChildren(G({"8"})));
            other->Set(G({"7", "0"}), "second");
            EXPECT_EQ(store().Get(G({"8", "0"})), "eight");
            EXPECT_EQ(store().Get(G({"7", "0"})), "first");   // the step's
            EXPECT_EQ(store().Get(G({"7", "0"})), "second");  // read again
            EXPECT_TRUE(store().HasChildren(G({"7"})));
            other->Set(G({"7", "0"}), "third");
        }
        EXPECT_EQ(store().Get(G({"7", "0"})), "third");  // nothing outlives the call
        EXPECT_TRUE(store().HasChildren(G({"7"})));
        other->Set(G({"7", "0"}), "fourth");
        EXPECT_EQ(store().Get(G({"7", "0"})), "fourth");  // nor is anything kept outside one
        return;
    }
    {
        const GlobalStore::ReadTransaction snapshot(store());
        EXPECT_TRUE(store().HasChildren(G({"7"})));
        other->Set(G({"7", "0"}), "changed by another session");
        EXPECT_EQ(store().Get(G({"7", "0"})), "first");  // the snapshot's
    }
    EXPECT_EQ(store().Get(G({"7", "0"})), "changed by another session");
    {
        GlobalStore::Transaction tx(store());
        EXPECT_EQ(store().Order(G({"7", ""})), "0");
        store().Set(G({"7", "0"}), "changed here");
        EXPECT_EQ(store().Get(G({"7", "0"})), "changed here");
        EXPECT_TRUE(store().HasChildren(G({"7"})));
        store().Kill(G({"7", "0"}));
        EXPECT_FALSE(store().Get(G({"7", "0"})).has_value());
        EXPECT_FALSE(store().HasChildren(G({"7"})));
        tx.Commit();
    }
    // Outside a transaction nothing is remembered: another session's change shows at once.
    EXPECT_FALSE(store().HasChildren(G({"7"})));
    other->Set(G({"7", "0"}), "back");
    EXPECT_TRUE(store().HasChildren(G({"7"})));
    other->Set(G({"7", "0"}), "again");
    EXPECT_EQ(store().Get(G({"7", "0"})), "again");
}

// GT.M names the nodes it finds as M writes them ("a"_$C(1)_"b", numbers bare): every kind of
// subscript comes back whole from a step each way, a batch of steps, a walk and a read ahead.
TEST_P(Store, EveryKindOfSubscriptAndABatchOfLongNamesComeBackWhole) {
    // A batch of steps whose names fill GT.M's reply (each control character is written
    // "$C(127,...)") is asked on from its last node, not taken for the end of the range.
    const std::string controls(900, '\x7f');
    // The same for an index's entries, E(value, entry), which GT.M walks two levels at a time.
    store().Atomically([&] {
        for (int i = 1000; i < 1600; ++i) {
            store().Set(G({"C", std::to_string(i) + "x" + controls}), "");
            store().Set(G({"E", std::to_string(i) + "x" + controls, "7"}), "");
        }
    });
    for (const int direction : {1, -1}) {
        SCOPED_TRACE(direction);
        const std::string longNames = EncodeKey({"C"}), entries = EncodeKey({"E"});
        const std::vector<std::string> keys =
            store().KeysBetween("ZT", longNames, longNames + kAfterChildren, direction, 512);
        ASSERT_EQ(keys.size(), 512u);
        const std::string last = std::to_string(direction > 0 ? 1511 : 1088) + "x" + controls;
        EXPECT_EQ(DecodeKey(keys.back()).at(1), last);
        const std::vector<std::string> found =
            store().EntryKeysBetween(G({"E"}), entries, entries + kAfterChildren, direction, 512);
        ASSERT_EQ(found.size(), 512u);
        EXPECT_EQ(DecodeKey(found.back()), (Subscripts{"E", last, "7"}));
    }
    // clang-format off
    Subscripts kinds = {"-12.5", "0", ".007", "1", "1000000", " ", "\"", "\"\"a", "-0", "1.", "01", "+1", "A,B",
                        "(x)", "a_b", "$C(1)", "\x01", "\x01\x02z", "q\x7f\x80\xc8\xff", "\t\"\t"};
    // clang-format on
    kinds.push_back(std::string(300, 'x') + "\x1f");
    for (const std::string& s : kinds)
        store().Set(G({"S", s, "0"}), "v" + s);
    std::sort(kinds.begin(), kinds.end(), [](const std::string& a, const std::string& b) {
        return CompareSubscripts(a, b) < 0;
    });
    const std::string parent = EncodeKey({"S"});
    auto subscriptOf = [](const std::string& key) { return DecodeKey(key).at(1); };
    Subscripts stepped, batched, walked, backwards;
    for (auto k = store().KeyBetween("ZT", parent, parent + kAfterChildren); k;
         k = store().KeyBetween("ZT", *k, parent + kAfterChildren))
        stepped.push_back(subscriptOf(*k));
    for (const std::string& k : store().KeysBetween("ZT", parent, parent + kAfterChildren, 1, 100))
        batched.push_back(subscriptOf(k));
    for (const std::string& k : store().KeysBetween("ZT", parent, parent + kAfterChildren, -1, 100))
        backwards.insert(backwards.begin(), subscriptOf(k));
    store().Walk(G({"S"}), [&](const GlobalRef& ref, const std::string& value) {
        EXPECT_EQ(value, "v" + ref.subscripts.at(1));
        walked.push_back(ref.subscripts.at(1));
        return true;
    });
    for (const std::string& s : kinds) {
        EXPECT_EQ(store().Get(G({"S", s, "0"})), "v" + s) << s;
        EXPECT_EQ(store().Data(G({"S", s})), 10) << s;
    }
    EXPECT_EQ(stepped, kinds);
    EXPECT_EQ(batched, kinds);
    EXPECT_EQ(backwards, kinds);
    EXPECT_EQ(walked, kinds);
    const GlobalStore::ReadTransaction call(store());
    store().ReadAhead(G({"S"}), kinds);
    for (const std::string& s : kinds)
        EXPECT_EQ(store().KeyBetween("ZT", EncodeKey({"S", s}), parent + kAfterChildren),
                  EncodeKey({"S", s, "0"}))
            << s;
}

INSTANTIATE_TEST_SUITE_P(Engines, Store, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver
