// The program's help: components open it at a help context number (the message dialog's Help
// button, field help). The application installs the viewer it has; without one, asking for
// help does nothing.
#pragma once

#include <functional>

namespace vorn {

using HelpViewer = std::function<void(int context)>;

// Installs `viewer` for the whole program; an empty function removes it.
void SetHelpViewer(HelpViewer viewer);
// Opens the help at `context`.
void ShowHelpContext(int context);

}  // namespace vorn
