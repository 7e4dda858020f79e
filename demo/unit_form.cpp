#include "demo/unit_form.h"

#include "broker/rpc_broker.h"
#include "controls/exec_button.h"
#include "output/help_window.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {

TfrmUnit::TfrmUnit(const LabTestConnection& connection, QWidget* parent) : SecondaryForm(parent) {
    setupUi(this);
    mainLayout->setMenuBar(menuBar);
    RPCBroker1 = MakeBroker(this, connection);

    vornSource1 = MakeSource(this, "vornSource1", "Demo Ward/Clinic", "80002", RPCBroker1);
    vornSource1->FMAccessUsed = true;
    vornSource1->ConfirmMessages = ConfirmChange | ConfirmDelete | ConfirmInsert;
    vornSource4 = MakeSource(this, "vornSource4", "Demo Patient", "80003", RPCBroker1);
    vornSource4->FMIndex = QStringLiteral("C");
    vornSource4->FMIndexField = QStringLiteral("2");
    vornSource4->LinkField = QStringLiteral("2");
    vornSource4->TypeIfSubFile = TvornSubFileType::Logical;
    vornSource4->SetUserAccess(TvornUserAccess(uaRead) | uaBrowse);
    vornSource4->FMAccessUsed = true;
    vornSource4->ConfirmMessages = {};
    vornSource4->SetMasterSource(vornSource1);

    vornFinder1 = MakeFinder(this, "vornFinder1", RPCBroker1, "80002", "50");
    Bind();
    ui::LoadComponents(*this);
    AdjustFormToDisplay(*this);
}

void TfrmUnit::Bind() {
    Attach(vornSource1, {xedtName, xedtCode, xrgUnitType, xlblPaasaso2},
           {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast});
    xgrdLogOpen->SetvornSource(vornSource4);

    xedtName->SetvornFinderForFind(vornFinder1);
    vornFindBtn1 = TvornExecBtn::CreateFor(*xedtName, false);
    // Alt+F opens the File menu: the find button answers to Alt+N.
    vornFindBtn1->setText(QStringLiteral("Fi&nd"));

    pageRules_ = new PageRules(
        *xPageCtrl1, [this](int page) { return PageMayBeLeft(page); },
        [this](int page) { PageEntered(page); });
    connect(BtnExit, &QPushButton::clicked, this, &QWidget::close);
    connect(Exit, &QAction::triggered, this, &QWidget::close);
    connect(Help, &QAction::triggered, this, ui::GuardedSlot(this, [this] { ShowHelp(); }));
    // The Zoom button has no command (yet): a unit's patients are only listed here.
}

void TfrmUnit::Browse() {
    vornSource1->TypeIfSubFile = TvornSubFileType::None;
    vornSource1->SetUserAccess(kAllAccess);
    ui::Modal().ExecModal(*this);
}

void TfrmUnit::FormShow() {
    if (vornSource1->TypeIfSubFile == TvornSubFileType::None) {
        vornSource1->Open();
        vornSource1->Clear();
    }
    pageRules_->ShowPage(0);
    FocusIfShowing(xedtName);
}

bool TfrmUnit::FormCloseQuery() {
    return vornSource1->CheckSaveChanges();
}

bool TfrmUnit::PageMayBeLeft(int page) {
    if (page != 0) return vornSource4->CheckSaveChanges();
    // A unit not yet saved has no patients to list.
    if (vornSource1->CheckSaveChanges() && vornSource1->Address().IsStored()) return true;
    TimedMessageDlg(QStringLiteral("First select or add a record!"), ui::MessageKind::Warning,
                    ui::mbOK);
    return false;
}

void TfrmUnit::PageEntered(int page) {
    if (page != 1) return;
    btnZoom->setEnabled(false);
    vornSource4->Open();
    btnZoom->setEnabled(xgrdLogOpen->RowCount() > 1 && !xgrdLogOpen->Cell(0, 1).isEmpty());
}

void TfrmUnit::ShowHelp() {
    ShowFieldHelp(xPageCtrl1->currentIndex() == 1 ? *vornSource4 : *vornSource1);
}

}  // namespace vorn
