// Where a bound control's F1 field help goes. The field help window implements this; until one
// is installed the text is shown in a plain information message.
#pragma once

#include <QString>

class QWidget;

namespace vorn {

class FieldHelpDisplay {
  public:
    virtual ~FieldHelpDisplay() = default;
    // Shows `text` under `title`; each "\r" in the text starts a new line.
    virtual void ShowFieldHelp(const QString& title, const QString& text) = 0;
};

// The installed display, or the plain message when none is.
FieldHelpDisplay& InstalledFieldHelpDisplay();
// Installs `display` (not owned); nullptr restores the plain message.
void SetFieldHelpDisplay(FieldHelpDisplay* display);

// The text of the plain message: every "\r" a line break.
QString FieldHelpLines(const QString& text);

class TvornSource;
// F1 on a bound control: the help text of `field`, two carriage returns and its description,
// shown under the control's display name.
void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title);

}  // namespace vorn
