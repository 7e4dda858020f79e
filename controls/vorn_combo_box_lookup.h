// The lookup combo box: a bound combo box for a pointer field whose list comes from the server
// page by page through a finder. The user types the beginning of a name; dropping the list
// down (or Enter) lists the matching entries, a last line " <<< More >>>" fetches the next page,
// Up and Down in the closed box walk the file's entries (fetching pages as needed), and the
// chosen entry's record number becomes the field's value. Leaving the box with a text settles
// it: one matching entry is taken, none keeps the user in the box, several open the list.
//
// The box is never left to the list's own ways of guessing: it does not complete a typed
// text from its items nor put a typed text back when it loses the focus, so what the user
// typed stays until the box settles it.
#pragma once

#include <QPointer>
#include <QStringList>

#include "controls/vorn_combo_box.h"
#include "lookup/vorn_finder.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornComboBoxLookUp : public TvornComboBox {
    Q_OBJECT
    Q_PROPERTY(vorn::TvornFinder* vornFinder READ vornFinder WRITE SetvornFinder)
    Q_PROPERTY(QStringList FieldNumber READ FieldNumber WRITE SetFieldNumber)

  public:
    explicit TvornComboBoxLookUp(QWidget* parent = nullptr);

    TvornFinder* vornFinder() const { return finder_.data(); }
    void SetvornFinder(TvornFinder* finder) { finder_ = finder; }
    const QStringList& FieldNumber() const { return fieldNumber_; }
    void SetFieldNumber(const QStringList& entries) { fieldNumber_ = entries; }

    // The display text the source filled in.
    const QString& FilledText() const { return filledText_; }
    // The text of the paging line.
    const QString& MoreText() const { return moreText_; }
    bool NotDroppedSinceEnter() const { return notDroppedSinceEnter_; }

    TNotifyEvent OnDropDown;
    TNotifyEvent OnClick;

    // A finder is set and the box takes typed text.
    bool CanPage() const;
    // The finder's first page for the current search, replacing the items.
    void FillList();
    // The finder's next page, appended.
    void FillMore();
    // Shows the stored entry (the one whose record number is the internal value).
    void LocateValue();

    void Loaded() override;
    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    bool HasValue() const override { return !InternalValue().isEmpty(); }
    bool SettleValue() override;
    Lookup LookupKind() const override { return Lookup::Pointer; }

    // The drop-down: the search for the typed text, then the list opens.
    void showPopup() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void Change() override;

  private:
    void PrepareFinder();
    // The finder's lines shown as items (and the More line when more entries exist), keeping
    // the typed text.
    void ShowEntries(const QStringList& lines, bool append);
    // The number of items that stand for entries (the More line excluded).
    int EntryCount() const;
    // The index of the entry whose text is `text`, or -1.
    int EntryIndex(const QString& text) const;
    // The record number of entry `index`, or empty.
    QString RecordOf(int index) const;
    // The entry the box shows: the one chosen when several read alike, else the first whose
    // text is shown; -1 for none.
    int ShownEntry() const;
    // The box still shows the entry it was filled with (the user chose nothing else).
    bool ShowsFilledValue() const;
    // The finder may be shared with other boxes: its paging position is kept per box.
    void KeepPaging();
    void RestorePaging();
    // The steps before the list opens: the search for the typed text ("?" lists from the
    // start).
    void DropDownSteps();
    // The finder has entries beyond those loaded.
    bool More() const;
    // Up (-1) or Down (+1) in the closed box: the neighbouring entry, fetching pages as needed.
    void Walk(int step);
    void ChooseItem(int index);
    // Works the typed text out into an entry: true when one entry (or none, the text being
    // empty) stands for it. `leaving` opens the list for several and keeps the focus.
    bool Settle(bool leaving);
    // Takes the selected entry's record number as the value.
    void TakeSelected();
    void Exit();
    void SetTextQuietly(const QString& text);

    QPointer<TvornFinder> finder_;
    // The finder line of each entry shown, by position, and whether more entries follow.
    QStringList records_;
    bool more_ = false;
    QStringList fromList_;
    QString fromIens_;
    QStringList partList_;
    // The text and selection when the list opened: paging with the More line changes neither.
    QString textAtDrop_;
    int indexAtDrop_ = -1;
    QStringList fieldNumber_;
    QString filledText_;
    QString moreText_;
    bool notDroppedSinceEnter_ = false;
    // The drop-down steps already ran for the list about to open.
    bool stepsDone_ = false;
};

}  // namespace vorn

#pragma GCC visibility pop
