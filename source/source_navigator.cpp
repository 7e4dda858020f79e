#include "source/source_navigator.h"

#include <QWidget>

#include "broker/pieces.h"
#include "broker/rpc_broker.h"
#include "source/flag_scope.h"
#include "source/source_messages.h"
#include "source/vorn_source.h"

namespace vorn {
namespace {

bool HasNoRecord(const QString& iens) {
    return iens.isEmpty() || iens == QLatin1String(",");
}

}  // namespace

RpcRequest SourceNavigator::CurrentReadRequest() {
    for (const QString& field : {QStringLiteral(".01"), s_.FMIndexField, s_.LinkField})
        if (!field.isEmpty() && !s_.fields_.contains(field)) s_.fields_.append(field);
    return records::ReadRequest(s_.FileNumber, s_.fields_, s_.FullIens());
}

QString SourceNavigator::IdentifierText() {
    return records::ReadIdentifiers(
        s_.RequireBroker().Call(records::IdentifiersRequest(s_.FileNumber, s_.RecordAddress())));
}

void SourceNavigator::GetRecord() {
    if (!s_.Allows(uaRead)) return;
    if (HasNoRecord(s_.iens_)) {
        Clear();
        if (s_.AfterGetAndFill) s_.AfterGetAndFill(&s_);
        return;
    }
    {
        FlagScope filling(s_.filling_);
        records::RecordAnswer answer;
        if (s_.FileNumber.isEmpty()) {
            say::Warning(QStringLiteral("File Number is not initialized!"));
        } else {
            answer = records::ReadRecordAnswer(s_.RequireBroker().Call(CurrentReadRequest()));
            if (answer.missing) s_.iens_.clear();
        }
        s_.recordLines_ = answer.lines;
        s_.recordKeys_ = answer.keys;
        s_.recordErrors_ = answer.errors;
        const QString record = s_.RecordNumber();
        for (TvornGridLink* grid : s_.Grids()) {
            if (s_.firstActivation_) grid->Fill();
            grid->Locate(record);
        }
        if (!s_.grids_.isEmpty()) s_.firstActivation_ = false;
        Fill(answer);
        ComputeIndexValue();
        for (TvornSource* detail : s_.Details())
            if (detail->Active()) detail->SetupMasterLink();
        if (s_.HasNavigationButtons()) ComputeEnds();
    }
    // A read that found no record leaves an empty form, not a browsed one.
    s_.SetState(HasNoRecord(s_.iens_) ? ssEmpty : ssBrowse);
    if (s_.AfterGetAndFill) s_.AfterGetAndFill(&s_);
}

void SourceNavigator::Fill(const records::RecordAnswer& answer) {
    const QString caret = QStringLiteral("^");
    for (TvornBoundControl* control : s_.Controls()) {
        const QString field = control->FMField();
        if (control->HoldsWordProcessing()) {
            control->FillFromLines(answer.WordProcessingLines(field));
            continue;
        }
        const QString line = answer.LineOf(field);
        control->FillFromRecord(Piece(line, caret, 4), Piece(line, caret, 5));
    }
}

void SourceNavigator::ComputeIndexValue() {
    const int piece = s_.FMIndexType == itInternal ? 4 : 5;
    s_.indexValue_ =
        records::FieldPiece(s_.recordLines_, s_.FMIndexField, s_.RecordAddress(), piece);
}

records::ListerStep SourceNavigator::Step(records::Direction direction, bool continues) {
    using records::Direction;
    TvornSource* master = s_.Master();
    const bool logical = master && s_.TypeIfSubFile == TvornSubFileType::Logical;
    const bool backwards = direction == Direction::Prior || direction == Direction::Last;
    records::ListerStep step;
    step.file = s_.FileNumber;
    step.fields = logical ? s_.LinkField : QStringLiteral(".001");
    step.flags = records::ListerFlags(backwards, logical, s_.RequireBroker().RpcVersion);
    step.xref = s_.FMIndex;
    if (logical) {
        step.part = master->RecordNumber();
        step.screen = s_.LinkScreen();
        if (!s_.FMScreen.isEmpty()) step.screen += u' ' + s_.FMScreen;
    } else {
        step.iens = s_.parentIens_;
        step.screen = s_.FMScreen;
    }
    step.continues = continues;
    if (continues) {
        step.from = logical ? master->RecordNumber() : s_.indexValue_.left(30);
        step.fromIen = s_.RecordNumber();
    }
    return step;
}

QString SourceNavigator::Neighbour(records::Direction direction) {
    const QList<TvornGridLink*> grids = s_.Grids();
    if (!grids.isEmpty())
        return grids.first()->NavigateRecord(static_cast<TvornGridLink::Direction>(direction),
                                             s_.RecordNumber());
    const bool continues =
        direction == records::Direction::Prior || direction == records::Direction::Next;
    const records::ListerAnswer answer = records::ReadListerAnswer(
        s_.RequireBroker().Call(records::ListerRequest(Step(direction, continues))));
    s_.recordErrors_ += answer.errors;
    return answer.found;
}

void SourceNavigator::ComputeEnds() {
    const QList<TvornGridLink*> grids = s_.Grids();
    if (!grids.isEmpty()) {
        s_.atFirst_ = grids.first()->AtFirstRow();
        s_.atLast_ = grids.first()->AtLastRow();
    } else {
        const QString record = s_.RecordNumber();
        const bool logical = s_.IsLogicalDetail();
        records::ListerStep first = Step(records::Direction::First, false);
        // The forward end is asked without flags for a plain source, whatever the protocol.
        if (!logical) first.flags.clear();
        TRPCBroker& broker = s_.RequireBroker();
        s_.atFirst_ =
            records::ReadListerAnswer(broker.Call(records::ListerRequest(first))).found == record;
        s_.atLast_ = records::ReadListerAnswer(
                         broker.Call(records::ListerRequest(Step(records::Direction::Last, false))))
                         .found == record;
    }
    s_.SetButtonEnabled(DoFirst, !s_.atFirst_);
    s_.SetButtonEnabled(DoPrior, !s_.atFirst_);
    s_.SetButtonEnabled(DoNext, !s_.atLast_);
    s_.SetButtonEnabled(DoLast, !s_.atLast_);
}

bool SourceNavigator::GetAndFill(const QString& ien) {
    if (!s_.Active()) {
        say::Error(s_.Name() + QStringLiteral(" is not active!"));
        return false;
    }
    if (ien != QLatin1String("+1")) {
        s_.iens_ = ien.endsWith(u',') ? ien : ien + u',';
        GetRecord();
        if (!s_.FullIens().isEmpty()) return true;
    }
    Clear();
    return false;
}

bool SourceNavigator::Browse(records::Direction direction) {
    using records::Direction;
    if (!s_.Active() || !s_.Allows(uaBrowse)) return false;
    if (!s_.CheckSaveChanges()) return false;
    const QString record = s_.RecordNumber();
    if ((direction == Direction::Prior || direction == Direction::Next) &&
        (record.isEmpty() || record == QLatin1String("+1")))
        return false;
    const QString found = Neighbour(direction);
    if (!found.isEmpty()) {
        s_.iens_ = found + u',';
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
                if (direction == Direction::First) s_.SetButtonEnabled(DoLast, false);
            } else {
                EmptyForm();
                s_.iens_.clear();
            }
            return false;
    }
    return false;
}

void SourceNavigator::EmptyForm() {
    s_.EmptyControls();
    s_.ForgetChanges();
    s_.recordLines_.clear();
    s_.recordKeys_.clear();
    s_.recordErrors_.clear();
    s_.indexValue_.clear();
}

void SourceNavigator::Clear() {
    if (!s_.Active()) return;
    bool allowClear = true;
    if (s_.BeforeClear) s_.BeforeClear(&s_, allowClear);
    if (!allowClear) return;
    if (!s_.CheckSaveChanges()) return;
    s_.EmptyControls();
    s_.ForgetChanges();
    // An edit that had nothing left to save may still hold its lock.
    s_.UnlockRecord();
    if (s_.IsLogicalDetail()) s_.PutMasterLink();
    for (TvornSource* detail : s_.Details()) {
        if (!detail->Active()) continue;
        detail->Clear();
        detail->SetState(ssNoMaster);
        for (TvornOperationButton* button : detail->Buttons())
            button->Widget()->setEnabled(false);
    }
    for (TvornGridLink* grid : s_.Grids()) {
        if (s_.firstActivation_) grid->Fill();
        grid->Clear();
    }
    s_.firstActivation_ = false;
    s_.SetState(ssEmpty);
    s_.atFirst_ = false;
    s_.atLast_ = false;
    s_.SetButtonEnabled(DoLast, true);
    s_.SetButtonEnabled(DoFirst, true);
    if (s_.AfterClear) s_.AfterClear(&s_);
}

void SourceNavigator::Insert() {
    if (!s_.Active() || !s_.Allows(uaInsert)) return;
    bool allowInsert = true;
    if (s_.BeforeInsert) s_.BeforeInsert(&s_, allowInsert);
    if (!allowInsert) return;
    if (!s_.CheckSaveChanges()) return;
    s_.ForgetChanges();
    s_.UnlockRecord();
    s_.EmptyControls();
    if (s_.IsLogicalDetail()) s_.PutMasterLink();
    for (TvornSource* detail : s_.Details()) {
        if (!detail->Active()) continue;
        detail->Clear();
        detail->SetState(ssNoMaster);
        for (TvornBoundControl* control : detail->Controls())
            control->Widget()->setEnabled(false);
    }
    for (TvornGridLink* grid : s_.Grids())
        grid->Clear();
    s_.firstActivation_ = false;
    s_.SetState(ssNew);
    if (s_.AfterInsert) s_.AfterInsert(&s_);
}

void SourceNavigator::Cancel() {
    if (!s_.Active()) return;
    s_.ForgetChanges();
    // The control being edited is thrown away with the rest, not committed on the way.
    s_.currentControl_ = nullptr;
    if (s_.state_ == ssNew) {
        Clear();
    } else if (s_.state_ == ssEdit) {
        s_.UnlockRecord();
        GetRecord();
    }
}

void SourceNavigator::Refresh() {
    if (!s_.CheckSaveChanges()) return;
    GetRecord();
    for (TvornGridLink* grid : s_.Grids())
        grid->Fill();
}

QString SourceNavigator::FieldValue(const QString& field, int piece) {
    if (field.isEmpty()) return {};
    const QString record = s_.RecordAddress();
    if (s_.fields_.contains(field))
        return records::FieldPiece(s_.recordLines_, field, record, piece);
    if (record.isEmpty() || record.startsWith(u'+')) return {};
    const records::RecordAnswer answer = records::ReadRecordAnswer(
        s_.RequireBroker().Call(records::ReadRequest(s_.FileNumber, {field}, s_.FullIens())));
    return records::FieldPiece(answer.lines, field, record, piece);
}

}  // namespace vorn
