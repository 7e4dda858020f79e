#include "source/field_help_display.h"

#include "source/vorn_source.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

class MessageFieldHelp final : public FieldHelpDisplay {
  public:
    void ShowFieldHelp(const QString& title, const QString& text) override {
        ui::Modal().ShowMessage(
            nullptr, {FieldHelpLines(text), title, ui::MessageKind::Information, ui::mbOK});
    }
};

MessageFieldHelp gMessageFieldHelp;
FieldHelpDisplay* gInstalled = nullptr;

}  // namespace

FieldHelpDisplay& InstalledFieldHelpDisplay() {
    return gInstalled ? *gInstalled : gMessageFieldHelp;
}

void SetFieldHelpDisplay(FieldHelpDisplay* display) {
    gInstalled = display;
}

void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title) {
    const QString text = source.FieldHelp(field, QStringLiteral("H")) + QStringLiteral("\r\r") +
                         source.FieldDescription(field);
    InstalledFieldHelpDisplay().ShowFieldHelp(title, text);
}

QString FieldHelpLines(const QString& text) {
    QString lines = text;
    lines.replace(u'\r', u'\n');
    return lines;
}

}  // namespace vorn
