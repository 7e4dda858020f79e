// What the sign-on form tests share: typing into fields as a user does, the stored sign-on
// look, and a fixture with the window fronts installed and a broker aimed at the test peer.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <string>
#include <vector>

#include "broker/broker_ui.h"
#include "broker/registry_settings.h"
#include "broker/rpc_broker.h"
#include "broker/verify_code_change.h"
#include "signon/signon_form_front.h"
#include "signon/widget_broker_ui.h"
#include "tests/support/isolated_settings.h"
#include "tests/support/manual_clock.h"
#include "tests/support/recorded_calls.h"
#include "tests/support/scripted_modal_host.h"
#include "tests/support/signon_script.h"
#include "tests/support/test_peer.h"

namespace vorn::test {

using Strings = std::vector<std::string>;

inline void PressKey(QWidget* widget, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// Key presses, one character at a time, as the keyboard sends them.
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        PressKey(widget, c.toUpper().unicode(), QString(c));
}

// The field loses the focus (the user tabs or clicks away).
inline void Leave(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

// The sign-on look as the workstation's settings store holds it.
inline QString Stored(const QString& name) {
    return ReadRegistryText(RegistryRoot::LocalMachine, kSignonKey, name);
}
inline void Store(const QString& name, const QString& text) {
    ASSERT_TRUE(WriteRegistryText(RegistryRoot::LocalMachine, kSignonKey, name, text));
}

inline void ExpectCentred(const QWidget& window) {
    const QRect screen = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
}

// A fresh settings store, the program's window fronts, the test peer, the scripted modal host
// (every modal interaction of a test is answered from `modal`) and a broker `b` on the peer.
class WindowedSignon : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::InstallWidgetBrokerUi();
        InstallSignonForms();
        Aim(b, peer);
    }
    void TearDown() override {
        SetSignonFront(nullptr);
        SetVerifyCodeFront(nullptr);
        SetBrokerUi(nullptr);
    }
    Strings CallNames() const { return Names(peer.Calls()); }
    void ScriptIntro() { peer.ReplyLines({"Welcome to the test server.", "Authorised use only."}); }
    // The set-up asks for a sign-on; the form shows the introductory text.
    void ScriptShownForm() {
        ScriptSetupAsksSignon(peer);
        ScriptIntro();
    }

    ScopedSettings settings;
    ClockOverride clock;
    TestPeer peer;
    ScriptedModalHost modal;
    TRPCBroker b;
};

}  // namespace vorn::test
