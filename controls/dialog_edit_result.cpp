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
    ChosenIen = result.ien;
    ChosenLine = result.line;
    if (!source) {
        setText(Piece(ChosenLine, QStringLiteral("^"), 2));
        if (!PointerMode) internal_ = text();
    }
    if (PointerMode) {
        internal_ = ChosenIen;
        ExternalValue =
            Piece(result.line, QStringLiteral("^"), picklist::DisplayPiece(ModeFields()));
        {
            QuietScope quiet(*this);
            setText(ExternalValue);
        }
        settledText_ = text();
        TextModified = text() != FilledText;
        ValueModified = internal_ != oldInternal;
        if ((TextModified || ValueModified) && source) MarkTaken();
        TextModified = false;
        TakeFocus();
    } else if (source) {
        // Kept open when the user would rather stay with the record being edited.
        if (!LeaveEditedRecord()) return;
        source->GetAndFill(ChosenIen);
        source->UpdateHistory();
    }
    TextModified = false;
    EndDialog();
    Chosen = false;
    Raise(AfterExecute);
}

void TvornDialogEdit::ApplyInsert(const FindResult& result) {
    TvornSource* source = vornSource();
    if (PointerMode) {
        InsertText = result.text;
        if (OnInsert) {
            if (dialog_) dialog_->DropStayOnTop();
            Raise(OnInsert);
        }
        DialogResult = kResultInsert;
        EndDialog();
        Raise(AfterExecute);
        return;
    }
    if (source) {
        if (!LeaveEditedRecord()) return;
        if (source->State() != ssNew || InsertKeyLength < 1 || Chosen)
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
    InsertText = text();
    TakeFocus();
    TextModified = true;
    if (source) {
        AddChanged();
        Raise(AfterExecute);
    } else if (OnInsert) {
        if (dialog_) dialog_->DropStayOnTop();
        Raise(OnInsert);
    }
    DialogResult = kResultInsert;
    EndDialog();
    Chosen = true;
}

void TvornDialogEdit::ApplyZoom(const FindResult& result) {
    ChosenIen = result.ien;
    if (OnZoom) {
        if (dialog_) dialog_->DropStayOnTop();
        // The dialog is the sender: the program opens the entry in front of it.
        const TNotifyEvent handler = OnZoom;
        handler(dialog_.data());
    }
    DialogResult = kResultZoom;
}

void TvornDialogEdit::ApplyCancel(const FindResult& result) {
    if (result.closedByBox) {
        // The close box ends the dialog without an answer: nothing is chosen, nothing changes.
        EndDialog();
        Raise(AfterCancel);
        return;
    }
    ChosenLine.clear();
    ChosenIen = QStringLiteral("-1");
    DialogResult = kResultCancel;
    Chosen = false;
    TakeFocus();
    EndDialog();
    Raise(AfterCancel);
}

}  // namespace vorn
