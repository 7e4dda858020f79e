// The verify-code change in a windowed program: the dialog TfrmVCEdit, shown modally, and
// plain message boxes.
#pragma once

#include <QPointer>

#include "broker/verify_code_change.h"

namespace vorn {

class TfrmVCEdit;

class VerifyCodeFormFront final : public VerifyCodeFront {
  public:
    bool Run(TVCEdit& edit, const QString& knownOldCode) override;
    void ShowMessage(const QString& text) override;

  private:
    QPointer<TfrmVCEdit> form_;
};

}  // namespace vorn
