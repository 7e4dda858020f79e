#include "devserver/m/collation.h"

#include <stdexcept>

#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

constexpr char kNegative = '\x10';
constexpr char kZero = '\x20';
constexpr char kPositive = '\x30';
constexpr char kString = '\x40';
constexpr char kEscape = '\x01';
constexpr char kEnd = '\x00';
// Ends a negative number: above every inverted digit, below kAfterChildren.
constexpr char kNegativeEnd = '\xFE';

[[noreturn]] void Bad(const char* what) {
    throw std::invalid_argument(std::string("store key: ") + what);
}

}  // namespace

namespace {

// M keeps 18 significant digits, from 1E-43 up to below 1E47: a text that would lose digits or
// leave that range as a number is not one M reads back as itself, so it stays a string (GT.M
// collates "1234567890123456789" among the strings).
bool WithinMNumbers(std::string_view whole, std::string_view fraction) {
    if (whole.size() > 47) return false;
    // The digits of whole and fraction as one run, without joining them.
    const std::size_t n = whole.size() + fraction.size();
    auto at = [&](std::size_t i) {
        return i < whole.size() ? whole[i] : fraction[i - whole.size()];
    };
    std::size_t first = 0;
    while (first < n && at(first) == '0')
        ++first;
    if (first == n) return true;
    if (whole.empty() && first + 1 > 43) return false;
    std::size_t last = n - 1;
    while (at(last) == '0')
        --last;
    return last - first + 1 <= 18;
}

}  // namespace

bool IsCanonicNumber(std::string_view t) {
    if (t == "0") return true;
    if (!t.empty() && t.front() == '-') t.remove_prefix(1);
    if (t.empty()) return false;
    const auto point = t.find('.');
    const std::string_view whole = t.substr(0, point);
    for (char c : whole)
        if (!IsDigit(c)) return false;
    if (!whole.empty() && whole.front() == '0') return false;
    if (point == std::string_view::npos) return !whole.empty() && WithinMNumbers(whole, {});
    const std::string_view fraction = t.substr(point + 1);
    if (fraction.empty() || fraction.back() == '0') return false;
    for (char c : fraction)
        if (!IsDigit(c)) return false;
    return WithinMNumbers(whole, fraction);
}

std::string CanonicNumber(std::string_view t) {
    // Most texts asked about (field and file numbers) are canonic already.
    if (IsCanonicNumber(t)) return std::string(t);
    bool negative = false;
    std::size_t i = 0;
    while (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') negative = !negative;
        ++i;
    }
    std::string whole, fraction;
    while (i < t.size() && IsDigit(t[i]))
        whole += t[i++];
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            fraction += t[i++];
    }
    std::size_t lead = 0;
    while (lead < whole.size() && whole[lead] == '0')
        ++lead;
    whole.erase(0, lead);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (whole.empty() && fraction.empty()) return "0";
    std::string out = negative ? "-" : "";
    out += whole;
    if (!fraction.empty()) out += "." + fraction;
    return out;
}

void AppendEncoded(std::string& key, std::string_view s) {
    if (s.empty()) throw std::invalid_argument("store key: empty subscript");
    if (IsCanonicNumber(s)) {
        if (s == "0") {
            key += kZero;
            return;
        }
        // The significant digits straight from the canonic text (see Split): the whole part's
        // digits and the fraction's, leading zeros of a fraction alone dropped; a canonic
        // number has no other zeros at either end.
        const bool negative = s.front() == '-';
        if (negative) s.remove_prefix(1);
        const auto point = s.find('.');
        std::string_view whole = s.substr(0, point);
        std::string_view fraction =
            point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
        int exponent = static_cast<int>(whole.size());
        if (whole.empty()) {
            std::size_t zeros = 0;
            while (zeros < fraction.size() && fraction[zeros] == '0')
                ++zeros;
            exponent = -static_cast<int>(zeros);
            fraction.remove_prefix(zeros);
        } else if (fraction.empty()) {
            while (!whole.empty() && whole.back() == '0')
                whole.remove_suffix(1);
        }
        const std::size_t at = key.size();
        key.resize(at + 4 + whole.size() + fraction.size());
        char* out = key.data() + at;
        const unsigned e =
            static_cast<unsigned>(negative ? 0x7FFF - exponent : exponent + 0x8000) & 0xFFFFu;
        *out++ = negative ? kNegative : kPositive;
        *out++ = static_cast<char>(e >> 8);
        *out++ = static_cast<char>(e & 0xFF);
        for (std::string_view part : {whole, fraction})
            for (char c : part)
                *out++ = negative ? static_cast<char>('9' - (c - '0')) : c;
        *out = negative ? kNegativeEnd : kEnd;
        return;
    }
    key += kString;
    // Runs without a byte to escape go in whole.
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c != '\0' && c != kEscape) continue;
        key.append(s.data() + from, i - from);
        key += kEscape;
        key += c == '\0' ? '\x01' : '\x02';
        from = i + 1;
    }
    key.append(s.data() + from, s.size() - from);
    key += kEnd;
}

std::string EncodeKey(const Subscripts& subscripts) {
    std::string key;
    for (const auto& s : subscripts)
        AppendEncoded(key, s);
    return key;
}

namespace {

// A number from the significant digits of its key (inverted for a negative number) and its
// decimal exponent: value = 0.DIGITS x 10^exponent.
std::string JoinDigits(bool negative, std::string_view digits, int exponent) {
    auto digit = [&](std::size_t i) {
        return negative ? static_cast<char>('9' - (digits[i] - '0')) : digits[i];
    };
    const std::size_t n = digits.size();
    const std::size_t whole = exponent > 0 ? static_cast<std::size_t>(exponent) : 0;
    std::string out;
    out.reserve(n + whole + (exponent < 0 ? static_cast<std::size_t>(-exponent) : 0) + 2);
    if (negative) out += '-';
    if (exponent <= 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-exponent), '0');
        for (std::size_t i = 0; i < n; ++i)
            out += digit(i);
    } else {
        for (std::size_t i = 0; i < n && i < whole; ++i)
            out += digit(i);
        if (whole >= n) {
            out.append(whole - n, '0');
        } else {
            out += '.';
            for (std::size_t i = whole; i < n; ++i)
                out += digit(i);
        }
    }
    return out;
}

}  // namespace

std::string DecodeOne(std::string_view key, std::size_t& pos) {
    if (pos >= key.size()) Bad("truncated");
    const char tag = key[pos++];
    auto exponent = [&](int bias, bool invert) {
        if (pos + 2 > key.size()) Bad("truncated exponent");
        const int raw =
            (static_cast<unsigned char>(key[pos]) << 8) | static_cast<unsigned char>(key[pos + 1]);
        pos += 2;
        return invert ? 0x7FFF - raw : raw - bias;
    };
    switch (tag) {
        case kZero:
            return "0";
        case kPositive:
        case kNegative: {
            const bool negative = tag == kNegative;
            const int e = negative ? exponent(0, true) : exponent(0x8000, false);
            const char end = negative ? kNegativeEnd : kEnd;
            const std::size_t from = pos;
            while (pos < key.size() && key[pos] != end) {
                if (!IsDigit(key[pos])) Bad("digit expected");
                ++pos;
            }
            if (pos >= key.size() || pos == from) Bad("unterminated number");
            const std::string_view digits = key.substr(from, pos - from);
            ++pos;
            return JoinDigits(negative, digits, e);
        }
        case kString: {
            std::string out;
            std::size_t from = pos;
            while (pos < key.size() && key[pos] != kEnd) {
                if (key[pos] == kEscape) {
                    if (pos + 1 >= key.size()) Bad("truncated escape");
                    out.append(key.data() + from, pos - from);
                    out += key[pos + 1] == '\x01' ? '\0' : kEscape;
                    pos += 2;
                    from = pos;
                } else {
                    ++pos;
                }
            }
            if (pos >= key.size()) Bad("unterminated string");
            out.append(key.data() + from, pos - from);
            ++pos;
            return out;
        }
        default:
            Bad("unknown subscript tag");
    }
}

Subscripts DecodeKey(std::string_view key) {
    Subscripts out;
    std::size_t pos = 0;
    while (pos < key.size())
        out.push_back(DecodeOne(key, pos));
    return out;
}

int CompareSubscripts(std::string_view a, std::string_view b) {
    std::string ka, kb;
    AppendEncoded(ka, a);
    AppendEncoded(kb, b);
    return ka.compare(kb);
}

}  // namespace vorn::devserver
