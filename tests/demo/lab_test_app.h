// Demo lab test started as the program starts it, against the real vorn-server: its forms made
// in their order, the sign-on answered with the keyboard, the main form shown and active; the
// calls of each step read from the server's log. And walking a form by the keyboard as a user
// does: every accelerator of what the form shows now is pressed and must reach its own field,
// button, tab or menu, no two of them alike; Tab must reach every field and button of a page.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTest>

#include "demo/start_up.h"
#include "signon/internal/code_edit.h"
#include "signon/internal/signon_form.h"
#include "signon/internal/signon_message_form.h"
#include "signon/signon_form_front.h"
#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "tests/support/another_user.h"
#include "tests/support/shown_find.h"
#include "tests/support/source_fixture.h"

namespace vorn::test {

// A modal dialog that closed leaves the main window inactive on the test platform, where no
// window manager activates it again as a user's desktop does.
inline void Activate(QWidget& window) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

inline QChar MnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'&' && text[++i] != u'&') return text[i].toLower();
    return {};
}

// Takes the shortcut a button, the tab bar or the menu bar receives: the key reached it, and no
// record operation runs and no menu opens during the walk.
struct ShortcutCatcher : QObject {
    QObject* hit = nullptr;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Shortcut) hit = watched;
        return event->type() == QEvent::Shortcut;
    }
};

inline void Press(QWidget& window, QChar key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &window, key.toLatin1(), Qt::AltModifier);
}

// Alt+`key` of `text` reaches `owner`: a label's buddy or a group box takes the focus, anything
// else receives the shortcut.
inline void ExpectReached(QWidget& window, QChar key, QWidget* owner, const std::string& text) {
    Activate(window);
    auto* label = qobject_cast<QLabel*>(owner);
    QWidget* field = label ? label->buddy() : owner;
    if (label || qobject_cast<QGroupBox*>(field)) {
        // A disabled field (the lab result's locked panel) takes no focus.
        if (!field->isEnabled()) return;
        Press(window, key);
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus == field || field->isAncestorOf(focus)) << text;
        return;
    }
    // A button the record's state disables is enabled for the press alone.
    const bool enabled = field->isEnabled();
    ShortcutCatcher catcher;
    field->setEnabled(true);
    field->installEventFilter(&catcher);
    Press(window, key);
    field->removeEventFilter(&catcher);
    field->setEnabled(enabled);
    EXPECT_EQ(catcher.hit, field) << text;
}

// Every mnemonic of what `window` shows now, each pressed; every plain label (a note aside) has
// a buddy and a mnemonic, except `captions`: the captions of values shown, which take no focus.
inline void PressEach(QWidget& window, const QStringList& captions = {}) {
    const auto unique = [](QSet<QChar>& keys, QChar key, const QString& text) {
        EXPECT_FALSE(keys.contains(key)) << "ambiguous: " << text.toStdString();
        keys.insert(key);
    };
    QSet<QChar> keys;
    const auto check = [&](const QString& text, QWidget* owner) {
        const QChar key = MnemonicOf(text);
        if (key.isNull()) return;
        unique(keys, key, text);
        ExpectReached(window, key, owner, text.toStdString());
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->inherits("vorn::TvornLabel") ||
                captions.contains(label->objectName()))
                continue;
            EXPECT_TRUE(label->buddy() && !MnemonicOf(label->text()).isNull())
                << label->objectName().toStdString();
            check(label->text(), label);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            check(button->text(), button);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            check(group->title(), group);
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs->tabText(i), tabs);
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* action : bar->actions()) {
                check(action->text(), bar);
                QSet<QChar> items;  // a menu's items are a scope of their own
                for (QAction* item : action->menu() ? action->menu()->actions() : QList<QAction*>{})
                    if (item->isVisible() && !MnemonicOf(item->text()).isNull())
                        unique(items, MnemonicOf(item->text()), item->text());
            }
        }
    }
}

inline void WalkWithTab(QWidget& window, QWidget& page) {
    Activate(window);
    QList<QWidget*> widgets = page.findChildren<QWidget*>(), targets;
    widgets << window.findChild<QWidget*>("BtnExit");
    for (QWidget* w : widgets)
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) targets << w;
    QList<QWidget*> reached;
    for (int i = 0; i < 2 * targets.size(); ++i) {
        reached << QApplication::focusWidget();
        QTest::keyClick(reached.last(), Qt::Key_Tab);
    }
    for (QWidget* w : targets) {
        // One button of a radio group takes the focus for the group.
        QWidget* field = qobject_cast<QRadioButton*>(w) ? w->parentWidget() : w;
        EXPECT_TRUE(std::any_of(reached.begin(), reached.end(), [&](QWidget* r) {
            return r == field || field->isAncestorOf(r);
        })) << w->objectName().toStdString();
    }
}

using Calls = std::vector<std::string>;

class LabTestApp : public ::testing::Test {
  public:
    static void SetUpTestSuite() { InstallSignonForms(); }

    // Starts the program: the forms made in their order, the sign-on answered with the
    // keyboard and its message acknowledged, the main form shown.
    void Start(const QString& access = QStringLiteral("demo"),
               const QString& verify = QStringLiteral("demo.1234")) {
        modal.OnForm<TfrmSignon>([access, verify](TfrmSignon& signon) {
            QTest::keyClicks(signon.accessCode, access);
            QTest::keyClicks(signon.verifyCode, verify);
            QTest::mouseClick(signon.btnOk, Qt::LeftButton);
        });
        modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& message) { message.BitBtn1->click(); });
        forms = CreateForms({QStringLiteral("127.0.0.1"), server.Port(), {}});
        form = forms.frmLabTest.get();
        form->show();
        test::Activate(*form);
    }
    // The message dialog's captions are fetched once per session; fetched here, through the
    // program's broker, so that the calls counted after it are each step's own.
    static void FetchCaptions() {
        SetMessageBroker(nullptr);
        FindBroker(nullptr);
        DialogText(1);
    }
    template <typename F>
    Calls CallsOf(F&& step) {
        return Names(server.CallsDuring(step));
    }
    static TfrmFind* ShownFind() { return test::ShownFind(); }
    // The toolset's message dialog of `kind` showing `text`, answered with `result`.
    void Expect(ui::MessageKind kind, const QString& text, int result = ui::mrOk) {
        ExpectToolsetMessage(modal, kind, text, result);
    }
    // A click or typing on the main form or on a modal form shown over it.
    static void Click(QWidget* widget) {
        test::Activate(*widget->window());
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    static void TypeInto(QWidget* widget, const QString& text) {
        test::Activate(*widget->window());
        widget->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(widget, text);
    }

    // Starts the program and shows lab test `record` (and puts it at the head of the history).
    void Show(const char* record) {
        Start();
        FetchCaptions();
        ASSERT_TRUE(form->vornSource1->GetAndFill(QString::fromLatin1(record)));
        form->vornSource1->UpdateHistory();
    }
    void Page(int tab) { form->xPageCtrl1->setCurrentIndex(tab - 1); }
    // Insert on tab 5: the subresult form adds KETONES under the lab test shown, and closes.
    void InsertKetones() {
        modal.OnForm<TfrmSubresult>([this](TfrmSubresult& f) {
            EXPECT_EQ(f.vornSource1->MasterSource(), form->vornSource1);
            TypeInto(f.xedtSubresult, QStringLiteral("KETONES"));
            Click(f.xbtnSaveAs);
            f.BtnExit->click();
        });
        Expect(ui::MessageKind::Information, "Saved new: Subresult: KETONES\r\n");
        Click(form->btnInsert);
    }
    // Another session, to file, read and lock as a second user would.
    TRPCBroker& Other() {
        if (!other_) {
            modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& f) { f.BitBtn1->click(); });
            other_ = SignedOnBroker(kSecondHost, server.Port());
        }
        return *other_;
    }
    bool OtherCanLock(const QString& record, const QString& file = QStringLiteral("80001")) {
        return CanLock(Other(), file, record);
    }
    // A field of a record as another user reads it from the server now.
    QString Stored(const QString& file, const QString& record, const QString& field) {
        return test::Stored(Other(), file, record, field);
    }

    DevServerProcess server;
    FakeTimers timers;
    ScriptedModalHost modal;
    LabTestForms forms;
    TfrmLabTest* form = nullptr;
    std::unique_ptr<TRPCBroker> other_;  // made by Other()
};

inline Calls Then(Calls calls, const Calls& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

}  // namespace vorn::test
