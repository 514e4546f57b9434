// Learners' passwords are kept as a digest, never as text. Learner files may sit on a shared
// folder, so the digest is salted and slow to compute: one stolen file must not give the password
// away in seconds. Files written by earlier versions hold the short, unsalted digest; it is still
// accepted, and replaced at the next successful login.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// A new digest of the password's (1252) bytes: "PBKDF2-SHA256$<rounds>$<salt>$<key>", salt and key
// in upper-case hexadecimal, with a fresh random salt. Empty when no digest can be made.
std::string PasswordDigest(std::string_view password);

// The earlier digest: RIPEMD-160 over the password's bytes, the first 7 bytes of the digest as 14
// upper-case hexadecimal digits. Empty when the digest is not available.
std::string LegacyPasswordDigest(std::string_view password);

// Whether `stored` (either kind of digest) is the digest of `password`. An empty `stored` matches
// nothing.
bool PasswordMatches(std::string_view password, std::string_view stored);

// Whether `stored` is the earlier kind, to be replaced once the password is known.
bool IsLegacyDigest(std::string_view stored);

}  // namespace ks
