// The person form: persons (file 80000) found, browsed and edited on its first tab, the patient
// records of the person shown (file 80003, each naming the ward the patient is on) on the
// second, and a printout of a patient's lab tests. The main form opens it to browse, to show
// one person (zoom) and to add a person named in a pointer field. Its look is its form
// definition (person_form.ui); the wiring below is the whole of its behaviour.
#pragma once

#include <QString>

#include "demo/secondary_form.h"
#include "ui_person_form.h"

namespace vorn {

class TRPCBroker;
class TvornDeviceDialog;
class TvornExecBtn;
class TvornFinder;
class TvornPrint;
class TvornSource;

class TfrmPerson : public SecondaryForm, public Ui::TfrmPerson {
    Q_OBJECT

  public:
    explicit TfrmPerson(const LabTestConnection& connection, QWidget* parent = nullptr);

    TRPCBroker* RPCBroker1;
    TvornSource* vornSource1;  // persons
    TvornSource* vornSource2;  // the patient records of the person shown
    TvornFinder* vornFinder1;  // persons, for the name's find
    TvornFinder* vornFinder2;  // wards and clinics, for the patient's ward
    TvornDeviceDialog* vornDeviceDialog1;
    TvornPrint* vornPrint1;
    TvornExecBtn* vornFindBtn1;
    TvornExecBtn* vornPointerBtn1;

    // --- entry points of the main form; each shows the form modally ---
    // Every right; an empty form. Returns the number of the person shown when the form closed,
    // empty for none or for one not saved.
    QString Browse();
    // Read and write rights on person `ien`.
    void Zoom(const QString& ien);
    // Read, write and insert rights; an empty form with `name` typed in the name edit. Returns
    // the number of the person shown when the form closed, empty for none or for one not saved.
    QString InsertPerson(const QString& name);

    // --- commands ---
    // The lab tests of the patient shown, to the device the user picks.
    void PrintLabTests();
    void ShowHelp(TvornSource* source);

  protected:
    void FormShow() override;
    bool FormCloseQuery() override;

  private:
    void Bind();
    void BindCommands();
    bool PageMayBeLeft(int page);
    // The print item is offered while a person is shown.
    void UpdatePrintItem();

    PageRules* pageRules_ = nullptr;
};

}  // namespace vorn
