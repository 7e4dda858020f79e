#include "signon/code_edit.h"

#include <gtest/gtest.h>

#include <QStyle>

#include "tests/signon/signon_form_test_support.h"

namespace vorn {
namespace {

TEST(CodeEdit, TypedAndPastedLettersTurnUpperCase) {
    CodeEdit edit;
    test::Type(&edit, "demo.1");
    EXPECT_EQ(edit.text(), "DEMO.1");
    edit.insert("ab");
    EXPECT_EQ(edit.text(), "DEMO.1AB");
    test::PressKey(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "DEMO.1A");
}

TEST(CodeEdit, EveryCharacterShowsAsAStar) {
    CodeEdit edit;
    test::Type(&edit, "abc");
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit.displayText(), "***");
    EXPECT_EQ(edit.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &edit), '*');
}

TEST(CodeEdit, TextSetByTheProgramTurnsUpperCaseToo) {
    CodeEdit edit;
    edit.setText("Known.Code");
    EXPECT_EQ(edit.text(), "KNOWN.CODE");
}

}  // namespace
}  // namespace vorn
