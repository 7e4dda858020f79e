// Event handlers that reach the server run through the guarded path: a failure is shown as an
// error and the program goes on (the broker's own failures: the killed-server tests).
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "tests/support/scripted_modal_host.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

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
