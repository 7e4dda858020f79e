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

SilentFront gSilent;
SignonFront* gFront = nullptr;

QString Line(const QStringList& lines, int n) {
    return n < lines.size() ? lines[n] : QString();
}

// Saves the broker's call state and puts it back when the sequence ends, however it ends.
class CallStateGuard {
  public:
    explicit CallStateGuard(TRPCBroker& broker)
        : broker_(broker),
          procedure_(broker.RemoteProcedure),
          version_(broker.RpcVersion),
          clearParameters_(broker.ClearParameters()),
          clearResults_(broker.ClearResults()) {
        params_.Assign(broker.Param);
        broker.SetClearParameters(true);
        broker.SetClearResults(true);
    }
    ~CallStateGuard() {
        broker_.SetClearParameters(clearParameters_);
        broker_.SetClearResults(clearResults_);
        broker_.Param.Assign(params_);
        broker_.RemoteProcedure = procedure_.left(100);
        broker_.RpcVersion = version_;
        broker_.Results.clear();
    }

  private:
    TRPCBroker& broker_;
    TParams params_;
    QString procedure_;
    QString version_;
    bool clearParameters_;
    bool clearResults_;
};

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
        CallStateGuard state(broker_);
        FrontGuard form(front_);
        gSignonBroker = &broker_;

        broker_.RemoteProcedure = QStringLiteral("XUS SIGNON SETUP");
        broker_.CallRemote();
        const QStringList setup = broker_.Results;
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
    if (!signedOn_) RaiseBrokerError(QString(), kBrokerSignonFailed);
}

QStringList SignonSequence::IntroText() {
    broker_.RemoteProcedure = QStringLiteral("XUS INTRO MSG");
    broker_.CallRemote();
    return broker_.Results;
}

bool SignonSequence::SubmitCodes(const QString& accessCode, const QString& verifyCode) {
    signedOn_ = false;
    broker_.RemoteProcedure = QStringLiteral("XUS AV CODE");
    broker_.Param[0].Value = FromWireText(QByteArray::fromStdString(
        Scramble(ToWireText(accessCode + ';' + verifyCode).toStdString())));
    broker_.Param[0].ParamKind = TParamType::literal;
    broker_.CallRemote();
    const QStringList r = broker_.Results;

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
    gFront = front;
}
SignonFront& CurrentSignonFront() {
    return gFront ? *gFront : gSilent;
}

TRPCBroker* SignonBroker() {
    return gSignonBroker.data();
}

}  // namespace vorn
