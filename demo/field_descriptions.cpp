#include "demo/field_descriptions.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "controls/bound_control_base.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {

FieldDescriptions::FieldDescriptions(QObject* owner, bool onlyForScreenReaders)
    : QObject(owner), onlyForScreenReaders_(onlyForScreenReaders) {
    qApp->installEventFilter(this);
}

void FieldDescriptions::Describe(BoundControlBase& control) {
    QWidget* widget = control.Widget();
    TvornSource* source = control.vornSource();
    if (!widget->accessibleDescription().isEmpty() || !source || control.IsDisplayOnly()) return;
    const QString help = source->FieldHelp(control.FMField(), QStringLiteral("H"));
    if (!help.isEmpty()) widget->setAccessibleDescription(help);
}

bool FieldDescriptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn || (onlyForScreenReaders_ && !QAccessible::isActive()))
        return false;
    // The focus may be on a part of the field (a radio group's button).
    for (auto* w = qobject_cast<QWidget*>(watched); w && !w->isWindow(); w = w->parentWidget())
        if (auto* control = dynamic_cast<BoundControlBase*>(w)) {
            ui::Guarded([control] { Describe(*control); }, w->window());
            break;
        }
    return false;
}

}  // namespace vorn
