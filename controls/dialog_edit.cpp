#include "controls/dialog_edit.h"

#include "broker/pieces.h"
#include "lookup/find_dialog.h"
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
    SplitColumns(FieldsForFind, FindCaptions, FindWidths);
    SplitColumns(FieldsForPointer, PointerCaptions, PointerWidths);
    LayoutExecButtons();
}

void TvornDialogEdit::FillFromRecord(const QString& internal, const QString& external) {
    QString shown = external;
    // A long internal value (a text kept in its internal form) is shown when nothing else is.
    if (shown.isEmpty() && internal.size() > 100) shown = internal;
    internal_ = internal;
    ExternalValue = external;
    setText(shown);
    FilledInternalValue = internal;
    FilledText = text();
    TextModified = false;
    ValueModified = false;
    Chosen = false;
}

void TvornDialogEdit::ClearValue() {
    internal_.clear();
    ExternalValue.clear();
    clear();
    FilledInternalValue.clear();
    FilledText.clear();
    TextModified = false;
    ValueModified = false;
    Chosen = false;
}

QString TvornDialogEdit::ChangeQuestion(const QString& fileName) const {
    Q_UNUSED(fileName);
    if (FMField() != QLatin1String(".01")) return {};
    return FMDisplayName() + u'^' + text();
}

bool TvornDialogEdit::TakeMasterLink(const QString& internal, const QString& text) {
    internal_ = internal;
    setText(text);
    FilledInternalValue = internal;
    FilledText = text;
    return true;
}

bool TvornDialogEdit::SettleValue() {
    // While the edit itself leaves its record there is nothing of its own to finish. A find
    // field's text is a search, not a value, except in a new record: there it is the value
    // the record is saved with, taken as leaving the edit takes it.
    TvornSource* source = vornSource();
    if (!source || leaving_ || !TextModified) return true;
    const bool findText = FMIsFindField && !FMIsPointerField;
    if (findText && (source->State() != ssNew || Chosen)) return true;
    // Taken already when the edit was left, and not typed over since.
    if (findText && text() == ExternalValue && source->ChangedControls().contains(this))
        return true;
    // A pointer whose list is open is not chosen yet: nothing is filed for it meanwhile.
    if (DialogActive) return false;
    if (ValidateText()) {
        if (findText) AddChanged();
        return true;
    }
    if (FMIsPointerField || (findText && InsertKeyLength > 0)) {
        // The typed name is resolved as leaving the edit would: a single match is taken,
        // otherwise the list opens and the save waits for the user's choice.
        Execute();
        return !DialogActive && !TextModified;
    }
    const QString help = source->FieldHelp(FMField(), QStringLiteral("H"));
    const QString description = source->FieldDescription(FMField());
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
    if (!source) return ChosenIen;
    if (!PointerMode) {
        const QString record = Piece(source->Iens(), kComma, 1);
        return record == QLatin1String("+1") ? QString() : record;
    }
    return DialogActive ? ChosenIen : internal_;
}

void TvornDialogEdit::CloseDialog() {
    if (dialog_ && dialog_->isVisible() && dialog_->isEnabled()) dialog_->CancelDialog();
}

void TvornDialogEdit::EndDialog() {
    DialogActive = false;
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
        QPoint at(edit.x() + edit.width() + 1, edit.y());
        if (parent && button->parentWidget() != parent)
            at = button->parentWidget()->mapFrom(parent, at);
        button->setGeometry(at.x(), at.y(), kPointerButtonWidth, height);
    }
    if (TvornExecBtn* button = execFindBtn_; button && button->StayNearEdit()) {
        const int height = edit.height() < kLowEdit ? kLowEditFindHeight : edit.height() - 2;
        QPoint at(edit.x() + edit.width() + kFindButtonGap, edit.y());
        if (parent && button->parentWidget() != parent)
            at = button->parentWidget()->mapFrom(parent, at);
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
