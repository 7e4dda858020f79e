// A bound control of the tests: an edit that keeps what the source gives it, for tests of the
// source that do not need a real control's own handling.
#pragma once

#include <QLineEdit>

#include "source/bound_control.h"
#include "source/vorn_source.h"

namespace vorn::test {

class FakeBoundControl final : public QLineEdit, public TvornBoundControl {
  public:
    FakeBoundControl(TvornSource& source, const QString& field, QWidget* parent = nullptr,
                     bool required = false)
        : QLineEdit(parent), source_(source), field_(field), required_(required) {
        source.RegisterControl(this, field);
    }
    ~FakeBoundControl() override { source_.UnregisterControl(this); }

    QWidget* Widget() override { return this; }
    QString FMField() const override { return field_; }
    bool FMRequired() const override { return required_; }
    QString FMDisplayName() const override { return QStringLiteral("Field ") + field_; }
    void FillFromRecord(const QString& internal, const QString& external) override {
        internalValue = internal;
        setText(external);
    }
    void ClearValue() override {
        internalValue.clear();
        clear();
    }
    QString InternalValue() const override { return internalValue; }
    QString ShownText() const override { return text(); }
    bool ShowsTypedText() const override { return true; }

    // Sets a value as a user's validated edit would and reports it to the source.
    void Change(const QString& internal, const QString& external) {
        source_.BeginEdit();
        internalValue = internal;
        setText(external);
        source_.AddChangedControl(this);
    }

    QString internalValue;

  private:
    TvornSource& source_;
    QString field_;
    bool required_;
};

}  // namespace vorn::test
