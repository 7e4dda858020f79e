// What the sign-on form tests share: typing into fields as a user does, reading the calls the
// test peer recorded, and a fixture with the window fronts installed against the test peer.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>
#include <string>
#include <vector>

#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "common/scramble.h"
#include "signon/signon_form_front.h"
#include "broker/verify_code_change.h"
#include "tests/support/isolated_settings.h"
#include "tests/support/manual_clock.h"
#include "tests/support/scripted_modal_host.h"
#include "tests/support/test_peer.h"
#include "signon/widget_broker_ui.h"

namespace vorn::test {

// Key presses, one character at a time, as the keyboard sends them.
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

inline void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// The field loses the focus (the user tabs or clicks away).
inline void Leave(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

// The procedure name inside a recorded call message.
inline std::string NameOf(const std::string& call) {
    const auto start = call.find("XWB;;;;") + 7 + 5 + 1;
    return call.substr(start, call.find('^', start) - start);
}

inline std::vector<std::string> Names(const std::vector<std::string>& calls) {
    std::vector<std::string> names;
    for (const auto& c : calls)
        names.push_back(NameOf(c));
    return names;
}

// The value of the first (literal) parameter of a recorded call.
inline std::string FirstLiteral(const std::string& call) {
    const auto caret = call.find('^', call.find("XWB;;;;") + 7);
    const std::string params = call.substr(caret + 1 + 5);
    const int length = std::stoi(params.substr(0, 3));
    EXPECT_EQ(params[3], '0') << "not a literal";
    return params.substr(4, length - 1);
}

// The three codes of an "XUS CVC" call, unscrambled.
inline std::vector<std::string> ChangedCodes(const std::string& call) {
    const std::string value = FirstLiteral(call);
    std::vector<std::string> codes;
    std::size_t from = 0;
    for (;;) {
        const auto caret = value.find('^', from);
        codes.push_back(Unscramble(value.substr(from, caret - from)));
        if (caret == std::string::npos) break;
        from = caret + 1;
    }
    return codes;
}

inline std::string Text(const QString& s) {
    return s.toStdString();
}

// A fresh settings store, the program's window fronts, the test peer and the scripted modal
// host; every modal interaction of a test is answered from `modal`.
class WindowedSignon : public ::testing::Test {
  protected:
    void SetUp() override {
        ui::InstallWidgetBrokerUi();
        InstallSignonForms();
    }
    void TearDown() override {
        SetSignonFront(nullptr);
        SetVerifyCodeFront(nullptr);
        SetBrokerUi(nullptr);
    }
    void Aim(TRPCBroker& b) {
        b.SetServer("127.0.0.1");
        b.SetListenerPort(peer.Port());
    }
    std::vector<std::string> CallNames() const { return Names(peer.Calls()); }

    ScopedSettings settings;
    ClockOverride clock;
    TestPeer peer;
    ScriptedModalHost modal;
};

}  // namespace vorn::test
