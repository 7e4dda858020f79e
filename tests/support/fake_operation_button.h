// An operation button of the tests: registers with a source and lets the source enable it. It
// may outlive its source (a form's children go in the order they were made).
#pragma once

#include <QPointer>
#include <QPushButton>

#include "source/bound_control.h"
#include "source/vorn_source.h"

namespace vorn::test {

class FakeOperationButton final : public QPushButton, public TvornOperationButton {
  public:
    FakeOperationButton(TvornSource& source, TvornBtnOperation operation, QWidget* parent)
        : QPushButton(parent), source_(&source), operation_(operation) {
        source.RegisterButton(this);
    }
    ~FakeOperationButton() override {
        if (source_) source_->UnregisterButton(this);
    }
    QWidget* Widget() override { return this; }
    TvornBtnOperation Operation() const override { return operation_; }
    bool AlwaysDisabled() const override { return false; }

  private:
    QPointer<TvornSource> source_;
    TvornBtnOperation operation_;
};

}  // namespace vorn::test
