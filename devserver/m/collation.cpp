#include "devserver/m/collation.h"

#include <stdexcept>

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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Significant digits and decimal exponent of a canonic number: value = 0.DIGITS x 10^exp.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal Split(std::string_view canonic) {
    Decimal d;
    if (!canonic.empty() && canonic.front() == '-') {
        d.negative = true;
        canonic.remove_prefix(1);
    }
    const auto point = canonic.find('.');
    std::string_view whole = canonic.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : canonic.substr(point + 1);
    if (!whole.empty()) {
        d.exponent = static_cast<int>(whole.size());
        d.digits.assign(whole);
        d.digits.append(fraction);
    } else {
        std::size_t zeros = 0;
        while (zeros < fraction.size() && fraction[zeros] == '0')
            ++zeros;
        d.exponent = -static_cast<int>(zeros);
        d.digits.assign(fraction.substr(zeros));
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

std::string Join(const Decimal& d) {
    std::string out = d.negative ? "-" : "";
    if (d.exponent <= 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-d.exponent), '0');
        out += d.digits;
    } else if (static_cast<std::size_t>(d.exponent) >= d.digits.size()) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.exponent) - d.digits.size(), '0');
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(d.exponent));
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(d.exponent));
    }
    return out;
}

void AppendExponent(std::string& key, int value) {
    const unsigned v = static_cast<unsigned>(value) & 0xFFFFu;
    key += static_cast<char>(v >> 8);
    key += static_cast<char>(v & 0xFF);
}

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
    std::string digits(whole);
    digits += fraction;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return true;
    if (whole.empty() && first + 1 > 43) return false;
    const auto last = digits.find_last_not_of('0');
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
        const Decimal d = Split(s);
        if (d.negative) {
            key += kNegative;
            AppendExponent(key, 0x7FFF - d.exponent);
            for (char c : d.digits)
                key += static_cast<char>('9' - (c - '0'));
            key += kNegativeEnd;
        } else {
            key += kPositive;
            AppendExponent(key, d.exponent + 0x8000);
            key += d.digits;
            key += kEnd;
        }
        return;
    }
    key += kString;
    for (char c : s) {
        if (c == '\0') {
            key += kEscape;
            key += '\x01';
        } else if (c == kEscape) {
            key += kEscape;
            key += '\x02';
        } else {
            key += c;
        }
    }
    key += kEnd;
}

std::string EncodeKey(const Subscripts& subscripts) {
    std::string key;
    for (const auto& s : subscripts)
        AppendEncoded(key, s);
    return key;
}

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
        case kPositive: {
            Decimal d;
            d.exponent = exponent(0x8000, false);
            while (pos < key.size() && key[pos] != kEnd) {
                if (!IsDigit(key[pos])) Bad("digit expected");
                d.digits += key[pos++];
            }
            if (pos >= key.size() || d.digits.empty()) Bad("unterminated number");
            ++pos;
            return Join(d);
        }
        case kNegative: {
            Decimal d;
            d.negative = true;
            d.exponent = exponent(0, true);
            while (pos < key.size() && key[pos] != kNegativeEnd) {
                if (!IsDigit(key[pos])) Bad("digit expected");
                d.digits += static_cast<char>('9' - (key[pos++] - '0'));
            }
            if (pos >= key.size() || d.digits.empty()) Bad("unterminated number");
            ++pos;
            return Join(d);
        }
        case kString: {
            std::string out;
            while (pos < key.size() && key[pos] != kEnd) {
                if (key[pos] == kEscape) {
                    if (pos + 1 >= key.size()) Bad("truncated escape");
                    out += key[pos + 1] == '\x01' ? '\0' : kEscape;
                    pos += 2;
                } else {
                    out += key[pos++];
                }
            }
            if (pos >= key.size()) Bad("unterminated string");
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
