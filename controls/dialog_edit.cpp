#include "controls/dialog_edit.h"

#include "broker/pieces.h"
#include "lookup/find_dialog.h"
#include "source/internal/source_core.h"
#include "source/timed_message.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

const QString kDefaultColumns = QStringLiteral(".01,Name,250");
const QString kComma = QStringLiteral(",");
constexpr int kPointerButtonWidth = 20;
constexpr int kPointerButtonMinHeight = 19;
constexpr int kFindButtonGap = 22;
constexpr int kLowEdit = 23;
constexpr int kLowEditFindHeight = 20;

void SplitColumns(const QStringList& entries, QStringList& captions, QStringList& widths) {
    captions.clear();
    widths.clear();
    for (const QString& entry : entries) {
        captions.append(Piece(entry, kComma, 2));
        widths.append(Piece(entry, kComma, 3));
    }
}

// `at`, a point of the edit's parent (or of the screen, for an edit without one), in the
// coordinates of `button`'s parent (or of the screen, for a button without one).
QPoint PlaceBeside(const QWidget* editParent, const QWidget& button, const QPoint& at) {
    const QWidget* buttonParent = button.parentWidget();
    if (buttonParent == editParent) return at;
    const QPoint global = editParent ? editParent->mapToGlobal(at) : at;
    return buttonParent ? buttonParent->mapFromGlobal(global) : global;
}

}  // namespace

TvornDialogEdit::TvornDialogEdit(QWidget* parent)
    : QLineEdit(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    connect(this, &QLineEdit::textChanged, this, ui::GuardedSlot(this, [this] {
                Raise(OnChange);
                HandleChange();
            }));
}

TvornDialogEdit::~TvornDialogEdit() {
    if (dialog_) {
        disconnect(dialog_, nullptr, this, nullptr);
        dialog_->Finish();
    }
}

TvornExecBtn* TvornDialogEdit::vornExecPntrBtn() const {
    return execPntrBtn_.data();
}

TvornExecBtn* TvornDialogEdit::vornExecFindBtn() const {
    return execFindBtn_.data();
}

void TvornDialogEdit::SetvornExecPntrBtn(TvornExecBtn* button) {
    if (execPntrBtn_) disconnect(execPntrBtn_, &QObject::destroyed, this, nullptr);
    execPntrBtn_ = button;
    // An edit whose button is gone no longer offers that lookup.
    if (button)
        connect(button, &QObject::destroyed, this, [this] {
            execPntrBtn_ = nullptr;
            FMIsPointerField = false;
        });
}

void TvornDialogEdit::SetvornExecFindBtn(TvornExecBtn* button) {
    if (execFindBtn_) disconnect(execFindBtn_, &QObject::destroyed, this, nullptr);
    execFindBtn_ = button;
    if (button)
        connect(button, &QObject::destroyed, this, [this] {
            execFindBtn_ = nullptr;
            FMIsFindField = false;
        });
}

void TvornDialogEdit::Loaded() {
    if (!finderForFind_) {
        auto* finder = new TvornFinder(this);
        if (vornSource()) finder->FileNumber = vornSource()->FileNumber;
        finderForFind_ = finder;
    }
    BoundControlBase::Loaded();
    if (FieldsForFind.isEmpty()) FieldsForFind = QStringList{kDefaultColumns};
    if (FieldsForPointer.isEmpty()) FieldsForPointer = QStringList{kDefaultColumns};
    SplitColumns(FieldsForFind, lookup_.FindCaptions, lookup_.FindWidths);
    SplitColumns(FieldsForPointer, lookup_.PointerCaptions, lookup_.PointerWidths);
    LayoutExecButtons();
}

void TvornDialogEdit::FillFromRecord(const QString& internal, const QString& external) {
    QString shown = external;
    // A long internal value (a text kept in its internal form) is shown when nothing else is.
    if (shown.isEmpty() && internal.size() > 100) shown = internal;
    // A list left open for the record shown before has no say over this one.
    EndDialog();
    internal_ = internal;
    lookup_.ExternalValue = external;
    setText(shown);
    lookup_.FilledInternalValue = internal;
    lookup_.FilledText = text();
    settledText_ = lookup_.FilledText;
    lookup_.TextModified = false;
    lookup_.ValueModified = false;
    lookup_.Chosen = false;
}

void TvornDialogEdit::ClearValue() {
    EndDialog();
    settledText_.clear();
    internal_.clear();
    lookup_.ExternalValue.clear();
    clear();
    lookup_.FilledInternalValue.clear();
    lookup_.FilledText.clear();
    lookup_.TextModified = false;
    lookup_.ValueModified = false;
    lookup_.Chosen = false;
}

QString TvornDialogEdit::ChangeQuestion(const QString& fileName) const {
    Q_UNUSED(fileName);
    if (FMField() != QLatin1String(".01")) return {};
    return FMDisplayName() + u'^' + text();
}

bool TvornDialogEdit::TakeMasterLink(const QString& internal, const QString& text) {
    internal_ = internal;
    setText(text);
    lookup_.FilledInternalValue = internal;
    lookup_.FilledText = text;
    settledText_ = text;
    return true;
}

bool TvornDialogEdit::SettleValue() {
    // While the edit itself leaves its record there is nothing of its own to finish; an edit
    // that shows the text its value stands for files that value as it is.
    TvornSource* source = vornSource();
    if (!source || leaving_ || text() == settledText_) return true;
    // A find field's text is a search while no record is being changed. In a record being
    // changed it is the record's new name, checked and filed like any other value.
    const bool findText = FMIsFindField && !FMIsPointerField;
    if (findText && source->State() != ssNew && source->State() != ssEdit) return true;
    // A value whose list is open is not chosen yet: nothing is filed until the user picks.
    if (lookup_.DialogActive) {
        SayChooseFromList();
        return false;
    }
    if (ValidateText()) {
        AddChanged();
        return true;
    }
    if (FMIsPointerField || (findText && InsertKeyLength > 0)) {
        // The typed name is resolved as leaving the edit would: a single match is taken,
        // otherwise the list opens and the save waits for the user's choice.
        Execute();
        if (!lookup_.DialogActive && text() == settledText_) return true;
        if (lookup_.DialogActive) SayChooseFromList();
        return false;
    }
    const QString help = source->FieldHelp(FMField(), QStringLiteral("H"));
    const QString description = source->FieldHelp(FMField(), QStringLiteral("D"));
    if (!help.isEmpty() || !description.isEmpty())
        TimedMessageDlg(help + u'\r' + description, ui::MessageKind::Warning, ui::mbOK);
    return false;
}

void TvornDialogEdit::MarkTaken() {
    if (vornSource()) MarkChanged();
}

void TvornDialogEdit::TakeFocus() {
    if (!isVisible() || !isEnabled()) return;
    if (QWidget* form = window(); form && !form->isActiveWindow()) form->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

QString TvornDialogEdit::SelectedIen() const {
    TvornSource* source = vornSource();
    if (!source) return lookup_.ChosenIen;
    if (!lookup_.PointerMode) {
        const QString record = Piece(source->Address().Iens(), kComma, 1);
        return record == QLatin1String("+1") ? QString() : record;
    }
    return lookup_.DialogActive ? lookup_.ChosenIen : internal_;
}

void TvornDialogEdit::CloseDialog() {
    if (dialog_ && dialog_->isVisible() && dialog_->isEnabled()) dialog_->CancelDialog();
}

bool TvornDialogEdit::LookupStillOwned() const {
    const TvornSource* source = vornSource();
    return !source || source->Address().FullIens() == lookupRecord_;
}

void TvornDialogEdit::EndDialog() {
    lookup_.DialogActive = false;
    if (TfrmFind* dialog = dialog_) {
        dialog_ = nullptr;
        disconnect(dialog, nullptr, this, nullptr);
        dialog->Finish();
    }
}

void TvornDialogEdit::LayoutExecButtons() {
    QWidget* parent = parentWidget();
    const QRect edit = geometry();
    if (TvornExecBtn* button = execPntrBtn_; button && button->StayNearEdit()) {
        const int height = std::max(edit.height() - 2, kPointerButtonMinHeight);
        const QPoint at = PlaceBeside(parent, *button, {edit.x() + edit.width() + 1, edit.y()});
        button->setGeometry(at.x(), at.y(), kPointerButtonWidth, height);
    }
    if (TvornExecBtn* button = execFindBtn_; button && button->StayNearEdit()) {
        const int height = edit.height() < kLowEdit ? kLowEditFindHeight : edit.height() - 2;
        const QPoint at =
            PlaceBeside(parent, *button, {edit.x() + edit.width() + kFindButtonGap, edit.y()});
        button->setGeometry(at.x(), at.y(), button->width(), height);
    }
}

void TvornDialogEdit::moveEvent(QMoveEvent* event) {
    QLineEdit::moveEvent(event);
    LayoutExecButtons();
}

void TvornDialogEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    LayoutExecButtons();
}

}  // namespace vorn
