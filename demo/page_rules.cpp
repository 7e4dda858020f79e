#include "demo/page_rules.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QTabBar>
#include <QTabWidget>

#include "toolkit/event_guard.h"

namespace vorn {

PageRules::PageRules(QTabWidget& pages, Rule mayLeave, Entered entered)
    : QObject(&pages),
      pages_(pages),
      mayLeave_(std::move(mayLeave)),
      entered_(std::move(entered)),
      page_(pages.currentIndex()) {
    connect(&pages, &QTabWidget::currentChanged, this,
            ui::GuardedSlot(pages.window(), [this](int page) { Changed(page); }));
    pages.installEventFilter(this);
    pages.tabBar()->installEventFilter(this);
}

void PageRules::ShowPage(int page) {
    quiet_ = true;
    pages_.setCurrentIndex(page);
    quiet_ = false;
    page_ = pages_.currentIndex();
}

int PageRules::Neighbour(int step, bool wrap) const {
    const QTabBar& bar = *pages_.tabBar();
    const int count = bar.count();
    int page = pages_.currentIndex();
    for (int pass = 1; pass < count; ++pass) {
        page += step;
        if (page < 0 || page >= count) {
            if (!wrap) return -1;
            page = (page + count) % count;
        }
        if (bar.isTabEnabled(page)) return page;
    }
    return -1;
}

int PageRules::Target(const QObject* watched, QEvent* event) const {
    // The filter also sees the events of the page control's own destruction, when it is no
    // longer a tab widget: only the events that can change the page may touch it.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::Shortcut && type != QEvent::KeyPress)
        return -1;
    const QTabBar* bar = pages_.tabBar();
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched != bar || mouse->button() != Qt::LeftButton) return -1;
            return bar->tabAt(mouse->position().toPoint());
        }
        case QEvent::Shortcut: {
            if (watched != bar) return -1;
            const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
            for (int page = 0; page < bar->count(); ++page)
                if (bar->isTabEnabled(page) && QKeySequence::mnemonic(bar->tabText(page)) == key)
                    return page;
            return -1;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (watched == &pages_ && key->modifiers().testFlag(Qt::ControlModifier) &&
                (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
                const bool back =
                    key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
                return Neighbour(back ? -1 : 1, true);
            }
            if (watched == bar && (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
                const bool back = (key->key() == Qt::Key_Left) != bar->isRightToLeft();
                return Neighbour(back ? -1 : 1, false);
            }
            return -1;
        }
        default:
            return -1;
    }
}

bool PageRules::MayLeave() {
    bool mayLeave = false;
    return ui::Guarded([&] { mayLeave = mayLeave_(page_); }, pages_.window()) && mayLeave;
}

bool PageRules::eventFilter(QObject* watched, QEvent* event) {
    const int target = Target(watched, event);
    if (agreed_ || target < 0 || target == pages_.currentIndex()) return false;
    // The event reaches its widget only once the page shown now has agreed to be left.
    if (MayLeave()) {
        agreed_ = true;
        watched->event(event);
        agreed_ = false;
    }
    event->accept();
    return true;
}

void PageRules::Changed(int page) {
    if (quiet_ || page == page_) return;
    // A change the user made has been agreed to already; one the program made is asked about
    // now, with the new page shown, and put back when refused.
    if (!agreed_ && !MayLeave()) {
        ShowPage(page_);
        return;
    }
    page_ = page;
    if (entered_) entered_(page);
}

}  // namespace vorn
