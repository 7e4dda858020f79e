// The server's message file, which "VRNX DIALOG" answers from: the toolset's own English texts
// under 1001-1095 (the client's string table, source/message_texts.h), some of them replaced by
// fuller texts that take parameters, and the texts above 1095 that only the server holds.
// Parameters stand in a text as |1|, |2|, ...
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorn::devserver {

// The text of message `id` ("1032") with its parameters not yet placed; nullopt for an id the
// file does not hold.
std::optional<std::string> MessageTemplate(const std::string& id);

// Places parameter n (from 1) where |n| stands; a parameter that was not given leaves nothing.
// Parameter values are placed as they are: a "|2|" inside a value stays as it is.
std::string PlaceParameters(const std::string& text, const std::vector<std::string>& parameters);

}  // namespace vorn::devserver
