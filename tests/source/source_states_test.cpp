// The state changes a source makes, as a table: from each state, which changes it takes and which
// it refuses, and what each leaves of the record address. Every case drives a real source on the
// demo's lab tests into its first state and then asks for the second.
#include <gtest/gtest.h>

#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

constexpr TvornSourceState kStates[] = {ssInactive, ssNew, ssEdit, ssBrowse, ssEmpty, ssNoMaster};

class States : public test::LabTestSource {
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

TEST_F(States, EachChangeIsTakenOrRefusedAndLeavesItsAddress) {
    // Only a stored record shown unchanged may be edited, and an inactive source takes no record
    // before it opens; every state not refused is taken.
    const struct {
        TvornSourceState from;
        std::vector<TvornSourceState> refused;
    } rows[] = {{ssInactive, {ssNew, ssEdit, ssBrowse}},
                {ssNew, {ssEdit}},
                {ssEdit, {}},
                {ssBrowse, {}},
                {ssEmpty, {ssEdit}},
                {ssNoMaster, {ssEdit}}};
    for (const auto& row : rows) {
        for (TvornSourceState to : kStates) {
            SCOPED_TRACE(::testing::Message() << "from " << int(row.from) << " to " << int(to));
            ASSERT_NO_FATAL_FAILURE(DriveTo(row.from));
            const QString before = source.Address().Number();
            // A transition alone: locking and the record-changed check belong to starting edits.
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
}

}  // namespace
}  // namespace vorn
