// A bound memo: holds a word-processing field as lines. Every edit counts as a change until
// the source fills the memo again; the lines are filed as they stand. Tab leaves the memo as it
// leaves any field, and Ctrl+Tab types a tab character.
#pragma once

#include <QPlainTextEdit>
#include <QPointer>

#include "controls/bound_control_base.h"
#include "lookup/vorn_finder.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornMemo : public QPlainTextEdit, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(vorn::TvornFinder* vornFinder READ vornFinder WRITE SetvornFinder)

  public:
    explicit TvornMemo(QWidget* parent = nullptr);

    // Stored with the form; nothing reads it.
    TvornFinder* vornFinder() const { return finder_.data(); }
    void SetvornFinder(TvornFinder* finder) { finder_ = finder; }

    // The text as one value: empty exactly when the memo holds no lines.
    QString InternalValue() const override { return toPlainText(); }

    TNotifyEvent OnChange;

    bool HoldsWordProcessing() const override { return true; }
    void FillFromRecord(const QString& internal, const QString& external) override;
    void FillFromLines(const QStringList& lines) override;
    QStringList Lines() const override;
    bool HasValue() const override { return !Lines().isEmpty(); }
    void ClearValue() override;
    QString ShownText() const override { return toPlainText(); }
    bool SettleValue() override { return true; }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Change();
    void Exit();

    QPointer<TvornFinder> finder_;
};

}  // namespace vorn

#pragma GCC visibility pop
