#include "common/counted_fields.h"

#include <string>

namespace vorn::wire {

FieldTooLong::FieldTooLong(std::size_t length, std::size_t limit)
    : std::length_error("a text of " + std::to_string(length) +
                        " bytes exceeds its counted field of " + std::to_string(limit) + " bytes"),
      length_(length),
      limit_(limit) {}

std::size_t PadCountLimit(int digits) {
    std::size_t limit = 1;
    for (int i = 0; i < digits; ++i)
        limit *= 10;
    return limit - 1;
}

std::string CountDigits(std::size_t length, int digits) {
    const std::size_t limit = PadCountLimit(digits);
    if (length > limit) throw FieldTooLong(length, limit);
    const std::string count = std::to_string(length);
    return std::string(static_cast<std::size_t>(digits) - count.size(), '0') + count;
}

std::string PadCount(std::string_view text, int digits) {
    std::string out = CountDigits(text.size(), digits);
    out += text;
    return out;
}

std::string ByteCount(std::string_view text) {
    if (text.empty()) text = "0";
    if (text.size() > kByteCountLimit) throw FieldTooLong(text.size(), kByteCountLimit);
    std::string out;
    out.reserve(text.size() + 2);
    out += '|';
    out += static_cast<char>(static_cast<unsigned char>(text.size()));
    out += text;
    return out;
}

}  // namespace vorn::wire
