// The sign-on and the verify-code change asked on the terminal, for programs without a
// window system. The rules and texts are the sign-on sequence's own; this only asks and tells.
#pragma once

#include "broker/cli/terminal.h"
#include "broker/signon_sequence.h"
#include "broker/verify_code_change.h"

namespace vorn::cli {

class TerminalVerifyCodeFront final : public VerifyCodeFront {
  public:
    explicit TerminalVerifyCodeFront(Terminal& terminal) : terminal_(terminal) {}
    bool Run(TVCEdit& edit, const QString& knownOldCode) override;
    void ShowMessage(const QString& text) override;

  private:
    Terminal& terminal_;
};

class TerminalSignonFront final : public SignonFront {
  public:
    explicit TerminalSignonFront(Terminal& terminal) : terminal_(terminal), verify_(terminal) {}
    void Open() override {}
    void SetServerInfo(const SignonServerInfo& info) override { info_ = info; }
    void ShowModal(SignonSequence& sequence) override;
    void CodesRejected(const QString& message) override;
    void ShowMessage(const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowSignonMessages(const QStringList& lines) override;
    bool ChangeVerifyCode(TRPCBroker& broker, const QString& knownOldCode) override;
    void Close() override {}

  private:
    Terminal& terminal_;
    TerminalVerifyCodeFront verify_;
    SignonServerInfo info_;
};

}  // namespace vorn::cli
