// The unit form: wards and clinics (file 80002) found, browsed and edited on its first tab, and
// the patients on the unit shown (file 80003, by its ward field) listed on the second. Its look
// is its form definition (unit_form.ui); the wiring below is the whole of its behaviour.
#pragma once

#include "demo/secondary_form.h"
#include "ui_unit_form.h"

namespace vorn {

class TRPCBroker;
class TvornExecBtn;
class TvornFinder;
class TvornSource;

class TfrmUnit : public SecondaryForm, public Ui::TfrmUnit {
    Q_OBJECT

  public:
    explicit TfrmUnit(const LabTestConnection& connection, QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    TvornSource* vornSource1;  // wards and clinics
    TvornSource* vornSource4;  // the patients on the unit shown, to read only
    TvornFinder* vornFinder1;
    TvornExecBtn* vornFindBtn1;

    // Entry point of the main form: the form shown modally with every right (the main form
    // sets vornSource1's TypeIfSubFile and UserAccess before, as this does).
    void Browse();

    // Field help of the patients on tab 2, else of the units.
    void ShowHelp();

  protected:
    void FormShow() override;
    bool FormCloseQuery() override;

  private:
    void Bind();
    bool PageMayBeLeft(int page);
    void PageEntered(int page);

    PageRules* pageRules_ = nullptr;
};

}  // namespace vorn
