// Every form can be used by a screen reader: each button, field, box, grid, tab and menu item
// that takes input has a name, icon-only buttons named by what they do. The walk goes through
// each form's accessible tree as a screen reader does.
#include <QAccessible>
#include <QAccessibleInterface>

#include <QTabWidget>

#include "demo/person_form.h"
#include "demo/unit_form.h"
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

}  // namespace
}  // namespace vorn
