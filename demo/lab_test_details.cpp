// The main form's four detail tabs, each with its own data source on a detail file of the lab
// test shown (its wards, result codes, test results and subresults), and the rules for leaving
// and entering a tab.
#include <QAbstractItemModel>
#include <utility>

#include "controls/exec_button.h"
#include "controls/vorn_btn.h"
#include "demo/lab_test_form.h"
#include "demo/page_rules.h"
#include "demo/secondary_form.h"
#include "lookup/bound_grid.h"
#include "lookup/vorn_finder.h"
#include "source/message_text.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"

namespace vorn {
namespace {

TvornSource* MakeDetail(QObject* owner, const char* name, const char* fileName, const char* file,
                        TvornSource* master, TvornSubFileType type, TRPCBroker* broker) {
    auto* source = new TvornSource(owner);
    source->setObjectName(QString::fromLatin1(name));
    source->FileName = QString::fromLatin1(fileName);
    source->FileNumber = QString::fromLatin1(file);
    source->LockTimeOut = 5;
    source->TypeIfSubFile = type;
    source->SetUserAccess(kAllAccess);
    source->FMAccessUsed = false;
    source->ConfirmMessages = ConfirmDelete | ConfirmInsert;
    source->InformMessages = InformChange | InformDelete | InformInsert;
    source->DelPointerDisplay()->DispFiles = 6;
    source->DelPointerDisplay()->DispRecords = 2;
    source->DelPointerDisplay()->DispNoXRefs = 6;
    source->SetRPCBroker(broker);
    source->SetMasterSource(master);
    return source;
}

}  // namespace

void TfrmLabTest::MakeDetailComponents() {
    vornSource2 = MakeDetail(this, "vornSource2", "Demo Departmental Lab Test", "80006",
                             vornSource1, TvornSubFileType::Logical, RPCBroker1);
    vornSource2->FMIndex = QStringLiteral("C");
    vornSource2->FMIndexField = QStringLiteral("2");
    vornSource2->LinkField = QStringLiteral("2");
    vornSource3 = MakeDetail(this, "vornSource3", "Result code", "80001.03", vornSource1,
                             TvornSubFileType::Hierarchical, RPCBroker1);
    vornSource4 = MakeDetail(this, "vornSource4", "Demo Lab Result", "80005", vornSource1,
                             TvornSubFileType::Logical, RPCBroker1);
    vornSource4->FMIndex = QStringLiteral("C");
    vornSource4->FMIndexField = QStringLiteral("2");
    vornSource4->LinkField = QStringLiteral("2");
    vornSource4->ConfirmMessages = ConfirmDelete;
    vornSource5 = MakeDetail(this, "vornSource5", "Subresult", "80001.02", vornSource1,
                             TvornSubFileType::Hierarchical, RPCBroker1);

    vornFinder3 = new TvornFinder(this);
    vornFinder3->setObjectName(QStringLiteral("vornFinder3"));
    vornFinder3->SetRPCBroker(RPCBroker1);
    vornFinder3->FileNumber = QStringLiteral("80002");
    vornFinder3->FMIndex = QStringLiteral("B");
    vornFinder3->FinderFlags = QStringLiteral("M");
    vornFinder3->Number = QStringLiteral("20");
}

void TfrmLabTest::BindDetails() {
    // The labels above the grids show the lab test's abbreviation.
    for (TvornLabel* label : {xlblmaster1, xlblmaster2, xlblmaster3, xlblmaster4})
        label->SetvornSource(vornSource1);
    Attach(vornSource2, {xDlgWard, xcbWhenAllowed},
           {xbtn2Save, xbtn2SaveAs, xbtn2Clear, xbtn2Delete, xbtn2First, xbtn2Prior, xbtn2Next,
            xbtn2Last});
    xgrdLogSub->SetvornSource(vornSource2);
    xDlgWard->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    xDlgWard->SetvornFinderForPointer(vornFinder3);
    vornPointerBtn3 = TvornExecBtn::CreateFor(*xDlgWard, true);

    Attach(vornSource3, {xedtResCode, xedtResMeaning},
           {xbtn3Save, xbtn3SaveAs, xbtn3Clear, xbtn3Delete, xbtn3First, xbtn3Prior, xbtn3Next,
            xbtn3Last});
    xgrdHieSub->SetvornSource(vornSource3);
    for (TvornBtn* button : {xbtn3Save, xbtn3SaveAs, xbtn3Clear, xbtn3Delete, xbtn3First,
                             xbtn3Prior, xbtn3Next, xbtn3Last})
        button->AfterClick = [this](QObject*) {
            if (xedtResCode->isVisible() && xedtResCode->isEnabled()) xedtResCode->setFocus();
        };

    xgrdLogOpen->SetvornSource(vornSource4);
    xgrdHieOpen->SetvornSource(vornSource5);
    // Zoom follows what the grid lists, however its rows came or went: a new lab test from the
    // history or from tab 1 refills the grids without the tabs being shown again.
    for (auto [zoom, grid] : {std::pair{btnZoom1, xgrdLogOpen}, std::pair{btnZoom2, xgrdHieOpen}}) {
        QAbstractItemModel* rows = grid->model();
        const auto update = [this, zoom, grid] { UpdateZoom(zoom, grid); };
        zoomFollows_ << connect(rows, &QAbstractItemModel::modelReset, this, update)
                     << connect(rows, &QAbstractItemModel::rowsInserted, this, update)
                     << connect(rows, &QAbstractItemModel::rowsRemoved, this, update)
                     << connect(rows, &QAbstractItemModel::dataChanged, this, update);
    }

    pageRules_ = new PageRules(
        *xPageCtrl1, [this](int page) { return PageMayBeLeft(page); },
        [this](int page) { PageShown(page); });
}

bool TfrmLabTest::PageMayBeLeft(int page) {
    if (page == 0) {
        if (vornSource1->CheckSaveChanges() && vornSource1->Address().IsStored()) return true;
        TimedMessageDlg(QStringLiteral("Choose or save a record first!"), ui::MessageKind::Warning,
                        ui::mbOK);
        return false;
    }
    TvornSource* details[] = {vornSource2, vornSource3, vornSource4, vornSource5};
    return page > 4 || details[page - 1]->CheckSaveChanges();
}

void TfrmLabTest::UpdateZoom(QPushButton* zoom, const TvornGrid* grid) {
    zoom->setEnabled(grid->RowCount() > 1 && !grid->Cell(0, 1).isEmpty());
}

void TfrmLabTest::PageShown(int page) {
    switch (page) {
        case 1:
            vornSource2->Open();
            break;
        case 2:
            vornSource3->Open();
            break;
        case 3:
            btnZoom1->setEnabled(false);
            vornSource4->Open();
            UpdateZoom(btnZoom1, xgrdLogOpen);
            break;
        case 4:
            btnZoom2->setEnabled(false);
            vornSource5->Open();
            UpdateZoom(btnZoom2, xgrdHieOpen);
            break;
        default:
            break;
    }
}

}  // namespace vorn
