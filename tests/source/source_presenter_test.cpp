// A presenter set on a source takes every message and question of the engine: nothing reaches
// the toolset's dialog (the scripted modal host fails the test on any interaction), and the
// presenter's answers decide as the user's would. Each operation of a source leaves one outcome,
// and sends it: done, refused with the server's lines, cancelled, or failed. Each After* event
// has a Qt signal of the same moment, sent right after the event's handler with the values the
// handler left.
#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <vector>

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
    EXPECT_TRUE(Core().Owners().saver.HasChanges());
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

// --- the signals ---

class Moments;

struct MomentCase {
    const char* name;
    std::function<void(Moments&)> action;
    QString moment;  // the event the action must raise
};

class Moments : public Presenting, public testing::WithParamInterface<MomentCase> {
  public:
    TvornSource& Source() { return source; }
    void ChangeName(const QString& text) { name.Change(text, text); }
    using LabTestSource::SaveNewLabTest;
    QString validated;  // what the validation signal carried besides the field

  protected:
    void SetUp() override {
        Presenting::SetUp();
        presenter.answer = ui::mrYes;
        Hook();
    }
    void Hook() {
        auto event = [this](const QString& what) { log.append("event " + what); };
        auto signal = [this](const QString& what) { log.append("signal " + what); };
        source.AfterClear = [=](QObject*) { event("Clear"); };
        source.AfterDelete = [=](QObject*, bool ok) { event("Delete " + Yes(ok)); };
        source.AfterGetAndFill = [=](QObject*) { event("GetAndFill"); };
        source.AfterSave = [=](QObject*, bool ok) { event("Save " + Yes(ok)); };
        source.AfterSaveAs = [=](QObject*, bool ok) { event("SaveAs " + Yes(ok)); };
        source.AfterUpdateHistory = [=](QObject*) { event("UpdateHistory"); };
        source.AfterInsert = [=](QObject*) { event("Insert"); };
        source.AfterValidateField = [=](QObject*, bool& result, const QString& field,
                                        QString& internal, QString& external) {
            event("ValidateField " + field + u'=' + internal);
            external = QStringLiteral("changed by the event");
            result = false;
        };
        QObject::connect(&source, &TvornSource::Cleared, [=] { signal("Clear"); });
        QObject::connect(&source, &TvornSource::Deleted,
                         [=](bool ok) { signal("Delete " + Yes(ok)); });
        QObject::connect(&source, &TvornSource::GotAndFilled, [=] { signal("GetAndFill"); });
        QObject::connect(&source, &TvornSource::Saved, [=](bool ok) { signal("Save " + Yes(ok)); });
        QObject::connect(&source, &TvornSource::SavedAs,
                         [=](bool ok) { signal("SaveAs " + Yes(ok)); });
        QObject::connect(&source, &TvornSource::HistoryUpdated, [=] { signal("UpdateHistory"); });
        QObject::connect(&source, &TvornSource::Inserted, [=] { signal("Insert"); });
        QObject::connect(&source, &TvornSource::FieldValidated,
                         [=, this](bool result, const QString& field, const QString& internal,
                                   const QString& external) {
                             signal("ValidateField " + field + u'=' + internal);
                             validated = external + u' ' + Yes(result);
                         });
    }
    static QString Yes(bool on) { return on ? QStringLiteral("yes") : QStringLiteral("no"); }
    QStringList log;
};

TEST_P(Moments, EachEventIsFollowedByItsSignal) {
    GetParam().action(*this);
    EXPECT_TRUE(log.contains("event " + GetParam().moment)) << log.join(", ").toStdString();
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (!log[i].startsWith("event ")) continue;
        ASSERT_LT(i + 1, log.size()) << log.join(", ").toStdString();
        EXPECT_EQ(log[i + 1], "signal " + log[i].mid(6)) << log.join(", ").toStdString();
    }
    EXPECT_EQ(log.filter("event ").size(), log.filter("signal ").size());
}

INSTANTIATE_TEST_SUITE_P(
    Source, Moments,
    testing::Values(MomentCase{"GetAndFill", [](Moments& f) { f.Source().GetAndFill("1"); },
                               "GetAndFill"},
                    MomentCase{"History",
                               [](Moments& f) {
                                   f.Source().GetAndFill("1");
                                   f.Source().UpdateHistory();
                               },
                               "UpdateHistory"},
                    MomentCase{"Clear", [](Moments& f) { f.Source().Clear(); }, "Clear"},
                    MomentCase{"Insert", [](Moments& f) { f.Source().Insert(); }, "Insert"},
                    MomentCase{"ValidateField",
                               [](Moments& f) {
                                   f.Source().Insert();
                                   f.Source().ValidateField("6", "12");
                                   // The signal carries what the event left.
                                   EXPECT_EQ(f.validated, "changed by the event no");
                               },
                               "ValidateField 6=12"},
                    MomentCase{"Save",
                               [](Moments& f) {
                                   f.Source().GetAndFill("1");
                                   f.ChangeName("Haemoglobin");
                                   f.Source().Save();
                               },
                               "Save yes"},
                    MomentCase{"SaveAs", [](Moments& f) { f.SaveNewLabTest("ZZ9"); }, "SaveAs yes"},
                    MomentCase{"Delete",
                               [](Moments& f) {
                                   f.SaveNewLabTest("ZZA");
                                   f.Source().Delete();
                               },
                               "Delete yes"}),
    [](const testing::TestParamInfo<MomentCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn
