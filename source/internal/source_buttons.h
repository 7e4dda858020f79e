// The buttons a data source enables: its operation buttons and exec buttons, from its state, its
// user's access and where the browse stands.
#pragma once

#include "source/vorn_types.h"

namespace vorn {

class TvornOperationButton;

class SourceButtons {
  public:
    // Every button, from the state and the access.
    virtual void RefreshAll() = 0;
    virtual void Refresh(TvornOperationButton* button) = 0;
    // Disables the buttons of `operation`, or enables them as far as the state allows.
    virtual void SetEnabled(TvornBtnOperation operation, bool on) = 0;

  protected:
    ~SourceButtons() = default;
};

}  // namespace vorn
