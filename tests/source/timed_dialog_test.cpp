#include "source/timed_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>
#include <vector>

#include "source/dialog_text.h"
#include "source/message_broker.h"
#include "source/timed_message.h"
#include "tests/support/fake_timers.h"
#include "tests/support/scripted_modal_host.h"
#include "toolkit/display_metrics.h"
#include "toolkit/help_file.h"

namespace vorn {
namespace {

using ui::MessageKind;

test::FakeTimer& TimerOf(TTimedDlg& d) {
    return static_cast<test::FakeTimer&>(*d.Timer1);
}

// The shown buttons from left to right, by name.
std::vector<std::string> ShownButtons(TTimedDlg& d) {
    std::vector<QPushButton*> shown;
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (!b->isHidden()) shown.push_back(b);
    std::sort(shown.begin(), shown.end(),
              [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    std::vector<std::string> names;
    for (QPushButton* b : shown)
        names.push_back(b->objectName().toStdString());
    return names;
}

class TimedDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        SetMessageBroker(nullptr);
        ClearDialogTextCache();
        SetDisplayOverride(DisplayMetrics{1024, 96});
    }
    void TearDown() override {
        SetDisplayOverride(std::nullopt);
        ui::SetHelpHandler({});
    }

    test::FakeTimers timers;
    test::ScriptedModalHost host;
};

TEST(BreakAtColons, EachColonBlankEndsALine) {
    EXPECT_EQ(BreakAtColons("Saved: DEMO LAB TEST: HB"), "Saved:\r\nDEMO LAB TEST:\r\nHB");
    EXPECT_EQ(BreakAtColons("No separator here"), "No separator here");
    EXPECT_EQ(BreakAtColons("a:b"), "a:b");
    EXPECT_EQ(BreakAtColons("a:  b"), "a:\r\n b");
    EXPECT_EQ(BreakAtColons("Saved: x\r\n"), "Saved:\r\nx\r\n");
    EXPECT_EQ(BreakAtColons(""), "");
}

TEST(BreakAtColons, StopsAtTheFirstEmptyPiece) {
    EXPECT_EQ(BreakAtColons("Saved: DEMO LAB TEST: "), "Saved:\r\nDEMO LAB TEST");
    EXPECT_EQ(BreakAtColons("a: : c"), "a");
    EXPECT_EQ(BreakAtColons(": a"), "");
}

TEST_F(TimedDialog, IsABoldEightPointAlwaysOnTopFormWithItsParts) {
    TTimedDlg d;
    EXPECT_EQ(d.font().pointSize(), 8);
    EXPECT_TRUE(d.font().bold());
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(d.size(), QSize(287, 377));
    for (QLabel* image : {d.WarnImage, d.ConfImage, d.ErroImage, d.InfoImage}) {
        EXPECT_EQ(image->geometry(), QRect(8, 16, 33, 33));
        EXPECT_TRUE(image->isHidden());
        EXPECT_FALSE(image->pixmap().isNull());
    }
    EXPECT_EQ(d.RichEdit1->objectName(), "RichEdit1");
    EXPECT_EQ(d.RichEdit1->geometry(), QRect(56, 8, 217, 321));
    EXPECT_TRUE(d.RichEdit1->isReadOnly());
    EXPECT_FALSE(d.RichEdit1->acceptRichText());
    EXPECT_EQ(d.RichEdit1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(d.RichEdit1->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
    for (QPushButton* b : {d.OKBtn, d.CancelBtn, d.IgnoreBtn, d.YesBtn, d.NoBtn, d.AbortBtn,
                           d.RetryBtn, d.AllBtn, d.HelpBtn}) {
        EXPECT_EQ(b->size(), QSize(70, 29));
        EXPECT_TRUE(b->isHidden());
    }
    EXPECT_FALSE(d.Timer1->Enabled());
    EXPECT_EQ(d.Timer1->Interval(), 10000);
}

TEST_F(TimedDialog, TwoColonSeparatorsShowThreeLinesAndOneOkButtonIsCentred) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(d.RichEdit1->toPlainText(), "Saved:\nDEMO LAB TEST:\nHB Hemoglobin");
        EXPECT_EQ(d.TextLineCount(), 3);
        EXPECT_EQ(d.windowTitle(), "Information");
        EXPECT_FALSE(d.InfoImage->isHidden());
        EXPECT_TRUE(d.WarnImage->isHidden());
        EXPECT_EQ(d.size(), QSize(295, 143));
        // 3 lines of 13: centred in 143 - 35, and at (295 - 41) / 2 - 214 / 2 + 31.
        EXPECT_EQ(d.RichEdit1->geometry(), QRect(51, 34, 214, 39));
        EXPECT_EQ(ShownButtons(d), (std::vector<std::string>{"OKBtn"}));
        EXPECT_EQ(d.OKBtn->geometry(), QRect(295 / 2 - 35, 143 - 58, 70, 29));
        EXPECT_EQ(d.OKBtn->text(), "&Ok");
        EXPECT_FALSE(d.Timer1->Enabled());
        d.OKBtn->click();
    });
    EXPECT_EQ(
        TimedMessageDlg("Saved: DEMO LAB TEST: HB Hemoglobin", MessageKind::Information, ui::mbOK),
        ui::mrOk);
}

TEST_F(TimedDialog, IsCentredOnTheScreen) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        const QPoint centre = d.screen()->geometry().center();
        EXPECT_LE(std::abs(d.frameGeometry().center().x() - centre.x()), 1);
        EXPECT_LE(std::abs(d.frameGeometry().center().y() - centre.y()), 1);
        d.reject();
    });
    TimedMessageDlg("x", MessageKind::Warning, ui::mbOK);
}

struct KindCase {
    MessageKind kind;
    const char* caption;
    QLabel* TTimedDlg::*image;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.caption;
}

class Kinds : public TimedDialog, public ::testing::WithParamInterface<KindCase> {};

TEST_P(Kinds, ShowTheirImageAndCaption) {
    const KindCase c = GetParam();
    host.OnForm<TTimedDlg>([c](TTimedDlg& d) {
        EXPECT_EQ(d.windowTitle(), c.caption);
        for (QLabel* image : {d.WarnImage, d.ConfImage, d.ErroImage, d.InfoImage})
            EXPECT_EQ(image->isHidden(), image != d.*c.image) << image->objectName().toStdString();
        d.OKBtn->click();
    });
    TimedMessageDlg("text", GetParam().kind, ui::mbOK);
}

INSTANTIATE_TEST_SUITE_P(
    All, Kinds,
    ::testing::Values(KindCase{MessageKind::Warning, "Warning", &TTimedDlg::WarnImage},
                      KindCase{MessageKind::Error, "Error", &TTimedDlg::ErroImage},
                      KindCase{MessageKind::Information, "Information", &TTimedDlg::InfoImage},
                      KindCase{MessageKind::Confirmation, "Confirmation", &TTimedDlg::ConfImage}));

struct RowCase {
    int buttons;
    std::vector<std::string> order;
    int firstLeft;
    int formWidth;
    int textWidth;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    for (const std::string& name : c.order)
        *os << name << ' ';
}

class ButtonRows : public TimedDialog, public ::testing::WithParamInterface<RowCase> {};

TEST_P(ButtonRows, StandInOrderAndWidenTheFormFromFourButtonsOn) {
    const RowCase& c = GetParam();
    host.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
        EXPECT_EQ(ShownButtons(d), c.order);
        EXPECT_EQ(d.width(), c.formWidth);
        EXPECT_EQ(d.RichEdit1->width(), c.textWidth);
        EXPECT_EQ(d.RichEdit1->x(), (c.formWidth - 41) / 2 - c.textWidth / 2 + 31);
        int left = c.firstLeft;
        for (const std::string& name : c.order) {
            auto* b = d.findChild<QPushButton*>(QString::fromStdString(name));
            EXPECT_EQ(b->pos(), QPoint(left, 143 - 58)) << name;
            left += 70;
        }
        d.reject();
    });
    TimedMessageDlg("Choose", MessageKind::Confirmation, c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    All, ButtonRows,
    ::testing::Values(
        RowCase{ui::mbOK, {"OKBtn"}, 112, 295, 214},
        RowCase{ui::mbYes | ui::mbNo, {"YesBtn", "NoBtn"}, 70, 295, 214},
        RowCase{
            ui::mbYes | ui::mbNo | ui::mbCancel, {"YesBtn", "NoBtn", "CancelBtn"}, 35, 295, 214},
        RowCase{ui::mbCancel | ui::mbOK | ui::mbNo | ui::mbYes,
                {"YesBtn", "NoBtn", "OKBtn", "CancelBtn"},
                0,
                295,
                214},
        RowCase{ui::mbYes | ui::mbNo | ui::mbIgnore | ui::mbCancel | ui::mbHelp,
                {"IgnoreBtn", "YesBtn", "NoBtn", "CancelBtn", "HelpBtn"},
                0,
                365,
                284},
        RowCase{ui::mbYes | ui::mbNo | ui::mbOK | ui::mbCancel | ui::mbAbort | ui::mbRetry |
                    ui::mbIgnore | ui::mbAll | ui::mbHelp,
                {"IgnoreBtn", "YesBtn", "NoBtn", "OKBtn", "CancelBtn", "AbortBtn", "RetryBtn",
                 "AllBtn", "HelpBtn"},
                0,
                295 + 5 * 70,
                214 + 5 * 70}));

TEST_F(TimedDialog, ButtonsCarryTheMessageCaptions) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(d.IgnoreBtn->text(), "&Ignore");
        EXPECT_EQ(d.YesBtn->text(), "&Yes");
        EXPECT_EQ(d.NoBtn->text(), "&No");
        EXPECT_EQ(d.OKBtn->text(), "&Ok");
        EXPECT_EQ(d.CancelBtn->text(), "&Cancel");
        EXPECT_EQ(d.AbortBtn->text(), "&Abort");
        EXPECT_EQ(d.RetryBtn->text(), "&Retry");
        EXPECT_EQ(d.AllBtn->text(), "A&ll");
        EXPECT_EQ(d.HelpBtn->text(), "&Help");
        d.reject();
    });
    TimedMessageDlg("x", MessageKind::Warning, ui::mbYes);
}

struct ResultCase {
    int buttons;
    QPushButton* TTimedDlg::*button;
    int result;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << "buttons " << c.buttons << " -> " << c.result;
}

class ButtonResults : public TimedDialog, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ButtonResults, AreTheModalResults) {
    const ResultCase c = GetParam();
    host.OnForm<TTimedDlg>([c](TTimedDlg& d) { (d.*c.button)->click(); });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Confirmation, GetParam().buttons),
              GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(All, ButtonResults,
                         ::testing::Values(ResultCase{ui::mbOK, &TTimedDlg::OKBtn, 1},
                                           ResultCase{ui::mbCancel, &TTimedDlg::CancelBtn, 2},
                                           ResultCase{ui::mbAbort, &TTimedDlg::AbortBtn, 3},
                                           ResultCase{ui::mbRetry, &TTimedDlg::RetryBtn, 4},
                                           ResultCase{ui::mbIgnore, &TTimedDlg::IgnoreBtn, 5},
                                           ResultCase{ui::mbYes, &TTimedDlg::YesBtn, 6},
                                           ResultCase{ui::mbNo, &TTimedDlg::NoBtn, 7},
                                           ResultCase{ui::mbAll | ui::mbYes, &TTimedDlg::AllBtn,
                                                      8}));

TEST_F(TimedDialog, ClosingItOtherwiseAnswersCancelNotATimeOut) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) { d.close(); });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Warning, ui::mbYes | ui::mbNo, 30), ui::mrCancel);
}

TEST_F(TimedDialog, HelpOpensTheHelpAtTheContextAndLeavesTheDialogOpen) {
    std::vector<int> contexts;
    ui::SetHelpHandler([&contexts](const QString&, int context) { contexts.push_back(context); });
    host.OnForm<TTimedDlg>([&contexts](TTimedDlg& d) {
        EXPECT_EQ(d.HelpContext(), 4711);
        d.HelpBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(contexts, (std::vector<int>{4711}));
        d.YesBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Confirmation, ui::mbYes | ui::mbHelp, 0, 4711),
              ui::mrYes);
}

TEST_F(TimedDialog, WithoutAHelpViewerTheHelpButtonDoesNothing) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        d.HelpBtn->click();
        EXPECT_TRUE(d.isVisible());
        d.OKBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Warning, ui::mbOK | ui::mbHelp, 0, 3), ui::mrOk);
}

struct HeightCase {
    int lines;
    int dotsPerInch;
    int textHeight;
    int formHeight;
};

void PrintTo(const HeightCase& c, std::ostream* os) {
    *os << c.lines << " lines at " << c.dotsPerInch << " dpi";
}

class Heights : public TimedDialog, public ::testing::WithParamInterface<HeightCase> {};

TEST_P(Heights, FollowTheNumberOfLines) {
    const HeightCase& c = GetParam();
    SetDisplayOverride(DisplayMetrics{1024, c.dotsPerInch});
    QStringList lines;
    for (int i = 1; i <= c.lines; ++i)
        lines << QString::number(i);
    host.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
        EXPECT_EQ(d.TextLineCount(), c.lines);
        EXPECT_EQ(d.height(), c.formHeight);
        EXPECT_EQ(d.RichEdit1->height(), c.textHeight);
        EXPECT_EQ(d.RichEdit1->y(), (c.formHeight - 35 - c.textHeight) / 2);
        EXPECT_EQ(d.OKBtn->y(), c.formHeight - 58);
        d.OKBtn->click();
    });
    // A final line break adds no line.
    TimedMessageDlg(lines.join("\r\n") + "\r\n", MessageKind::Information, ui::mbOK);
}

INSTANTIATE_TEST_SUITE_P(All, Heights,
                         ::testing::Values(HeightCase{1, 96, 13, 143}, HeightCase{6, 96, 78, 143},
                                           HeightCase{7, 96, 91, 163}, HeightCase{3, 120, 60, 143},
                                           HeightCase{5, 120, 100, 172}));

TEST_F(TimedDialog, ALongLineCountsAsTheLinesItWrapsTo) {
    const QString text = QString("Error in deleting! ").repeated(12);
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        const int lines = d.TextLineCount();
        EXPECT_GT(lines, 1);
        EXPECT_EQ(d.RichEdit1->height(), lines * 13);
        EXPECT_EQ(d.height(), std::max(143, lines * 13 + 72));
        d.OKBtn->click();
    });
    TimedMessageDlg(text, MessageKind::Error, ui::mbOK);
}

TEST_F(TimedDialog, LineFeedsAndCarriageReturnsBothStartLines) {
    TTimedDlg d;
    d.SetMessage("a\nb\rc\r\nd");
    EXPECT_EQ(d.RichEdit1->toPlainText(), "a\nb\nc\nd");
    d.SetMessage("");
    EXPECT_EQ(d.TextLineCount(), 0);
}

TEST_F(TimedDialog, ThirtySecondsCountDownInTheCaptionAndTimeOutWithZero) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        test::FakeTimer& t = TimerOf(d);
        EXPECT_TRUE(t.Enabled());
        EXPECT_EQ(t.Interval(), 1000);
        EXPECT_EQ(d.windowTitle(), "Information");
        t.Fire();
        EXPECT_EQ(d.windowTitle(), "Information  - 29");
        for (int left = 28; left >= 0; --left) {
            t.Fire();
            ASSERT_EQ(d.windowTitle(), "Information  - " + QString::number(left));
        }
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.TimedOut());
        t.Fire();
        EXPECT_FALSE(d.isVisible());
        EXPECT_TRUE(d.TimedOut());
        EXPECT_FALSE(t.Enabled());
        EXPECT_EQ(t.Interval(), 1000);
    });
    EXPECT_EQ(TimedInformation("Done", 30), 0);
}

TEST_F(TimedDialog, AnswerBeforeTheCountdownRunsOutGivesTheButton) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        TimerOf(d).Fire();
        d.IgnoreBtn->click();
    });
    EXPECT_EQ(
        TimedMessageDlg("Locked: ", MessageKind::Warning, ui::mbYes | ui::mbNo | ui::mbIgnore, 60),
        ui::mrIgnore);
}

TEST_F(TimedDialog, SixtySecondsCountDownEverySecond) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        test::FakeTimer& t = TimerOf(d);
        EXPECT_EQ(d.MinutesLeft(), 0);
        EXPECT_EQ(d.SecondsLeft(), 60);
        EXPECT_EQ(t.Interval(), 1000);
        t.Fire();
        EXPECT_EQ(d.windowTitle(), "Warning  - 59");
        d.NoBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Warning, ui::mbYes | ui::mbNo, 60), ui::mrNo);
}

TEST_F(TimedDialog, FromSixtyOneSecondsTheRemainderComesFirstThenTheMinutes) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        test::FakeTimer& t = TimerOf(d);
        // 90 s: one minute; the first tick after the 30 remaining seconds.
        EXPECT_EQ(d.MinutesLeft(), 1);
        EXPECT_EQ(d.SecondsLeft(), 60);
        EXPECT_TRUE(t.Enabled());
        EXPECT_EQ(t.Interval(), 30000);
        t.Fire();
        EXPECT_EQ(d.MinutesLeft(), 0);
        EXPECT_EQ(t.Interval(), 1000);
        EXPECT_EQ(d.windowTitle(), "Warning");
        for (int left = 59; left >= 0; --left) {
            t.Fire();
            ASSERT_EQ(d.windowTitle(), "Warning  - " + QString::number(left));
        }
        EXPECT_TRUE(d.isVisible());
        t.Fire();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Warning, ui::mbOK, 90), 0);
}

TEST_F(TimedDialog, WithMinutesLeftTheTimerWaitsAMinuteUntilOneIsLeft) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        test::FakeTimer& t = TimerOf(d);
        // 200 s: three minutes, the first tick after 20 s.
        EXPECT_EQ(d.MinutesLeft(), 3);
        EXPECT_EQ(t.Interval(), 20000);
        t.Fire();
        EXPECT_EQ(d.MinutesLeft(), 2);
        EXPECT_EQ(t.Interval(), 60000);
        t.Fire();
        EXPECT_EQ(d.MinutesLeft(), 1);
        EXPECT_EQ(t.Interval(), 1000);
        t.Fire();
        EXPECT_EQ(d.MinutesLeft(), 0);
        EXPECT_EQ(t.Interval(), 1000);
        EXPECT_EQ(d.windowTitle(), "Error");
        t.Fire();
        EXPECT_EQ(d.windowTitle(), "Error  - 59");
        d.OKBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Error, ui::mbOK, 200), ui::mrOk);
}

TEST_F(TimedDialog, SixtyOneSecondsTickFirstAfterOneSecond) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(d.MinutesLeft(), 1);
        EXPECT_EQ(TimerOf(d).Interval(), 1000);
        EXPECT_TRUE(TimerOf(d).Enabled());
        d.OKBtn->click();
    });
    TimedMessageDlg("x", MessageKind::Error, ui::mbOK, 61);
}

TEST_F(TimedDialog, AWholeNumberOfMinutesFromTwoOnWaitsForTheUser) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        test::FakeTimer& t = TimerOf(d);
        EXPECT_EQ(d.MinutesLeft(), 2);
        EXPECT_EQ(t.Interval(), 0);
        EXPECT_FALSE(t.Enabled());
        EXPECT_EQ(t.Starts(), 0);
        t.Fire();
        EXPECT_TRUE(d.isVisible());
        d.YesBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Confirmation, ui::mbYes, 120), ui::mrYes);
}

TEST_F(TimedDialog, TheTimerStopsWhenTheDialogIsAnswered) {
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(TimerOf(d).Enabled());
        d.OKBtn->click();
    });
    EXPECT_EQ(TimedInformation("x", 30), ui::mrOk);
    // The dialog lived for the one call, its timer with it.
    EXPECT_TRUE(timers.Live().empty());
}

}  // namespace
}  // namespace vorn
