#include "source/internal/master_link.h"

#include <QWidget>

#include "broker/rpc_broker.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_navigator.h"
#include "source/internal/source_requests.h"

namespace vorn {

void MasterLink::ReloadGrids() {
    for (TvornGridLink* grid : s_.Registry().Grids())
        grid->Fill();
}

bool MasterLink::Setup() {
    SourceCore* master = MasterCore();
    if (!master) {
        ReloadGrids();
        return true;
    }
    if (!master->Active()) {
        s_.Presenter().Error(QStringLiteral("MasterSource is not active"));
        return false;
    }
    if (master->Settings().FileNumber.isEmpty()) {
        s_.Presenter().Error(QStringLiteral("MasterSource's FileNumber not defined"));
        return false;
    }
    const QString masterRecord = master->Owners().navigator.Address().Number();
    if (!master->Owners().navigator.Address().IsStored()) {
        // The master found no record: the detail must not go on showing the records of the
        // one it had before.
        s_.Operations().LoseMaster();
        return false;
    }
    const bool hierarchical = s_.Settings().TypeIfSubFile == TvornSubFileType::Hierarchical;
    navigator_.SetParent(hierarchical ? u',' + master->Owners().navigator.Address().FullIens()
                                      : QString());
    if (s_.Settings().TypeIfSubFile == TvornSubFileType::Logical) {
        DisableLinkControls();
        if (s_.Settings().LinkField.isEmpty()) s_.Settings().LinkField = QStringLiteral(".01");
        const std::optional<QString> location = requests::ReadLocation(RequireBroker(s_).Call(
            requests::Location(s_.Settings().FileNumber, s_.Settings().LinkField)));
        if (location) linkScreen_ = requests::LinkScreen(masterRecord, *location);
    } else {
        linkScreen_.clear();
    }
    ReloadGrids();
    // The grids were just listed: the read that First makes need not list them again.
    navigator_.GridsListed();
    navigator_.Browse(records::Direction::First);
    if (!navigator_.Address().HasRecord()) {
        for (TvornGridLink* grid : s_.Registry().Grids())
            grid->Clear();
        s_.Buttons().SetEnabled(DoFirst, false);
        s_.Buttons().SetEnabled(DoLast, false);
    }
    return true;
}

void MasterLink::PutMasterLink() {
    linkPending_ = true;
    SourceCore* master = MasterCore();
    if (!master || !s_.Registry().Fields().contains(s_.Settings().LinkField)) return;
    const QString record = master->Owners().navigator.Address().Number();
    const QString text = MasterFieldText(QStringLiteral(".01"));
    for (TvornBoundControl* control : s_.Registry().Controls())
        if (control->FMField() == s_.Settings().LinkField && control->TakeMasterLink(record, text))
            linkPending_ = false;
}

QString MasterLink::MasterFieldText(const QString& field) const {
    SourceCore* master = MasterCore();
    if (!master) return {};
    for (TvornBoundControl* control : master->Registry().Controls())
        if (control->FMField() == field) return control->ShownText();
    return {};
}

void MasterLink::DisableLinkControls() {
    for (TvornBoundControl* control : s_.Registry().Controls())
        if (control->FMField() == s_.Settings().LinkField && !control->IsDisplayOnly())
            control->Widget()->setEnabled(false);
}

}  // namespace vorn
