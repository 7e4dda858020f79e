// A bound control of the tests: an edit that keeps what the source gives it, for tests of the
// source that do not need a real control's own handling.
#pragma once

#include <QLineEdit>

#include "source/bound_control.h"
#include "source/internal/source_core.h"
#include "source/vorn_source.h"

namespace vorn::test {

class FakeBoundControl final : public QLineEdit, public TvornBoundControl {
  public:
    enum Kind { Plain, WordProcessing };

    FakeBoundControl(TvornSource& source, const QString& field, QWidget* parent = nullptr,
                     bool required = false, Kind kind = Plain)
        : QLineEdit(parent), source_(source), field_(field), required_(required), kind_(kind) {
        source.RegisterControl(this, field);
    }
    ~FakeBoundControl() override { SourceCore::Of(source_).Operations().UnregisterControl(this); }

    QWidget* Widget() override { return this; }
    QString FMField() const override { return field_; }
    bool FMRequired() const override { return required_; }
    QString FMDisplayName() const override { return QStringLiteral("Field ") + field_; }
    void FillFromRecord(const QString& internal, const QString& external) override {
        internalValue = internal;
        setText(external);
    }
    bool HoldsWordProcessing() const override { return kind_ == WordProcessing; }
    void FillFromLines(const QStringList& text) override { lines = text; }
    QStringList Lines() const override { return lines; }
    void ClearValue() override {
        internalValue.clear();
        lines.clear();
        clear();
    }
    bool HasValue() const override {
        return kind_ == WordProcessing ? !lines.isEmpty() : !internalValue.isEmpty();
    }
    QString InternalValue() const override { return internalValue; }
    QString ShownText() const override { return text(); }
    bool ShowsTypedText() const override { return true; }
    QString ChangeQuestion(const QString& fileName) const override {
        return fileName + QStringLiteral(": ") + FMDisplayName() + u'^' + text();
    }

    // Sets a value as a user's validated edit would and reports it to the source: the value
    // first, as the user types it, then the start of the edit (which may read the record
    // again and so put the stored value back).
    void Change(const QString& internal, const QString& external) {
        internalValue = internal;
        setText(external);
        source_.BeginEdit();
        source_.AddChangedControl(this);
    }

    // Changes the text lines of a word-processing field as a user's edit would.
    void ChangeLines(const QStringList& text) {
        lines = text;
        source_.BeginEdit();
        source_.AddChangedControl(this);
    }

    QString internalValue;
    QStringList lines;

  private:
    TvornSource& source_;
    QString field_;
    bool required_;
    Kind kind_;
};

}  // namespace vorn::test
