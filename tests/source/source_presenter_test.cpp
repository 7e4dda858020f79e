// A presenter set on a source takes every message and question of the engine: nothing reaches
// the toolset's dialog (the scripted modal host fails the test on any interaction), and the
// presenter's answers decide as the user's would.
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
    RecordingPresenter presenter;
};

TEST_F(Presenting, TheReportOfASaveGoesToThePresenter) {
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    ASSERT_TRUE(source.Save());
    EXPECT_EQ(presenter.shown, (std::vector<Shown>{{"Saved: Demo Lab Test: HB Haemoglobin\r\n",
                                                    K::Information, ui::mbOK}}));
}

TEST_F(Presenting, ThePresentersCancelToTheLeavingQuestionKeepsTheEdit) {
    source.GetAndFill("1");
    name.Change("Kept", "Kept");
    presenter.answer = ui::mrCancel;
    EXPECT_FALSE(source.CheckSaveChanges());
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].kind, K::Confirmation);
    EXPECT_EQ(presenter.shown[0].buttons, ui::mbYes | ui::mbNo | ui::mbCancel);
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(SourceCore::Of(source).HasChanges());
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

TEST(DefaultPresenter, IsTheToolsetsMessageDialog) {
    TvornSource source;
    EXPECT_NE(dynamic_cast<DialogPresenter*>(&SourceCore::Of(source).Presenter()), nullptr);
    EXPECT_EQ(&SourceCore::Of(source).Presenter(), &DefaultSourcePresenter());
}

}  // namespace
}  // namespace vorn
