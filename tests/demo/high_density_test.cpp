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

QString Plain(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

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

QString Name(const QWidget* w) {
    return w->objectName() + u'(' + QString::fromLatin1(w->metaObject()->className()) + u')';
}

// What is cut, covered or too narrow on what `window` shows now.
QStringList DensityFaults(QWidget& window) {
    QStringList faults;
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!Placed(w)) continue;
        QWidget* parent = w->parentWidget();
        if (parent && !parent->isWindow() && !parent->rect().contains(w->geometry()))
            faults << Name(w) + " is cut by " + Name(parent);
        for (QWidget* sibling : widgets) {
            if (sibling == w || sibling->parentWidget() != parent || !Placed(sibling) ||
                Name(sibling) < Name(w))
                continue;
            if (w->geometry().intersects(sibling->geometry()))
                faults << Name(w) + " lies over " + Name(sibling);
        }
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            const QRect room = label->contentsRect();
            if (label->wordWrap()) {
                if (label->heightForWidth(room.width()) > room.height())
                    faults << Name(w) + " wraps below its height";
            } else if (label->fontMetrics().horizontalAdvance(Plain(label->text())) >
                       room.width()) {
                faults << Name(w) + " is narrower than \"" + label->text() + '"';
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(w);
                   button && !button->text().isEmpty() &&
                   button->fontMetrics().horizontalAdvance(Plain(button->text())) >
                       button->width()) {
            faults << Name(w) + " is narrower than \"" + button->text() + '"';
        }
    }
    return faults;
}

using HighDensity = test::FormTour;

TEST_P(HighDensity, NoWidgetIsCutCoveredOrTooNarrow) {
    const QStringList faults = Faults(DensityFaults);
    EXPECT_TRUE(faults.isEmpty()) << "at scale " << qgetenv("QT_SCALE_FACTOR").data() << ":\n"
                                  << faults.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Forms, HighDensity, ::testing::ValuesIn(test::kTourStops),
                         test::TourStopName);

}  // namespace
}  // namespace vorn
