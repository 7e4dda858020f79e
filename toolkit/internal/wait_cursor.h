// The hourglass cursor for as long as the object lives, however the scope is left.
#pragma once

#pragma GCC visibility push(default)
namespace vorn::ui {

class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace vorn::ui

#pragma GCC visibility pop
