// Where the find dialog's parts go, worked out from the search box, the grid's rows and
// columns and the buttons shown. Form sizes are outer sizes, frame included, as on the display
// the toolset was designed for (a frame 8 pixels wider and 31 higher than the client area).
#pragma once

#include <QList>

#pragma GCC visibility push(default)
namespace vorn {

struct FindDialogMeasures {
    int searchTop = 0;
    int searchHeight = 0;
    int rowHeight = 20;
    int dropDownCount = 8;
    QList<int> columnWidths;
    int gridLineWidth = 1;
    int buttonCount = 0;  // Select, Insert, Zoom and Cancel as shown
    int moreWidth = 0;
    int findWidth = 0;
    int buttonFontPoints = 8;  // of btnSelect
    int pixelsPerInch = 96;
};

struct FindDialogLayout {
    int gridTop = 0;
    int gridHeight = 0;
    int gridWidth = 0;
    int buttonTop = 0;
    int buttonPitch = 0;  // button i stands at i × pitch, pitch − 1 wide
    int buttonHeight = 0;
    int moreLeft = 0;
    int formWidth = 0;
    int formHeight = 0;
    int findLeft = 0;
    int searchWidth = 0;
};

inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 31;

FindDialogLayout LayOutFindDialog(const FindDialogMeasures& m);

}  // namespace vorn

#pragma GCC visibility pop
