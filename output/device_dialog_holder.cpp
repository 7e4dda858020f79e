#include "output/device_dialog_holder.h"

#include <QPainter>

namespace vorn {

TvornDeviceDialogHolder::TvornDeviceDialogHolder(QWidget* parent) : QWidget(parent), dialog_(this) {
    dialog_.setObjectName(QStringLiteral("dialog"));
    // Hidden on purpose: a form shows its children, but not one hidden before it is shown.
    setVisible(false);
}

void TvornDeviceDialogHolder::ShowForDesign() {
    setVisible(true);
}

void TvornDeviceDialogHolder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Device dialog"));
}

}  // namespace vorn
