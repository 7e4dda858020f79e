#include "demo/subresult_form.h"

#include "broker/rpc_broker.h"
#include "controls/exec_button.h"
#include "output/help_window.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {

TfrmSubresult::TfrmSubresult(const LabTestConnection& connection, TvornSource* labTests,
                             QWidget* parent)
    : SecondaryForm(parent) {
    setupUi(this);
    mainLayout->setMenuBar(menuBar);
    RPCBroker1 = MakeBroker(this, connection);
    vornSource1 = MakeSource(this, "vornSource1", "Subresult", "80001.02", RPCBroker1);
    vornSource1->ConfirmMessages = ConfirmDelete;
    vornSource2 = MakeSource(this, "vornSource2", "Subresult code", "80001.021", RPCBroker1);
    vornSource2->TypeIfSubFile = TvornSubFileType::Hierarchical;
    vornSource2->ConfirmMessages = {};
    vornSource2->SetMasterSource(vornSource1);
    vornFinder1 = MakeFinder(this, "vornFinder1", RPCBroker1, "80001.02", "20");
    // The lab test's abbreviation is the main form's to fill.
    xlblLabTest->SetvornSource(labTests);
    Bind();
    ui::LoadComponents(*this);
    AdjustFormToDisplay(*this);
}

void TfrmSubresult::Bind() {
    Attach(vornSource1, {xedtSubresult, xrgType, vornLabel1},
           {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast});
    Attach(vornSource2, {xedtSubResCode, xedtMeaning},
           {xbtn2Save, xbtn2SaveAs, xbtn2Clear, xbtn2Delete, xbtn2First, xbtn2Prior, xbtn2Next,
            xbtn2Last});
    vornGrid1->SetvornSource(vornSource2);

    xedtSubresult->SetvornFinderForFind(vornFinder1);
    vornFindBtn1 = TvornExecBtn::CreateFor(*xedtSubresult, false);
    // Alt+F opens the File menu: the find button answers to Alt+N.
    vornFindBtn1->setText(QStringLiteral("Fi&nd"));
    FocusAfterClick(
        {xbtnSave, xbtnSaveAs, xbtnClear, xbtnDelete, xbtnFirst, xbtnPrior, xbtnNext, xbtnLast},
        xedtSubresult);

    pageRules_ = new PageRules(*xPageCtrl1, [this](int page) { return PageMayBeLeft(page); });
    connect(BtnExit, &QPushButton::clicked, this, &QWidget::close);
    connect(Exit, &QAction::triggered, this, &QWidget::close);
    connect(HelpSubresult, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { ShowHelp(vornSource1); }));
    connect(HelpSubresultCode, &QAction::triggered, this,
            ui::GuardedSlot(this, [this] { ShowHelp(vornSource2); }));
}

void TfrmSubresult::Zoom(const QString& ien) {
    vornSource1->Open();
    vornSource1->GetAndFill(ien);
    vornSource1->SetUserAccess(TvornUserAccess(uaRead) | uaWrite | uaDelete);
    vornSource2->Open();
    ui::Modal().ExecModal(*this);
}

void TfrmSubresult::InsertSubresult() {
    vornSource1->Open();
    vornSource1->Clear();
    vornSource1->SetUserAccess(kAllAccess);
    vornSource2->Open();
    ui::Modal().ExecModal(*this);
}

void TfrmSubresult::FormShow() {
    pageRules_->ShowPage(0);
    FocusIfShowing(xedtSubresult);
}

bool TfrmSubresult::FormCloseQuery() {
    return vornSource1->CheckSaveChanges() && vornSource2->CheckSaveChanges();
}

bool TfrmSubresult::PageMayBeLeft(int page) {
    if (page != 0) return vornSource2->CheckSaveChanges();
    // Without a stored subresult there are no codes to show: the tab stays, without a word.
    return vornSource1->CheckSaveChanges() && vornSource1->Address().IsStored();
}

void TfrmSubresult::ShowHelp(TvornSource* source) {
    ShowFieldHelp(*source);
}

}  // namespace vorn
