// Event handlers that reach the server run through the guarded path: a failure is shown as an
// error and the program goes on.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "broker/rpc_broker.h"
#include "tests/support/scripted_modal_host.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

TEST(GuardedHandler, AServerThatHasGoneIsShownAndTheNextClickReconnects) {
    test::TestPeer peer;
    test::ScriptNoSignonNeeded(peer);
    peer.CloseWithoutReply();
    test::ScriptNoSignonNeeded(peer);
    peer.ReplyLines({"[Data]", "DEMO,USER^DEV"});
    test::ScriptedModalHost modal;
    TRPCBroker broker;
    broker.SetServer("127.0.0.1");
    broker.SetListenerPort(peer.Port());

    QWidget form;
    auto* button = new QPushButton(QStringLiteral("Who"), &form);
    QStringList shown;
    QObject::connect(button, &QPushButton::clicked, &form, ui::GuardedSlot(&form, [&] {
                         shown = broker.Call(RpcRequest(QStringLiteral("VRNX USERDATA"))).Lines();
                     }));
    form.show();

    modal.ExpectMessage(
        "Error encountered.\nFunction was: connection lost\nError was: WSAECONNRESET");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(broker.Connected());
    ASSERT_EQ(modal.Log().size(), 1u);
    EXPECT_EQ(modal.Log()[0].messageKind, ui::MessageKind::Error);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shown, (QStringList{"[Data]", "DEMO,USER^DEV"}));
    EXPECT_EQ(peer.Handshakes(), 2);
    EXPECT_EQ(broker.RemoteProcedure, "VRNX USERDATA");
}

TEST(GuardedHandler, AnyOtherFailureIsShownByItsTextAndTheHandlerReportsIt) {
    test::ScriptedModalHost modal;
    modal.ExpectMessage("no such record").ExpectMessage(ui::kUnknownFailure);
    EXPECT_FALSE(ui::Guarded([] { throw std::out_of_range("no such record"); }));
    EXPECT_FALSE(ui::Guarded([] { throw 42; }));
    EXPECT_TRUE(ui::Guarded([] {}));
}

}  // namespace
}  // namespace vorn
