// Showing a message in the toolset's message dialog, with an optional countdown.
#pragma once

#include <QString>

#include "toolkit/modal_seam.h"

#pragma GCC visibility push(default)
namespace vorn {

// The message as the dialog shows it: each ": " becomes ":" and a line break (CR LF); the
// text ends at the first empty piece between separators.
QString BreakAtColons(const QString& text);

// Shows `text` in a TTimedDlg of `kind` with `buttons` (a set of ui::MessageButton) modally
// and returns the modal result (ui::ModalResult), or 0 when the countdown of `timeOut`
// seconds ran out (0: no countdown). The Help button opens the help at `helpContext`.
int TimedMessageDlg(const QString& text, ui::MessageKind kind, int buttons, int timeOut = 0,
                    int helpContext = 0);

// How many toolset messages are open now (a message may open over another).
int TimedMessagesOpen();

// An information with an OK button: TimedMessageDlg(text, Information, OK, timeOut, 0).
int TimedInformation(const QString& text, int timeOut);

}  // namespace vorn

#pragma GCC visibility pop
