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
    l.findLeft = l.formWidth - m.findWidth - 7;
    l.searchWidth = l.formWidth - m.findWidth - 15;
    return l;
}

}  // namespace vorn
