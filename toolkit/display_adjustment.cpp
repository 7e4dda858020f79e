#include "toolkit/display_adjustment.h"

#include <QTableWidget>
#include <QWidget>

#include "toolkit/internal/display_metrics.h"

namespace vorn {
namespace {

constexpr int kDesignWidth = 1024;
constexpr int kDesignDotsPerInch = 96;
constexpr int kLargeFontsDotsPerInch = 120;

int Scaled(int size) {
    return size * kLargeFontsDotsPerInch / kDesignDotsPerInch;
}

}  // namespace

void AdjustFormToDisplay(QWidget& form) {
    const DisplayMetrics display = CurrentDisplay();
    if (display.width == kDesignWidth && display.dotsPerInch == kDesignDotsPerInch) return;
    form.setProperty("Scaled", false);
    form.setProperty("AutoScroll", false);
    if (display.dotsPerInch == kDesignDotsPerInch) return;

    const QSize size(Scaled(form.width()), Scaled(form.height()));
    // A form of fixed size keeps being fixed, at its new size.
    if (form.minimumSize() == form.maximumSize())
        form.setFixedSize(size);
    else
        form.resize(size);
    for (QTableWidget* grid : form.findChildren<QTableWidget*>()) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            const int width = grid->columnWidth(column);
            grid->setColumnWidth(column, width + width / 4);
        }
    }
}

}  // namespace vorn
