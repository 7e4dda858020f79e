#include "controls/vorn_combo_box_lookup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "broker/pieces.h"
#include "lookup/internal/pick_list.h"
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
    if (more_) addItem(moreText_);
    setCurrentIndex(-1);
    setEditText(typed);
}

void TvornComboBoxLookUp::PrepareFinder() {
    finder_->FieldList = picklist::FieldNumbers(fieldNumber_);
    // As a dialog edit's finder does, it lists through the source's broker unless it has one.
    if (!finder_->RPCBroker() && vornSource()) finder_->SetRPCBroker(vornSource()->RPCBroker());
}

void TvornComboBoxLookUp::KeepPaging() {
    more_ = finder_->MoreRecords;
    fromList_ = finder_->FromList;
    fromIens_ = finder_->FromIENS;
    partList_ = finder_->PartList();
}

void TvornComboBoxLookUp::RestorePaging() {
    finder_->MoreRecords = more_;
    finder_->FromList = fromList_;
    finder_->FromIENS = fromIens_;
    finder_->SetPartList(partList_);
}

void TvornComboBoxLookUp::FillList() {
    if (!CanPage()) return;
    PrepareFinder();
    QStringList lines;
    finder_->GetList(&lines);
    // The finder's lines and the shown texts come in step, one for one.
    records_ = finder_->Records.mid(finder_->Records.size() - lines.size());
    KeepPaging();
    ShowEntries(lines, false);
}

void TvornComboBoxLookUp::FillMore() {
    if (!CanPage()) return;
    PrepareFinder();
    RestorePaging();
    QStringList lines;
    finder_->GetMore(&lines);
    records_ += finder_->Records.mid(finder_->Records.size() - lines.size());
    KeepPaging();
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
    if (index < 0 || index >= EntryCount() || index >= records_.size()) return {};
    return Piece(records_[index], QStringLiteral("^"), 1);
}

int TvornComboBoxLookUp::ShownEntry() const {
    const int index = currentIndex();
    if (index >= 0 && index < EntryCount() && itemText(index) == currentText()) return index;
    return EntryIndex(currentText());
}

bool TvornComboBoxLookUp::ShowsFilledValue() const {
    if (currentText() != filledText_) return false;
    // Of two entries that read alike, the one chosen counts.
    const int index = currentIndex();
    return index < 0 || index >= EntryCount() || itemText(index) != currentText() ||
           RecordOf(index) == filledInternalValue_;
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
    if (!CanPage()) {
        // Without a finder the box is a plain combo box, filled and settled as one.
        TvornComboBox::FillFromRecord(internal, external);
        filledText_ = currentText();
        return;
    }
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
        LocateValue();
        // An entry the finder cannot list (its screen hides it) is still the stored value:
        // the box shows its text and keeps it.
        if (EntryCount() != 1) SetTextQuietly(external);
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
    if (!ready) return;
    textAtDrop_ = currentText();
    indexAtDrop_ = currentIndex();
    QComboBox::showPopup();
}

bool TvornComboBoxLookUp::More() const {
    return finder_ && finder_->MoreRecords;
}

void TvornComboBoxLookUp::Walk(int step) {
    const QString before = currentText();
    int index = ShownEntry();
    if (!before.isEmpty() && index < 0) {
        // A partial name: one page of the entries that begin with it, and the first of them.
        finder_->SetPartList({before.left(kSearchLength).toUpper()});
        FillList();
        finder_->SetPartList({});
        if (EntryCount() == 0) {
            SetTextQuietly(before);
            QApplication::beep();
            return;
        }
        {
            QuietScope quiet(*this);
            setCurrentIndex(0);
        }
        notDroppedSinceEnter_ = true;
        if (Bound() && !LinkFieldGuard()) MarkChanged();
        return;
    }
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
            // The list is refilled for the typed text. A text that is no entry opens it when
            // several entries match, and is selected for retyping when none does.
            const QString typed = currentText();
            const bool listed = ui::Guarded([this] { DropDownSteps(); }, this);
            event->accept();
            if (!listed || typed.isEmpty() || EntryIndex(typed) >= 0) return;
            if (EntryCount() == 0) {
                lineEdit()->selectAll();
            } else if (EntryCount() > 1) {
                stepsDone_ = true;
                showPopup();
            }
            return;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TvornComboBoxLookUp::Change() {
    if (Quiet()) return;
    // A key typed while the list is open closes it: the list is for the text before it.
    if (CanPage() && view()->isVisible() && currentIndex() < 0) hidePopup();
    if (!Bound() || Filling()) return;
    // The More line is a request for the next page, never a value.
    if (CanPage() && currentText() == moreText_) return;
    modified_ = filledText_ != currentText();
    if (OnChange) OnChange(this);
    MarkByModified(modified_);
}

void TvornComboBoxLookUp::ChooseItem(int index) {
    if (CanPage() && index >= 0 && itemText(index) == moreText_) {
        // Paging chooses nothing: the box shows what it showed when the list opened, and the
        // record is not touched. The first entry of the new page is where the list stands.
        const bool closeAfter = notDroppedSinceEnter_;
        {
            QuietScope quiet(*this);
            removeItem(index);
            setCurrentIndex(indexAtDrop_ < EntryCount() ? indexAtDrop_ : -1);
            setEditText(textAtDrop_);
        }
        FillMore();
        if (indexAtDrop_ >= 0 && indexAtDrop_ < EntryCount() &&
            itemText(indexAtDrop_) == textAtDrop_) {
            QuietScope quiet(*this);
            setCurrentIndex(indexAtDrop_);
        }
        if (!closeAfter) {
            stepsDone_ = true;
            showPopup();
            if (index < EntryCount()) view()->setCurrentIndex(model()->index(index, 0));
        }
        return;
    }
    if (Bound()) {
        modified_ = filledText_ != currentText();
        MarkChanged();
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
    // The box counts as changed when it stands for another record than it was filled with:
    // leaving it unchanged files nothing.
    const QString value = ShowsFilledValue() ? filledInternalValue_ : RecordOf(ShownEntry());
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
    // The entry the box was filled with, not typed over: nothing to work out.
    if (!text.isEmpty() && ShowsFilledValue()) return true;
    if (text.isEmpty() || EntryIndex(text) >= 0) {
        QuietScope quiet(*this);
        setCurrentIndex(ShownEntry());
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
    if (!CanPage()) return TvornComboBox::Exit();
    if (!ExitPreamble()) return;
    if (!Settle(true)) return;
    TakeSelected();
    FireExit();
}

bool TvornComboBoxLookUp::SettleValue() {
    if (!Bound()) return true;
    if (!CanPage()) return TvornComboBox::SettleValue();
    if (!Settle(false)) {
        // A text that names several entries or none is not a value yet: the save stops and
        // says why, and the text stays for the user to settle.
        SayChooseFromList();
        return false;
    }
    TakeSelected();
    return true;
}

}  // namespace vorn
