// "Change TREVANTA Verify Code": the old code, the new code and its confirmation. The rules
// and texts are TVCEdit's; the form lays out the fields and carries out what each outcome of
// OK says about them.
#pragma once

#include <QDialog>

#include "broker/verify_code_change.h"

class QPushButton;

namespace vorn {

class CodeEdit;

class TfrmVCEdit : public QDialog {
    Q_OBJECT

  public:
    // With a known old code the old-code field holds it and is locked.
    TfrmVCEdit(TVCEdit& edit, const QString& knownOldCode, QWidget* parent = nullptr);

    TVCEdit& VCEdit() { return edit_; }

    // An error raised by a call while OK or Help was handled; the form closed on it. Raised
    // again by the caller of the modal loop.

    CodeEdit* edtOldVC;
    CodeEdit* edtNewVC;
    CodeEdit* edtConfirmVC;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnHelp;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateDefaultButton();
    void PressOk();
    void PressHelp();
    void EmptyNewCodes();
    template <typename F>
    void Guarded(F&& action);

    TVCEdit& edit_;
};

}  // namespace vorn
