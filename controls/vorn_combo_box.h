// A bound combo box. `Items` holds the texts shown and `Values` the codes they stand for, by
// position; without `Values` the chosen or typed text is the value the server validates.
//
// Filled from a stored value, it shows the item whose code is the internal value, else the
// item whose text is the external value, else (without `Values`) the item at the position the
// internal value gives as a number counted from 1, the numbering the radio group writes back
// (controls/item_choice.h); failing all, the external value as text. The stored code is kept
// while the selection stays as filled: leaving the box unchanged neither validates nor marks
// anything, so a code whose item was found by its position is filed back exactly as stored.
#pragma once

#include <QComboBox>
#include <QStringList>

#include "controls/bound_control_base.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornComboBox : public QComboBox, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(QStringList Values READ Values WRITE SetValues)
    Q_PROPERTY(int DefaultItemIndex MEMBER DefaultItemIndex)

  public:
    explicit TvornComboBox(QWidget* parent = nullptr);

    const QStringList& Values() const { return values_; }
    void SetValues(const QStringList& values) { values_ = values; }
    // Stored with the form; nothing reads it.
    int DefaultItemIndex = -1;

    int FilledItemIndex() const { return filledItemIndex_; }

    TNotifyEvent OnChange;

    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override { return currentText(); }
    bool SettleValue() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // The user changed the selection or the text.
    virtual void Change();
    // Shows item `index`, or `text` when no item is chosen, without taking it for an edit.
    void ShowQuietly(int index, const QString& text);

    // Leaving the box: the shown selection is checked with the server and marked.
    void Exit();

  private:
    enum class Settled { Unchanged, Emptied, Valid, Refused, NoAnswer };
    // Works out the value the shown selection stands for, checking it with the server unless
    // that was done for this selection already (`checkAgain` asks again, as leaving does).
    Settled Settle(bool checkAgain);
    QStringList ItemTexts() const;

    QStringList values_;
    QString filledText_;
    int filledItemIndex_ = -1;
    // The selection the internal value stands for.
    int settledIndex_ = -1;
    QString settledText_;
};

}  // namespace vorn

#pragma GCC visibility pop
