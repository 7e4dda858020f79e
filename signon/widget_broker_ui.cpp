#include "signon/widget_broker_ui.h"

#include <QApplication>
#include <QCursor>

#include "toolkit/modal_seam.h"

namespace vorn::ui {

void WidgetBrokerUi::ShowMessage(const QString& text) {
    ShowPlainMessage(text);
}

void WidgetBrokerUi::BusyCursor() {
    if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetBrokerUi::RestoreCursor() {
    // Restoring is asked for on every error as well, so it may come without a busy cursor.
    while (busy_ > 0) {
        --busy_;
        QApplication::restoreOverrideCursor();
    }
}

void WidgetBrokerUi::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void InstallWidgetBrokerUi() {
    static WidgetBrokerUi ui;
    SetBrokerUi(&ui);
}

}  // namespace vorn::ui
