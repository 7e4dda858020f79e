#include "source/internal/field_help_display.h"

#include "source/internal/source_core.h"
#include "source/vorn_source.h"

namespace vorn {
namespace {

class NoFieldHelp final : public FieldHelpDisplay {
  public:
    void ShowFieldHelp(const QString&, const QString&) override {}
};

NoFieldHelp gNoFieldHelp;
FieldHelpDisplay* gInstalled = nullptr;

}  // namespace

FieldHelpDisplay& InstalledFieldHelpDisplay() {
    return gInstalled ? *gInstalled : gNoFieldHelp;
}

bool FieldHelpDisplayInstalled() {
    return gInstalled != nullptr;
}

void SetFieldHelpDisplay(FieldHelpDisplay* display) {
    gInstalled = display;
}

void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title) {
    // Nowhere to show it: the two questions to the server would be wasted.
    if (!gInstalled) return;
    const QString text = source.FieldHelp(field, QStringLiteral("H")) + QStringLiteral("\r\r") +
                         source.FieldHelp(field, QStringLiteral("D"));
    gInstalled->ShowFieldHelp(title, text);
}

}  // namespace vorn
