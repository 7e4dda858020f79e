#include "designer/vorn_widgets.h"

#include "controls/dialog_edit.h"
#include "controls/exec_button.h"
#include "controls/glyphs.h"
#include "controls/vorn_btn.h"
#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_combo_box_lookup.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_label.h"
#include "controls/vorn_list_box.h"
#include "controls/vorn_memo.h"
#include "controls/vorn_radio_button.h"
#include "controls/vorn_radio_group.h"
#include "lookup/bound_grid.h"
#include "output/device_dialog_holder.h"

namespace vorn::designer {
namespace {

template <typename T>
std::function<QWidget*(QWidget*)> Make() {
    return [](QWidget* parent) { return new T(parent); };
}

std::vector<Component> Components() {
    return {
        {"vorn::TvornEdit",
         "vorn/controls/vorn_edit.h",
         "PALEDIT",
         "An edit box bound to a field of a data source",
         {120, 24},
         Make<TvornEdit>()},
        {"vorn::TvornDialogEdit",
         "vorn/controls/dialog_edit.h",
         "PALDIALOGEDIT",
         "An edit box with a pick list: a find field or a pointer field",
         {120, 24},
         Make<TvornDialogEdit>()},
        {"vorn::TvornExecBtn",
         "vorn/controls/exec_button.h",
         "EBTNENABLED",
         "The button that opens a dialog edit's pick list",
         {24, 24},
         Make<TvornExecBtn>()},
        {"vorn::TvornLabel",
         "vorn/controls/vorn_label.h",
         "PALLABEL",
         "A label that shows a field of a data source",
         {100, 20},
         Make<TvornLabel>()},
        {"vorn::TvornCheckBox",
         "vorn/controls/vorn_check_box.h",
         "PALCHECKBOX",
         "A check box bound to a field of a data source",
         {120, 22},
         Make<TvornCheckBox>()},
        {"vorn::TvornRadioButton",
         "vorn/controls/vorn_radio_button.h",
         "PALRADIOBUTTON",
         "A radio button bound to a field of a data source",
         {120, 22},
         Make<TvornRadioButton>()},
        {"vorn::TvornRadioGroup",
         "vorn/controls/vorn_radio_group.h",
         "PALRADIOGROUP",
         "A group of radio buttons bound to a field of a data source",
         {160, 100},
         Make<TvornRadioGroup>()},
        {"vorn::TvornComboBox",
         "vorn/controls/vorn_combo_box.h",
         "PALCOMBOBOX",
         "A combo box of fixed values bound to a field of a data source",
         {140, 24},
         Make<TvornComboBox>()},
        {"vorn::TvornComboBoxLookUp",
         "vorn/controls/vorn_combo_box_lookup.h",
         "PALCOMBOBOXLOOKUP",
         "A combo box whose values are the records a finder lists",
         {140, 24},
         Make<TvornComboBoxLookUp>()},
        {"vorn::TvornListBox",
         "vorn/controls/vorn_list_box.h",
         "PALLISTBOX",
         "A list box bound to a field of a data source",
         {140, 100},
         Make<TvornListBox>()},
        {"vorn::TvornMemo",
         "vorn/controls/vorn_memo.h",
         "PALMEMO",
         "A text box bound to a word-processing field of a data source",
         {240, 100},
         Make<TvornMemo>()},
        {"vorn::TvornBtn",
         "vorn/controls/vorn_btn.h",
         "XBSAVE",
         "A record operation button: save, save new, clear, cancel, delete, first, prior, "
         "next or last",
         {80, 26},
         Make<TvornBtn>()},
        {"vorn::TvornGrid",
         "vorn/lookup/bound_grid.h",
         "PALGRID",
         "A grid of the records of a data source's file, one per row",
         {360, 160},
         Make<TvornGrid>()},
        {"vorn::TvornDeviceDialogHolder",
         "vorn/output/device_dialog_holder.h",
         "PALDEVICEDIALOG",
         "The device dialog: asks where a document goes; hidden when the program runs",
         {120, 24},
         [](QWidget* parent) {
             auto* holder = new TvornDeviceDialogHolder(parent);
             holder->ShowForDesign();
             return holder;
         }},
    };
}

// The object name Designer gives the first one dropped: "vornEdit" for TvornEdit.
QString DefaultObjectName(const QString& className) {
    QString name = className.section(QStringLiteral("::"), -1).mid(1);
    name[0] = name[0].toLower();
    return name;
}

}  // namespace

ComponentWidget::ComponentWidget(Component component, QObject* parent)
    : QObject(parent), component_(std::move(component)) {}

QString ComponentWidget::name() const {
    return QString::fromLatin1(component_.className);
}

QString ComponentWidget::toolTip() const {
    return QString::fromUtf8(component_.toolTip);
}

QString ComponentWidget::includeFile() const {
    return QString::fromLatin1(component_.header);
}

QIcon ComponentWidget::icon() const {
    return GlyphIcon(QString::fromLatin1(component_.glyph));
}

QWidget* ComponentWidget::createWidget(QWidget* parent) {
    return component_.create(parent);
}

QString ComponentWidget::domXml() const {
    return QStringLiteral(
               "<ui language=\"c++\" displayname=\"%1\">"
               "<widget class=\"%2\" name=\"%3\">"
               "<property name=\"geometry\"><rect><x>0</x><y>0</y>"
               "<width>%4</width><height>%5</height></rect></property>"
               "</widget></ui>")
        .arg(name().section(QStringLiteral("::"), -1).remove(QStringLiteral("Holder")), name(),
             DefaultObjectName(name()))
        .arg(component_.size.width())
        .arg(component_.size.height());
}

VornWidgets::VornWidgets(QObject* parent) : QObject(parent) {
    for (Component& component : Components())
        widgets_.append(new ComponentWidget(std::move(component), this));
}

}  // namespace vorn::designer
