// An edit for an access or verify code: every character shows as "*", and typed letters turn
// to upper case as they are typed.
#pragma once

#include <QLineEdit>

namespace vorn {

class CodeEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit CodeEdit(QWidget* parent = nullptr);

    static constexpr QChar kMaskCharacter = u'*';
};

}  // namespace vorn
