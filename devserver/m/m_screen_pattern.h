// M pattern matching for the screen evaluator: X?1AP.ANP, X?1"P-".E, X?3N, X?2.5U.
// Atoms are a count (1, .3, 2.5, 3., .) followed by pattern codes (A N P U L E, in either case)
// or a quoted literal ("" for a quote). The matcher carries the set of reachable positions
// from atom to atom, so its work is the pattern's length times the string's, never the
// exponential time of a backtracking matcher.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::devserver {

struct PatternAtom {
    long min = 0;
    long max = -1;           // -1: no upper bound
    std::uint8_t codes = 0;  // PatternCode bits; 0 for a literal
    std::string literal;
};

enum PatternCode : std::uint8_t {
    kPatternA = 1,
    kPatternN = 2,
    kPatternP = 4,
    kPatternU = 8,
    kPatternL = 16,
    kPatternE = 32,
};

struct Pattern {
    std::vector<PatternAtom> atoms;
};

// What went wrong reading a pattern: `unsupported` names a construct outside the subset
// ("the pattern code C"), otherwise it is a syntax error at `column` (from 0).
struct PatternProblem {
    bool unsupported = false;
    std::string what;
    std::size_t column = 0;
};

// Reads the pattern that starts at `pos` in `code` and moves `pos` past it; the pattern ends
// at the first character that cannot begin an atom. Returns false with `problem` filled when
// the text there is no pattern of the subset.
bool ParsePattern(std::string_view code, std::size_t& pos, Pattern& pattern,
                  PatternProblem& problem);

// True when the whole of `text` matches. `charge(n)` is told the work done, in steps.
bool MatchPattern(const Pattern& pattern, std::string_view text,
                  const std::function<void(long)>& charge);

}  // namespace vorn::devserver
