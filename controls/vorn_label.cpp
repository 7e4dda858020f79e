#include "controls/vorn_label.h"

namespace vorn {

TvornLabel::TvornLabel(QWidget* parent)
    : QLabel(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    // A caption shows the value as it is, never as markup.
    setTextFormat(Qt::PlainText);
}

void TvornLabel::FillFromRecord(const QString& internal, const QString& external) {
    internalValue_ = internal;
    filledInternalValue_ = internal;
    filledText_ = external;
    setText(external);
}

void TvornLabel::ClearValue() {
    FillFromRecord({}, {});
}

bool TvornLabel::TakeMasterLink(const QString& internal, const QString& text) {
    FillFromRecord(internal, text);
    return true;
}

}  // namespace vorn
