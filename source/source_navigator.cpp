#include "source/internal/source_navigator.h"

#include <QWidget>

#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "source/internal/flag_scope.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"

namespace vorn {
namespace {

// Every detail of a record that is gone, deepest first, is asked about its own edits. None can
// stay on the record, so one detail's answer does not spare the next its question.
void AskDetailsOfAGoneRecord(SourceCore& source) {
    for (SourceCore* detail : source.DetailCores()) {
        if (!detail->Active()) continue;
        AskDetailsOfAGoneRecord(*detail);
        detail->Operations().CheckSaveChanges();
    }
}

}  // namespace

RpcRequest SourceNavigator::CurrentReadRequest() {
    for (const QString& field :
         {QStringLiteral(".01"), s_.Settings().FMIndexField, s_.Settings().LinkField})
        s_.Registry().EnsureField(field);
    return records::ReadRequest(s_.Settings().FileNumber, s_.Registry().Fields(),
                                address_.FullIens());
}

QString SourceNavigator::IdentifierText() {
    return records::ReadIdentifiers(RequireBroker(s_).Call(
        records::IdentifiersRequest(s_.Settings().FileNumber, address_.RecordAddress())));
}

bool SourceNavigator::RecordUnchanged() {
    if (!Allows(s_, uaRead)) return true;
    const records::RecordAnswer answer =
        records::ReadRecordAnswer(RequireBroker(s_).Call(CurrentReadRequest()));
    return !answer.missing && answer.lines == lastRead_.lines;
}

void SourceNavigator::GetRecord() {
    if (!Allows(s_, uaRead)) return;
    if (!address_.HasRecord()) {
        Clear();
        s_.Hooks().After(SourceMoment::GetAndFill);
        return;
    }
    records::RecordAnswer answer;
    if (s_.Settings().FileNumber.isEmpty()) {
        s_.Presenter().Warning(QStringLiteral("File Number is not initialized!"));
    } else {
        answer = records::ReadRecordAnswer(RequireBroker(s_).Call(CurrentReadRequest()));
        // The record went under the details' edits (another user deleted it): each detail is
        // asked about its own changes before the master's emptiness reaches it. The record
        // is gone whatever they answer.
        if (answer.missing) AskDetailsOfAGoneRecord(s_);
        if (answer.missing) address_.Forget();
    }
    {
        FlagScope filling(filling_);
        lastRead_ = answer;
        for (TvornGridLink* grid : s_.Registry().Grids()) {
            if (gridsStale_) grid->Fill();
            grid->Locate(address_.Number());
        }
        if (!s_.Registry().Grids().isEmpty()) gridsStale_ = false;
        Fill();
        const int piece = s_.Settings().FMIndexType == itInternal ? 4 : 5;
        indexValue_ = records::FieldPiece(lastRead_.lines, s_.Settings().FMIndexField,
                                          address_.RecordAddress(), piece);
        for (SourceCore* detail : s_.DetailCores())
            if (detail->Active()) detail->Link().Setup();
        if (s_.Registry().HasNavigationButtons()) ComputeEnds();
    }
    // A read that found no record leaves an empty form, not a browsed one.
    s_.SetState(address_.HasRecord() ? ssBrowse : ssEmpty);
    s_.Hooks().After(SourceMoment::GetAndFill);
}

void SourceNavigator::Fill() {
    const QString caret = QStringLiteral("^");
    for (TvornBoundControl* control : s_.Registry().Controls()) {
        const QString field = control->FMField();
        if (control->HoldsWordProcessing()) {
            control->FillFromLines(lastRead_.WordProcessingLines(field));
            continue;
        }
        const QString line = lastRead_.LineOf(field);
        control->FillFromRecord(Piece(line, caret, 4), Piece(line, caret, 5));
    }
}

void SourceNavigator::ShowValue(TvornBoundControl& control, const QString& internal,
                                const QString& external) {
    FlagScope filling(filling_);
    control.FillFromRecord(internal, external);
}

void SourceNavigator::EmptyControls() {
    FlagScope filling(filling_);
    for (TvornBoundControl* control : s_.Registry().Controls())
        control->ClearValue();
}

void SourceNavigator::EmptyForm() {
    EmptyControls();
    lastRead_ = records::RecordAnswer();
    indexValue_.clear();
}

records::ListerStep SourceNavigator::Step(records::Direction direction, bool continues) {
    using records::Direction;
    SourceCore* master = s_.Link().MasterCore();
    const bool logical = s_.Link().Logical();
    const bool backwards = direction == Direction::Prior || direction == Direction::Last;
    records::ListerStep step;
    step.file = s_.Settings().FileNumber;
    step.fields = logical ? s_.Settings().LinkField : QStringLiteral(".001");
    step.flags = records::ListerFlags(backwards, logical, RequireBroker(s_).RpcVersion);
    step.xref = s_.Settings().FMIndex;
    if (logical) {
        step.part = master->Owners().navigator.Address().Number();
        step.screen = s_.Link().LinkScreen();
        if (!s_.Settings().FMScreen.isEmpty()) step.screen += u' ' + s_.Settings().FMScreen;
    } else {
        step.iens = address_.ParentIens();
        step.screen = s_.Settings().FMScreen;
    }
    step.continues = continues;
    if (continues) {
        step.from = logical ? master->Owners().navigator.Address().Number() : indexValue_.left(30);
        step.fromIen = address_.Number();
    }
    return step;
}

QString SourceNavigator::Neighbour(records::Direction direction) {
    const QList<TvornGridLink*> grids = s_.Registry().Grids();
    if (!grids.isEmpty())
        return grids.first()->NavigateRecord(static_cast<TvornGridLink::Direction>(direction),
                                             address_.Number());
    const bool continues =
        direction == records::Direction::Prior || direction == records::Direction::Next;
    return records::ReadListerAnswer(
               RequireBroker(s_).Call(records::ListerRequest(Step(direction, continues))))
        .found;
}

void SourceNavigator::ComputeEnds() {
    const QList<TvornGridLink*> grids = s_.Registry().Grids();
    if (!grids.isEmpty()) {
        atFirst_ = grids.first()->AtFirstRow();
        atLast_ = grids.first()->AtLastRow();
    } else {
        const QString record = address_.Number();
        records::ListerStep first = Step(records::Direction::First, false);
        // The forward end is asked without flags for a plain source, whatever the protocol.
        if (!s_.Link().Logical()) first.flags.clear();
        TRPCBroker& broker = RequireBroker(s_);
        atFirst_ =
            records::ReadListerAnswer(broker.Call(records::ListerRequest(first))).found == record;
        atLast_ = records::ReadListerAnswer(
                      broker.Call(records::ListerRequest(Step(records::Direction::Last, false))))
                      .found == record;
    }
    s_.Buttons().SetEnabled(DoFirst, !atFirst_);
    s_.Buttons().SetEnabled(DoPrior, !atFirst_);
    s_.Buttons().SetEnabled(DoNext, !atLast_);
    s_.Buttons().SetEnabled(DoLast, !atLast_);
}

void SourceNavigator::ForgetEnds() {
    atFirst_ = false;
    atLast_ = false;
}

bool SourceNavigator::GetAndFill(const QString& ien) {
    if (!s_.Active()) {
        s_.Presenter().Error(s_.Name() + QStringLiteral(" is not active!"));
        return false;
    }
    if (ien != QLatin1String("+1")) {
        // The record being edited is left first: its changes are saved or dropped as the
        // user answers, and the user may choose to stay.
        if (!s_.Operations().LeaveRecord()) return false;
        address_.MoveTo(ien);
        GetRecord();
        if (address_.HasRecord()) return true;
    }
    Clear();
    return false;
}

bool SourceNavigator::Browse(records::Direction direction) {
    using records::Direction;
    if (!s_.Active() || !Allows(s_, uaBrowse)) return false;
    if (!s_.Operations().LeaveRecord()) return false;
    if ((direction == Direction::Prior || direction == Direction::Next) && !address_.IsStored())
        return false;
    const QString found = Neighbour(direction);
    if (!found.isEmpty()) {
        address_.MoveTo(found);
        GetRecord();
        return true;
    }
    switch (direction) {
        case Direction::Next:
            return Browse(Direction::Last);
        case Direction::Prior:
            return Browse(Direction::First);
        case Direction::First:
        case Direction::Last:
            if (s_.Master()) {
                Clear();
                if (direction == Direction::First) s_.Buttons().SetEnabled(DoLast, false);
            } else {
                // No record to show: the form is empty.
                EmptyForm();
                address_.Forget();
                s_.SetState(ssEmpty);
            }
            return false;
    }
    return false;
}

void SourceNavigator::EmptyDetailsAndGrids(bool disableDetailControls) {
    for (SourceCore* detail : s_.DetailCores()) {
        if (!detail->Active()) continue;
        detail->Operations().LoseMaster();
        if (disableDetailControls)
            for (TvornBoundControl* control : detail->Registry().Controls())
                control->Widget()->setEnabled(false);
    }
    for (TvornGridLink* grid : s_.Registry().Grids()) {
        if (gridsStale_) grid->Fill();
        grid->Clear();
    }
    gridsStale_ = false;
}

void SourceNavigator::Clear() {
    if (!s_.Active()) return;
    if (!s_.Hooks().Before(SourceMoment::Clear)) return;
    if (!s_.Operations().LeaveRecord()) return;
    EmptyControls();
    s_.Owners().saver.ForgetChanges();
    if (s_.Link().Logical()) s_.Link().PutMasterLink();
    EmptyDetailsAndGrids(false);
    s_.SetState(ssEmpty);
    ForgetEnds();
    s_.Buttons().SetEnabled(DoLast, true);
    s_.Buttons().SetEnabled(DoFirst, true);
    s_.Hooks().After(SourceMoment::Clear);
}

void SourceNavigator::Insert() {
    if (!s_.Active() || !Allows(s_, uaInsert)) return;
    if (!s_.Hooks().Before(SourceMoment::Insert)) return;
    if (!s_.Operations().LeaveRecord()) return;
    s_.Owners().saver.ForgetChanges();
    EmptyControls();
    if (s_.Link().Logical()) s_.Link().PutMasterLink();
    EmptyDetailsAndGrids(true);
    s_.SetState(ssNew);
    s_.Hooks().After(SourceMoment::Insert);
}

void SourceNavigator::Cancel() {
    if (!s_.Active()) return;
    s_.Owners().saver.ForgetChanges();
    if (s_.State() == ssNew) {
        Clear();
    } else if (s_.State() == ssEdit) {
        s_.Operations().UnlockRecord();
        GetRecord();
    }
}

void SourceNavigator::Refresh() {
    if (!s_.Operations().CheckSaveChanges()) return;
    GetRecord();
    for (TvornGridLink* grid : s_.Registry().Grids())
        grid->Fill();
}

void SourceNavigator::ReadFiled(const QString& number) {
    address_.MoveTo(number);
    gridsStale_ = true;
    // Filed is browsed, even when the read-back below meets a link that dies just now.
    s_.SetState(ssBrowse);
    GetRecord();
}

QString SourceNavigator::FieldValue(const QString& field, int piece) {
    if (field.isEmpty()) return {};
    const QString record = address_.RecordAddress();
    if (s_.Registry().Fields().contains(field))
        return records::FieldPiece(lastRead_.lines, field, record, piece);
    if (!address_.IsStored()) return {};
    const records::RecordAnswer answer = records::ReadRecordAnswer(RequireBroker(s_).Call(
        records::ReadRequest(s_.Settings().FileNumber, {field}, address_.FullIens())));
    return records::FieldPiece(answer.lines, field, record, piece);
}

}  // namespace vorn
