// Text helpers of the development server: case, splitting, trimming. Byte-wise and ASCII only,
// as M compares its strings; no locale takes part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn::devserver {

// ASCII letters in upper case; every other byte as it is.
std::string Upper(std::string_view text);

// Every piece between the delimiters, empty ones included: "a^^b" gives "a", "", "b"; an
// empty text gives one empty piece.
std::vector<std::string> SplitText(std::string_view text, char delimiter);

// The non-empty runs between any of `separators`: "DEC 6, 2026" with " ," gives "DEC", "6",
// "2026".
std::vector<std::string> Words(std::string_view text, std::string_view separators = " \t\n\v\f\r");

// The text without the `blanks` at either end.
std::string_view Trimmed(std::string_view text, std::string_view blanks = " ");

// A decimal digit.
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One or more decimal digits and nothing else.
bool AllDigits(std::string_view text);

}  // namespace vorn::devserver
