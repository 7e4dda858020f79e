// The dialog edit's lookup: setting up the finder of the current mode, fetching the first
// batch, taking a single match at once when the edit asks so, or opening the find dialog.
#include <QGuiApplication>
#include <QScreen>

#include "broker/pieces.h"
#include "controls/dialog_edit.h"
#include "lookup/find_dialog.h"
#include "lookup/internal/pick_list.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/internal/field_help_display.h"
#include "source/internal/flag_scope.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/message_text.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/internal/help_file.h"

namespace vorn {
namespace {

const QString kCaret = QStringLiteral("^");
constexpr int kSearchLength = 30;
// The dialog opens with its search box over the edit.
constexpr int kDialogLeftOffset = 1;
constexpr int kDialogTopOffset = 21;

}  // namespace

void TvornDialogEdit::ExecuteFromButton(TvornExecBtn* button) {
    lookup_.PointerMode = button && button->IsPointerButton();
    Execute();
}

void TvornDialogEdit::Execute() {
    TvornSource* source = vornSource();
    if (FindOnly && text().isEmpty()) {
        TvornFinder* finder =
            lookup_.PointerMode ? finderForPointer_.data() : finderForFind_.data();
        TRPCBroker* broker = source ? source->RPCBroker() : nullptr;
        if (!broker && finder) broker = finder->RPCBroker();
        say::Information(GetDialogText(147, {}, broker));
        return;
    }
    bool canExecute = true;
    const TBeforeExecuteEvent before = BeforeExecute;
    if (before) before(this, canExecute);
    if (!canExecute) return;
    lookup_.CurrentFinder = lookup_.PointerMode ? finderForPointer_ : finderForFind_;
    if (!lookup_.CurrentFinder) return;
    TvornFinder& finder = *lookup_.CurrentFinder;
    PrepareFinder(finder);
    FetchPage(false);
    if (!ExecIfOneMatch && finder.Records.size() == 1) {
        TakeSingleMatch(finder.Records.first());
        return;
    }
    OpenDialog();
}

void TvornDialogEdit::PrepareFinder(TvornFinder& finder) {
    TvornSource* source = vornSource();
    finder.FieldList =
        picklist::FieldNumbers(lookup_.PointerMode ? FieldsForPointer : FieldsForFind);
    if (finder.FMIndex.isEmpty() && source) finder.FMIndex = source->FMIndex;
    if (!lookup_.PointerMode && source && SourceCore::Of(*source).Master()) {
        if (source->TypeIfSubFile == TvornSubFileType::Hierarchical)
            finder.SetIENS(source->Address().ParentIens());
        else if (source->TypeIfSubFile == TvornSubFileType::Logical)
            finder.Screen = SourceCore::Of(*source).Link().LinkScreen();
    }
    if (lookup_.PointerMode) {
        finder.DDField = FMField();
        finder.DDFile = source ? source->FileNumber : QString();
    }
    finder.SetPartList({});
    if (!text().isEmpty() && !lookup_.OpenedByKeyboard) {
        // A new record's find field searches with its first characters only, so that the list
        // shows what is near the name about to be entered.
        const bool byKey = source && source->State() == ssNew && InsertKeyLength > 0 &&
                           InsertKeyLength < kSearchLength && !lookup_.Chosen;
        finder.SetPartList({text().left(byKey ? InsertKeyLength : kSearchLength)});
    }
    lookup_.OpenedByKeyboard = false;
    if (!finder.RPCBroker() && source) finder.SetRPCBroker(source->RPCBroker());
}

void TvornDialogEdit::FetchPage(bool more) {
    if (lookup_.CurrentFinder) picklist::FetchPage(*lookup_.CurrentFinder, more);
}

void TvornDialogEdit::TakeSingleMatch(const QString& line) {
    TvornSource* source = vornSource();
    lookup_.ChosenIen = Piece(line, kCaret, 1);
    lookup_.ChosenLine = line;
    if (!source) {
        setText(Piece(line, kCaret, 2));
        internal_ = lookup_.PointerMode ? lookup_.ChosenIen : text();
    }
    lookup_.Chosen = true;
    if (!lookup_.PointerMode) {
        if (source) {
            if (!LeaveEditedRecord()) return;
            source->GetAndFill(lookup_.ChosenIen);
            source->UpdateHistory();
        }
        TakeFocus();
        Raise(AfterExecute);
        return;
    }
    TakeFocus();
    internal_ = Piece(line, kCaret, 1);
    lookup_.ExternalValue = Piece(line, kCaret, picklist::DisplayPiece(FieldsForPointer));
    {
        QuietScope quiet(*this);
        setText(lookup_.ExternalValue);
    }
    settledText_ = text();
    // The value counts as changed even when the name reads as before (another entry of the
    // same name), as a value picked from the list does.
    if ((lookup_.TextModified || lookup_.ValueModified) && source) MarkChanged();
    lookup_.TextModified = false;
    Raise(AfterExecute);
}

bool TvornDialogEdit::LeaveEditedRecord() {
    TvornSource* source = vornSource();
    // A find shows another record or starts a new one. The typed text was a search, not a new
    // name for the record being edited, so it leaves the changes; other changes, the details'
    // among them, are saved or dropped as the user says, and the record's lock goes before
    // another record is shown.
    if (!source) return true;
    FlagScope leaving(leaving_);
    if (source->State() == ssEdit || source->State() == ssNew) source->RemoveChangedControl(this);
    return SourceCore::Of(*source).Operations().LeaveRecord();
}

void TvornDialogEdit::OpenDialog() {
    // One dialog per edit: a lookup started while its list is open shows the new entries in
    // that list.
    TfrmFind* dialog = dialog_;
    if (!dialog) {
        dialog = new TfrmFind(window());
        connect(dialog, &TfrmFind::Result, this,
                [this](const FindResult& result) { ApplyResult(result); });
        connect(dialog, &TfrmFind::SortFieldChanged, this,
                [this](const QString& field) { SortField = field; });
        connect(dialog, &TfrmFind::HelpRequested, this, [this] {
            if (FMHelpUsed() && vornSource())
                vorn::ShowFieldHelp(*vornSource(), FMField(), FMDisplayName());
        });
        connect(dialog, &QObject::destroyed, this, [this] { lookup_.DialogActive = false; });
        dialog_ = dialog;
    }
    lookup_.DialogActive = true;
    lookupRecord_ = vornSource() ? vornSource()->Address().FullIens() : QString();
    try {
        PrepareDialog(*dialog);
    } catch (...) {
        // A list that could not be filled is no open list: the edit takes its exits again.
        EndDialog();
        throw;
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->grdPick->setFocus(Qt::OtherFocusReason);
}

void TvornDialogEdit::PrepareDialog(TfrmFind& dialog) {
    TvornSource* source = vornSource();
    PlaceDialog(dialog);
    AdjustFormToDisplay(dialog);

    if (!lookup_.PointerMode && InsertKeyLength >= 1) VisibleButtons |= TvornDlgButton::DoInsert;
    if (lookup_.PointerMode && source && VisibleButtons.testFlag(TvornDlgButton::DoInsert) &&
        !source->PointerLaygoAllowed(FMField()))
        VisibleButtons &= ~TvornDlgButtons(TvornDlgButton::DoInsert);
    FindDialogSetup setup;
    setup.caption = FormCaption;
    setup.rowHeight = RowHeight;
    setup.dropDownCount = DropDownCount;
    setup.showSelect = VisibleButtons.testFlag(TvornDlgButton::DoSelect);
    setup.showInsert =
        VisibleButtons.testFlag(TvornDlgButton::DoInsert) &&
        (lookup_.PointerMode || !source || Allows(SourceCore::Of(*source), uaInsert));
    // Zoom opens a pointed-to entry; a find has the record on the form already.
    setup.showZoom = VisibleButtons.testFlag(TvornDlgButton::DoZoom) && lookup_.PointerMode;
    setup.showCancel = VisibleButtons.testFlag(TvornDlgButton::DoCancel);
    FindDialogClient client;
    client.columns = ModeFields();
    client.sortField = SortField;
    client.sortOrder = SortOrder;
    client.sortClick = SortClick;
    client.finder = lookup_.CurrentFinder;
    client.findOnly = FindOnly;
    client.pointerMode = lookup_.PointerMode;
    dialog.Prepare(setup, client, *this);
    if (Position == poCentered) PlaceDialog(dialog);
    dialog.FillGrid();
    if (HelpContext > 0) ui::SetHelpContext(dialog, HelpContext);
}

void TvornDialogEdit::PlaceDialog(TfrmFind& dialog) {
    if (Position == povornDialogEdit) {
        const QPoint origin = mapToGlobal(QPoint(0, 0));
        dialog.move(origin.x() - kDialogLeftOffset, origin.y() - kDialogTopOffset);
        return;
    }
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = dialog.frameGeometry().size();
    dialog.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace vorn
