#include "demo/lab_result_form.h"

#include "broker/rpc_broker.h"
#include "output/help_window.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {

TfrmLabResult::TfrmLabResult(const LabTestConnection& connection, QWidget* parent)
    : SecondaryForm(parent) {
    setupUi(this);
    mainLayout->setMenuBar(menuBar);
    RPCBroker1 = MakeBroker(this, connection);
    vornSource1 = MakeSource(this, "vornSource1", "Demo Lab Result", "80005", RPCBroker1);
    vornSource1->FMAccessUsed = true;
    vornSource1->ConfirmMessages = {};
    vornFinder1 = MakeFinder(this, "vornFinder1", RPCBroker1, "80005", "20");

    Attach(vornSource1, {xedtName, xedtLabTest, xedtDate, xedtResult, xmmoDesc},
           {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast});
    FocusAfterClick(
        {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast},
        xedtDate);
    connect(BtnExit, &QPushButton::clicked, this, &QWidget::close);
    // The menu's Exit does what the Exit button does.
    connect(Exit, &QAction::triggered, this, &QWidget::close);
    connect(Help, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { ShowFieldHelp(*vornSource1); }));
    ui::LoadComponents(*this);
    AdjustFormToDisplay(*this);
}

void TfrmLabResult::Zoom(const QString& ien) {
    vornSource1->SetUserAccess(TvornUserAccess(uaRead) | uaWrite);
    vornSource1->Open();
    xedtName->setEnabled(false);
    vornSource1->GetAndFill(ien);
    ui::Modal().ExecModal(*this);
}

void TfrmLabResult::FormShow() {
    FocusIfShowing(xedtDate);
}

bool TfrmLabResult::FormCloseQuery() {
    return vornSource1->CheckSaveChanges();
}

}  // namespace vorn
