#include "source/internal/master_link.h"

#include <QWidget>

#include "broker/rpc_broker.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_requests.h"
#include "source/vorn_source.h"

namespace vorn {

void MasterLink::ReloadGrids() {
    for (TvornGridLink* grid : s_.Grids())
        grid->Fill();
}

bool MasterLink::Setup() {
    TvornSource* master = s_.Master();
    if (!master) {
        ReloadGrids();
        return true;
    }
    if (!master->Active()) {
        s_.Presenter().Error(QStringLiteral("MasterSource is not active"));
        return false;
    }
    if (master->FileNumber.isEmpty()) {
        s_.Presenter().Error(QStringLiteral("MasterSource's FileNumber not defined"));
        return false;
    }
    const QString masterRecord = master->RecordNumber();
    if (!master->Address().IsStored()) {
        // The master found no record: the detail must not go on showing the records of the
        // one it had before.
        s_.LoseMaster();
        return false;
    }
    const bool hierarchical = s_.TypeIfSubFile == TvornSubFileType::Hierarchical;
    parentIens_ = hierarchical ? u',' + master->FullIens() : QString();
    if (s_.TypeIfSubFile == TvornSubFileType::Logical) {
        DisableLinkControls();
        if (s_.LinkField.isEmpty()) s_.LinkField = QStringLiteral(".01");
        const std::optional<QString> location = requests::ReadLocation(
            s_.RequireBroker().Call(requests::Location(s_.FileNumber, s_.LinkField)));
        if (location) linkScreen_ = requests::LinkScreen(masterRecord, *location);
    } else {
        linkScreen_.clear();
    }
    ReloadGrids();
    // The grids were just listed: the read that First makes need not list them again.
    navigator_.GridsListed();
    s_.First();
    if (!s_.Address().HasRecord()) {
        for (TvornGridLink* grid : s_.Grids())
            grid->Clear();
        s_.SetButtonEnabled(DoFirst, false);
        s_.SetButtonEnabled(DoLast, false);
    }
    return true;
}

void MasterLink::PutMasterLink() {
    linkPending_ = true;
    TvornSource* master = s_.Master();
    if (!master || !s_.Fields().contains(s_.LinkField)) return;
    const QString record = master->RecordNumber();
    const QString text = MasterFieldText(QStringLiteral(".01"));
    for (TvornBoundControl* control : s_.Controls())
        if (control->FMField() == s_.LinkField && control->TakeMasterLink(record, text))
            linkPending_ = false;
}

QString MasterLink::MasterFieldText(const QString& field) const {
    TvornSource* master = s_.Master();
    if (!master) return {};
    for (TvornBoundControl* control : master->Controls())
        if (control->FMField() == field) return control->ShownText();
    return {};
}

void MasterLink::DisableLinkControls() {
    for (TvornBoundControl* control : s_.Controls())
        if (control->FMField() == s_.LinkField && !control->IsDisplayOnly())
            control->Widget()->setEnabled(false);
}

}  // namespace vorn
