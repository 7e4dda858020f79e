// Walking a form by the keyboard as a user does: every accelerator of what the form shows now is
// pressed and must reach its own field, button, tab or menu, no two of them alike; Tab must reach
// every field and button of a page.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

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
#include <QWidget>

namespace vorn::test {

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
        if (event->type() != QEvent::Shortcut) return false;
        hit = watched;
        return true;
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
    QSet<QChar> keys;
    const auto check = [&](const QString& text, QWidget* owner) {
        const QChar key = MnemonicOf(text);
        if (key.isNull()) return;
        EXPECT_FALSE(keys.contains(key)) << "ambiguous: " << text.toStdString();
        keys.insert(key);
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
                for (QAction* item :
                     action->menu() ? action->menu()->actions() : QList<QAction*>{}) {
                    const QChar itemKey = MnemonicOf(item->text());
                    if (itemKey.isNull() || !item->isVisible()) continue;
                    EXPECT_FALSE(items.contains(itemKey)) << item->text().toStdString();
                    items.insert(itemKey);
                }
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

}  // namespace vorn::test
