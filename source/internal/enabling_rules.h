// Which operation buttons, exec buttons and controls a source enables, from its record state
// and the user's access: the two tables every refresh applies.
#pragma once

#include <optional>

#include "source/bound_control.h"
#include "source/vorn_types.h"

namespace vorn {

// The operation button of `operation`, for a button that is not always disabled.
bool OperationEnabled(TvornBtnOperation operation, TvornSourceState state, TvornUserAccess access,
                      bool atFirst, bool atLast);

// An exec button: a pointer button needs the right to write, a find button to browse; none
// works without a record context (inactive, or a detail without a master record).
bool ExecButtonEnabled(bool pointerButton, TvornSourceState state, TvornUserAccess access);

// A bound control after a state change; nullopt leaves it as it is.
std::optional<bool> ControlEnabled(TvornSourceState state, TvornUserAccess access,
                                   TvornBoundControl::Lookup lookup);

}  // namespace vorn
