// The program entry of Demo lab test: the forms made in their order, the message loop, and the
// screenshot run for machines without a display.
#pragma once

#include <QString>
#include <memory>

#include "demo/lab_test_form.h"
#include "demo/secondary_forms.h"
#include "toolkit/modal_seam.h"

namespace vorn {

struct LabTestForms {
    std::unique_ptr<TfrmLabTest> frmLabTest;  // the main form, made first
    std::unique_ptr<TfrmLabResult> frmLabResult;
    std::unique_ptr<TfrmSubresult> frmSubresult;
    std::unique_ptr<TfrmUnit> frmUnit;
    std::unique_ptr<TfrmPerson> frmPerson;
};

// Installs the help window as the display of F1 field help, then makes the main form, then the
// lab result, subresult, unit and person forms, hidden.
LabTestForms CreateForms(const LabTestConnection& connection);

// Nobody is there to answer in a screenshot run: every modal interaction is answered at once
// (messages with OK or Yes, forms accepted) and written to standard error. Installed as the
// modal host while it lives.
class UnattendedAnswers final : public ui::ModalHost {
  public:
    UnattendedAnswers();
    ~UnattendedAnswers() override;
    int ShowMessage(QWidget* parent, const ui::MessageRequest& request) override;
    int ExecModal(QDialog& dialog) override;
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

// The record number of the lab test whose abbreviation is `abbreviation`, else of the first
// that begins with it; empty when none does.
QString FindLabTest(TfrmLabTest& form, const QString& abbreviation);

// Shows the main form, finds the lab test `abbreviation` when one is given (as the find field
// does, by its first letters, taking the entry of exactly that abbreviation when there is one),
// shows tab `tab` (1 to 5), renders the form into `file` (PNG) and returns 0; 1 with a message
// on standard error when the form could not start, the tab not be shown or the file not be
// written.
int TakeScreenshot(LabTestForms& forms, const QString& file, const QString& abbreviation,
                   int tab = 1);

}  // namespace vorn
