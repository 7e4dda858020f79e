// What the find dialog's outcome does to the dialog edit and its source: a chosen entry becomes
// the pointer's value or the record the form shows, Insert starts a new entry, Zoom hands the
// entry to the program, Cancel leaves everything as it was. The edit alone writes its members;
// the dialog only says what the user did.
#include "broker/pieces.h"
#include "controls/dialog_edit.h"
#include "lookup/internal/pick_list.h"

namespace vorn {
namespace {

constexpr int kResultInsert = 101;
constexpr int kResultCancel = 2;
constexpr int kResultZoom = 4;

}  // namespace

void TvornDialogEdit::ApplyResult(const FindResult& result) {
    // A pick made for a record the form has left since belongs to no record now: the list
    // ends as cancelled. A cancel changes nothing wherever it comes from.
    if (result.action != FindResult::Action::Cancel && !LookupStillOwned()) {
        FindResult ended;
        ended.closedByBox = true;
        ApplyCancel(ended);
        return;
    }
    switch (result.action) {
        case FindResult::Action::Select:
            return ApplySelect(result);
        case FindResult::Action::Insert:
            return ApplyInsert(result);
        case FindResult::Action::Zoom:
            return ApplyZoom(result);
        case FindResult::Action::Cancel:
            return ApplyCancel(result);
    }
}

void TvornDialogEdit::ApplySelect(const FindResult& result) {
    TvornSource* source = vornSource();
    const QString oldInternal = internal_;
    lookup_.ChosenIen = result.ien;
    lookup_.ChosenLine = result.line;
    if (!source) {
        setText(Piece(lookup_.ChosenLine, QStringLiteral("^"), 2));
        if (!lookup_.PointerMode) internal_ = text();
    }
    if (lookup_.PointerMode) {
        internal_ = lookup_.ChosenIen;
        lookup_.ExternalValue =
            Piece(result.line, QStringLiteral("^"), picklist::DisplayPiece(ModeFields()));
        {
            QuietScope quiet(*this);
            setText(lookup_.ExternalValue);
        }
        settledText_ = text();
        lookup_.TextModified = text() != lookup_.FilledText;
        lookup_.ValueModified = internal_ != oldInternal;
        if ((lookup_.TextModified || lookup_.ValueModified) && source) MarkTaken();
        lookup_.TextModified = false;
        TakeFocus();
    } else if (source) {
        // Kept open when the user would rather stay with the record being edited.
        if (!LeaveEditedRecord()) return;
        source->GetAndFill(lookup_.ChosenIen);
        source->UpdateHistory();
    }
    lookup_.TextModified = false;
    EndDialog();
    lookup_.Chosen = false;
    Raise(AfterExecute);
}

void TvornDialogEdit::ApplyInsert(const FindResult& result) {
    TvornSource* source = vornSource();
    if (lookup_.PointerMode) {
        lookup_.InsertText = result.text;
        if (OnInsert) {
            if (dialog_) dialog_->DropStayOnTop();
            Raise(OnInsert);
        }
        lookup_.DialogResult = kResultInsert;
        EndDialog();
        Raise(AfterExecute);
        return;
    }
    if (source) {
        if (!LeaveEditedRecord()) return;
        if (source->State() != ssNew || InsertKeyLength < 1 || lookup_.Chosen)
            source->Insert();
        else
            source->Cancel();
        // An insert the program vetoed leaves the record shown as it is: the inserted text
        // must not become a new name for it.
        if (source->State() != ssNew && source->State() != ssEmpty) {
            EndDialog();
            return;
        }
        source->BeginEdit();
    }
    internal_ = result.text;
    {
        QuietScope quiet(*this);
        setText(result.text);
    }
    settledText_ = text();
    lookup_.InsertText = text();
    TakeFocus();
    lookup_.TextModified = true;
    if (source) {
        AddChanged();
        Raise(AfterExecute);
    } else if (OnInsert) {
        if (dialog_) dialog_->DropStayOnTop();
        Raise(OnInsert);
    }
    lookup_.DialogResult = kResultInsert;
    EndDialog();
    lookup_.Chosen = true;
}

void TvornDialogEdit::ApplyZoom(const FindResult& result) {
    lookup_.ChosenIen = result.ien;
    if (OnZoom) {
        if (dialog_) dialog_->DropStayOnTop();
        // The dialog is the sender: the program opens the entry in front of it.
        const TNotifyEvent handler = OnZoom;
        handler(dialog_.data());
    }
    lookup_.DialogResult = kResultZoom;
}

void TvornDialogEdit::ApplyCancel(const FindResult& result) {
    if (result.closedByBox) {
        // The close box ends the dialog without an answer: nothing is chosen, nothing changes.
        EndDialog();
        Raise(AfterCancel);
        return;
    }
    lookup_.ChosenLine.clear();
    lookup_.ChosenIen = QStringLiteral("-1");
    lookup_.DialogResult = kResultCancel;
    lookup_.Chosen = false;
    TakeFocus();
    EndDialog();
    Raise(AfterCancel);
}

}  // namespace vorn
