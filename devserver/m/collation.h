// M collation of subscripts and its byte encoding for the store. Canonic numbers come first in
// numeric order, then strings in byte order. A key is the concatenation of its subscripts'
// encodings; every encoding is self-delimiting, so byte order of keys is the M order of the
// subscript lists, and the descendants of a node are exactly the keys that start with its key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn::devserver {

using Subscripts = std::vector<std::string>;

// True for the M canonic form of a number: "0", "12", "-3", ".5", "-0.25" is not ("-.25" is),
// no leading zeros, no trailing zeros after the point, no "+", no exponent.
bool IsCanonicNumber(std::string_view text);

// The M canonic form of the leading numeric part of `text`, as M's unary "+" reads it:
// "007" -> "7", "1.50abc" -> "1.5", "abc" -> "0", "-0" -> "0", "+.50" -> ".5".
std::string CanonicNumber(std::string_view text);

// Negative, zero or positive as a collates before, equal to or after b.
int CompareSubscripts(std::string_view a, std::string_view b);

// Appends the encoding of one subscript (an empty subscript is not allowed in a key).
void AppendEncoded(std::string& key, std::string_view subscript);
std::string EncodeKey(const Subscripts& subscripts);
// The subscripts of a key; throws std::invalid_argument for bytes that no key can hold.
Subscripts DecodeKey(std::string_view key);
// Decodes the subscript that starts at `pos` and moves `pos` past it.
std::string DecodeOne(std::string_view key, std::size_t& pos);

// A byte greater than every first byte of an encoded subscript: key + kAfterChildren bounds the
// range of a node's descendants from above.
inline constexpr char kAfterChildren = '\xFF';

}  // namespace vorn::devserver
