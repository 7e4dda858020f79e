// Fields inside an M string: "a^b^c" holds three pieces separated by "^" (sometimes ";" or
// ","), addressed from 1. Plain C++, for the development server; the client's QString form is
// broker/pieces.h.
#pragma once

#include <string>
#include <string_view>

#pragma GCC visibility push(default)
namespace vorn::mstring {

// The n-th piece (from 1): empty when there are fewer pieces or n < 1; the whole text when it
// holds no delimiter and n is 1.
std::string Piece(std::string_view text, char delimiter, int n);
// The text with piece n replaced by `value`, adding empty pieces when the text has fewer.
std::string SetPiece(std::string_view text, char delimiter, int n, std::string_view value);

}  // namespace vorn::mstring

#pragma GCC visibility pop
