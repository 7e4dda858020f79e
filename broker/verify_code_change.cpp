#include "broker/verify_code_change.h"

#include "broker/broker_error.h"
#include "broker/broker_ui.h"
#include "common/scramble.h"

namespace vorn {
namespace {

// A front that cannot ask anyone: the change does not happen.
class SilentVerifyFront final : public VerifyCodeFront {
  public:
    bool Run(TVCEdit&, const QString&) override { return false; }
    void ShowMessage(const QString& text) override { CurrentBrokerUi().ShowMessage(text); }
};

SilentVerifyFront gSilentVerify;
VerifyCodeFront* gVerifyFront = nullptr;

QString ScrambledUpper(const QString& code) {
    return FromWireText(
        QByteArray::fromStdString(Scramble(ToWireText(code.toUpper()).toStdString())));
}

QString NotChanged(const QString& reason) {
    return kVerifyNotChanged + reason + '\r';
}

}  // namespace

void SetVerifyCodeFront(VerifyCodeFront* front) {
    gVerifyFront = front;
}

TVCEdit::TVCEdit(QObject* owner) : QObject(owner) {}

VerifyCodeFront& TVCEdit::Front() {
    if (front_) return *front_;
    return gVerifyFront ? *gVerifyFront : gSilentVerify;
}

bool TVCEdit::ChangeVerifyCode(const QString& knownOldCode) {
    return Run(knownOldCode);
}
bool TVCEdit::ChangeVerifyCode() {
    return Run(QString());
}

bool TVCEdit::Run(const QString& knownOldCode) {
    knownOldCode_ = knownOldCode;
    return Front().Run(*this, knownOldCode_);
}

TVCEdit::OkOutcome TVCEdit::PressOk(const QString& oldCode, const QString& newCode,
                                    const QString& confirmCode) {
    if (oldCode == newCode) {
        Front().ShowMessage(
            NotChanged(QStringLiteral("The new code is the same as the current one.")));
        return OkOutcome::SameCode;
    }
    if (newCode != confirmCode) {
        ++mismatches_;
        if (mismatches_ <= kMismatchesWithRetry) {
            Front().ShowMessage(
                NotChanged(QStringLiteral("The confirmation code does not match.  Try again.")));
            return OkOutcome::Mismatch;
        }
        Front().ShowMessage(NotChanged(QStringLiteral("The confirmation code does not match.")));
        return OkOutcome::MismatchAgain;
    }
    if (!broker_) throw std::logic_error("TVCEdit has no RPCBroker");
    const QStringList r =
        broker_
            ->Call(RpcRequest(QStringLiteral("XUS CVC"))
                       .Literal(ScrambledUpper(oldCode) + '^' + ScrambledUpper(newCode) + '^' +
                                ScrambledUpper(confirmCode)))
            .Lines();
    if (!r.isEmpty() && r[0] == QLatin1String("0")) {
        Front().ShowMessage(kVerifyChanged);
        return OkOutcome::Changed;
    }
    Front().ShowMessage(NotChanged(r.size() >= 2 ? r[1] : QString()));
    return OkOutcome::Refused;
}

QString TVCEdit::HelpText() {
    if (!helpFetched_) {
        if (!broker_) throw std::logic_error("TVCEdit has no RPCBroker");
        const RpcReply help = broker_->Call(RpcRequest(QStringLiteral("XUS AV HELP")));
        QString text =
            QStringLiteral("Enter a new verify code and then confirm it.\r\r") + help.Line(0);
        if (knownOldCode_.isEmpty())
            text = QStringLiteral("Enter your current verify code first.\r\n") + text;
        helpText_ = text;
        helpFetched_ = true;
    }
    return helpText_;
}

void TVCEdit::PressHelp() {
    Front().ShowMessage(HelpText());
}

}  // namespace vorn
