// Salted, stretched hashes of access and verify codes (PBKDF2 with HMAC-SHA-256), so that the
// store never holds a code in plain text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorn::devserver {

using Digest = std::array<std::uint8_t, 32>;

Digest Sha256(std::string_view data);
Digest HmacSha256(std::string_view key, std::string_view message);
// 32 bytes of PBKDF2-HMAC-SHA-256.
std::string Pbkdf2(std::string_view password, std::string_view salt, int iterations);

// 16 random bytes from the system's entropy source.
std::string RandomSalt();
// Unguessable text: `bytes` random bytes as lower-case hex.
std::string RandomToken(std::size_t bytes);
// Compares without stopping at the first difference.
bool ConstantTimeEqual(std::string_view a, std::string_view b);
std::string ToHex(std::string_view bytes);

}  // namespace vorn::devserver
