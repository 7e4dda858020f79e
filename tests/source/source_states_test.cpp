// The state changes a source makes, as a table: from each state, which changes it takes and which
// it refuses, and what each leaves of the record address. Every case drives a real source on the
// demo's lab tests into its first state and then asks for the second.
#include <gtest/gtest.h>

#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

struct FromState {
    TvornSourceState from;
    std::vector<TvornSourceState> refused;  // every other state is taken
};

void PrintTo(const FromState& row, std::ostream* os) {
    *os << "from " << int(row.from);
}

constexpr TvornSourceState kStates[] = {ssInactive, ssNew, ssEdit, ssBrowse, ssEmpty, ssNoMaster};

class States : public test::LabTestSource, public ::testing::WithParamInterface<FromState> {
  protected:
    void DriveTo(TvornSourceState state) {
        if (state == ssInactive) {
            source.Close();
            return;
        }
        // A source set inactive by a state change alone is opened again.
        if (source.State() == ssInactive) source.Close();
        if (!source.Active()) Open();
        if (state == ssNew || state == ssEmpty) {
            source.Clear();
            if (state == ssNew) source.Insert();
        } else {
            source.GetAndFill("1");
            if (state != ssBrowse) source.SetState(state);
        }
        ASSERT_EQ(source.State(), state);
    }
};

TEST_P(States, EachChangeIsTakenOrRefusedAndLeavesItsAddress) {
    const FromState& row = GetParam();
    for (TvornSourceState to : kStates) {
        SCOPED_TRACE(::testing::Message() << "to " << int(to));
        ASSERT_NO_FATAL_FAILURE(DriveTo(row.from));
        const QString before = source.Address().Number();
        // A transition alone: the lock and the record-changed check belong to starting an edit.
        EXPECT_EQ(CallsOf([&] { source.SetState(to); }), test::Calls{});
        const bool refused =
            std::find(row.refused.begin(), row.refused.end(), to) != row.refused.end();
        const TvornSourceState now = refused ? row.from : to;
        EXPECT_EQ(source.State(), now);
        if (refused || now == ssEdit || now == ssBrowse)
            EXPECT_EQ(source.Address().Number(), before);
        else if (now == ssNew)
            EXPECT_TRUE(source.Address().IsNew());
        else
            EXPECT_FALSE(source.Address().HasRecord());
        EXPECT_FALSE(Core().Owners().locker.Locked());
    }
}

// Only a stored record shown unchanged may be edited, and an inactive source takes no record
// before it opens.
INSTANTIATE_TEST_SUITE_P(Table, States,
                         ::testing::Values(FromState{ssInactive, {ssNew, ssEdit, ssBrowse}},
                                           FromState{ssNew, {ssEdit}}, FromState{ssEdit, {}},
                                           FromState{ssBrowse, {}}, FromState{ssEmpty, {ssEdit}},
                                           FromState{ssNoMaster, {ssEdit}}));

}  // namespace
}  // namespace vorn
