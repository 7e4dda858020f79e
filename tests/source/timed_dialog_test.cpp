#include "source/timed_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "source/timed_message.h"
#include "tests/support/fake_timers.h"
#include "tests/support/scripted_modal_host.h"
#include "toolkit/event_guard.h"
#include "toolkit/internal/display_metrics.h"
#include "toolkit/internal/help_file.h"

namespace vorn {
namespace {

using ui::MessageKind;

test::FakeTimer& TimerOf(TTimedDlg& d) {
    return static_cast<test::FakeTimer&>(*d.Timer1);
}

// The names of the shown buttons from left to right.
std::string ShownButtons(TTimedDlg& d) {
    std::multimap<int, std::string> byLeft;
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (!b->isHidden()) byLeft.emplace(b->x(), b->objectName().toStdString());
    std::string names;
    for (const auto& [left, name] : byLeft)
        names += (names.empty() ? "" : " ") + name;
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

TEST(BreakAtColons, EachColonBlankEndsALineUpToTheFirstEmptyPiece) {
    EXPECT_EQ(BreakAtColons("Saved: DEMO LAB TEST: HB"), "Saved:\r\nDEMO LAB TEST:\r\nHB");
    EXPECT_EQ(BreakAtColons("No separator here"), "No separator here");
    EXPECT_EQ(BreakAtColons("a:b"), "a:b");
    EXPECT_EQ(BreakAtColons("a:  b"), "a:\r\n b");
    EXPECT_EQ(BreakAtColons("Saved: x\r\n"), "Saved:\r\nx\r\n");
    EXPECT_EQ(BreakAtColons(""), "");
    EXPECT_EQ(BreakAtColons("Saved: DEMO LAB TEST: "), "Saved:\r\nDEMO LAB TEST");
    EXPECT_EQ(BreakAtColons("a: : c"), "a");
    EXPECT_EQ(BreakAtColons(": a"), "");
}

// The buttons' captions are the message texts 5 to 12 and 60.
const std::map<QString, QString> kCaptions = {
    {"IgnoreBtn", "&Ignore"}, {"YesBtn", "&Yes"},       {"NoBtn", "&No"},
    {"OKBtn", "&Ok"},         {"CancelBtn", "&Cancel"}, {"AbortBtn", "&Abort"},
    {"RetryBtn", "&Retry"},   {"AllBtn", "A&ll"},       {"HelpBtn", "&Help"}};

TEST_F(TimedDialog, ButtonsStandInOrderWithTheirCaptionsAndWidenTheFormFromFourButtonsOn) {
    const struct {
        int buttons;
        int firstLeft;
        std::string order;
    } rows[] = {{ui::mbOK, 112, "OKBtn"},
                {ui::mbYes | ui::mbNo, 70, "YesBtn NoBtn"},
                {ui::mbYes | ui::mbNo | ui::mbCancel, 35, "YesBtn NoBtn CancelBtn"},
                {ui::mbCancel | ui::mbOK | ui::mbNo | ui::mbYes, 0, "YesBtn NoBtn OKBtn CancelBtn"},
                {ui::mbYes | ui::mbNo | ui::mbIgnore | ui::mbCancel | ui::mbHelp, 0,
                 "IgnoreBtn YesBtn NoBtn CancelBtn HelpBtn"},
                {ui::mbYes | ui::mbNo | ui::mbOK | ui::mbCancel | ui::mbAbort | ui::mbRetry |
                     ui::mbIgnore | ui::mbAll | ui::mbHelp,
                 0, "IgnoreBtn YesBtn NoBtn OKBtn CancelBtn AbortBtn RetryBtn AllBtn HelpBtn"}};
    for (const auto& c : rows) {
        SCOPED_TRACE(c.order);
        const QStringList order = QString::fromStdString(c.order).split(u' ');
        // Each button past the fourth widens the form and the text by a button's width.
        const int wider = std::max(0, static_cast<int>(order.size()) - 4) * 70;
        host.OnForm<TTimedDlg>([&](TTimedDlg& d) {
            EXPECT_EQ(ShownButtons(d), c.order);
            EXPECT_EQ(d.width(), 295 + wider);
            EXPECT_EQ(d.RichEdit1->width(), 214 + wider);
            int left = c.firstLeft;
            for (const QString& name : order) {
                auto* b = d.findChild<QPushButton*>(name);
                EXPECT_EQ(b->pos(), QPoint(left, 143 - 58)) << name.toStdString();
                EXPECT_EQ(b->text(), kCaptions.at(name));
                left += 70;
            }
            d.reject();
        });
        TimedMessageDlg("Choose", MessageKind::Confirmation, c.buttons);
    }
}

// The caption of each kind: the component tests' messages (ExpectToolsetMessage).
TEST_F(TimedDialog, ButtonsGiveTheirModalResultsAndKindsShowTheirImage) {
    using D = TTimedDlg;
    using K = MessageKind;
    const struct {
        int buttons;
        QPushButton* D::*button;
        int result;
        K kind;
        QLabel* D::*image;
    } cases[] = {{ui::mbOK, &D::OKBtn, 1, K::Warning, &D::WarnImage},
                 {ui::mbCancel, &D::CancelBtn, 2, K::Error, &D::ErroImage},
                 {ui::mbAbort, &D::AbortBtn, 3, K::Information, &D::InfoImage},
                 {ui::mbRetry, &D::RetryBtn, 4, K::Confirmation, &D::ConfImage},
                 {ui::mbIgnore, &D::IgnoreBtn, 5, K::Warning, &D::WarnImage},
                 {ui::mbYes, &D::YesBtn, 6, K::Error, &D::ErroImage},
                 {ui::mbNo, &D::NoBtn, 7, K::Information, &D::InfoImage},
                 {ui::mbAll | ui::mbYes, &D::AllBtn, 8, K::Confirmation, &D::ConfImage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << ", buttons " << c.buttons);
        host.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
            for (QLabel* image : {d.WarnImage, d.ConfImage, d.ErroImage, d.InfoImage})
                EXPECT_EQ(image->isHidden(), image != d.*c.image)
                    << image->objectName().toStdString();
            (d.*c.button)->click();
        });
        EXPECT_EQ(TimedMessageDlg("x", c.kind, c.buttons), c.result);
    }
}

TEST_F(TimedDialog, HelpOpensTheHelpAtTheContextIfThereIsAViewerAndClosingAnswersCancel) {
    std::vector<int> contexts;
    host.OnForm<TTimedDlg>([&contexts](TTimedDlg& d) {
        EXPECT_EQ(d.HelpContext(), 4711);
        d.HelpBtn->click();  // no help viewer: nothing happens
        EXPECT_TRUE(d.isVisible());
        ui::SetHelpHandler(
            [&contexts](const QString&, int context) { contexts.push_back(context); });
        d.HelpBtn->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(contexts, (std::vector<int>{4711}));
        d.YesBtn->click();
    });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Confirmation, ui::mbYes | ui::mbHelp, 0, 4711),
              ui::mrYes);
    // Closing it otherwise answers Cancel, not a time-out.
    host.OnForm<TTimedDlg>([](TTimedDlg& d) { d.close(); });
    EXPECT_EQ(TimedMessageDlg("x", MessageKind::Warning, ui::mbYes | ui::mbNo, 30), ui::mrCancel);
}

// The text box's bottom edge stands above the highest shown button.
int TopOfButtons(TTimedDlg& d) {
    int top = d.height();
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (!b->isHidden()) top = std::min(top, b->y());
    return top;
}

// The dialog stands in the screen's centre, without a countdown; the box shows every line of
// its text above the buttons: nothing to scroll, nothing cut off below, the last words inside it.
TEST_F(TimedDialog, AFittingTextIsCentredAndShowsWhollyWithoutAScrollBarAboveTheButtons) {
    const struct {
        QString text;
        int lines;  // the lines of the text, or fewer than it wraps to when `wraps`
        bool wraps;
        const char* shown = nullptr;  // the text as the box shows it, where checked
    } texts[] = {
        {"Saved: DEMO LAB TEST: HB Hemoglobin", 3, false, "Saved:\nDEMO LAB TEST:\nHB Hemoglobin"},
        {"Saved: HB Hemoglobin\r\n", 2, false},
        {"Saved:\r\nDemo Lab Test: HB\r\n", 1, true},
        {"Delete all Demo Lab Test entries that point to this record and this record itself: HB "
         "Hemoglobin in every Lab Result, Subresult and Departmental Lab Test?",
         3, true},
        // A long line counts as the lines it wraps to.
        {QString("Error in deleting! ").repeated(12), 1, true}};
    for (const auto& c : texts) {
        SCOPED_TRACE(c.text.toStdString());
        host.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
            const QPoint centre = d.screen()->geometry().center();
            EXPECT_LE(std::abs(d.frameGeometry().center().x() - centre.x()), 1);
            EXPECT_LE(std::abs(d.frameGeometry().center().y() - centre.y()), 1);
            EXPECT_FALSE(d.Timer1->Enabled());
            if (c.shown) {
                EXPECT_EQ(d.RichEdit1->toPlainText(), c.shown);
            }
            if (c.wraps)
                EXPECT_GT(d.TextLineCount(), c.lines);
            else
                EXPECT_EQ(d.TextLineCount(), c.lines);
            EXPECT_FALSE(d.RichEdit1->verticalScrollBar()->isVisible());
            EXPECT_EQ(d.RichEdit1->verticalScrollBar()->maximum(), 0);
            const QTextDocument* doc = d.RichEdit1->document();
            EXPECT_LE(doc->documentLayout()->documentSize().height(),
                      d.RichEdit1->viewport()->height());
            EXPECT_GE(d.RichEdit1->y(), 0);
            EXPECT_LT(d.RichEdit1->geometry().bottom(), TopOfButtons(d));
            EXPECT_LE(d.frameGeometry().height(), d.screen()->availableGeometry().height());
            QTextCursor end(d.RichEdit1->document());
            end.movePosition(QTextCursor::End);
            EXPECT_LE(d.RichEdit1->cursorRect(end).bottom(), d.RichEdit1->viewport()->height());
            d.reject();
        });
        TimedMessageDlg(c.text, MessageKind::Confirmation, ui::mbYes | ui::mbNo);
    }
}

TEST_F(TimedDialog, MoreLinesThanTheScreenHoldsScrollWithinTheScreen) {
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(d.TextLineCount(), 200);
        EXPECT_LE(d.frameGeometry().height(), d.screen()->availableGeometry().height());
        EXPECT_LT(d.RichEdit1->geometry().bottom(), TopOfButtons(d));
        EXPECT_LE(TopOfButtons(d) + TTimedDlg::kButtonHeight, d.height());
        QScrollBar* bar = d.RichEdit1->verticalScrollBar();
        EXPECT_TRUE(bar->isVisible());
        ASSERT_GT(bar->maximum(), 0);
        // Scrolled to the end, the last line is in view.
        bar->setValue(bar->maximum());
        QTextCursor end(d.RichEdit1->document());
        end.movePosition(QTextCursor::End);
        const QRect last = d.RichEdit1->cursorRect(end);
        EXPECT_GE(last.top(), 0);
        EXPECT_LE(last.bottom(), d.RichEdit1->viewport()->height());
        d.OKBtn->click();
    });
    TimedMessageDlg(lines.join("\r\n"), MessageKind::Information, ui::mbOK);
}

TEST_F(TimedDialog, LineFeedsAndCarriageReturnsBothStartLines) {
    TTimedDlg d;
    d.SetMessage("a\nb\rc\r\nd");
    EXPECT_EQ(d.RichEdit1->toPlainText(), "a\nb\nc\nd");
    d.SetMessage("");
    EXPECT_EQ(d.TextLineCount(), 0);
}

// Up to 60 s count down every second; from 61 s on the remainder comes first, then the minutes,
// then the last 60 s.
TEST_F(TimedDialog, CountdownsShowTheSecondsLeftInTheCaptionAndTimeOutWithZero) {
    const struct {
        int timeOut;
        MessageKind kind;
        const char* caption;
        // The timer's interval before each tick while whole minutes remain; then every second.
        std::vector<int> minuteTicks;
    } schedules[] = {{30, MessageKind::Information, "Information", {}},
                     {60, MessageKind::Warning, "Warning", {}},
                     {61, MessageKind::Error, "Error", {1000}},
                     {90, MessageKind::Warning, "Warning", {30000}},
                     {200, MessageKind::Error, "Error", {20000, 60000, 1000}}};
    for (const auto& c : schedules) {
        SCOPED_TRACE(c.timeOut);
        host.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
            test::FakeTimer& t = TimerOf(d);
            const int minutes = static_cast<int>(c.minuteTicks.size());
            EXPECT_EQ(d.MinutesLeft(), minutes);
            EXPECT_EQ(d.SecondsLeft(), minutes > 0 ? 60 : c.timeOut);
            for (int i = 0; i < minutes; ++i) {
                EXPECT_TRUE(t.Enabled());
                EXPECT_EQ(t.Interval(), c.minuteTicks[i]);
                t.Fire();
                EXPECT_EQ(d.MinutesLeft(), minutes - i - 1);
            }
            EXPECT_TRUE(t.Enabled());
            EXPECT_EQ(t.Interval(), 1000);
            EXPECT_EQ(d.windowTitle(), c.caption);
            for (int left = d.SecondsLeft() - 1; left >= 0; --left) {
                t.Fire();
                ASSERT_EQ(d.windowTitle(), c.caption + QString("  - ") + QString::number(left));
            }
            EXPECT_TRUE(d.isVisible());
            EXPECT_FALSE(d.TimedOut());
            t.Fire();
            EXPECT_FALSE(d.isVisible());
            EXPECT_TRUE(d.TimedOut());
            EXPECT_FALSE(t.Enabled());
        });
        EXPECT_EQ(TimedMessageDlg("x", c.kind, ui::mbOK, c.timeOut), 0);
    }
}

TEST_F(TimedDialog, AWholeNumberOfMinutesFromTwoOnWaitsAndAnAnswerStopsTheCountdown) {
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
    // An answer before the countdown runs out gives the button and stops the timer.
    host.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Information");
        EXPECT_EQ(ShownButtons(d), "OKBtn");
        TimerOf(d).Fire();
        EXPECT_TRUE(TimerOf(d).Enabled());
        d.OKBtn->click();
    });
    EXPECT_EQ(TimedInformation("x", 30), ui::mrOk);
    // No countdown goes on after the answer.
    for (const test::FakeTimer* timer : timers.Live())
        EXPECT_FALSE(timer->Enabled());
}

// Event handlers that reach the server run through the guarded path: a failure is shown as an
// error and the program goes on (the broker's own failures: the killed-server tests).
TEST(GuardedHandler, AFailureIsShownByItsTextAsAnErrorAndTheNextEventIsHandled) {
    test::ScriptedModalHost modal;
    modal.ExpectMessage("no such record").ExpectMessage(ui::kUnknownFailure);
    EXPECT_FALSE(ui::Guarded([] { throw std::out_of_range("no such record"); }));
    EXPECT_FALSE(ui::Guarded([] { throw 42; }));
    EXPECT_TRUE(ui::Guarded([] {}));
    QWidget form;
    auto* button = new QPushButton("Who", &form);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, &form, ui::GuardedSlot(&form, [&] {
                         if (++clicks == 1) throw std::runtime_error("connection lost");
                     }));
    form.show();
    modal.ExpectMessage("connection lost");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(modal.Log().size(), 3u);
    for (const test::Interaction& shown : modal.Log())
        EXPECT_EQ(shown.messageKind, ui::MessageKind::Error);
}

}  // namespace
}  // namespace vorn
