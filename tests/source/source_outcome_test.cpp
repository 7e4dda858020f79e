// Each operation of a source leaves one outcome, and sends it: done, refused with the server's
// lines, cancelled, or failed. The questions are answered by a presenter of the test's own.
#include <gtest/gtest.h>

#include <vector>

#include "source/internal/source_core.h"
#include "source/source_presenter.h"
#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

class Answering final : public SourcePresenter {
  public:
    int Show(const QString&, ui::MessageKind, int, int) override { return answer; }
    int answer = ui::mrOk;
};

class Outcomes : public test::LabTestSource {
  protected:
    void SetUp() override {
        source.SetPresenter(&presenter);
        Open();
    }
    void TearDown() override { source.SetPresenter(nullptr); }
    // The outcomes sent while `action` ran.
    template <typename F>
    std::vector<SourceOutcome> Sent(F&& action) {
        std::vector<SourceOutcome> sent;
        QObject receiver;
        QObject::connect(&source, &TvornSource::OutcomeReached, &receiver,
                         [&](const SourceOutcome& outcome) { sent.push_back(outcome); });
        action();
        return sent;
    }
    Answering presenter;
};

TEST_F(Outcomes, ASaveThatFilesIsDoneAndSentOnce) {
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    const std::vector<SourceOutcome> sent = Sent([&] { ASSERT_TRUE(source.Save()); });
    ASSERT_EQ(sent.size(), 1u) << "the lock and the checks inside the save send nothing";
    EXPECT_EQ(sent[0].operation, SourceOperation::Save);
    EXPECT_EQ(sent[0].kind, SourceOutcome::Done);
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Save);
    EXPECT_TRUE(source.LastOutcome().IsDone());
}

TEST_F(Outcomes, TheUsersCancelIsCancelled) {
    source.GetAndFill("1");
    name.Change("Kept", "Kept");
    presenter.answer = ui::mrCancel;
    EXPECT_FALSE(source.CheckSaveChanges());
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::LeaveRecord);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Cancelled);
    EXPECT_TRUE(source.LastOutcome().lines.isEmpty());
}

TEST_F(Outcomes, ARefusedValueCarriesTheValidatorsReasons) {
    source.Insert();
    EXPECT_FALSE(SourceCore::Of(source).Validate("4", "not a date").valid);
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Validate);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Refused);
    EXPECT_FALSE(source.LastOutcome().lines.isEmpty());
}

TEST_F(Outcomes, ALockHeldByAnotherUserIsRefused) {
    test::OtherUser other(SecondBroker(), form);
    other.source.GetAndFill("1");
    other.name.Change("Held", "Held");
    ASSERT_TRUE(SourceCore::Of(other.source).Locked());
    source.GetAndFill("1");
    EXPECT_FALSE(source.LockRecord());
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Lock);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Refused);
}

TEST_F(Outcomes, ALockTheServerRefusesCarriesItsLines) {
    TvornSource reader;
    reader.setObjectName("readerSource");
    reader.FileNumber = "80001";
    test::FakeBoundControl readerName(reader, "2", &form);
    // The server's own refusal, not the access the source would ask for first.
    reader.FMAccessUsed = false;
    reader.SetPresenter(&presenter);
    reader.SetRPCBroker(&SecondBroker(test::kReaderCodes));
    reader.Open();
    ASSERT_TRUE(reader.GetAndFill("1"));
    EXPECT_FALSE(reader.LockRecord());
    EXPECT_EQ(reader.LastOutcome().kind, SourceOutcome::Refused);
    EXPECT_TRUE(reader.LastOutcome().lines.join(' ').contains("You may not change records"))
        << reader.LastOutcome().lines.join('\n').toStdString();
}

TEST_F(Outcomes, ADeletionTheServerRefusesCarriesItsReason) {
    source.ShowMessages = false;
    source.Insert();
    abbreviation.Change("ZZ8", "ZZ8");
    name.Change("To delete", "To delete");
    ASSERT_TRUE(source.SaveAs());
    test::OtherUser other(SecondBroker(), form);
    other.source.GetAndFill(source.Address().Number());
    other.name.Change("Held", "Held");
    ASSERT_TRUE(SourceCore::Of(other.source).Locked());
    EXPECT_FALSE(source.Delete());
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Delete);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Refused);
    EXPECT_TRUE(source.LastOutcome().lines.join(' ').contains("is being edited by another user"))
        << source.LastOutcome().lines.join('\n').toStdString();
    EXPECT_FALSE(source.LastOutcome().unanswered);
}

TEST_F(Outcomes, AnOperationWithoutBrokerFailsWithTheError) {
    source.GetAndFill("1");
    name.Change("Lost", "Lost");
    source.SetRPCBroker(nullptr);
    EXPECT_ANY_THROW(source.Save());
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Save);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Failed);
    EXPECT_TRUE(source.LastOutcome().error.contains("vornSource1"));
    EXPECT_FALSE(source.LastOutcome().unanswered);
    source.SetRPCBroker(&Broker());
}

}  // namespace
}  // namespace vorn
