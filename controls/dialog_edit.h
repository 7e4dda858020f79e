// The dialog edit: a bound edit for the two kinds of field that need a lookup on the server. On
// a pointer field the user types the beginning of a name in another file and picks the record
// from a list; the edit then holds that record's number. On a find field (usually the ".01" of
// the source's own file) picking an entry brings that record into the whole form. The lookup
// runs through a finder and shows its entries in the find dialog; exec buttons beside the edit
// start it with the mouse.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "controls/exec_button.h"
#include "lookup/find_dialog.h"
#include "lookup/find_dialog_client.h"
#include "lookup/vorn_finder.h"
#include "source/bound_control.h"
#include "source/vorn_source.h"
#include "source/vorn_types.h"
#include "toolkit/component_loading.h"

namespace vorn {

using TBeforeExecuteEvent = std::function<void(QObject* Sender, bool& CanExecute)>;

class TvornDialogEdit : public QLineEdit,
                        public TvornBoundControl,
                        public ui::LoadedComponent,
                        public FindDialogClient {
    Q_OBJECT
    Q_PROPERTY(QString FMField READ FMField WRITE SetFMField)
    Q_PROPERTY(bool FMRequired READ FMRequired WRITE SetFMRequired)
    Q_PROPERTY(QString FMDisplayName READ FMDisplayName WRITE SetFMDisplayName)
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource)
    Q_PROPERTY(bool FMHelpUsed MEMBER FMHelpUsed)
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

    // --- published properties (those the find dialog reads are FindDialogClient's) ---
    bool FMIsPointerField = true;
    bool FMIsFindField = false;
    TvornDlgButtons VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    int DropDownCount = 8;
    int RowHeight = 20;
    TvornPosition Position = povornDialogEdit;
    QString FormCaption;
    int HelpContext = 0;
    bool ExecIfOneMatch = true;

    QString FMField() const override { return fmField_; }
    void SetFMField(const QString& field) { fmField_ = field; }
    bool FMRequired() const override { return fmRequired_; }
    void SetFMRequired(bool on) { fmRequired_ = on; }
    QString FMDisplayName() const override { return fmDisplayName_; }
    // At most 50 characters.
    void SetFMDisplayName(const QString& name) { fmDisplayName_ = name.left(50); }
    TvornSource* vornSource() const { return source_.data(); }
    void SetvornSource(TvornSource* source) { source_ = source; }
    TvornFinder* vornFinderForFind() const { return finderForFind_.data(); }
    void SetvornFinderForFind(TvornFinder* finder) { finderForFind_ = finder; }
    TvornFinder* vornFinderForPointer() const { return finderForPointer_.data(); }
    void SetvornFinderForPointer(TvornFinder* finder) { finderForPointer_ = finder; }
    TvornExecBtn* vornExecPntrBtn() const;
    void SetvornExecPntrBtn(TvornExecBtn* button);
    TvornExecBtn* vornExecFindBtn() const;
    void SetvornExecFindBtn(TvornExecBtn* button);

    // --- published events (AfterExecute, AfterCancel, OnInsert, OnZoom are FindDialogClient's)
    TBeforeExecuteEvent BeforeExecute;
    // The window library's enter, exit and change events.
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnChange;

    // --- members ---
    QString FilledInternalValue;
    // The lookup was opened with Alt+Down: no search text is used.
    bool OpenedByKeyboard = false;
    // The second and third comma pieces of FieldsForFind and FieldsForPointer, in order.
    QStringList FindCaptions;
    QStringList FindWidths;
    QStringList PointerCaptions;
    QStringList PointerWidths;
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

    // Makes the finder of finds when none is set, registers with the source, and fills in the
    // default column lists.
    void Loaded() override;

    // --- TvornBoundControl ---
    QWidget* Widget() override { return this; }
    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString InternalValue() const override { return internal_; }
    QString ShownText() const override { return text(); }
    bool ShowsTypedText() const override { return true; }
    QString ChangeQuestion(const QString& fileName) const override;
    Lookup LookupKind() const override { return FMIsPointerField ? Lookup::Pointer : Lookup::Find; }
    bool TakeMasterLink(const QString& internal, const QString& text) override;
    bool SettleValue() override;
    void SourceClosed() override { CloseDialog(); }

    // --- FindDialogClient ---
    QWidget* EditWidget() override { return this; }
    TvornSource* Source() const override { return source_.data(); }
    void SetInternalValue(const QString& value) override { internal_ = value; }
    QString Text() const override { return text(); }
    void SetText(const QString& text) override { setText(text); }
    void MarkChanged() override;
    void TakeFocus() override;
    void FetchPage(bool more) override;
    bool LeaveEditedRecord() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // dialog_edit_input.cpp: keys, change and exit.
    void HandleEnterKey();
    void HandleAltDown();
    void HandleChange();
    void HandleExit(QWidget* newFocus);
    bool ValidateText();
    void ClearTheValue();
    bool IsOwnExecButton(const QWidget* widget) const;
    bool LogicalLinkField() const;
    void Raise(const TNotifyEvent& event);

    // dialog_edit_lookup.cpp: the lookup.
    void PrepareFinder(TvornFinder& finder);
    void TakeSingleMatch(const QString& line);
    void OpenDialog();
    void PrepareDialog(TfrmFind& dialog);
    void PlaceDialog(TfrmFind& dialog);

    QString fmField_;
    bool fmRequired_ = false;
    QString fmDisplayName_;
    QPointer<TvornSource> source_;
    QPointer<TvornFinder> finderForFind_;
    QPointer<TvornFinder> finderForPointer_;
    QPointer<TvornExecBtn> execPntrBtn_;
    QPointer<TvornExecBtn> execFindBtn_;
    QPointer<TfrmFind> dialog_;
    QString internal_;
    // Set while the edit leaves the record for a find: its own exit must not run meanwhile.
    bool leaving_ = false;
};

}  // namespace vorn
