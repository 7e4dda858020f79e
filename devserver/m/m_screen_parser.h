// Reading a screen's M code into its parsed form, before any record is looked at, so that code
// outside the subset is refused once, with a text that names what is not supported.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "devserver/m/m_screen_ast.h"

namespace vorn::devserver {

// The screen cannot be used: its text is the reply's error line.
class ScreenCodeError : public std::runtime_error {
  public:
    ScreenCodeError(bool unsupported, const std::string& text)
        : std::runtime_error(text), unsupported_(unsupported) {}
    // True when the code is M outside the subset, false for code that is not M at all.
    bool unsupported() const { return unsupported_; }

  private:
    bool unsupported_;
};

// Screens longer than this are refused (a list entry carries at most 999 characters).
inline constexpr std::size_t kMaxScreenLength = 4096;

// Throws ScreenCodeError.
MScreenProgram ParseScreen(std::string_view code);

}  // namespace vorn::devserver
