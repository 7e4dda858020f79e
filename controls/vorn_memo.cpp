#include "controls/vorn_memo.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "toolkit/event_guard.h"

namespace vorn {

TvornMemo::TvornMemo(QWidget* parent)
    : QPlainTextEdit(parent), BoundControlBase(static_cast<QWidget&>(*this)) {
    // A memo sits among fields walked with Tab; trapping Tab would strand keyboard users in it.
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, ui::GuardedSlot(this, [this] { Change(); }));
}

void TvornMemo::FillFromRecord(const QString& internal, const QString& external) {
    Q_UNUSED(internal);
    FillFromLines(external.isEmpty() ? QStringList() : QStringList{external});
}

void TvornMemo::FillFromLines(const QStringList& lines) {
    {
        QuietScope quiet(*this);
        setPlainText(lines.join(u'\n'));
    }
    modified_ = false;
}

QStringList TvornMemo::Lines() const {
    const QString text = toPlainText();
    if (text.isEmpty()) return {};
    return text.split(u'\n');
}

void TvornMemo::ClearValue() {
    FillFromLines({});
}

void TvornMemo::Change() {
    if (!Bound()) return;
    if (Filling() || Quiet()) {
        modified_ = false;
        return;
    }
    modified_ = true;
    if (OnChange) OnChange(this);
    if (!LinkFieldGuard()) MarkChanged();
}

void TvornMemo::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    FocusedIn();
}

void TvornMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    FocusedOut([this] { Exit(); });
}

void TvornMemo::Exit() {
    if (!ExitPreamble()) return;
    if (modified_)
        AddChanged();
    else
        MarkUnchanged();
    FireExit();
}

void TvornMemo::keyPressEvent(QKeyEvent* event) {
    if (GuardedKeyDown(*event)) return;
    // With Tab leaving the memo, Ctrl+Tab is how a tab character still gets typed.
    if (tabChangesFocus() && event->key() == Qt::Key_Tab &&
        event->modifiers() == Qt::ControlModifier) {
        if (!isReadOnly()) insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace vorn
