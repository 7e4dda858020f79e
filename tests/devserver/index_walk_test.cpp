// Index walks against the obvious slow answer: every entry in M order, filtered by prefix and
// continuation point, over values that mix numbers, number-like strings and letters of both
// cases. The order itself and resuming among equal values are the lister's tests, end to end.
#include "devserver/files/index_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "devserver/m/collation.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

class IndexWalkTest : public test::StoreOnBothEngines {
  protected:
    void SetUp() override {
        StoreOnBothEngines::SetUp();
        if (!IsSkipped()) writing = std::make_unique<GlobalStore::Transaction>(store());
    }
    void TearDown() override {
        writing.reset();
        owned.reset();
    }

    void Add(const std::string& value, const std::string& ien) {
        store().Set(root.Child(value).Child(ien), "");
        entries.push_back({value, ien});
    }
    static void Sort(std::vector<IndexEntry>& v) {
        std::sort(v.begin(), v.end(), [](const IndexEntry& a, const IndexEntry& b) {
            return CompareEntries(a, b) < 0;
        });
    }
    std::vector<std::string> Walk(IndexWalkOptions options) {
        IndexWalk walk(store(), root, options);
        std::vector<std::string> out;
        while (auto e = walk.Next())
            out.push_back(e->value + "|" + e->ien);
        return out;
    }
    std::vector<std::string> Expected(const IndexWalkOptions& o) {
        std::vector<std::string> out;
        auto ordered = entries;
        Sort(ordered);
        if (o.backwards) std::reverse(ordered.begin(), ordered.end());
        for (const IndexEntry& e : ordered) {
            if (!BeginsWith(e.value, o.prefix, o.ignoreCase)) continue;
            if (o.after && !o.after->value.empty()) {
                const int c = o.after->ien.empty() ? CompareSubscripts(e.value, o.after->value)
                                                   : CompareEntries(e, *o.after);
                if ((o.backwards ? -c : c) <= 0) continue;  // not past the continuation point
            }
            out.push_back(e.value + "|" + e.ien);
        }
        return out;
    }

    static std::string Described(const IndexWalkOptions& o) {
        return "prefix \"" + o.prefix + "\" backwards " + std::to_string(o.backwards) +
               " ignoring case " + std::to_string(o.ignoreCase) + " after " +
               (o.after ? o.after->value + "|" + o.after->ien : "-") + " read ahead " +
               std::to_string(o.readAhead);
    }

    // Never committed: the test's nodes go with it (on GT.M they stay in the transaction's own
    // writes, which the walk reads merged with the database).
    std::unique_ptr<GlobalStore::Transaction> writing;
    GlobalRef root{"IX", {"1", "B"}};
    std::vector<IndexEntry> entries;
};

TEST_P(IndexWalkTest, ADigitPrefixFindsTheLongerNumbersAndTheStringsThatBeginWithIt) {
    for (const char* v :
         {"1",   "2",   "9",   "10",   "11",  "12",   "19",  "20",  "99",  "100", "120",
          "121", "199", "200", "1000", "1.5", "12.5", "-12", ".12", "12A", "1X"})
        Add(v, "7");
    IndexWalkOptions o;
    o.prefix = "12";
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"12|7", "12.5|7", "120|7", "121|7", "12A|7"}));
    o.backwards = true;
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"12A|7", "121|7", "120|7", "12.5|7", "12|7"}));
    o = {};
    o.prefix = "1";
    EXPECT_EQ(Walk(o), Expected(o));
    o.prefix = "-1";
    EXPECT_EQ(Walk(o), (std::vector<std::string>{"-12|7"}));
    o.prefix = ".";
    EXPECT_EQ(Walk(o), (std::vector<std::string>{".12|7"}));
}

// A walk over a letter prefix reads only between the prefix's first spelling and its last: the
// values before and after are never read, so no record of theirs is fetched for nothing.
TEST_P(IndexWalkTest, ALetterPrefixReadsOnlyBetweenItsSpellings) {
    for (int i = 1; i <= 40; ++i) {
        Add("ADAMS " + std::to_string(i), std::to_string(i));
        Add("sn " + std::to_string(i), std::to_string(200 + i));
    }
    for (const char* v : {"SMITH", "smith", "SMYTHE", "SNOW"})
        Add(v, "100");
    IndexWalkOptions o;
    o.prefix = "sm";
    o.ignoreCase = true;
    o.readAhead = 8;
    std::vector<std::string> readAhead;
    o.onReadAhead = [&](const std::vector<std::string>& iens) {
        readAhead.insert(readAhead.end(), iens.begin(), iens.end());
    };
    EXPECT_EQ(Walk(o), Expected(o));
    EXPECT_EQ(readAhead, (std::vector<std::string>{"100", "100", "100", "100"}));
}

// An entry is any root(value,ien) that holds a value or has descendants, as $ORDER sees it; a
// value's own node holds no entry, and an entry's descendants are not entries of their own.
TEST_P(IndexWalkTest, NodesAboveAndBelowTheEntriesAreNoEntries) {
    for (const char* v : {"AB", "AC", "B", "BA", "C"})
        Add(v, "2");
    store().Set(root.Child("AB"), "a value's own node");
    store().Set(root.Child("AA"), "a value with no entries");
    store().Set(root.Child("BB"), "another");
    store().Set(root.Child("AC").Child("2").Child("1"), "below an entry");
    store().Set(root.Child("AC").Child("3").Child("1"), "an entry that is only descendants");
    entries.push_back({"AC", "3"});
    // Keys read ahead one at a time, a few, and all at once give the same walk.
    for (const int readAhead : {1, 2, 3, 512})
        for (const bool backwards : {false, true})
            for (const std::string prefix : {"", "A", "B"})
                for (const std::optional<IndexEntry>& after :
                     {std::optional<IndexEntry>(), std::optional<IndexEntry>({"AC", "2"}),
                      std::optional<IndexEntry>({"AB", ""}),
                      std::optional<IndexEntry>({"BB", "1"})}) {
                    IndexWalkOptions o;
                    o.backwards = backwards;
                    o.prefix = prefix;
                    o.after = after;
                    o.readAhead = readAhead;
                    EXPECT_EQ(Walk(o), Expected(o)) << Described(o);
                }
}

// Many random indexes, prefixes and continuation points against the slow answer.
TEST_P(IndexWalkTest, RandomWalksAgreeWithFilteringEveryEntry) {
    std::mt19937 random(20260517);
    const std::string alphabet = "aAbB1209.-zZ ";
    auto text = [&](int maxLength) {
        std::string s;
        const int n = 1 + static_cast<int>(random() % static_cast<unsigned>(maxLength));
        for (int i = 0; i < n; ++i)
            s += alphabet[random() % alphabet.size()];
        return s;
    };
    std::set<std::string> values;
    while (values.size() < 400)
        values.insert(text(4));
    for (const std::string& v : values) {
        const int copies = 1 + static_cast<int>(random() % 3);
        for (int c = 0; c < copies; ++c)
            Add(v, std::to_string(1 + random() % 50));
    }
    Sort(entries);
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const IndexEntry& a, const IndexEntry& b) {
                                  return CompareEntries(a, b) == 0;
                              }),
                  entries.end());
    for (int round = 0; round < 400; ++round) {
        IndexWalkOptions o;
        o.backwards = random() % 2;
        o.ignoreCase = random() % 2;
        const int kind = static_cast<int>(random() % 4);
        if (kind == 1) o.prefix = text(2);
        if (kind == 2) o.prefix = std::to_string(1 + random() % 30);
        if (kind == 3) o.prefix = text(1);
        if (random() % 2) {
            const IndexEntry& at = entries[random() % entries.size()];
            o.after = IndexEntry{at.value, random() % 3 ? at.ien : std::string()};
        }
        o.readAhead = 1 + static_cast<int>(random() % 70);
        ASSERT_EQ(Walk(o), Expected(o)) << Described(o);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, IndexWalkTest, test::kBothEngines, test::EngineName);

}  // namespace
}  // namespace vorn::devserver
