// Walking a form by the keyboard: the accelerators a user can press in it now (its menus, the
// buttons, labels, group boxes and tabs that are showing), and the widgets Tab reaches.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QStringList>
#include <QTabBar>
#include <QTest>
#include <QWidget>

namespace vorn::test {

// The letter after the "&" of `text` (upper case), or none.
inline QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

// Every accelerator of `window` that a user can press now, with who answers to it.
inline QMap<QChar, QStringList> Accelerators(QWidget& window) {
    QMap<QChar, QStringList> keys;
    const auto add = [&](const QString& text, const QString& owner) {
        if (const QChar key = Mnemonic(text); !key.isNull()) keys[key].append(owner);
    };
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            add(label->text(), label->objectName());
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(button->text(), button->objectName());
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            add(group->title(), group->objectName());
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i), tabs->objectName() + u'#' + QString::number(i));
        else if (auto* menus = qobject_cast<QMenuBar*>(w))
            for (QAction* action : menus->actions())
                if (action->isVisible()) add(action->text(), action->objectName());
    }
    return keys;
}

// The accelerators that more than one widget answers to: "A: lblName, xbtnSaveAs".
inline QStringList Clashes(QWidget& window) {
    QStringList clashes;
    const QMap<QChar, QStringList> keys = Accelerators(window);
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.value().size() > 1)
            clashes.append(QString(it.key()) + QStringLiteral(": ") + it.value().join(u", "));
    return clashes;
}

// The widgets Tab visits from `start` until it comes back (at most `limit` presses).
inline QList<QWidget*> TabWalk(QWidget* start, int limit = 80) {
    QList<QWidget*> reached;
    start->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < limit; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || (i > 0 && focus == start)) break;
        if (!reached.contains(focus)) reached.append(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return reached;
}

}  // namespace vorn::test
