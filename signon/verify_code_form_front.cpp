#include "signon/internal/verify_code_form_front.h"

#include "signon/internal/verify_code_form.h"
#include "toolkit/modal_seam.h"

namespace vorn {

bool VerifyCodeFormFront::Run(TVCEdit& edit, const QString& knownOldCode) {
    // Owned by the application, not by a window: a top-level dialog of its own.
    TfrmVCEdit form(edit, knownOldCode);
    const QPointer<TfrmVCEdit> outer = std::exchange(form_, &form);
    const int result = ui::Modal().ExecModal(form);
    form_ = outer;
    return result == QDialog::Accepted;
}

void VerifyCodeFormFront::ShowMessage(const QString& text) {
    ui::ShowPlainMessage(text, form_.data());
}

}  // namespace vorn
