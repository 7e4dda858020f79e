// The cipher-pad table used to scramble codes on the wire.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#pragma GCC visibility push(default)
namespace vorn {

inline constexpr std::size_t kCipherPadRows = 20;
inline constexpr std::size_t kCipherPadWidth = 94;

extern const std::array<std::string_view, kCipherPadRows> kCipherPad;

}  // namespace vorn

#pragma GCC visibility pop
