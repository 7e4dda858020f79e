// Forms are designed for a screen 1024 pixels wide at 96 dots per inch; on other displays
// they are adapted when they are created.
#pragma once

#pragma GCC visibility push(default)
class QWidget;

namespace vorn {

// On the design display nothing changes. Otherwise the form's automatic scaling and scrolling
// are switched off (its properties "Scaled" and "AutoScroll" set false, declared or dynamic),
// and when the display is not at 96 dots per inch the form grows by 120/96 in width and height
// and every column of every string grid (QTableWidget) on it by a quarter.
void AdjustFormToDisplay(QWidget& form);

}  // namespace vorn

#pragma GCC visibility pop
