// The lab result form: one lab result (file 80005) of the lab test the main form shows, opened
// from the main form's test results to be read and changed. Its look is its form definition
// (lab_result_form.ui); the wiring below is the whole of its behaviour.
#pragma once

#include <QString>

#include "demo/secondary_form.h"
#include "ui_lab_result_form.h"

namespace vorn {

class TRPCBroker;
class TvornFinder;
class TvornSource;

class TfrmLabResult : public SecondaryForm, public Ui::TfrmLabResult {
    Q_OBJECT

  public:
    explicit TfrmLabResult(const LabTestConnection& connection, QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    // The lab results; the main form makes it a detail of its lab tests (MasterSource,
    // TypeIfSubFile, LinkField) before a zoom.
    TvornSource* vornSource1;
    TvornFinder* vornFinder1;

    // Entry point of the main form: lab result `ien` shown modally with read and write rights,
    // its patient or specimen not to be changed.
    void Zoom(const QString& ien);

  protected:
    void FormShow() override;
    bool FormCloseQuery() override;
};

}  // namespace vorn
