// A reference to an M global node, ^NAME(s1,s2,...), and the way M writes one.
#pragma once

#include <string>
#include <string_view>

#include "devserver/m/collation.h"

namespace vorn::devserver {

// ^NAME(s1,s2,...). Numbers are given in canonic form ("12", ".5"); any other text is a string.
struct GlobalRef {
    std::string name;  // without "^"
    Subscripts subscripts;

    GlobalRef Child(std::string_view subscript) const;
    GlobalRef Parent() const;
    // "^ZDEMO(80001,1,0)" with strings quoted as M writes them.
    std::string Text() const;
    bool operator==(const GlobalRef&) const = default;
};

// M's quoted form of a string: "a""b" for a"b.
std::string QuoteM(std::string_view text);
// A subscript as M writes it: a canonic number bare, anything else quoted.
std::string SubscriptText(std::string_view subscript);

}  // namespace vorn::devserver
