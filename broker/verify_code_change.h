// Changing the user's verify code: the logic of the change dialog, kept apart from the dialog
// itself so that the dialog form and the terminal run the same rules and texts.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "broker/rpc_broker.h"

#pragma GCC visibility push(default)
namespace vorn {

class TVCEdit;

// The user's side of the change: the dialog form, or the terminal.
class VerifyCodeFront {
  public:
    virtual ~VerifyCodeFront() = default;
    // Shows the dialog modally; with a known old code the old-code field is filled in and
    // locked. Each press of OK goes to edit.PressOk(), Help to edit.HelpText(), and leaving
    // the new-code field after changing it to edit.NewCodeEdited(). True when the dialog
    // closed with the OK result.
    virtual bool Run(TVCEdit& edit, const QString& knownOldCode) = 0;
    // A plain message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
};

class TVCEdit : public QObject {
    Q_OBJECT
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)

  public:
    explicit TVCEdit(QObject* owner = nullptr);

    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }
    // The front this change runs in; the installed default front when not set.
    void SetFront(VerifyCodeFront* front) { front_ = front; }

    // Runs the dialog with the old-code field filled in and locked; true when the server
    // accepted a new code.
    bool ChangeVerifyCode(const QString& knownOldCode);
    // Runs the dialog with the old-code field open.
    bool ChangeVerifyCode();

    // What the dialog does after OK.
    enum class OkOutcome {
        Changed,        // close with the OK result
        SameCode,       // empty the new and confirmation fields, focus the new-code field
        Mismatch,       // empty the confirmation field, focus it
        MismatchAgain,  // empty the new and confirmation fields, focus the new-code field
        Refused,        // empty the new and confirmation fields, focus the new-code field
    };
    // OK pressed: checks the codes, sends the change and shows the outcome's message.
    OkOutcome PressOk(const QString& oldCode, const QString& newCode, const QString& confirmCode);
    // Leaving the new-code field after it was changed.
    void NewCodeEdited() { mismatches_ = 0; }
    // The help text, fetched from the server once and kept.
    QString HelpText();
    // Help pressed: shows the help text.
    void PressHelp();

    const QString& KnownOldCode() const { return knownOldCode_; }
    int MismatchCount() const { return mismatches_; }

    static constexpr int kMismatchesWithRetry = 3;

  private:
    VerifyCodeFront& Front();
    bool Run(const QString& knownOldCode);

    QPointer<TRPCBroker> broker_;
    VerifyCodeFront* front_ = nullptr;
    QString knownOldCode_;
    int mismatches_ = 0;
    QString helpText_;
    bool helpFetched_ = false;
};

// The front a TVCEdit uses when none was set on it.
void SetVerifyCodeFront(VerifyCodeFront* front);

inline const QString kVerifyNotChanged = QStringLiteral("Your VERIFY code was not changed.\r");
inline const QString kVerifyChanged = QStringLiteral("Your VERIFY CODE has been changed");

}  // namespace vorn

#pragma GCC visibility pop
