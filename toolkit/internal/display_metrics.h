// The screen that forms are laid out for: its width in pixels and its dots per inch. Tests
// pretend other displays through the override.
#pragma once

#include <optional>

namespace vorn {

struct DisplayMetrics {
    int width = 1024;
    int dotsPerInch = 96;
};

// The primary screen's width and logical dots per inch (or the override when one is set).
DisplayMetrics CurrentDisplay();
// Pretends a display; std::nullopt goes back to the real screen.
void SetDisplayOverride(std::optional<DisplayMetrics> display);

}  // namespace vorn
