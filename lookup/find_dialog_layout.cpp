#include "lookup/find_dialog_layout.h"

#include <algorithm>

namespace vorn {
namespace {

// Every button shown gets at least this width.
constexpr int kMinButtonWidth = 80;

}  // namespace

FindDialogLayout LayOutFindDialog(const FindDialogMeasures& m) {
    FindDialogLayout l;
    l.gridTop = m.searchTop + m.searchHeight + 2;
    // The heading row and the visible data rows, each with its grid line.
    l.gridHeight = m.rowHeight * (1 + m.dropDownCount) + m.dropDownCount;
    int columns = 0;
    for (int width : m.columnWidths)
        columns += width;
    l.gridWidth = (static_cast<int>(m.columnWidths.size()) + 1) * 2 * m.gridLineWidth + columns;
    l.gridWidth = std::max(l.gridWidth, kMinButtonWidth * m.buttonCount + m.moreWidth);
    l.buttonTop = l.gridTop + l.gridHeight + 2;
    const int buttons = std::max(m.buttonCount, 1);
    l.buttonPitch = std::max((l.gridWidth - m.moreWidth) / buttons, kMinButtonWidth);
    l.buttonHeight = m.pixelsPerInch * m.buttonFontPoints / 96 + 20;
    l.moreLeft = l.gridWidth - m.moreWidth;
    // The button row stands 2 pixels below the grid: the client area reaches to its bottom
    // (grid top + grid height + button height alone would cut the row off by those 2).
    l.formHeight = l.buttonTop + l.buttonHeight + kFrameHeight;
    l.formWidth = l.gridWidth + kFrameWidth;
    // Find again stands right-aligned inside the client area, 1 pixel from its edge (form
    // width − its width − 7 would put it 1 pixel beyond), and the search box ends 8 pixels
    // before it.
    l.findLeft = l.formWidth - kFrameWidth - m.findWidth - 1;
    l.searchWidth = l.findLeft - 8;
    return l;
}

}  // namespace vorn
