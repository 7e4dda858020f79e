// Every form can be used by a screen reader: each button, field, box, grid, tab and menu item
// that takes input has a name, icon-only buttons named by what they do. The walk goes through
// each form's accessible tree as a screen reader does.
#include <QAccessible>
#include <QPushButton>

#include "demo/field_descriptions.h"
#include "source/internal/source_core.h"
#include "tests/demo/form_tour.h"

namespace vorn {
namespace {

// The interactive elements of `node`'s tree that a screen reader would announce without a name.
QStringList Unnamed(QAccessibleInterface* node, int depth = 0) {
    using A = QAccessible;
    static const QList<A::Role> kTakeInput = {
        A::PushButton, A::CheckBox, A::RadioButton, A::EditableText, A::ComboBox,
        A::List,       A::Table,    A::PageTab,     A::MenuItem,     A::SpinBox};
    QStringList found;
    if (!node || depth > 40 || node->state().invisible) return found;
    if (kTakeInput.contains(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty()) {
        QString what = QString::number(node->role(), 16);
        if (QObject* o = node->object())
            what +=
                u' ' + QString::fromLatin1(o->metaObject()->className()) + u' ' + o->objectName();
        found.append(what);
    }
    for (int i = 0; i < node->childCount(); ++i)
        found += Unnamed(node->child(i), depth + 1);
    return found;
}

// Every form of the program, on each of its pages: nothing there that takes input is unnamed.
using Accessible = test::FormTour;

TEST_P(Accessible, EveryElementOfTheFormHasAName) {
    ExpectNoFault(
        [](QWidget& shown) { return Unnamed(QAccessible::queryAccessibleInterface(&shown)); });
}

INSTANTIATE_TEST_SUITE_P(Forms, Accessible, ::testing::ValuesIn(test::kTourStops),
                         test::TourStopName);

using Accessibility = test::LabTestApp;

// A field's help from the server is what a screen reader reads as its description once the user
// has come to it (asked here whether or not a screen reader listens); of the message dialog it
// reads the caption, the report of a save as its description, and each button by its caption.
TEST_F(Accessibility, FieldsAreDescribedByTheirHelpAndTheSavedReportIsReadFromTheDialog) {
    QObject program;
    FieldDescriptions describing(&program, false);
    Show("35");
    const auto read = [](QObject* o, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(o)->text(text);
    };
    int described = 0;
    for (TvornBoundControl* control : SourceCore::Of(*form->vornSource1).Registry().Controls()) {
        QWidget* field = control->Widget();
        if (control->IsDisplayOnly() || !field->isVisible() || !field->isEnabled()) continue;
        test::Activate(*form);
        field->setFocus(Qt::TabFocusReason);
        const QString help = form->vornSource1->FieldHelp(control->FMField(), "H");
        if (help.isEmpty()) continue;
        ++described;
        EXPECT_EQ(read(field, QAccessible::Description).toStdString(), help.toStdString())
            << control->FMField().toStdString();
    }
    EXPECT_GT(described, 3) << "the server gives help for the lab test's fields";
    TypeInto(form->xedtLength, QStringLiteral("31"));
    QString name, description;
    QStringList buttons;
    modal.OnForm<TTimedDlg>([&](TTimedDlg& d) {
        name = read(&d, QAccessible::Name);
        description = read(&d, QAccessible::Description);
        for (QPushButton* button : d.findChildren<QPushButton*>())
            if (button->isVisible()) buttons.append(read(button, QAccessible::Name));
        d.done(ui::mrOk);
    });
    Click(form->xbtnSave);
    EXPECT_EQ(name.section(QStringLiteral("  - "), 0, 0), "Information");
    EXPECT_EQ(description.toStdString(),
              test::ShownToolsetText("Saved: Demo Lab Test: U-STIX Urine dipstick test\r\n")
                  .toStdString());
    EXPECT_EQ(buttons, QStringList{"Ok"});
}

}  // namespace
}  // namespace vorn
