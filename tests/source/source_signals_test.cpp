// Each After* event of a source has a Qt signal of the same moment, sent right after the
// event's handler with the values the handler left.
#include <gtest/gtest.h>

#include <QStringList>
#include <functional>

#include "source/source_presenter.h"
#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

class Quiet final : public SourcePresenter {
  public:
    int Show(const QString&, ui::MessageKind, int, int) override { return ui::mrYes; }
};

class Moments;

struct MomentCase {
    const char* name;
    std::function<void(Moments&)> action;
    QString moment;  // the event the action must raise
};

class Moments : public test::LabTestSource, public testing::WithParamInterface<MomentCase> {
  public:
    TvornSource& Source() { return source; }
    void ChangeName(const QString& text) { name.Change(text, text); }
    using LabTestSource::SaveNewLabTest;

  protected:
    void SetUp() override {
        source.SetPresenter(&presenter);
        Open();
        Hook();
    }
    void TearDown() override { source.SetPresenter(nullptr); }
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
                         [=](bool result, const QString& field, const QString& internal,
                             const QString& external) {
                             signal("ValidateField " + field + u'=' + internal);
                             validated = external + u' ' + Yes(result);
                         });
    }
    static QString Yes(bool on) { return on ? QStringLiteral("yes") : QStringLiteral("no"); }
    Quiet presenter;
    QStringList log;
    QString validated;  // what the validation signal carried besides the field
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

TEST_F(Moments, TheValidationSignalCarriesWhatTheEventLeft) {
    source.Insert();
    source.ValidateField("6", "12");
    EXPECT_EQ(validated, "changed by the event no");
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
