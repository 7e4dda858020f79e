#include "source/timed_message.h"

#include <QCoreApplication>
#include <QTextEdit>
#include <memory>

#include "source/timed_dialog.h"

namespace vorn {
namespace {

int openMessages = 0;

// One dialog is kept for the program's messages: making its parts anew for each message costs
// more than the round trips of most actions. A message shown over an open one gets its own.
std::unique_ptr<TTimedDlg>& Kept() {
    static std::unique_ptr<TTimedDlg> kept;
    return kept;
}

void DropKept() {
    Kept().reset();
}

class Lent {
  public:
    Lent() {
        if (openMessages == 0 && QCoreApplication::instance()) {
            if (!Kept()) {
                Kept() = std::make_unique<TTimedDlg>();
                qAddPostRoutine(DropKept);
            } else {
                Kept()->Reset();
            }
            dialog_ = Kept().get();
        } else {
            own_ = std::make_unique<TTimedDlg>();
            dialog_ = own_.get();
        }
        ++openMessages;
    }
    ~Lent() { --openMessages; }
    TTimedDlg& operator*() { return *dialog_; }

  private:
    std::unique_ptr<TTimedDlg> own_;
    TTimedDlg* dialog_ = nullptr;
};

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
    Lent lent;
    TTimedDlg& dialog = *lent;
    dialog.RichEdit1->clear();
    dialog.SetMessage(BreakAtColons(text));
    dialog.Arrange(kind, buttons);
    if (timeOut != 0) dialog.StartCountdown(timeOut);
    dialog.SetHelpContext(helpContext);
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
