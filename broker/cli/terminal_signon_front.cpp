#include "broker/cli/terminal_signon_front.h"

namespace vorn::cli {
namespace {

std::string Text(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

// Codes are upper case, however they were typed.
std::optional<QString> AskCode(Terminal& terminal, const std::string& prompt) {
    const auto answer = terminal.Ask(prompt, true);
    if (!answer) return std::nullopt;
    return QString::fromLocal8Bit(answer->c_str()).toUpper();
}

}  // namespace

void TerminalSignonFront::ShowModal(SignonSequence& sequence) {
    terminal_.Say(Text(QStringLiteral("Server: %1  Volume: %2  UCI: %3  Port: %4")
                           .arg(info_.server, info_.volume, info_.uci, info_.port)));
    for (const QString& line : sequence.IntroText())
        terminal_.Say(Text(line));
    for (;;) {
        const auto access = AskCode(terminal_, "Access Code: ");
        if (!access) return;
        const auto verify = AskCode(terminal_, "Verify Code: ");
        if (!verify) return;
        if (sequence.SubmitCodes(*access, *verify)) return;
    }
}

void TerminalSignonFront::CodesRejected(const QString& message) {
    terminal_.Say(Text(message));
}
void TerminalSignonFront::ShowMessage(const QString& text) {
    terminal_.Say(Text(text));
}
void TerminalSignonFront::ShowWarning(const QString& text) {
    terminal_.Say(Text(text));
}

void TerminalSignonFront::ShowSignonMessages(const QStringList& lines) {
    for (const QString& line : lines)
        terminal_.Say(Text(line));
}

bool TerminalSignonFront::ChangeVerifyCode(TRPCBroker& broker, const QString& knownOldCode) {
    TVCEdit edit;
    edit.SetRPCBroker(&broker);
    edit.SetFront(&verify_);
    return edit.ChangeVerifyCode(knownOldCode);
}

void TerminalVerifyCodeFront::ShowMessage(const QString& text) {
    terminal_.Say(Text(text));
}

// The dialog's fields become questions: each outcome of OK asks again for what the dialog
// would have emptied. "?" as the new code shows the help.
bool TerminalVerifyCodeFront::Run(TVCEdit& edit, const QString& knownOldCode) {
    std::optional<QString> oldCode = knownOldCode;
    if (knownOldCode.isEmpty() && !(oldCode = AskCode(terminal_, "Old verify code: ")))
        return false;
    std::optional<QString> newCode;
    std::optional<QString> confirm;
    bool askNew = true;
    for (;;) {
        while (askNew) {
            const auto typed = AskCode(terminal_, "New verify code (? for help): ");
            if (!typed) return false;
            if (*typed == QLatin1String("?")) {
                edit.PressHelp();
                continue;
            }
            // A new code typed in is a changed field, as in the dialog.
            edit.NewCodeEdited();
            newCode = typed;
            askNew = false;
        }
        if (!(confirm = AskCode(terminal_, "Confirm new verify code: "))) return false;
        switch (edit.PressOk(*oldCode, *newCode, *confirm)) {
            case TVCEdit::OkOutcome::Changed:
                return true;
            case TVCEdit::OkOutcome::Mismatch:
                break;
            case TVCEdit::OkOutcome::Refused:
                if (knownOldCode.isEmpty() && !(oldCode = AskCode(terminal_, "Old verify code: ")))
                    return false;
                askNew = true;
                break;
            case TVCEdit::OkOutcome::SameCode:
            case TVCEdit::OkOutcome::MismatchAgain:
                askNew = true;
                break;
        }
    }
}

}  // namespace vorn::cli
