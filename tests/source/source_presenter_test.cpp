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
    RecordingPresenter presenter;
};

TEST_F(Presenting, ASaveIsReportedThroughThePresenterAndItsCancelToLeavingKeepsTheEdit) {
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    std::vector<SourceOutcome> sent;
    QObject receiver;  // goes before `sent`
    QObject::connect(&source, &TvornSource::OutcomeReached, &receiver,
                     [&](const SourceOutcome& outcome) { sent.push_back(outcome); });
    ASSERT_TRUE(source.Save());
    EXPECT_EQ(presenter.shown, (std::vector<Shown>{{"Saved: Demo Lab Test: HB Haemoglobin\r\n",
                                                    K::Information, ui::mbOK}}));
    ASSERT_EQ(sent.size(), 1u) << "the lock and the checks inside the save send nothing";
    EXPECT_EQ(test::Outcome(sent[0]), std::pair(SourceOperation::Save, SourceOutcome::Done));
    EXPECT_EQ(test::Outcome(source), std::pair(SourceOperation::Save, SourceOutcome::Done));
    // The presenter's Cancel to the leaving question keeps the edit and is cancelled.
    source.GetAndFill("1");
    name.Change("Kept", "Kept");
    presenter.answer = ui::mrCancel;
    EXPECT_FALSE(source.CheckSaveChanges());
    ASSERT_EQ(presenter.shown.size(), 2u);
    EXPECT_EQ(presenter.shown[1].kind, K::Confirmation);
    EXPECT_EQ(presenter.shown[1].buttons, ui::mbYes | ui::mbNo | ui::mbCancel);
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(Core().Owners().saver.HasChanges());
    EXPECT_EQ(test::Outcome(source),
              std::pair(SourceOperation::LeaveRecord, SourceOutcome::Cancelled));
    EXPECT_TRUE(source.LastOutcome().lines.isEmpty());
}

TEST_F(Presenting, AMissingFileNumberIsSaidAndAnOperationWithoutBrokerFailsWithTheError) {
    TvornSource unnamed;
    unnamed.setObjectName("unnamedSource");
    unnamed.SetPresenter(&presenter);
    unnamed.Open();
    EXPECT_EQ(
        presenter.shown,
        (std::vector<Shown>{{"unnamedSource's filenumber not defined!", K::Error, ui::mbOK}}));
    EXPECT_FALSE(unnamed.Active());
    source.GetAndFill("1");
    name.Change("Lost", "Lost");
    source.SetRPCBroker(nullptr);
    EXPECT_ANY_THROW(source.Save());
    EXPECT_EQ(test::Outcome(source), std::pair(SourceOperation::Save, SourceOutcome::Failed));
    EXPECT_TRUE(source.LastOutcome().error.contains("vornSource1"));
    EXPECT_FALSE(source.LastOutcome().unanswered);
    source.SetRPCBroker(&Broker());
}

// --- the signals ---

class Moments : public Presenting {
  protected:
    // Each event and signal logs its moment: the event's name and what it carries.
    void SetUp() override {
        Presenting::SetUp();
        presenter.answer = ui::mrYes;
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
    QString validated;  // what the validation signal carried besides the field
};

// Each action in turn, in an order that leaves no changes behind for the next.
TEST_F(Moments, EachEventIsFollowedByItsSignal) {
    const std::pair<QString, std::function<void()>> moments[] = {
        {"GetAndFill", [&] { source.GetAndFill("1"); }},
        {"UpdateHistory",
         [&] {
             source.GetAndFill("1");
             source.UpdateHistory();
         }},
        {"Save yes",
         [&] {
             source.GetAndFill("1");
             name.Change("Haemoglobin", "Haemoglobin");
             source.Save();
         }},
        {"Clear", [&] { source.Clear(); }},
        {"SaveAs yes", [&] { SaveNewLabTest("ZZ9"); }},
        {"Delete yes",
         [&] {
             SaveNewLabTest("ZZA");
             source.Delete();
         }},
        {"Insert", [&] { source.Insert(); }},
        {"ValidateField 6=12", [&] {
             source.Insert();
             source.ValidateField("6", "12");
         }}};
    for (const auto& [moment, action] : moments) {
        SCOPED_TRACE(moment.toStdString());
        log.clear();
        action();
        EXPECT_TRUE(log.contains("event " + moment)) << log.join(", ").toStdString();
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (!log[i].startsWith("event ")) continue;
            ASSERT_LT(i + 1, log.size()) << log.join(", ").toStdString();
            EXPECT_EQ(log[i + 1], "signal " + log[i].mid(6)) << log.join(", ").toStdString();
        }
        EXPECT_EQ(log.filter("event ").size(), log.filter("signal ").size());
    }
    EXPECT_EQ(validated, "changed by the event no") << "the signal carries what the event left";
}

}  // namespace
}  // namespace vorn
