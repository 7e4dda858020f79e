// The stored documents' bounds: a document read to its end goes, a session's oldest documents
// make room for its new one, and what fits no budget is refused with a reason a user can read.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "devserver/net/document_store.h"

namespace vorn::devserver {
namespace {

constexpr std::size_t kKiB = 1024;

// One line that counts exactly `bytes` against the budgets (its text and its line end).
std::vector<std::string> DocumentOf(std::size_t bytes) {
    return {std::string(bytes - sizeof(std::uint32_t), 'x')};
}

struct Step {
    int session;
    std::size_t bytes;
    std::string refusal;         // "" when kept
    std::vector<int> gone = {};  // earlier steps whose documents this one pushed out
};

struct BudgetCase {
    std::string name;
    DocumentBudget budget;
    std::vector<Step> steps;
};

class Budgets : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(Budgets, MakeRoomWithTheSessionsOldestOrRefuse) {
    DocumentStore store(GetParam().budget);
    const std::vector<Step>& steps = GetParam().steps;
    std::vector<std::string> handles(steps.size());
    std::vector<bool> kept(steps.size(), false);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const Step& step = steps[i];
        std::string refusal;
        try {
            handles[i] = store.Add(step.session, DocumentOf(step.bytes));
            kept[i] = true;
        } catch (const DocumentRefused& e) {
            refusal = e.what();
        }
        EXPECT_EQ(refusal, step.refusal);
        for (int g : step.gone)
            kept[static_cast<std::size_t>(g)] = false;
        // Every document is there exactly when expected, and the counts add up.
        std::map<int, std::size_t> bytes;
        std::size_t all = 0;
        for (std::size_t j = 0; j <= i; ++j) {
            if (handles[j].empty()) continue;
            const bool there = store.Read(steps[j].session, handles[j], 0).has_value();
            EXPECT_EQ(there, kept[j]) << "document of step " << j;
            if (kept[j]) {
                bytes[steps[j].session] += steps[j].bytes;
                all += steps[j].bytes;
            }
        }
        for (int session : {1, 2})
            EXPECT_EQ(store.BytesOf(session), bytes[session]) << "session " << session;
        EXPECT_EQ(store.Bytes(), all);
    }
}

const std::string kTooLarge =
    "The document is too large to keep: it takes more than the 4 KiB of documents a session may "
    "keep. Ask for fewer records.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    DocumentStore, Budgets,
    ::testing::Values(
        BudgetCase{"TheSessionsOldestGoFirst", {4 * kKiB, 100 * kKiB},
                   {{1, 1536, ""}, {1, 1536, ""}, {2, 3 * kKiB, ""}, {1, 1536, "", {0}},
                    {1, 3 * kKiB, "", {1, 3}}}},
        BudgetCase{"AnotherSessionsDocumentsStayAndTheServerBudgetRefuses", {4 * kKiB, 6 * kKiB},
                   {{1, 3 * kKiB, ""}, {2, 2 * kKiB, ""}, {2, 2 * kKiB, "", {1}},
                    {2, 4 * kKiB,
                     "The server is keeping its limit of 6 KiB of documents for other sessions, "
                     "so this document (4 KiB) is not kept. Try again when they are read."},
                    {1, 4 * kKiB, "", {0}}}},
        BudgetCase{"OverTheSessionsBudgetIsRefusedAndNothingGoes", {4 * kKiB, 100 * kKiB},
                   {{1, kKiB, ""}, {1, 4 * kKiB + 1, kTooLarge}, {1, 4 * kKiB, "", {0}}}}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(DocumentStore, KeepsAtMostThirtyTwoPerSessionDroppingTheOldest) {
    DocumentStore store;
    std::vector<std::string> handles;
    for (int i = 0; i < 33; ++i)
        handles.push_back(store.Add(1, {std::to_string(i)}));
    store.Add(2, {"other"});
    EXPECT_EQ(store.SizeOf(1), 32u);
    EXPECT_FALSE(store.Read(1, handles[0], 1));
    const auto first = store.Read(1, handles[1], 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->lines, std::vector<std::string>{"1"});
    EXPECT_FALSE(store.Read(2, handles[2], 1));
    EXPECT_NE(handles[2], handles[3]);
    EXPECT_EQ(store.ReleaseAll(1), 31);  // the one read to its end is gone already
    EXPECT_EQ(store.Size(), 1u);
    EXPECT_EQ(store.Bytes(), 5u + 4u);
}

TEST(DocumentStore, ADocumentReadToItsEndIsDropped) {
    using Page = std::tuple<std::vector<std::string>, std::size_t, bool>;  // lines, position, more
    DocumentStore store;
    const std::string handle = store.Add(1, {"a", "", "ccc", "\f", "e"});
    EXPECT_EQ(store.Bytes(), 6u + 5 * 4u);
    EXPECT_FALSE(store.Read(2, handle, 2));  // not another session's
    for (const Page& expected :
         {Page{{"a", ""}, 2, true}, Page{{"ccc", "\f"}, 4, true}, Page{{"e"}, 5, false}}) {
        const auto page = store.Read(1, handle, 2);
        ASSERT_TRUE(page);
        EXPECT_EQ(Page(page->lines, page->position, page->more), expected);
    }
    EXPECT_FALSE(store.Read(1, handle, 2));
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_EQ(store.Bytes(), 0u);
    // An empty document ends at its first page.
    const std::string empty = store.Add(1, {});
    const auto page = store.Read(1, empty, 200);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->lines.empty() && !page->more);
    EXPECT_EQ(store.Size(), 0u);
}

TEST(DocumentStore, SizesAsAUserReadsThem) {
    // clang-format off
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {0, "0 KiB"}, {1, "1 KiB"}, {kKiB, "1 KiB"}, {kKiB + 1, "2 KiB"}, {kKiB * kKiB, "1 MiB"},
        {kKiB * kKiB * 3 / 2, "1.5 MiB"}, {16 * kKiB * kKiB, "16 MiB"}, {20 * kKiB * kKiB + 400 * kKiB, "20.4 MiB"}};
    // clang-format on
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(ByteSizeText(bytes), text) << bytes;
}

}  // namespace
}  // namespace vorn::devserver
