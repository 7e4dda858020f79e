// The two tables every refresh applies: which operation buttons and controls a source enables
// in each state for each right.
#include "source/enabling_rules.h"

#include <gtest/gtest.h>

#include <QMetaEnum>

namespace vorn {
namespace {

constexpr TvornUserAccess kNone;
constexpr TvornUserAccess kReader = TvornUserAccess(uaRead | uaBrowse);
constexpr TvornUserAccess kInsertOnly = TvornUserAccess(uaRead | uaBrowse | uaInsert);

// Enabled states, one letter per state in the order New, Edit, Browse, Empty, Inactive,
// NoMaster ('x' enabled, '.' disabled).
struct ButtonRow {
    TvornBtnOperation operation;
    TvornUserAccess access;
    bool atFirst;
    bool atLast;
    const char* states;
};

void PrintTo(const ButtonRow& r, std::ostream* os) {
    *os << QMetaEnum::fromType<TvornBtnOperation>().valueToKey(r.operation) << " access "
        << int(r.access) << (r.atFirst ? " atFirst" : "") << (r.atLast ? " atLast" : "");
}

class ButtonTable : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(ButtonTable, EnablesExactlyInTheseStates) {
    const ButtonRow& r = GetParam();
    const TvornSourceState states[] = {ssNew, ssEdit, ssBrowse, ssEmpty, ssInactive, ssNoMaster};
    std::string got;
    for (TvornSourceState s : states)
        got += OperationEnabled(r.operation, s, r.access, r.atFirst, r.atLast) ? 'x' : '.';
    EXPECT_EQ(got, r.states);
}

INSTANTIATE_TEST_SUITE_P(Rows, ButtonTable,
                         ::testing::Values(ButtonRow{DoFirst, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoFirst, kAllAccess, true, false, "......"},
                                           ButtonRow{DoFirst, TvornUserAccess(uaRead), false, false,
                                                     "......"},
                                           ButtonRow{DoPrior, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoPrior, kAllAccess, true, false, "......"},
                                           ButtonRow{DoNext, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoNext, kAllAccess, false, true, "......"},
                                           ButtonRow{DoLast, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoLast, kReader, true, true, "......"},
                                           ButtonRow{DoSave, kAllAccess, false, false, ".x...."},
                                           ButtonRow{DoSave, kInsertOnly, false, false, "......"},
                                           ButtonRow{DoSaveAs, kAllAccess, false, false, "xxx..."},
                                           ButtonRow{DoSaveAs, kReader, false, false, "......"},
                                           ButtonRow{DoClear, kNone, false, false, "xxxx.."},
                                           ButtonRow{DoInsert, kAllAccess, false, false, "xxxx.."},
                                           ButtonRow{DoInsert, kReader, false, false, "......"},
                                           ButtonRow{DoCancel, kAllAccess, false, false, "xx...."},
                                           ButtonRow{DoCancel, kInsertOnly, false, false, "xx...."},
                                           ButtonRow{DoCancel, kReader, false, false, "......"},
                                           ButtonRow{DoDelete, kAllAccess, false, false, ".xx..."},
                                           ButtonRow{DoDelete, TvornUserAccess(31 & ~uaDelete),
                                                     false, false, "......"}));

TEST(ExecButtons, APointerButtonNeedsWriteAFindButtonBrowseAndNeitherWorksWithoutARecordContext) {
    for (TvornSourceState s : {ssNew, ssEdit, ssBrowse, ssEmpty}) {
        EXPECT_TRUE(ExecButtonEnabled(true, s, TvornUserAccess(uaWrite)));
        EXPECT_FALSE(ExecButtonEnabled(true, s, kReader));
        EXPECT_TRUE(ExecButtonEnabled(false, s, kReader));
        EXPECT_FALSE(ExecButtonEnabled(false, s, TvornUserAccess(uaWrite)));
    }
    for (TvornSourceState s : {ssInactive, ssNoMaster}) {
        EXPECT_FALSE(ExecButtonEnabled(true, s, kAllAccess));
        EXPECT_FALSE(ExecButtonEnabled(false, s, kAllAccess));
    }
}

struct ControlRow {
    TvornSourceState state;
    TvornUserAccess access;
    TvornBoundControl::Lookup lookup;
    int expected;  // 1 enabled, 0 disabled, -1 left as it is
};

class ControlTable : public ::testing::TestWithParam<ControlRow> {};

TEST_P(ControlTable, EnablesDisablesOrLeavesAlone) {
    const ControlRow& r = GetParam();
    const std::optional<bool> got = ControlEnabled(r.state, r.access, r.lookup);
    EXPECT_EQ(got ? int(*got) : -1, r.expected);
}

using L = TvornBoundControl::Lookup;
INSTANTIATE_TEST_SUITE_P(
    Rows, ControlTable,
    ::testing::Values(
        ControlRow{ssNew, kAllAccess, L::Pointer, 1}, ControlRow{ssNew, kReader, L::Pointer, 0},
        ControlRow{ssNew, kReader, L::None, -1}, ControlRow{ssNew, kReader, L::Find, -1},
        ControlRow{ssBrowse, kAllAccess, L::None, 1}, ControlRow{ssBrowse, kReader, L::None, 0},
        ControlRow{ssBrowse, kReader, L::Pointer, 0}, ControlRow{ssBrowse, kReader, L::Find, 1},
        ControlRow{ssEmpty, kReader, L::None, 0}, ControlRow{ssEmpty, kInsertOnly, L::Find, 1},
        ControlRow{ssEdit, kReader, L::None, -1}, ControlRow{ssInactive, kAllAccess, L::None, -1},
        ControlRow{ssNoMaster, kAllAccess, L::None, -1}));

}  // namespace
}  // namespace vorn
