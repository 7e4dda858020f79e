// The sign-on in a windowed program: the sign-on form, its message form and the verify-code
// dialog, with message boxes through the modal seam. A program installs them once, before
// its first broker connects:
//
//     vorn::ui::InstallWidgetBrokerUi();
//     vorn::InstallSignonForms();
#pragma once

#include <memory>
#include <vector>

#include "broker/signon_sequence.h"

#pragma GCC visibility push(default)
namespace vorn {

class TfrmSignon;

class SignonFormFront final : public SignonFront {
  public:
    SignonFormFront();
    ~SignonFormFront() override;

    void Open() override;
    void SetServerInfo(const SignonServerInfo& info) override;
    void ShowModal(SignonSequence& sequence) override;
    void CodesRejected(const QString& message) override;
    void ShowMessage(const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowSignonMessages(const QStringList& lines) override;
    bool ChangeVerifyCode(TRPCBroker& broker, const QString& knownOldCode) override;
    void Close() override;

    // The sign-on form of the sign-on in progress; null when none is.
    TfrmSignon* CurrentForm() const;

  private:
    TfrmSignon& Form();

    // A second broker may connect while a sign-on form waits (from a timer, say); each sign-on
    // has its own form.
    std::vector<std::unique_ptr<TfrmSignon>> forms_;
};

// Installs the form fronts for the sign-on and the verify-code change (once per program).
void InstallSignonForms();
// The installed sign-on front, for tests and for programs that look at the open form.
SignonFormFront& SignonForms();

}  // namespace vorn

#pragma GCC visibility pop
