// Every form can be used by a screen reader: each button, field, box, grid, tab and menu item
// that takes input has a name, icon-only buttons named by what they do. The walk goes through
// each form's accessible tree as a screen reader does.
#include <QAccessible>
#include <QAccessibleInterface>

#include <QRadioButton>
#include <QTabWidget>

#include <functional>

#include <QPushButton>

#include "demo/field_descriptions.h"
#include "demo/lab_result_form.h"
#include "demo/person_form.h"
#include "demo/subresult_form.h"
#include "demo/unit_form.h"
#include "output/help_window.h"
#include "output/internal/pntr_conf_form.h"
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "source/dialog_text.h"
#include "source/internal/source_core.h"
#include "source/message_text.h"
#include "source/server_queries.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

bool TakesInput(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::EditableText:
        case QAccessible::ComboBox:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::PageTab:
        case QAccessible::MenuItem:
        case QAccessible::SpinBox:
            return true;
        default:
            return false;
    }
}

// The interactive elements of `root`'s tree that a screen reader would announce without a name.
void Unnamed(QAccessibleInterface* node, const QString& path, QStringList& found, int depth = 0) {
    if (!node || depth > 40) return;
    const QAccessible::State state = node->state();
    if (state.invisible) return;
    const QString name = node->text(QAccessible::Name).trimmed();
    const QString here = path + u'/' + QString::number(node->role(), 16) + u':' + name;
    if (TakesInput(node->role()) && name.isEmpty()) {
        QString what = QString::number(node->role(), 16);
        if (QObject* o = node->object())
            what +=
                u' ' + QString::fromLatin1(o->metaObject()->className()) + u' ' + o->objectName();
        found.append(what);
    }
    for (int i = 0; i < node->childCount(); ++i)
        Unnamed(node->child(i), here, found, depth + 1);
}

QStringList UnnamedIn(QWidget& window) {
    QStringList found;
    Unnamed(QAccessible::queryAccessibleInterface(&window), window.objectName(), found);
    return found;
}

class Accessibility : public test::LabTestApp {};

TEST_F(Accessibility, EveryElementOfEachTabOfTheMainFormHasAName) {
    Show("35");
    for (int tab = 1; tab <= 5; ++tab) {
        Page(tab);
        const QStringList unnamed = UnnamedIn(*form);
        EXPECT_TRUE(unnamed.isEmpty()) << "tab " << tab << ":\n"
                                       << unnamed.join(u'\n').toStdString();
    }
}

TEST_F(Accessibility, ThePickListHasNamesForAllItOffers) {
    Show("1");
    TypeInto(form->xDlgAbbreviation, QStringLiteral("H"));
    QTest::keyClick(form->xDlgAbbreviation, Qt::Key_Return);
    TfrmFind* dialog = ShownFind();
    ASSERT_NE(dialog, nullptr);
    const QStringList unnamed = UnnamedIn(*dialog);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
}

// The secondary forms, each on every tab it has, and the message dialog that says why a tab
// stays: a screen reader finds a name on everything there that takes input.
template <typename Form>
void ExpectNamedOnEachTab(Form& f, const char* what) {
    // A record is shown first: a detail tab opens only on one.
    if (auto* source = f.template findChild<TvornSource*>()) {
        EXPECT_TRUE(source->GetAndFill(QStringLiteral("1"))) << what;
    }
    auto* tabs = f.template findChild<QTabWidget*>();
    const int count = tabs ? tabs->count() : 1;
    for (int tab = 0; tab < count; ++tab) {
        if (tabs) tabs->setCurrentIndex(tab);
        const QStringList unnamed = UnnamedIn(f);
        EXPECT_TRUE(unnamed.isEmpty()) << what << " tab " << tab << ":\n"
                                       << unnamed.join(u'\n').toStdString();
    }
    if (tabs) tabs->setCurrentIndex(0);
    f.BtnExit->click();
}

TEST_F(Accessibility, TheSecondaryFormsAndTheMessageDialogNameEverythingTheyOffer) {
    Show("35");
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) { ExpectNamedOnEachTab(f, "person form"); });
    form->OpenPersons();
    modal.OnForm<TfrmUnit>([](TfrmUnit& f) { ExpectNamedOnEachTab(f, "unit form"); });
    form->OpenUnits();
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        const QStringList unnamed = UnnamedIn(d);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
        d.done(ui::mrOk);
    });
    form->vornSource1->Clear();
    Page(2);  // "Choose or save a record first!"
}

// What a screen reader reads of the message dialog when it is announced: its caption, the
// report of a save as its description, and each button by its caption.
TEST_F(Accessibility, TheSavedReportIsReadFromTheMessageDialog) {
    Show("35");
    TypeInto(form->xedtLength, QStringLiteral("31"));
    QString name, description;
    QStringList buttons;
    modal.OnForm<TTimedDlg>([&](TTimedDlg& d) {
        QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&d);
        name = dialog->text(QAccessible::Name);
        description = dialog->text(QAccessible::Description);
        for (QPushButton* button : d.findChildren<QPushButton*>())
            if (button->isVisible())
                buttons.append(
                    QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name));
        d.done(ui::mrOk);
    });
    Click(form->xbtnSave);
    EXPECT_EQ(name.section(QStringLiteral("  - "), 0, 0), "Information");
    EXPECT_EQ(description.toStdString(),
              test::ShownToolsetText("Saved: Demo Lab Test: U-STIX Urine dipstick test\r\n")
                  .toStdString());
    EXPECT_EQ(buttons, QStringList{"Ok"});
}

// A field's help from the server is what a screen reader reads as its description once the
// user has come to the field (here asked whether or not a screen reader listens).
TEST_F(Accessibility, EachFieldOfTheLabTestIsDescribedByItsHelpWhenReached) {
    QObject program;
    FieldDescriptions describing(&program, false);
    Show("35");
    int described = 0;
    for (TvornBoundControl* control : SourceCore::Of(*form->vornSource1).Controls()) {
        QWidget* field = control->Widget();
        if (control->IsDisplayOnly() || !field->isVisible() || !field->isEnabled()) continue;
        Activate();
        field->setFocus(Qt::TabFocusReason);
        const QString help = form->vornSource1->FieldHelp(control->FMField(), "H");
        if (help.isEmpty()) continue;
        ++described;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(field)
                      ->text(QAccessible::Description)
                      .toStdString(),
                  help.toStdString())
            << control->FMField().toStdString();
    }
    EXPECT_GT(described, 3) << "the server gives help for the lab test's fields";
}

// --- every form the program shows, walked on the user's own path to it ---

// Opens one form of the program and walks it with `walk` while it shows.
struct FormWalk {
    const char* name;
    std::function<void(test::LabTestApp&, TfrmLabTest&, test::ScriptedModalHost&,
                       const std::function<void(QWidget&)>& walk)>
        open;
};

class Every : public test::LabTestApp, public ::testing::WithParamInterface<FormWalk> {
  public:
    using test::LabTestApp::Click;
    using test::LabTestApp::Page;
    using test::LabTestApp::Show;
};

// Walks every page of the form's page control, if it has one.
void WalkPages(QWidget& form, const std::function<void(QWidget&)>& walk) {
    auto* pages = form.findChild<QTabWidget*>();
    for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
        if (pages) pages->setCurrentIndex(page);
        walk(form);
    }
    if (pages) pages->setCurrentIndex(0);
}

const FormWalk kForms[] = {
    {"SignOn",
     [](test::LabTestApp&, TfrmLabTest&, test::ScriptedModalHost&, const auto& walk) {
         TfrmSignon signon;
         signon.show();
         walk(signon);
     }},
    {"LabResult",
     [](test::LabTestApp& app, TfrmLabTest& f, test::ScriptedModalHost& modal, const auto& walk) {
         static_cast<Every&>(app).Page(4);
         modal.OnForm<TfrmLabResult>([walk](TfrmLabResult& r) {
             walk(r);
             r.BtnExit->click();
         });
         static_cast<Every&>(app).Click(f.btnZoom1);
     }},
    {"Subresult",
     [](test::LabTestApp& app, TfrmLabTest& f, test::ScriptedModalHost& modal, const auto& walk) {
         static_cast<Every&>(app).Page(5);
         modal.OnForm<TfrmSubresult>([walk](TfrmSubresult& s) {
             WalkPages(s, walk);
             s.BtnExit->click();
         });
         static_cast<Every&>(app).Click(f.btnZoom2);
     }},
    {"DeviceDialogAndPrintPreview",
     [](test::LabTestApp&, TfrmLabTest& f, test::ScriptedModalHost& modal, const auto& walk) {
         modal.OnForm<TfrmSelDev>([walk](TfrmSelDev& d) {
             walk(d);
             d.rbScreen->click();
             d.btnSulje->click();
         });
         modal.OnForm<TfrmPrint>([walk](TfrmPrint& p) {
             walk(p);
             p.btnExit->click();
         });
         f.ChosenLabTest->trigger();
     }},
    {"HelpWindow",
     [](test::LabTestApp&, TfrmLabTest& f, test::ScriptedModalHost&, const auto& walk) {
         f.HelpLabTest->trigger();
         ASSERT_NE(HelpWindow(), nullptr);
         walk(*HelpWindow());
         HelpWindow()->close();
     }},
    {"RelatedRecords",
     [](test::LabTestApp& app, TfrmLabTest& f, test::ScriptedModalHost& modal, const auto& walk) {
         static_cast<Every&>(app).Page(2);
         TRPCBroker* broker = f.vornSource1->RPCBroker();
         const QString wards = f.vornSource2->FileName;
         const QString name = GetRecordIdentifiers("80001", "35", broker);
         test::ExpectToolsetMessage(
             modal, ui::MessageKind::Confirmation,
             GetDialogText(119, name + '^' + wards, broker) + "\r\n" +
                 GetDialogText(124, wards + '^' + f.vornSource1->FileName, broker),
             ui::mrYes);
         modal.OnForm<TPntrConfFrm>([walk](TPntrConfFrm& c) {
             walk(c);
             c.CancelBtn->click();
         });
         static_cast<Every&>(app).Click(f.btnMoveAll);
     }},
};

TEST_P(Every, FormNamesEverythingItOffers) {
    Show("35");
    QStringList unnamed;
    GetParam().open(*this, *form, modal, [&unnamed](QWidget& shown) {
        for (const QString& element : UnnamedIn(shown))
            unnamed.append(shown.objectName() + u' ' + element);
    });
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Forms, Every, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn
