// Learners' passwords are kept as a short digest, never as text.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// RIPEMD-160 over the password's (1252) bytes; the first 7 bytes of the digest as 14 upper-case
// hexadecimal digits. Empty when the digest is not available.
std::string PasswordDigest(std::string_view password);

}  // namespace ks
