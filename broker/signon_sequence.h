// The sign-on sequence that runs when a broker has opened a new link: it asks the server
// whether a sign-on is needed, lets the user give the access and verify codes (scrambled on
// the wire), and handles the server's answers. The user's side is a front: the sign-on form
// in a windowed program, the terminal in a command-line one. Both run this one sequence.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#pragma GCC visibility push(default)
namespace vorn {

class TRPCBroker;
class SignonSequence;

struct SignonServerInfo {
    QString server;
    QString volume;
    QString uci;
    QString port;
};

class SignonFront {
  public:
    virtual ~SignonFront() = default;
    // The sign-on form is made (its look applied); it is not shown yet.
    virtual void Open() = 0;
    // The server's name, volume, UCI and port for the form's labels.
    virtual void SetServerInfo(const SignonServerInfo& info) = 0;
    // Shows the form modally until it closes. When shown, the front takes the introductory
    // text from sequence.IntroText(); each press of OK goes to sequence.SubmitCodes(), which
    // says whether the form closes; Cancel closes it.
    virtual void ShowModal(SignonSequence& sequence) = 0;
    // The codes were not accepted: empty both code fields, show `message` as a warning with an
    // OK button, and put the focus back in the access code field.
    virtual void CodesRejected(const QString& message) = 0;
    // A plain message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A warning with an OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // The messages after a successful sign-on, shown modally.
    virtual void ShowSignonMessages(const QStringList& lines) = 0;
    // Runs the verify-code change with the typed verify code as the known old code; true when
    // the server accepted a new code.
    virtual bool ChangeVerifyCode(TRPCBroker& broker, const QString& knownOldCode) = 0;
    // Releases the form (remembering its size and position when it was shown).
    virtual void Close() = 0;
};

class SignonSequence {
  public:
    SignonSequence(TRPCBroker& broker, SignonFront& front);

    // The whole sequence; returns when the user is signed on, raises EBrokerError 20004
    // otherwise. The broker's call state is put back however it ends.
    void Run();

    // For the front: "XUS INTRO MSG".
    QStringList IntroText();
    // For the front: OK pressed with these codes. True when the form is to close.
    bool SubmitCodes(const QString& accessCode, const QString& verifyCode);

    bool SignedOn() const { return signedOn_; }
    TRPCBroker& Broker() { return broker_; }

  private:
    TRPCBroker& broker_;
    SignonFront& front_;
    bool signedOn_ = false;  // the form's tag: 1 = signed on
};

// Runs the sign-on sequence for `broker` with the installed front. Called by the broker when
// it has opened a new link.
void SignOn(TRPCBroker& broker);

// The front used by SignOn; without one the user cannot be asked, so only preset codes and
// servers that need no sign-on succeed.
void SetSignonFront(SignonFront* front);
SignonFront& CurrentSignonFront();

// The broker that signed on last.
TRPCBroker* SignonBroker();

inline const QString kMustChangeVerifyCode =
    QStringLiteral("You must change your VERIFY CODE at this time.");

}  // namespace vorn

#pragma GCC visibility pop
