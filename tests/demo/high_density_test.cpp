// The forms on a high-density screen: CTest runs these cases at scale factors 1.5 and 2
// (QT_SCALE_FACTOR) as well as at 1. On every page of every form no named widget is cut by its
// parent or lies over a sibling, and every caption fits its label or button.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QRegularExpression>

#include "tests/demo/form_tour.h"

namespace vorn {
namespace {

// The widgets a form definition places: named, shown, and not the inner parts of another
// widget (a scroll area's view, a combo box's line edit).
bool Placed(const QWidget* w) {
    if (w->objectName().isEmpty() || !w->isVisible() || w->isWindow()) return false;
    for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p) || p->inherits("QComboBox") ||
            p->inherits("QLineEdit") || p->inherits("QAbstractSpinBox"))
            return false;
    return !w->objectName().startsWith(QLatin1String("qt_"));
}

// What is cut, covered or too narrow on what `window` shows now.
QStringList DensityFaults(QWidget& window) {
    const auto name = [](const QWidget* w) {
        return w->objectName() + u'(' + QString::fromLatin1(w->metaObject()->className()) + u')';
    };
    QStringList faults;
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!Placed(w)) continue;
        QWidget* parent = w->parentWidget();
        if (parent && !parent->isWindow() && !parent->rect().contains(w->geometry()))
            faults << name(w) + " is cut by " + name(parent);
        for (QWidget* sibling : widgets)
            if (sibling != w && sibling->parentWidget() == parent && Placed(sibling) &&
                !(name(sibling) < name(w)) && w->geometry().intersects(sibling->geometry()))
                faults << name(w) + " lies over " + name(sibling);
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty()) continue;
        const QRect room = label ? label->contentsRect() : w->rect();
        const QString plain = QString(text).remove(QRegularExpression(QStringLiteral("&(?!&)")));
        const bool wraps = label && label->wordWrap();
        if (wraps && label->heightForWidth(room.width()) > room.height())
            faults << name(w) + " wraps below its height";
        if (!wraps && w->fontMetrics().horizontalAdvance(plain) > room.width())
            faults << name(w) + " is narrower than \"" + text + '"';
    }
    return faults;
}

using HighDensity = test::FormTour;

TEST_P(HighDensity, NoWidgetIsCutCoveredOrTooNarrow) {
    ExpectNoFault(DensityFaults, "at scale " + qgetenv("QT_SCALE_FACTOR").toStdString() + ":\n");
}

INSTANTIATE_TEST_SUITE_P(Forms, HighDensity, ::testing::ValuesIn(test::kTourStops),
                         test::TourStopName);

}  // namespace
}  // namespace vorn
