// The dialog edit: a bound edit for the two kinds of field that need a lookup on the server. On
// a pointer field the user types the beginning of a name in another file and picks the record
// from a list; the edit then holds that record's number. On a find field (usually the ".01" of
// the source's own file) picking an entry brings that record into the whole form. The lookup
// runs through a finder and shows its entries in the find dialog, one dialog per edit, whose
// outcome the edit applies; exec buttons beside the edit start it with the mouse.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "controls/bound_control_base.h"
#include "controls/exec_button.h"
#include "lookup/find_dialog.h"
#include "lookup/find_dialog_client.h"
#include "lookup/vorn_finder.h"
#include "source/vorn_source.h"
#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

using TBeforeExecuteEvent = std::function<void(QObject* Sender, bool& CanExecute)>;

class TvornDialogEdit : public QLineEdit, public BoundControlBase {
    Q_OBJECT
    Q_PROPERTY(QString FMField READ FMField WRITE SetFMField)
    Q_PROPERTY(bool FMRequired READ FMRequired WRITE SetFMRequired)
    Q_PROPERTY(QString FMDisplayName READ FMDisplayName WRITE SetFMDisplayName)
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource)
    Q_PROPERTY(bool FMHelpUsed READ FMHelpUsed WRITE SetFMHelpUsed)
    Q_PROPERTY(bool FMIsPointerField MEMBER FMIsPointerField)
    Q_PROPERTY(bool FMIsFindField MEMBER FMIsFindField)
    Q_PROPERTY(bool FindOnly MEMBER FindOnly)
    Q_PROPERTY(vorn::TvornDlgButtons VisibleButtons MEMBER VisibleButtons)
    Q_PROPERTY(int DropDownCount MEMBER DropDownCount)
    Q_PROPERTY(int RowHeight MEMBER RowHeight)
    Q_PROPERTY(vorn::TvornPosition Position MEMBER Position)
    Q_PROPERTY(QString FormCaption MEMBER FormCaption)
    Q_PROPERTY(int HelpContext MEMBER HelpContext)
    Q_PROPERTY(QStringList FieldsForFind MEMBER FieldsForFind)
    Q_PROPERTY(QStringList FieldsForPointer MEMBER FieldsForPointer)
    Q_PROPERTY(
        vorn::TvornFinder* vornFinderForFind READ vornFinderForFind WRITE SetvornFinderForFind)
    Q_PROPERTY(vorn::TvornFinder* vornFinderForPointer READ vornFinderForPointer WRITE
                   SetvornFinderForPointer)
    Q_PROPERTY(vorn::TvornExecBtn* vornExecPntrBtn READ vornExecPntrBtn WRITE SetvornExecPntrBtn)
    Q_PROPERTY(vorn::TvornExecBtn* vornExecFindBtn READ vornExecFindBtn WRITE SetvornExecFindBtn)
    Q_PROPERTY(bool ExecIfOneMatch MEMBER ExecIfOneMatch)
    Q_PROPERTY(QString SortField MEMBER SortField)
    Q_PROPERTY(vorn::TvornGridOrder SortOrder MEMBER SortOrder)
    Q_PROPERTY(vorn::TvornSortClick SortClick MEMBER SortClick)
    Q_PROPERTY(int InsertKeyLength MEMBER InsertKeyLength)

  public:
    explicit TvornDialogEdit(QWidget* parent = nullptr);
    ~TvornDialogEdit() override;

    // --- published properties ---
    bool FMIsPointerField = true;
    bool FMIsFindField = false;
    bool FindOnly = false;
    TvornDlgButtons VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    int DropDownCount = 8;
    int RowHeight = 20;
    TvornPosition Position = povornDialogEdit;
    QString FormCaption;
    int HelpContext = 0;
    // Columns of a find and of a pointer lookup: "field,caption,width" per entry.
    QStringList FieldsForFind;
    QStringList FieldsForPointer;
    bool ExecIfOneMatch = true;
    // The field the list is sorted by (empty: not sorted), its direction, and which click on a
    // column heading sorts by that column.
    QString SortField;
    TvornGridOrder SortOrder = soAscending;
    TvornSortClick SortClick = scNone;
    int InsertKeyLength = 0;

    TvornFinder* vornFinderForFind() const { return finderForFind_.data(); }
    void SetvornFinderForFind(TvornFinder* finder) { finderForFind_ = finder; }
    TvornFinder* vornFinderForPointer() const { return finderForPointer_.data(); }
    void SetvornFinderForPointer(TvornFinder* finder) { finderForPointer_ = finder; }
    TvornExecBtn* vornExecPntrBtn() const;
    void SetvornExecPntrBtn(TvornExecBtn* button);
    TvornExecBtn* vornExecFindBtn() const;
    void SetvornExecFindBtn(TvornExecBtn* button);

    // --- published events ---
    TBeforeExecuteEvent BeforeExecute;
    TNotifyEvent AfterExecute;
    TNotifyEvent AfterCancel;
    TNotifyEvent OnInsert;
    TNotifyEvent OnZoom;
    TNotifyEvent OnChange;

    // --- what a lookup left (the edit's own lookup state is private) ---
    const QString& ChosenIen() const { return lookup_.ChosenIen; }
    const QString& ChosenLine() const { return lookup_.ChosenLine; }
    const QString& InsertText() const { return lookup_.InsertText; }
    bool DialogActive() const { return lookup_.DialogActive; }
    bool PointerMode() const { return lookup_.PointerMode; }
    bool Chosen() const { return lookup_.Chosen; }
    bool TextModified() const { return lookup_.TextModified; }
    int DialogResult() const { return lookup_.DialogResult; }
    const QString& FilledInternalValue() const { return lookup_.FilledInternalValue; }
    // The next lookup is a pointer lookup (true) or a find.
    void SetPointerMode(bool on) { lookup_.PointerMode = on; }
    // The dialog of the lookup now open, if any.
    TfrmFind* Dialog() const { return dialog_.data(); }

    // --- operations ---
    // Runs a lookup now, in the current PointerMode.
    void Execute();
    // A lookup started by one of the edit's exec buttons.
    void ExecuteFromButton(TvornExecBtn* button);
    // The record number the edit stands for (for zoom handlers).
    QString SelectedIen() const;
    // Cancels an open dialog as its Cancel button does.
    void CloseDialog();
    // Puts the exec buttons that stay near the edit next to it.
    void LayoutExecButtons();
    // The column list of the current mode.
    const QStringList& ModeFields() const {
        return lookup_.PointerMode ? FieldsForPointer : FieldsForFind;
    }

    // Makes the finder of finds when none is set, registers with the source, and fills in the
    // default column lists.
    void Loaded() override;

    // --- TvornBoundControl ---
    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString InternalValue() const override { return internal_; }
    void SetInternalValue(const QString& value) { internal_ = value; }
    QString ShownText() const override { return text(); }
    bool ShowsTypedText() const override { return true; }
    QString ChangeQuestion(const QString& fileName) const override;
    Lookup LookupKind() const override { return FMIsPointerField ? Lookup::Pointer : Lookup::Find; }
    bool TakeMasterLink(const QString& internal, const QString& text) override;
    bool SettleValue() override;
    void SourceClosed() override { CloseDialog(); }
    void EndLookup() override { EndDialog(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The edit's lookup state: the values it holds beside its text, the marks of what the user
    // changed and chose, and the current lookup's mode, finder and columns.
    struct LookupState {
        QString ExternalValue;
        QString FilledInternalValue;
        QString FilledText;
        bool TextModified = false;
        bool ValueModified = false;
        // The lookup is a pointer lookup (else a find).
        bool PointerMode = false;
        // The lookup was opened with Alt+Down: no search text is used.
        bool OpenedByKeyboard = false;
        bool DialogActive = false;
        bool Chosen = false;
        QString ChosenIen;
        QString ChosenLine;
        QString InsertText;
        // How the dialog ended: 4 zoom, 101 insert, 2 cancel.
        int DialogResult = 0;
        // The finder of the current lookup.
        QPointer<TvornFinder> CurrentFinder;
        // The second and third comma pieces of FieldsForFind and FieldsForPointer, in order.
        QStringList FindCaptions;
        QStringList FindWidths;
        QStringList PointerCaptions;
        QStringList PointerWidths;
    };
    LookupState lookup_;

    // dialog_edit_input.cpp: keys, change and exit.
    void HandleEnterKey();
    void HandleAltDown();
    void HandleChange();
    void Exit(QWidget* newFocus);
    bool ValidateText();
    void ClearTheValue();
    bool IsOwnExecButton(const QWidget* widget) const;
    void Raise(const TNotifyEvent& event);
    void TakeFocus();
    // The source's BeginEdit, then the edit among its changed controls.
    void MarkTaken();

    // dialog_edit_lookup.cpp: the lookup.
    void PrepareFinder(TvornFinder& finder);
    void FetchPage(bool more);
    void TakeSingleMatch(const QString& line);
    // A find is about to show another record or start a new one: the record being edited is
    // left first (false when the user kept it).
    bool LeaveEditedRecord();
    void OpenDialog();
    void PrepareDialog(TfrmFind& dialog);
    void PlaceDialog(TfrmFind& dialog);

    // dialog_edit_result.cpp: what the find dialog's outcome does.
    void ApplyResult(const FindResult& result);
    void ApplySelect(const FindResult& result);
    void ApplyInsert(const FindResult& result);
    void ApplyCancel(const FindResult& result);
    void ApplyZoom(const FindResult& result);
    // The dialog is done: it goes, and the edit takes its exits again.
    void EndDialog();
    // Whether the record the open lookup was started for is still the one the source shows.
    bool LookupStillOwned() const;

    QPointer<TvornFinder> finderForFind_;
    QPointer<TvornFinder> finderForPointer_;
    QPointer<TvornExecBtn> execPntrBtn_;
    QPointer<TvornExecBtn> execFindBtn_;
    QPointer<TfrmFind> dialog_;
    QString internal_;
    // The text the internal value stands for: a save files it as it is while the edit shows it.
    QString settledText_;
    // The record (full address) the open lookup was started for.
    QString lookupRecord_;
    // Set while the edit leaves the record for a find: its own exit must not run meanwhile.
    bool leaving_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
