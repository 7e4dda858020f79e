// List-parameter subscripts as the client writes them: M subscript text. A quoted string
// ("FILE", with "" for a quote), a number (1, canonic or not), or several separated by commas
// ("FROM","IEN" or 3,1); an unquoted word counts as a string.
#pragma once

#include <string_view>

#include "devserver/m/collation.h"

namespace vorn::devserver {

// Never fails: text that is no valid subscript list (an open quote, an empty subscript) is
// taken whole as one string subscript, so that a handler can still name it in an error.
Subscripts ParseSubscriptText(std::string_view text);

}  // namespace vorn::devserver
