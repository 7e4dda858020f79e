#include "controls/vorn_combo_box_lookup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "broker/pieces.h"
#include "lookup/pick_list.h"
#include "source/message_text.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

constexpr int kSearchLength = 30;
const QString kDefaultFields = QStringLiteral(".01,nimi,150");

}  // namespace

TvornComboBoxLookUp::TvornComboBoxLookUp(QWidget* parent) : TvornComboBox(parent) {
    setEditable(true);
    // The box settles a typed text itself: Qt must neither complete it from the items nor
    // add it to them.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    moreText_ = GetMessageText(61, nullptr);
    if (moreText_.isEmpty()) moreText_ = QStringLiteral(" <<<More>>>");
    connect(this, QOverload<int>::of(&QComboBox::activated), this,
            ui::GuardedSlot(this, [this](int index) { ChooseItem(index); }));
}

void TvornComboBoxLookUp::Loaded() {
    if (fieldNumber_.isEmpty()) fieldNumber_.append(kDefaultFields);
    setEditable(true);
    TvornComboBox::Loaded();
}

bool TvornComboBoxLookUp::CanPage() const {
    return finder_ && isEditable();
}

// --- the list ---

void TvornComboBoxLookUp::SetTextQuietly(const QString& text) {
    QuietScope quiet(*this);
    setEditText(text);
}

void TvornComboBoxLookUp::ShowEntries(const QStringList& lines, bool append) {
    const QString typed = currentText();
    QuietScope quiet(*this);
    if (!append) {
        clear();
    } else if (count() > 0 && itemText(count() - 1) == moreText_) {
        removeItem(count() - 1);
    }
    addItems(lines);
    if (finder_ && finder_->MoreRecords) addItem(moreText_);
    setCurrentIndex(-1);
    setEditText(typed);
}

void TvornComboBoxLookUp::PrepareFinder() {
    finder_->FieldList = picklist::FieldNumbers(fieldNumber_);
    // As a dialog edit's finder does, it lists through the source's broker unless it has one.
    if (!finder_->RPCBroker() && vornSource()) finder_->SetRPCBroker(vornSource()->RPCBroker());
}

void TvornComboBoxLookUp::FillList() {
    if (!CanPage()) return;
    PrepareFinder();
    finder_->FieldList = picklist::FieldNumbers(fieldNumber_);
    QStringList lines;
    finder_->GetList(&lines);
    ShowEntries(lines, false);
}

void TvornComboBoxLookUp::FillMore() {
    if (!CanPage()) return;
    PrepareFinder();
    finder_->FieldList = picklist::FieldNumbers(fieldNumber_);
    QStringList lines;
    finder_->GetMore(&lines);
    ShowEntries(lines, true);
}

int TvornComboBoxLookUp::EntryCount() const {
    const int items = count();
    return items > 0 && itemText(items - 1) == moreText_ ? items - 1 : items;
}

int TvornComboBoxLookUp::EntryIndex(const QString& text) const {
    for (int i = 0; i < EntryCount(); ++i)
        if (itemText(i) == text) return i;
    return -1;
}

QString TvornComboBoxLookUp::RecordOf(int index) const {
    if (!finder_ || index < 0 || index >= finder_->Records.size()) return {};
    return Piece(finder_->Records[index], QStringLiteral("^"), 1);
}

void TvornComboBoxLookUp::LocateValue() {
    if (internalValue_.isEmpty() || !CanPage()) return;
    const QString keptPart = finder_->Part();
    const QString keptScreen = finder_->Screen;
    // The server lists only the entry with the stored record number.
    finder_->SetPartList({externalValue_.left(kSearchLength)});
    finder_->Screen = QStringLiteral("I Y=") + internalValue_;
    FillList();
    finder_->SetPartList(keptPart.isEmpty() ? QStringList()
                                            : QStringList{keptPart.left(kSearchLength)});
    finder_->Screen = keptScreen;
    if (EntryCount() == 1) {
        QuietScope quiet(*this);
        setCurrentIndex(0);
    }
}

void TvornComboBoxLookUp::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    externalValue_ = external;
    modified_ = false;
    {
        QuietScope quiet(*this);
        clear();
        setEditText(QString());
    }
    if (!internal.isEmpty()) {
        if (CanPage()) {
            LocateValue();
        } else {
            SetTextQuietly(external);
        }
    }
    filledText_ = currentText();
}

void TvornComboBoxLookUp::ClearValue() {
    FillFromRecord({}, {});
}

// --- the user's keys and choices ---

void TvornComboBoxLookUp::DropDownSteps() {
    if (OnDropDown) OnDropDown(this);
    notDroppedSinceEnter_ = false;
    if (currentText().isEmpty()) SetTextQuietly(QStringLiteral("?"));
    const QString typed = currentText();
    if (!CanPage() || EntryIndex(typed) >= 0) return;
    if (typed.contains(u'?'))
        finder_->SetPartList({});
    else
        finder_->SetPartList({typed.left(kSearchLength).toUpper()});
    FillList();
    finder_->SetPartList({});
}

void TvornComboBoxLookUp::showPopup() {
    const bool ready = stepsDone_ || ui::Guarded([this] { DropDownSteps(); }, this);
    stepsDone_ = false;
    if (ready) QComboBox::showPopup();
}

bool TvornComboBoxLookUp::More() const {
    return finder_ && finder_->MoreRecords;
}

void TvornComboBoxLookUp::Walk(int step) {
    const QString before = currentText();
    int index = EntryIndex(before);
    if (before.isEmpty()) {
        FillList();
        index = step > 0 ? -1 : 0;
    } else if (index < 0 || (step > 0 && index == EntryCount() - 1 && !More()) ||
               (step < 0 && index == 0)) {
        // The loaded list may hold only this entry (the one the form was filled with): the
        // file is listed again until the entry is found, so that the walk has neighbours.
        FillList();
        while (EntryIndex(before) < 0 && More())
            FillMore();
        index = EntryIndex(before);
        if (index < 0) return;
    }
    const int next = index + step;
    if (step > 0 && next >= EntryCount() && More()) FillMore();
    if (next < 0 || next >= EntryCount()) {
        // At either end of the file the walk stays on the entry it is on.
        QuietScope quiet(*this);
        setCurrentIndex(index);
        return;
    }
    {
        QuietScope quiet(*this);
        setCurrentIndex(next);
    }
    notDroppedSinceEnter_ = true;
    if (Bound() && currentText() != before && !LinkFieldGuard()) MarkChanged();
}

void TvornComboBoxLookUp::keyPressEvent(QKeyEvent* event) {
    if (GuardedKeyDown(*event)) return;
    const bool alt = event->modifiers() & Qt::AltModifier;
    const int key = event->key();
    if (CanPage() && !view()->isVisible()) {
        if (key == Qt::Key_Down && alt) {
            ui::Guarded(
                [this] {
                    SetTextQuietly(QString());
                    FillList();
                    DropDownSteps();
                },
                this);
            stepsDone_ = true;
            showPopup();
            return;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && !alt) {
            ui::Guarded([this, key] { Walk(key == Qt::Key_Down ? 1 : -1); }, this);
            return;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The list is refilled for the typed text; it does not open by itself.
            ui::Guarded([this] { DropDownSteps(); }, this);
            event->accept();
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TvornComboBoxLookUp::Change() {
    if (!Bound() || Filling() || Quiet()) return;
    modified_ = filledText_ != currentText();
    if (OnChange) OnChange(this);
    MarkByModified(modified_);
}

void TvornComboBoxLookUp::ChooseItem(int index) {
    if (Bound()) {
        modified_ = filledText_ != currentText();
        MarkChanged();
    }
    if (CanPage() && index >= 0 && itemText(index) == moreText_) {
        const bool closeAfter = notDroppedSinceEnter_;
        {
            QuietScope quiet(*this);
            removeItem(index);
        }
        FillMore();
        if (index < EntryCount()) {
            QuietScope quiet(*this);
            setCurrentIndex(index);
        }
        if (!closeAfter) {
            stepsDone_ = true;
            showPopup();
        }
        return;
    }
    if (OnClick) OnClick(this);
}

// --- entering and leaving ---

void TvornComboBoxLookUp::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    FocusedIn([this] {
        modified_ = false;
        notDroppedSinceEnter_ = true;
        externalValue_ = currentIndex() >= 0 ? currentText() : QString();
    });
}

void TvornComboBoxLookUp::focusOutEvent(QFocusEvent* event) {
    // Qt's own focus-out would put the text of the current item back over what was typed.
    QWidget::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

void TvornComboBoxLookUp::TakeSelected() {
    const QString value = RecordOf(EntryIndex(currentText()));
    // The box counts as changed when it stands for another record than it was filled with:
    // leaving it unchanged files nothing.
    modified_ = value != filledInternalValue_;
    if (!Bound()) return;
    if (!modified_) {
        internalValue_ = filledInternalValue_;
        MarkUnchanged();
        return;
    }
    internalValue_ = value;
    if (!LinkFieldGuard()) MarkChanged();
}

bool TvornComboBoxLookUp::Settle(bool leaving) {
    if (currentText().startsWith(u'?')) {
        // "?" asks for the stored entry back.
        internalValue_ = filledInternalValue_;
        externalValue_ = filledText_;
        if (!internalValue_.isEmpty())
            LocateValue();
        else
            SetTextQuietly(QString());
    }
    if (!CanPage()) return true;
    const QString text = currentText();
    if (text.isEmpty() || EntryIndex(text) >= 0) {
        QuietScope quiet(*this);
        setCurrentIndex(EntryIndex(text));
        if (text.isEmpty()) setEditText(QString());
        lineEdit()->end(false);
        return true;
    }
    {
        QuietScope quiet(*this);
        clear();
        setEditText(text);
    }
    DropDownSteps();
    if (EntryCount() == 1) {
        QuietScope quiet(*this);
        setCurrentIndex(0);
        lineEdit()->end(false);
        return true;
    }
    if (EntryCount() == 0) {
        QApplication::beep();
        if (leaving && isVisible() && isEnabled()) setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (leaving && isVisible() && isEnabled()) {
        setFocus(Qt::OtherFocusReason);
        stepsDone_ = true;
        showPopup();
    }
    return false;
}

void TvornComboBoxLookUp::Exit() {
    if (!ExitPreamble()) return;
    if (!Settle(true)) return;
    TakeSelected();
    FireExit();
}

bool TvornComboBoxLookUp::SettleValue() {
    if (!Bound()) return true;
    if (!Settle(false)) return false;
    TakeSelected();
    return true;
}

}  // namespace vorn
