#include "demo/person_form.h"

#include "broker/rpc_broker.h"
#include "controls/exec_button.h"
#include "output/device_dialog.h"
#include "output/help_window.h"
#include "output/vorn_print.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {

TfrmPerson::TfrmPerson(const LabTestConnection& connection, QWidget* parent)
    : SecondaryForm(parent) {
    setupUi(this);
    mainLayout->setMenuBar(menuBar);
    RPCBroker1 = MakeBroker(this, connection);

    vornSource1 = MakeSource(this, "vornSource1", "Demo Person", "80000", RPCBroker1);
    vornSource1->LockTimeOut = 5;
    vornSource1->FMAccessUsed = false;
    vornSource1->ConfirmMessages = ConfirmChange | ConfirmDelete;
    vornSource2 = MakeSource(this, "vornSource2", "Demo Patient", "80003", RPCBroker1);
    vornSource2->TypeIfSubFile = TvornSubFileType::Logical;
    vornSource2->ConfirmMessages = ConfirmDelete;
    vornSource2->SetMasterSource(vornSource1);

    vornFinder1 = MakeFinder(this, "vornFinder1", RPCBroker1, "80000", "20");
    vornFinder2 = MakeFinder(this, "vornFinder2", RPCBroker1, "80002", "20");
    Bind();
    BindCommands();
    ui::LoadComponents(*this);
    AdjustFormToDisplay(*this);
}

void TfrmPerson::Bind() {
    Attach(vornSource1, {xDlgEditName, xedDOB, xedtTown, vornLabel1},
           {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast});
    Attach(vornSource2, {xDlgEditWard},
           {xbtn2Save, xbtn2SaveAs, xbtn2Clear, xbtn2Delete, xbtn2First, xbtn2Prior, xbtn2Next,
            xbtn2Last});

    xDlgEditName->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    xDlgEditName->SetvornFinderForFind(vornFinder1);
    vornFindBtn1 = TvornExecBtn::CreateFor(*xDlgEditName, false);
    // Alt+F opens the File menu: the find button answers to Alt+N.
    vornFindBtn1->setText(QStringLiteral("Fi&nd"));
    xDlgEditWard->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    xDlgEditWard->SetvornFinderForPointer(vornFinder2);
    vornPointerBtn1 = TvornExecBtn::CreateFor(*xDlgEditWard, true);

    FocusAfterClick({xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete}, xDlgEditName);
    FocusAfterClick({xbtn2Save, xbtn2SaveAs, xbtn2Clear, xbtn2Delete, xbtn2First, xbtn2Prior,
                     xbtn2Next, xbtn2Last},
                    xDlgEditWard);

    const auto update = [this](QObject*, bool) { UpdatePrintItem(); };
    vornSource1->AfterGetAndFill = [this](QObject*) { UpdatePrintItem(); };
    // A form emptied shows no person: nothing to print.
    vornSource1->AfterClear = [this](QObject*) { UpdatePrintItem(); };
    vornSource2->AfterDelete = update;
    vornSource2->AfterSaveAs = update;
    pageRules_ = new PageRules(*xPageCtrl1, [this](int page) { return PageMayBeLeft(page); });
}

void TfrmPerson::BindCommands() {
    vornDeviceDialog1 = new TvornDeviceDialog(this);
    vornDeviceDialog1->setObjectName(QStringLiteral("vornDeviceDialog1"));
    vornDeviceDialog1->IOP = QStringLiteral("CLIENT WORKSTATION");
    vornDeviceDialog1->Device = QStringLiteral("onscreen");
    vornDeviceDialog1->PrintDevices = TvornPrintDevices(pdScreen) | pdFile;
    vornDeviceDialog1->SetPrintDefault(pdScreen);
    vornDeviceDialog1->FileExtension = QStringLiteral("txt");
    vornDeviceDialog1->SetRPCBroker(RPCBroker1);
    vornPrint1 = MakePrint(this, RPCBroker1);

    connect(BtnExit, &QPushButton::clicked, this, &QWidget::close);
    connect(Exit, &QAction::triggered, this, &QWidget::close);
    connect(LabTests, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { PrintLabTests(); }));
    connect(HelpPerson, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { ShowHelp(vornSource1); }));
    connect(HelpPatient, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { ShowHelp(vornSource2); }));
}

QString TfrmPerson::Browse() {
    vornSource1->SetUserAccess(kAllAccess);
    vornSource1->Open();
    vornSource1->Clear();
    vornSource2->Open();
    ui::Modal().ExecModal(*this);
    return StoredRecordNumber(*vornSource1);
}

void TfrmPerson::Zoom(const QString& ien) {
    vornSource1->SetUserAccess(TvornUserAccess(uaRead) | uaWrite);
    vornSource1->Open();
    vornSource1->GetAndFill(ien);
    vornSource2->Open();
    ui::Modal().ExecModal(*this);
}

QString TfrmPerson::InsertPerson(const QString& name) {
    vornSource1->SetUserAccess(TvornUserAccess(uaRead) | uaWrite | uaInsert);
    vornSource1->Open();
    vornSource1->Clear();
    vornSource2->Open();
    if (!name.isEmpty()) xDlgEditName->setText(name);
    ui::Modal().ExecModal(*this);
    return StoredRecordNumber(*vornSource1);
}

void TfrmPerson::FormShow() {
    pageRules_->ShowPage(0);
    FocusIfShowing(xDlgEditName);
}

bool TfrmPerson::FormCloseQuery() {
    return vornSource2->CheckSaveChanges() && vornSource1->CheckSaveChanges();
}

bool TfrmPerson::PageMayBeLeft(int page) {
    if (page != 0) return vornSource2->CheckSaveChanges();
    // The patient records hang on a stored person: a person not yet saved has none to show,
    // and a patient added to it would point nowhere.
    if (vornSource1->CheckSaveChanges() && vornSource1->Address().IsStored()) return true;
    TimedMessageDlg(QStringLiteral("Choose or add a record first!"), ui::MessageKind::Warning,
                    ui::mbOK);
    return false;
}

void TfrmPerson::UpdatePrintItem() {
    LabTests->setEnabled(!StoredRecordNumber(*vornSource1).isEmpty());
}

void TfrmPerson::PrintLabTests() {
    if (!vornDeviceDialog1->Execute() || vornDeviceDialog1->IOP.isEmpty()) return;
    const RpcReply reply =
        RPCBroker1->Call(RpcRequest(QStringLiteral("ZORADOD TUL POTTUTK"))
                             .List()
                             .Named(QStringLiteral("POT"), StoredRecordNumber(*vornSource2))
                             .Named(QStringLiteral("IOP"), vornDeviceDialog1->IOP));
    if (reply.Line(0) == QLatin1String("[Error]"))
        TimedMessageDlg(reply.Line(1), ui::MessageKind::Information, ui::mbOK);
    else if (reply.Line(0) == QLatin1String("[Misc]"))
        vornPrint1->Print(reply.Line(1), vornDeviceDialog1);
    else
        TimedMessageDlg(QStringLiteral("Print failed!"), ui::MessageKind::Information, ui::mbOK);
}

void TfrmPerson::ShowHelp(TvornSource* source) {
    ShowFieldHelp(*source);
}

}  // namespace vorn
