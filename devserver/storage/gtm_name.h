// A global's name as GT.M writes it ($QUERY, $NAME): ^G(1,-.5,"a""b"_$C(1,2)_"c"). Numbers
// stand bare in canonic form; strings are quoted, with each run of characters that are not
// graphic written as $C(...) and joined to the quoted runs by "_".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devserver/m/global_ref.h"

namespace vorn::devserver {

// The reference that `text` names; nullopt when it is not a name GT.M would write.
std::optional<GlobalRef> ParseGtmName(std::string_view text);
// The store key of the subscripts that `text` names (collation.h), read straight from it.
std::optional<std::string> GtmNameKey(std::string_view text);

}  // namespace vorn::devserver
