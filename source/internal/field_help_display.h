// Where a bound control's F1 field help goes. The program installs its help window here at
// start-up (output/help_window.h: InstallHelpWindow); until one is installed F1 shows nothing,
// and asks the server nothing either.
#pragma once

#include <QString>

#pragma GCC visibility push(default)
namespace vorn {

class FieldHelpDisplay {
  public:
    virtual ~FieldHelpDisplay() = default;
    // Shows `text` under `title`; each "\r" in the text starts a new line.
    virtual void ShowFieldHelp(const QString& title, const QString& text) = 0;
};

// The installed display; one that shows nothing when none is installed.
FieldHelpDisplay& InstalledFieldHelpDisplay();
// True when a display is installed.
bool FieldHelpDisplayInstalled();
// Installs `display` (not owned); nullptr removes it.
void SetFieldHelpDisplay(FieldHelpDisplay* display);

class TvornSource;
// F1 on a bound control: the help text of `field`, two carriage returns and its description,
// shown under the control's display name.
void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title);

}  // namespace vorn

#pragma GCC visibility pop
