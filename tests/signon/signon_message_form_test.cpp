#include "signon/signon_message_form.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {
namespace {

TEST(SignonMessageForm, ShowsTheLinesReadOnlyOnCream) {
    TfrmSignonMsg form({"first", "second"});
    EXPECT_EQ(form.windowTitle(), "Signon Message");
    EXPECT_EQ(form.mmoMsg->toPlainText(), "first\nsecond");
    EXPECT_TRUE(form.mmoMsg->isReadOnly());
    EXPECT_EQ(form.mmoMsg->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.mmoMsg->palette().color(QPalette::Base), QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(form.BitBtn1->text(), "&Close");
    EXPECT_TRUE(form.BitBtn1->isDefault());
}

TEST(SignonMessageForm, CloseClosesTheForm) {
    TfrmSignonMsg form({"x"});
    form.show();
    form.BitBtn1->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(SignonMessageForm, TheButtonIsCentredWheneverThePanelIsResized) {
    TfrmSignonMsg form({"x"});
    form.BitBtn1->resize(75, form.BitBtn1->height());
    form.resize(401, 250);
    form.show();
    ASSERT_EQ(form.pnlBottom->width(), 401);
    EXPECT_EQ(form.BitBtn1->x(), 163);
    form.resize(520, 250);
    EXPECT_EQ(form.pnlBottom->width(), 520);
    EXPECT_EQ(form.BitBtn1->x(), 222);
    form.resize(521, 250);
    EXPECT_EQ(form.BitBtn1->x(), 223) << "(521 - 75) / 2";
}

TEST(SignonMessageForm, TheCentringRoundsTowardZero) {
    EXPECT_EQ(TfrmSignonMsg::CentredLeft(301, 75), 113);
    EXPECT_EQ(TfrmSignonMsg::CentredLeft(300, 75), 112);
    EXPECT_EQ(TfrmSignonMsg::CentredLeft(75, 75), 0);
    EXPECT_EQ(TfrmSignonMsg::CentredLeft(50, 75), -12);
    EXPECT_EQ(TfrmSignonMsg::CentredLeft(49, 75), -13);
}

}  // namespace
}  // namespace vorn
