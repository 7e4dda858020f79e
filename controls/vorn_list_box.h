// A bound list box: shows the item whose text is the field's external value. With a finder
// the chosen row's record number (from the finder's record lines, listed in the same order as
// the items) is the value; without one the chosen text is validated by the server.
#pragma once

#include <QListWidget>
#include <QPointer>
#include <QStringList>

#include "controls/bound_control_base.h"
#include "lookup/vorn_finder.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornListBox : public QListWidget, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(vorn::TvornFinder* vornFinder READ vornFinder WRITE SetvornFinder)
    Q_PROPERTY(QStringList FieldNumber READ FieldNumber WRITE SetFieldNumber)

  public:
    explicit TvornListBox(QWidget* parent = nullptr);

    TvornFinder* vornFinder() const { return finder_.data(); }
    void SetvornFinder(TvornFinder* finder) { finder_ = finder; }
    // Column descriptions; stored with the form, nothing reads them.
    const QStringList& FieldNumber() const { return fieldNumber_; }
    void SetFieldNumber(const QStringList& lines) { fieldNumber_ = lines; }

    int FilledItemIndex() const { return filledItemIndex_; }

    TNotifyEvent OnClick;

    void Loaded() override;
    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override;
    bool SettleValue() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Click();
    void Exit();
    // Checks item `row` with the server and takes its internal value; a refusal is reported
    // and leaves the value as it was.
    bool TakeValidated(int row);

    QPointer<TvornFinder> finder_;
    QStringList fieldNumber_;
    int filledItemIndex_ = -1;
};

}  // namespace vorn

#pragma GCC visibility pop
