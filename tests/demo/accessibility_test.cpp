// Every form can be used by a screen reader: each button, field, box, grid, tab and menu item
// that takes input has a name, icon-only buttons named by what they do. The walk goes through
// each form's accessible tree as a screen reader does.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QPushButton>

#include "demo/field_descriptions.h"
#include "source/internal/source_core.h"
#include "tests/demo/form_tour.h"

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
void Unnamed(QAccessibleInterface* node, QStringList& found, int depth = 0) {
    if (!node || depth > 40) return;
    const QAccessible::State state = node->state();
    if (state.invisible) return;
    const QString name = node->text(QAccessible::Name).trimmed();
    if (TakesInput(node->role()) && name.isEmpty()) {
        QString what = QString::number(node->role(), 16);
        if (QObject* o = node->object())
            what +=
                u' ' + QString::fromLatin1(o->metaObject()->className()) + u' ' + o->objectName();
        found.append(what);
    }
    for (int i = 0; i < node->childCount(); ++i)
        Unnamed(node->child(i), found, depth + 1);
}

QStringList UnnamedIn(QWidget& window) {
    QStringList found;
    Unnamed(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

// Every form of the program, on each of its pages: nothing there that takes input is unnamed.
using Accessible = test::FormTour;

TEST_P(Accessible, EveryElementOfTheFormHasAName) {
    const QStringList unnamed = Faults(UnnamedIn);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Forms, Accessible, ::testing::ValuesIn(test::kTourStops),
                         test::TourStopName);

class Accessibility : public test::LabTestApp {};

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
    for (TvornBoundControl* control : SourceCore::Of(*form->vornSource1).Registry().Controls()) {
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

}  // namespace
}  // namespace vorn
