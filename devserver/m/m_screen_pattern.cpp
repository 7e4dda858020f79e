#include "devserver/m/m_screen_pattern.h"

#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

constexpr long kCountLimit = 1000000;  // counts beyond this mean the same as unbounded text

std::uint8_t CodeBit(char c) {
    switch (c) {
        case 'A':
        case 'a':
            return kPatternA;
        case 'N':
        case 'n':
            return kPatternN;
        case 'P':
        case 'p':
            return kPatternP;
        case 'U':
        case 'u':
            return kPatternU;
        case 'L':
        case 'l':
            return kPatternL;
        case 'E':
        case 'e':
            return kPatternE;
        default:
            return 0;
    }
}

bool InClass(std::uint8_t codes, unsigned char c) {
    if (codes & kPatternE) return true;
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    if ((codes & kPatternU) && upper) return true;
    if ((codes & kPatternL) && lower) return true;
    if ((codes & kPatternA) && (upper || lower)) return true;
    if ((codes & kPatternN) && c >= '0' && c <= '9') return true;
    if (codes & kPatternP) {
        if ((c >= 32 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) ||
            (c >= 123 && c <= 126))
            return true;
    }
    return false;
}

long ReadCount(std::string_view code, std::size_t& pos) {
    long n = 0;
    while (pos < code.size() && IsDigit(code[pos])) {
        if (n < kCountLimit) n = n * 10 + (code[pos] - '0');
        ++pos;
    }
    return n > kCountLimit ? kCountLimit : n;
}

bool Fail(PatternProblem& problem, bool unsupported, std::string what, std::size_t column) {
    problem = {unsupported, std::move(what), column};
    return false;
}

// Positions reachable after a character-class atom, from those reachable before it.
std::vector<char> StepClass(const PatternAtom& atom, std::string_view text,
                            const std::vector<char>& reach) {
    const long n = static_cast<long>(text.size());
    std::vector<long> reachedBefore(static_cast<std::size_t>(n) + 2, 0);  // prefix sums
    for (long i = 0; i <= n; ++i)
        reachedBefore[static_cast<std::size_t>(i) + 1] =
            reachedBefore[static_cast<std::size_t>(i)] + reach[static_cast<std::size_t>(i)];
    std::vector<char> next(static_cast<std::size_t>(n) + 1, 0);
    long run = 0;  // characters of the class ending at j
    for (long j = 0; j <= n; ++j) {
        if (j > 0)
            run = InClass(atom.codes,
                          static_cast<unsigned char>(text[static_cast<std::size_t>(j - 1)]))
                      ? run + 1
                      : 0;
        const long hi = j - atom.min;
        if (hi < 0) continue;
        long lo = j - run;
        if (atom.max >= 0 && j - atom.max > lo) lo = j - atom.max;
        if (lo < 0) lo = 0;
        if (lo > hi) continue;
        if (reachedBefore[static_cast<std::size_t>(hi) + 1] -
                reachedBefore[static_cast<std::size_t>(lo)] >
            0)
            next[static_cast<std::size_t>(j)] = 1;
    }
    return next;
}

// The same for a literal atom, repeated min..max times.
std::vector<char> StepLiteral(const PatternAtom& atom, std::string_view text,
                              const std::vector<char>& reach,
                              const std::function<void(long)>& charge) {
    const std::size_t n = text.size();
    const std::size_t len = atom.literal.size();
    if (len == 0) return reach;  // any number of empty strings is the empty string
    auto matchesAt = [&](std::size_t i) {
        return i + len <= n && text.compare(i, len, atom.literal) == 0;
    };
    std::vector<char> next(n + 1, 0);
    std::vector<std::size_t> current;
    for (std::size_t i = 0; i <= n; ++i)
        if (reach[i]) current.push_back(i);
    if (atom.min == 0)
        for (std::size_t i : current)
            next[i] = 1;
    // Up to the least count every repetition has to be followed.
    long k = 0;
    while (k < atom.min && !current.empty()) {
        charge(1 + static_cast<long>(current.size()) / 64);
        std::vector<std::size_t> after;
        for (std::size_t i : current)
            if (matchesAt(i)) after.push_back(i + len);
        current.swap(after);
        ++k;
    }
    if (k < atom.min) return next;
    for (std::size_t i : current)
        next[i] = 1;
    // Beyond it a position reached with fewer repetitions is as good as one reached with more,
    // so each position is followed once.
    std::vector<char> seen = next;
    while (!current.empty() && (atom.max < 0 || k < atom.max)) {
        charge(1 + static_cast<long>(current.size()) / 64);
        std::vector<std::size_t> after;
        for (std::size_t i : current)
            if (matchesAt(i) && !seen[i + len]) {
                seen[i + len] = 1;
                next[i + len] = 1;
                after.push_back(i + len);
            }
        current.swap(after);
        ++k;
    }
    return next;
}

}  // namespace

bool ParsePattern(std::string_view code, std::size_t& pos, Pattern& pattern,
                  PatternProblem& problem) {
    pattern.atoms.clear();
    if (pos < code.size() && code[pos] == '@')
        return Fail(problem, true, "indirect patterns (?@)", pos);
    while (pos < code.size() && (IsDigit(code[pos]) || code[pos] == '.')) {
        const std::size_t start = pos;
        PatternAtom atom;
        const bool leadingDigits = IsDigit(code[pos]);
        const long first = ReadCount(code, pos);
        if (pos < code.size() && code[pos] == '.') {
            ++pos;
            atom.min = leadingDigits ? first : 0;
            atom.max = pos < code.size() && IsDigit(code[pos]) ? ReadCount(code, pos) : -1;
        } else {
            atom.min = atom.max = first;
        }
        if (atom.max >= 0 && atom.min > atom.max)
            return Fail(problem, false, "the pattern count's least is above its most", start);
        if (pos >= code.size())
            return Fail(problem, false, "a pattern code or a quoted string is expected", pos);
        const char c = code[pos];
        if (c == '"') {
            ++pos;
            for (;;) {
                if (pos >= code.size())
                    return Fail(problem, false, "the pattern's string is not closed", start);
                if (code[pos] == '"') {
                    if (pos + 1 < code.size() && code[pos + 1] == '"') {
                        atom.literal += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                atom.literal += code[pos++];
            }
        } else if (c == '(') {
            return Fail(problem, true, "pattern alternation ?(...)", pos);
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            while (pos < code.size() && ((code[pos] >= 'A' && code[pos] <= 'Z') ||
                                         (code[pos] >= 'a' && code[pos] <= 'z'))) {
                const std::uint8_t bit = CodeBit(code[pos]);
                if (!bit) {
                    const char upper = static_cast<char>(code[pos] & ~0x20);
                    if (upper == 'C') return Fail(problem, true, "the pattern code C", pos);
                    return Fail(problem, false,
                                std::string("the pattern code ") + code[pos] + " is unknown", pos);
                }
                atom.codes |= bit;
                ++pos;
            }
        } else {
            return Fail(problem, false, "a pattern code or a quoted string is expected", pos);
        }
        pattern.atoms.push_back(std::move(atom));
    }
    if (pattern.atoms.empty()) return Fail(problem, false, "a pattern is expected", pos);
    return true;
}

bool MatchPattern(const Pattern& pattern, std::string_view text,
                  const std::function<void(long)>& charge) {
    std::vector<char> reach(text.size() + 1, 0);
    reach[0] = 1;
    for (const PatternAtom& atom : pattern.atoms) {
        charge(1 + static_cast<long>(text.size()) / 64);
        reach = atom.codes ? StepClass(atom, text, reach) : StepLiteral(atom, text, reach, charge);
        bool any = false;
        for (char r : reach)
            if (r) {
                any = true;
                break;
            }
        if (!any) return false;
    }
    return reach[text.size()] != 0;
}

}  // namespace vorn::devserver
