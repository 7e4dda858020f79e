// The main form's commands: the Print menu, the persons and units forms, help and About, the
// zooms and inserts into the secondary forms, and deleting or moving all wards of a lab test.
#include "controls/dialog_edit.h"
#include "demo/lab_result_form.h"
#include "demo/lab_test_form.h"
#include "demo/person_form.h"
#include "demo/secondary_form.h"
#include "demo/subresult_form.h"
#include "demo/unit_form.h"
#include "lookup/bound_grid.h"
#include "output/device_dialog.h"
#include "output/help_window.h"
#include "output/related_records.h"
#include "output/vorn_print.h"
#include "output/vorn_report.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {

void TfrmLabTest::BindCommands() {
    vornReport1 = new TvornReport(this);
    vornReport1->setObjectName(QStringLiteral("vornReport1"));
    vornReport1->FileNumber = QStringLiteral("80001");
    vornReport1->FieldNumbers = {QStringLiteral("<PERUSTULOSTUS>")};
    vornReport1->SetRPCBroker(RPCBroker1);
    vornPrint1 = MakePrint(this, RPCBroker1);
    vornDeviceDialog1 = new TvornDeviceDialog(this);
    vornDeviceDialog1->setObjectName(QStringLiteral("vornDeviceDialog1"));
    vornDeviceDialog1->IOP = QStringLiteral("CLIENT WORKSTATION");
    vornDeviceDialog1->Device = QStringLiteral("onscreen");
    vornDeviceDialog1->PrintDevices = TvornPrintDevices(pdScreen) | pdPrinter | pdFile | pdExcel |
                                      pdServerPrinter | pdWordProcessor;
    vornDeviceDialog1->SetPrintDefault(pdScreen);
    vornDeviceDialog1->FileExtension = QStringLiteral("txt");
    vornDeviceDialog1->SaveDial = false;
    vornDeviceDialog1->PrintDial = false;
    vornDeviceDialog1->SetRPCBroker(RPCBroker1);

    const auto on = [this](QAction* action, void (TfrmLabTest::*command)()) {
        connect(action, &QAction::triggered, this,
                ui::GuardedSlot(this, [this, command] { (this->*command)(); }));
    };
    on(ChosenLabTest, &TfrmLabTest::PrintChosenLabTest);
    on(LabTestsOfWards, &TfrmLabTest::PrintLabTestsOfWards);
    on(About, &TfrmLabTest::ShowAbout);
    on(Persons, &TfrmLabTest::OpenPersons);
    on(Units, &TfrmLabTest::OpenUnits);
    const std::pair<QAction*, TvornSource*> helps[] = {{HelpLabTest, vornSource1},
                                                       {HelpWards, vornSource2},
                                                       {HelpResultCodes, vornSource3},
                                                       {HelpTestResults, vornSource4},
                                                       {HelpSubresults, vornSource5}};
    for (const auto& [action, source] : helps)
        connect(action, &QAction::triggered, this,
                ui::GuardedSlot(this, [this, source = source] { ShowHelp(source); }));
    connect(btnDeleteAll, &QPushButton::clicked, this,
            ui::GuardedSlot(this, [this] { DeleteAllWards(); }));
    connect(btnMoveAll, &QPushButton::clicked, this,
            ui::GuardedSlot(this, [this] { MoveAllWards(); }));

    const auto click = [this](QAbstractButton* button, void (TfrmLabTest::*command)()) {
        connect(button, &QAbstractButton::clicked, this,
                ui::GuardedSlot(this, [this, command] { (this->*command)(); }));
    };
    click(btnZoom1, &TfrmLabTest::ZoomTestResult);
    click(btnZoom2, &TfrmLabTest::ZoomSubresult);
    click(btnInsert, &TfrmLabTest::InsertSubresult);
    // A double click on a row zooms, as the Zoom button does.
    connect(xgrdLogOpen, &QAbstractItemView::doubleClicked, this,
            ui::GuardedSlot(this, [this] { ZoomTestResult(); }));
    connect(xgrdHieOpen, &QAbstractItemView::doubleClicked, this,
            ui::GuardedSlot(this, [this] { ZoomSubresult(); }));
    xDlgCharge->OnZoom = [this](QObject*) { ChargeZoom(); };
    xDlgCharge->OnInsert = [this](QObject*) { ChargeInsert(); };
}

void TfrmLabTest::OpenPersons() {
    if (personForm_) personForm_->Browse();
}

void TfrmLabTest::OpenUnits() {
    if (unitForm_) unitForm_->Browse();
}

void TfrmLabTest::ChargeZoom() {
    const QString ien = xDlgCharge->SelectedIen();
    if (!personForm_ || ien.isEmpty() || ien == QLatin1String("-1")) return;
    personForm_->Zoom(ien);
    // The person may have been renamed there: a person in charge the user has not changed is
    // shown again as the server now has it.
    if (xDlgCharge->InternalValue() == xDlgCharge->FilledInternalValue() &&
        vornSource1->State() == ssBrowse)
        vornSource1->GetAndFill(vornSource1->Address().Number());
    ShowDateOfBirth();
}

void TfrmLabTest::ChargeInsert() {
    if (!personForm_) return;
    const QString person = personForm_->InsertPerson(xDlgCharge->InsertText());
    // The back-quote form names the person by its record number, whatever its name.
    if (!person.isEmpty()) vornSource1->SetFieldValue(QStringLiteral("7"), u'`' + person);
    ShowDateOfBirth();
}

void TfrmLabTest::ZoomTestResult() {
    if (!labResultForm_ || !btnZoom1->isEnabled()) return;
    TvornSource* results = labResultForm_->vornSource1;
    results->Close();
    results->SetMasterSource(vornSource1);
    results->TypeIfSubFile = TvornSubFileType::Logical;
    results->LinkField = QStringLiteral("2");
    const QString ien = xgrdLogOpen->RecordNumber();
    if (!ien.isEmpty()) labResultForm_->Zoom(ien);
    AfterSecondaryForm(vornSource4, btnZoom1, xgrdLogOpen);
}

void TfrmLabTest::PrepareSubresultForm() {
    subresultForm_->vornSource1->Close();
    subresultForm_->vornSource2->Close();
    subresultForm_->vornSource1->SetMasterSource(vornSource1);
    subresultForm_->vornSource1->TypeIfSubFile = TvornSubFileType::Hierarchical;
}

void TfrmLabTest::ZoomSubresult() {
    if (!subresultForm_ || !btnZoom2->isEnabled()) return;
    PrepareSubresultForm();
    const QString ien = xgrdHieOpen->RecordNumber();
    if (!ien.isEmpty()) subresultForm_->Zoom(ien);
    AfterSecondaryForm(vornSource5, btnZoom2, xgrdHieOpen);
}

void TfrmLabTest::InsertSubresult() {
    if (!subresultForm_ || !btnInsert->isEnabled()) return;
    PrepareSubresultForm();
    subresultForm_->InsertSubresult();
    AfterSecondaryForm(vornSource5, btnZoom2, xgrdHieOpen);
}

void TfrmLabTest::AfterSecondaryForm(TvornSource* source, QPushButton* zoom, TvornGrid* grid) {
    // The other form may have added, changed or deleted what the grid lists. The grid is read
    // again whatever the tab's source shows (an empty source too: its first record may just
    // have been added), and the source then shows a row the grid holds.
    if (source->State() == ssBrowse)
        source->Refresh();
    else if (source->State() == ssEmpty)
        grid->Fill();
    const bool listsRows = grid->RowCount() > 1 && !grid->Cell(0, 1).isEmpty();
    if (source->State() == ssEmpty && listsRows) source->First();
    UpdateZoom(zoom, grid);
}

void TfrmLabTest::RunPrint(const QString& by, const QString& file, const QString& fields) {
    if (!vornDeviceDialog1->Execute()) return;
    vornReport1->By = by;
    vornReport1->FileNumber = file;
    vornReport1->FieldNumbers = {fields};
    vornReport1->IOP = vornDeviceDialog1->IOP;
    if (vornReport1->IOP.isEmpty()) return;
    vornReport1->Run();
    vornPrint1->PrintReport(*vornReport1, vornDeviceDialog1);
}

void TfrmLabTest::PrintChosenLabTest() {
    // A new record not yet saved has no number: nothing follows "NUMBER=".
    const QString number =
        vornSource1->Address().IsStored() ? vornSource1->Address().Number() : QString();
    RunPrint(QStringLiteral("NUMBER=") + number, QStringLiteral("80001"),
             QStringLiteral("<CAPTIONED>"));
}

void TfrmLabTest::PrintLabTestsOfWards() {
    RunPrint(QString(), QStringLiteral("80002"), QStringLiteral("<VORNYKSTUTK>"));
}

void TfrmLabTest::ShowHelp(TvornSource* source) {
    vorn::ShowFieldHelp(*source);
}

void TfrmLabTest::ShowAbout() {
    ShowTitledText(QStringLiteral("About"),
                   QStringLiteral("Demo lab test is a user interface to an imaginary lab test "
                                  "database on an M server, built from the Vorn toolkit's "
                                  "components alone.\r\rVersion 3.00, 1999"));
}

void TfrmLabTest::DeleteAllWards() {
    RunRelatedRecords(vornSource1, vornSource2, true, nullptr, false, false);
}

void TfrmLabTest::MoveAllWards() {
    RunRelatedRecords(vornSource1, vornSource2, false, xDlgAbbreviation, false, true);
}

}  // namespace vorn
