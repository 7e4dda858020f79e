#include "signon/internal/code_edit.h"

#include <QProxyStyle>
#include <QValidator>

namespace vorn {
namespace {

// Upper-cases whatever reaches the field: typed, pasted or set by the program.
class UpperCaseValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        input = input.toUpper();
        pos = std::min<int>(pos, input.size());
        return Acceptable;
    }
};

// The platform's password character is often a dot; codes show as "*", shown at once.
class MaskStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return CodeEdit::kMaskCharacter.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

CodeEdit::CodeEdit(QWidget* parent) : QLineEdit(parent) {
    auto* style = new MaskStyle;
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
    setValidator(new UpperCaseValidator(this));
}

}  // namespace vorn
