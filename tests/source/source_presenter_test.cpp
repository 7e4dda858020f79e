// A presenter set on a source takes every message and question of the engine: nothing reaches
// the toolset's dialog (the scripted modal host fails the test on any interaction), and the
// presenter's answers decide as the user's would. Each operation of a source leaves one outcome,
// and sends it: done, refused with the server's lines, cancelled, or failed.
#include <gtest/gtest.h>

#include <vector>

#include "source/internal/source_core.h"
#include "source/source_presenter.h"
#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

struct Shown {
    QString text;
    K kind;
    int buttons;
    bool operator==(const Shown&) const = default;
};

class RecordingPresenter final : public SourcePresenter {
  public:
    int Show(const QString& text, K kind, int buttons, int) override {
        shown.push_back({text, kind, buttons});
        return answer;
    }
    std::vector<Shown> shown;
    int answer = ui::mrOk;
};

class Presenting : public test::LabTestSource {
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
    RecordingPresenter presenter;
};

TEST_F(Presenting, ASaveThatFilesIsReportedThroughThePresenterAndIsDoneAndSentOnce) {
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    const std::vector<SourceOutcome> sent = Sent([&] { ASSERT_TRUE(source.Save()); });
    EXPECT_EQ(presenter.shown, (std::vector<Shown>{{"Saved: Demo Lab Test: HB Haemoglobin\r\n",
                                                    K::Information, ui::mbOK}}));
    ASSERT_EQ(sent.size(), 1u) << "the lock and the checks inside the save send nothing";
    EXPECT_EQ(sent[0].operation, SourceOperation::Save);
    EXPECT_EQ(sent[0].kind, SourceOutcome::Done);
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Save);
    EXPECT_TRUE(source.LastOutcome().IsDone());
}

TEST_F(Presenting, ThePresentersCancelToTheLeavingQuestionKeepsTheEditAndIsCancelled) {
    source.GetAndFill("1");
    name.Change("Kept", "Kept");
    presenter.answer = ui::mrCancel;
    EXPECT_FALSE(source.CheckSaveChanges());
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].kind, K::Confirmation);
    EXPECT_EQ(presenter.shown[0].buttons, ui::mbYes | ui::mbNo | ui::mbCancel);
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(SourceCore::Of(source).HasChanges());
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::LeaveRecord);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Cancelled);
    EXPECT_TRUE(source.LastOutcome().lines.isEmpty());
}

TEST_F(Presenting, ASourceWithoutFileNumberSaysSoThroughThePresenter) {
    TvornSource unnamed;
    unnamed.setObjectName("unnamedSource");
    unnamed.SetPresenter(&presenter);
    unnamed.Open();
    EXPECT_EQ(
        presenter.shown,
        (std::vector<Shown>{{"unnamedSource's filenumber not defined!", K::Error, ui::mbOK}}));
    EXPECT_FALSE(unnamed.Active());
}

TEST_F(Presenting, ARefusedValueCarriesTheValidatorsReasons) {
    source.Insert();
    EXPECT_FALSE(SourceCore::Of(source).Validate("4", "not a date").valid);
    EXPECT_EQ(source.LastOutcome().operation, SourceOperation::Validate);
    EXPECT_EQ(source.LastOutcome().kind, SourceOutcome::Refused);
    EXPECT_FALSE(source.LastOutcome().lines.isEmpty());
}

TEST_F(Presenting, AnOperationWithoutBrokerFailsWithTheError) {
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
