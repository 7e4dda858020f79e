// Start-up failures of the main form, against a scripted server.
#include "demo/lab_test_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>

#include "broker/rpc_broker.h"
#include "tests/support/manual_clock.h"
#include "tests/support/scripted_modal_host.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn {
namespace {

class LabTestStartUp : public ::testing::Test {
  protected:
    LabTestConnection Peer() { return {QStringLiteral("127.0.0.1"), peer.Port(), {}}; }
    test::ClockOverride clock;
    test::TestPeer peer;
    test::ScriptedModalHost modal;
};

TEST_F(LabTestStartUp, ARefusedContextClosesTheFormOnFirstShowWithoutAMessage) {
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("The context 'ZAZIRERO' does not exist on server.");
    TfrmLabTest form(Peer());
    EXPECT_FALSE(form.ContextCreated());
    form.show();
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(modal.Log().empty());
}

TEST_F(LabTestStartUp, AFailedConnectionSaysConnectionFailedAndCloses) {
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text, "Connection failed!");
        EXPECT_EQ(r.kind, ui::MessageKind::Error);
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    TfrmLabTest form({QStringLiteral("127.0.0.1"), test::ClosedPort(), {}});
    EXPECT_FALSE(form.ContextCreated());
    form.show();
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace vorn
