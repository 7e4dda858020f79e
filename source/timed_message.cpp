#include "source/timed_message.h"

#include <QTextEdit>

#include "source/timed_dialog.h"

namespace vorn {
namespace {

int openMessages = 0;

}  // namespace

QString BreakAtColons(const QString& text) {
    QString broken;
    bool first = true;
    for (const QString& piece : text.split(QStringLiteral(": "))) {
        if (piece.isEmpty()) break;
        if (!first) broken += QStringLiteral(":\r\n");
        broken += piece;
        first = false;
    }
    return broken;
}

int TimedMessageDlg(const QString& text, ui::MessageKind kind, int buttons, int timeOut,
                    int helpContext) {
    TTimedDlg dialog;
    dialog.RichEdit1->clear();
    dialog.SetMessage(BreakAtColons(text));
    dialog.Arrange(kind, buttons);
    if (timeOut != 0) dialog.StartCountdown(timeOut);
    dialog.SetHelpContext(helpContext);
    ++openMessages;
    struct Closed {
        ~Closed() { --openMessages; }
    } closed;
    const int result = ui::Modal().ExecModal(dialog);
    dialog.Timer1->SetEnabled(false);
    return dialog.TimedOut() ? ui::mrNone : result;
}

int TimedInformation(const QString& text, int timeOut) {
    return TimedMessageDlg(text, ui::MessageKind::Information, ui::mbOK, timeOut, 0);
}

int TimedMessagesOpen() {
    return openMessages;
}

}  // namespace vorn
