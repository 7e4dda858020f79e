#include "toolkit/internal/display_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace vorn {
namespace {

std::optional<DisplayMetrics>& Override() {
    static std::optional<DisplayMetrics> display;
    return display;
}

}  // namespace

DisplayMetrics CurrentDisplay() {
    if (Override()) return *Override();
    DisplayMetrics display;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        display.width = screen->geometry().width();
        display.dotsPerInch = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
    }
    return display;
}

void SetDisplayOverride(std::optional<DisplayMetrics> display) {
    Override() = display;
}

}  // namespace vorn
