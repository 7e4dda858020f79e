#include "devserver/m/m_screen_number.h"

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

constexpr int kDigits = 18;        // significant digits of an M number
constexpr int kMaxExponent = 47;   // 1E47 and above overflow
constexpr int kMinExponent = -43;  // below 1E-43 a number is 0

// value = 0.DIGITS x 10^exponent, DIGITS without leading or trailing zeros ("" for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

Decimal Read(std::string_view t) {
    Decimal d;
    std::size_t i = 0;
    while (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') d.negative = !d.negative;
        ++i;
    }
    std::string all;
    long pointAt = -1;
    bool any = false;
    while (i < t.size() && IsDigit(t[i])) {
        all += t[i++];
        any = true;
    }
    pointAt = static_cast<long>(all.size());
    if (i < t.size() && t[i] == '.' && i + 1 < t.size() && IsDigit(t[i + 1])) {
        ++i;
        while (i < t.size() && IsDigit(t[i])) {
            all += t[i++];
            any = true;
        }
    }
    if (!any) return {};
    long exponent = 0;
    if (i + 1 < t.size() && t[i] == 'E') {
        std::size_t j = i + 1;
        bool minus = false;
        if (t[j] == '+' || t[j] == '-') minus = t[j++] == '-';
        if (j < t.size() && IsDigit(t[j])) {
            while (j < t.size() && IsDigit(t[j])) {
                if (exponent < 100000) exponent = exponent * 10 + (t[j] - '0');
                ++j;
            }
            if (minus) exponent = -exponent;
        }
    }
    std::size_t lead = 0;
    while (lead < all.size() && all[lead] == '0')
        ++lead;
    if (lead == all.size()) return {};
    d.digits = all.substr(lead);
    d.exponent = pointAt - static_cast<long>(lead) + exponent;
    return d;
}

// Rounds to kDigits significant digits (half away from zero) and drops trailing zeros.
void Round(Decimal& d) {
    if (d.digits.size() > static_cast<std::size_t>(kDigits)) {
        const bool up = d.digits[kDigits] >= '5';
        d.digits.resize(kDigits);
        if (up) {
            int i = kDigits - 1;
            while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
                d.digits[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                d.digits.insert(d.digits.begin(), '1');
                d.digits.pop_back();
                ++d.exponent;
            } else {
                ++d.digits[static_cast<std::size_t>(i)];
            }
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

std::string Canonic(Decimal d) {
    Round(d);
    if (d.digits.empty() || d.exponent <= kMinExponent) return "0";
    if (d.exponent > kMaxExponent) throw MRuntimeError("<NUMOFLOW>");
    std::string out = d.negative ? "-" : "";
    const long n = static_cast<long>(d.digits.size());
    if (d.exponent <= 0) {
        out += '.';
        out.append(static_cast<std::size_t>(-d.exponent), '0');
        out += d.digits;
    } else if (d.exponent >= n) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.exponent - n), '0');
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(d.exponent));
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(d.exponent));
    }
    return out;
}

long double Binary(std::string_view text) {
    const std::string canonic = NumericInterpretation(text);
    return std::strtold(canonic.c_str(), nullptr);
}

std::string FromBinary(long double v) {
    if (!std::isfinite(v)) throw MRuntimeError("<NUMOFLOW>");
    if (v == 0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*LE", kDigits - 1, v);
    return NumericInterpretation(buffer);
}

}  // namespace

std::string NumericInterpretation(std::string_view text) {
    return Canonic(Read(text));
}

bool TruthValue(std::string_view text) {
    return NumericInterpretation(text) != "0";
}

long IntegerInterpretation(std::string_view text) {
    const long double v = std::trunc(Binary(text));
    constexpr long double kLimit = 2147483648.0L;
    if (v > kLimit) return static_cast<long>(kLimit);
    if (v < -kLimit) return -static_cast<long>(kLimit);
    return static_cast<long>(v);
}

std::string Arithmetic(ArithmeticOp op, std::string_view a, std::string_view b) {
    const long double x = Binary(a), y = Binary(b);
    switch (op) {
        case ArithmeticOp::Add:
            return FromBinary(x + y);
        case ArithmeticOp::Subtract:
            return FromBinary(x - y);
        case ArithmeticOp::Multiply:
            return FromBinary(x * y);
        case ArithmeticOp::Divide:
            if (y == 0) throw MRuntimeError("<DIVIDE>");
            return FromBinary(x / y);
        case ArithmeticOp::IntegerDivide:
            if (y == 0) throw MRuntimeError("<DIVIDE>");
            // The quotient as M has it (rounded to its digits) before the cut: 1\.01 is 100
            // although .01 has no exact binary form.
            return FromBinary(std::trunc(Binary(FromBinary(x / y))));
        case ArithmeticOp::Modulo: {
            // M's # takes the sign of the divisor: -7#3 is 2, 7#-3 is -2. M computes in
            // decimal: 1#.01 is 0, so a remainder that is only binary rounding is none.
            if (y == 0) throw MRuntimeError("<DIVIDE>");
            const long double q = std::floor(Binary(FromBinary(x / y)));
            long double r = x - q * y;
            const long double scale = std::max(std::fabs(x), std::fabs(q * y));
            if (std::fabs(r) <= scale * 1e-17L) r = 0;
            if (r != 0 && ((r < 0) != (y < 0))) r += y;
            return FromBinary(r);
        }
    }
    return "0";
}

std::string Negate(std::string_view text) {
    Decimal d = Read(text);
    d.negative = !d.negative;
    return Canonic(d);
}

int CompareNumbers(std::string_view a, std::string_view b) {
    const long double x = Binary(a), y = Binary(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace vorn::devserver
