#include "broker/signon_sequence.h"

#include "broker/broker_error.h"
#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "common/scramble.h"

namespace vorn {
namespace {

QPointer<TRPCBroker> gSignonBroker;

// A front that cannot ask anyone: the form is never shown.
class SilentFront final : public SignonFront {
  public:
    void Open() override {}
    void SetServerInfo(const SignonServerInfo&) override {}
    void ShowModal(SignonSequence&) override {}
    void CodesRejected(const QString& message) override { ShowMessage(message); }
    void ShowMessage(const QString& text) override { CurrentBrokerUi().ShowMessage(text); }
    void ShowWarning(const QString& text) override { ShowMessage(text); }
    void ShowSignonMessages(const QStringList& lines) override { ShowMessage(lines.join('\n')); }
    bool ChangeVerifyCode(TRPCBroker&, const QString&) override { return false; }
    void Close() override {}
};

SilentFront gSilentSignon;
SignonFront* gSignonFront = nullptr;

QString Line(const QStringList& lines, int n) {
    return n < lines.size() ? lines[n] : QString();
}

// Closes the front's form however the sequence ends.
class FrontGuard {
  public:
    explicit FrontGuard(SignonFront& front) : front_(front) { front_.Open(); }
    ~FrontGuard() { front_.Close(); }

  private:
    SignonFront& front_;
};

}  // namespace

SignonSequence::SignonSequence(TRPCBroker& broker, SignonFront& front)
    : broker_(broker), front_(front) {}

void SignonSequence::Run() {
    {
        // The sign-on's calls run while the broker connects, so they leave the call that is
        // waiting to be sent as it is.
        FrontGuard form(front_);
        gSignonBroker = &broker_;

        const QStringList setup =
            broker_.Call(RpcRequest(QStringLiteral("XUS SIGNON SETUP"))).Lines();
        front_.SetServerInfo({Line(setup, 0), Line(setup, 1), Line(setup, 2), Line(setup, 3)});

        if (setup.size() > 5 && setup[5] == QLatin1String("1")) {
            signedOn_ = true;
        } else if (!broker_.PresetCodes.isEmpty()) {
            const QString preset = broker_.PresetCodes;
            SubmitCodes(preset.section(';', 0, 0), preset.section(';', 1, 1));
        } else {
            front_.ShowModal(*this);
        }
    }
    broker_.Results.clear();
    if (!signedOn_) RaiseBrokerError(QString(), kBrokerSignonFailed);
}

QStringList SignonSequence::IntroText() {
    return broker_.Call(RpcRequest(QStringLiteral("XUS INTRO MSG"))).Lines();
}

bool SignonSequence::SubmitCodes(const QString& accessCode, const QString& verifyCode) {
    signedOn_ = false;
    const QString scrambled = FromWireText(QByteArray::fromStdString(
        Scramble(ToWireText(accessCode + ';' + verifyCode).toStdString())));
    const QStringList r =
        broker_.Call(RpcRequest(QStringLiteral("XUS AV CODE")).Literal(scrambled)).Lines();

    if (Line(r, 1) == QLatin1String("1")) {
        front_.ShowMessage(Line(r, 3));
        return true;
    }
    if (Line(r, 2) == QLatin1String("1")) {
        front_.ShowWarning(kMustChangeVerifyCode);
        signedOn_ = front_.ChangeVerifyCode(broker_, verifyCode);
        return true;
    }
    // An answer without a user number cannot be a sign-on, whatever else it holds.
    const QString user = Line(r, 0);
    if (!user.isEmpty() && user != QLatin1String("0")) {
        signedOn_ = true;
        if (Line(r, 5) != QLatin1String("0")) {
            const int count = Line(r, 5).toInt();
            const QStringList messages = r.mid(6, count);
            if (count > 0 && !messages.isEmpty()) front_.ShowSignonMessages(messages);
        }
        return true;
    }
    front_.CodesRejected(Line(r, 3));
    return false;
}

void SignOn(TRPCBroker& broker) {
    SignonSequence(broker, CurrentSignonFront()).Run();
}

void SetSignonFront(SignonFront* front) {
    gSignonFront = front;
}
SignonFront& CurrentSignonFront() {
    return gSignonFront ? *gSignonFront : gSilentSignon;
}

TRPCBroker* SignonBroker() {
    return gSignonBroker.data();
}

}  // namespace vorn
