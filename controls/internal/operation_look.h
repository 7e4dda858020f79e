// How an operation button looks for each record operation: the message ids of its caption and
// hint, its glyph resource and its width rule.
#pragma once

#include <QString>

#include "source/vorn_types.h"

namespace vorn {

struct OperationLook {
    int captionId;  // 0: a navigation button shows only its glyph
    int hintId;
    const char* glyph;
};

const OperationLook& LookOf(TvornBtnOperation operation);

bool IsNavigation(TvornBtnOperation operation);

// The width a button of `operation` gets from `width`: a navigation button is 20 unless its
// width lies in 20..79 (a new button's 80 counts as outside, so it narrows to its glyph);
// any other button is at least 80.
int RuleWidth(TvornBtnOperation operation, int width);

}  // namespace vorn
