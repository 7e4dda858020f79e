// A bound edit box: shows a field's external value, validates what the user typed with the
// server when the user leaves it and files the internal value the server returned.
#pragma once

#include <QLineEdit>

#include "controls/bound_control_base.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornEdit : public QLineEdit, public BoundControlBase {
    Q_OBJECT
    VORN_BOUND_CONTROL_PROPERTIES
    Q_PROPERTY(QString DefaultValue MEMBER DefaultValue)

  public:
    explicit TvornEdit(QWidget* parent = nullptr);

    // Stored with the form; nothing reads it.
    QString DefaultValue;

    // The text the source filled in last.
    const QString& FilledText() const { return filledText_; }

    TNotifyEvent OnChange;

    // --- the source's side ---
    void FillFromRecord(const QString& internal, const QString& external) override;
    void ClearValue() override;
    QString ShownText() const override { return text(); }
    bool ShowsTypedText() const override { return true; }
    QString ChangeQuestion(const QString& fileName) const override;
    bool TakeMasterLink(const QString& internal, const QString& text) override;
    bool SettleValue() override;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Change();
    void Exit();
    // Checks the text with the server and takes its values; a refusal is reported.
    bool Validate();
    // Shows `text` without taking it for the user's edit.
    void ShowQuietly(const QString& text);

    QString filledText_;
    // The text the internal value stands for: the filled text, or the text shown after the
    // last successful validation.
    QString settledText_;
};

}  // namespace vorn

#pragma GCC visibility pop
