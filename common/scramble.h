// Substitution of code texts with two rows of the cipher pad. The row numbers travel as the
// first and last characters (row + 32), so the peer can reverse it with Unscramble.
#pragma once

#include <string>
#include <string_view>

#pragma GCC visibility push(default)
namespace vorn {

// Scrambles with two different rows picked at random.
std::string Scramble(std::string_view text);

// Scrambles with the given rows (0..19, different); for the peer's tests and for callers that
// need a repeatable result.
std::string ScrambleWithRows(std::string_view text, int fromRow, int toRow);

// Reverses Scramble. A text shorter than two characters, or whose markers name no row or the
// same row twice, is returned empty: it cannot have come from Scramble.
std::string Unscramble(std::string_view scrambled);

}  // namespace vorn

#pragma GCC visibility pop
