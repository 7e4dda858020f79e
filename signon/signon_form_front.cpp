#include "signon/signon_form_front.h"

#include "broker/verify_code_change.h"
#include "signon/internal/signon_form.h"
#include "signon/internal/signon_message_form.h"
#include "signon/internal/verify_code_form_front.h"
#include "toolkit/modal_seam.h"

namespace vorn {

SignonFormFront::SignonFormFront() = default;
SignonFormFront::~SignonFormFront() = default;

void SignonFormFront::Open() {
    forms_.push_back(std::make_unique<TfrmSignon>());
}

TfrmSignon& SignonFormFront::Form() {
    if (forms_.empty()) Open();
    return *forms_.back();
}

TfrmSignon* SignonFormFront::CurrentForm() const {
    return forms_.empty() ? nullptr : forms_.back().get();
}

void SignonFormFront::SetServerInfo(const SignonServerInfo& info) {
    Form().SetServerInfo(info);
}

void SignonFormFront::ShowModal(SignonSequence& sequence) {
    TfrmSignon& form = Form();
    form.PrepareToShow(sequence);
    ui::Modal().ExecModal(form);
}

void SignonFormFront::CodesRejected(const QString& message) {
    TfrmSignon& form = Form();
    form.ClearCodes();
    ShowWarning(message);
    form.FocusAccessCode();
}

void SignonFormFront::ShowMessage(const QString& text) {
    ui::ShowPlainMessage(text, CurrentForm());
}

void SignonFormFront::ShowWarning(const QString& text) {
    ui::Modal().ShowMessage(CurrentForm(),
                            {text, ui::ApplicationTitle(), ui::MessageKind::Warning, ui::mbOK});
}

void SignonFormFront::ShowSignonMessages(const QStringList& lines) {
    TfrmSignonMsg messages(lines);
    ui::Modal().ExecModal(messages);
}

bool SignonFormFront::ChangeVerifyCode(TRPCBroker& broker, const QString& knownOldCode) {
    TVCEdit edit;
    edit.SetRPCBroker(&broker);
    return edit.ChangeVerifyCode(knownOldCode);
}

void SignonFormFront::Close() {
    if (!forms_.empty()) forms_.pop_back();
}

SignonFormFront& SignonForms() {
    static SignonFormFront front;
    return front;
}

void InstallSignonForms() {
    static VerifyCodeFormFront verifyCode;
    SetSignonFront(&SignonForms());
    SetVerifyCodeFront(&verifyCode);
}

}  // namespace vorn
