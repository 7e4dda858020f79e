// Counted-field encodings of the broker wire protocol, shared by the client and the
// development server. Plain C++ so that the server needs no Qt.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#pragma GCC visibility push(default)
namespace vorn::wire {

// Thrown when a text does not fit the counted field it is to be sent in. Silently truncating
// the count would desynchronise the peer's reader, so the caller gets to refuse the message.
class FieldTooLong : public std::length_error {
  public:
    FieldTooLong(std::size_t length, std::size_t limit);
    std::size_t length() const { return length_; }
    std::size_t limit() const { return limit_; }

  private:
    std::size_t length_;
    std::size_t limit_;
};

// The largest text a field of `digits` decimal digits can count (999 for 3, 99999 for 5).
std::size_t PadCountLimit(int digits);

// The decimal `length`, zero-padded to exactly `digits` digits.
std::string CountDigits(std::size_t length, int digits);

// Decimal length, zero-padded to exactly `digits` digits, followed by the text.
std::string PadCount(std::string_view text, int digits);

// "|", one length byte, the text; the empty text travels as "0".
std::string ByteCount(std::string_view text);
constexpr std::size_t kByteCountLimit = 255;

// Start of every message the client sends.
inline constexpr std::string_view kMessagePrefix = "{XWB}";
// Ends every reply.
inline constexpr char kEndOfReply = '\x04';
// First byte of a reply that reports an M error.
inline constexpr char kServerError = '\x18';
// Stands for an empty list value on the wire.
inline constexpr char kEmptyListValue = '\x01';

}  // namespace vorn::wire

#pragma GCC visibility pop
