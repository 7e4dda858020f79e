#include "lookup/internal/header_grip.h"

#include <QHeaderView>
#include <QStyle>

namespace vorn {

bool OnResizeGrip(const QHeaderView& header, int x) {
    const int column = header.logicalIndexAt(x);
    if (column < 0) return false;
    const int grip = header.style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, &header);
    const int left = header.sectionViewportPosition(column);
    const int right = left + header.sectionSize(column);
    return x - left < grip || right - x <= grip;
}

}  // namespace vorn
