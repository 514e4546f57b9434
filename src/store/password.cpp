#include "store/password.h"

#include <openssl/evp.h>

#include <vector>

#include "platform/dynlib.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr std::string_view kScheme = "PBKDF2-SHA256$";
// About a fifth of a second on a school computer of today: nothing for one login, years for
// trying a dictionary against a stolen file. Stored with each digest, so it can grow.
constexpr int kRounds = 600000;
// A digest read from a file is not allowed to stall a login for minutes.
constexpr int kMostRounds = 20000000;
constexpr size_t kSaltBytes = 16;
constexpr size_t kKeyBytes = 32;
constexpr size_t kLegacyBytes = 7;
// Each further 32 bytes of key cost the rounds once more: a digest read from a file keeps to
// sizes a digest of ours has.
constexpr size_t kMostBytes = 64;

// libcrypto is loaded with the first password: most starts never see one, and loading it with
// the program costs every start its relocations.
struct Digests {
  EVP_MD_CTX* (*ctxNew)();
  void (*ctxFree)(EVP_MD_CTX*);
  const EVP_MD* (*ripemd160)();
  const EVP_MD* (*sha256)();
  int (*init)(EVP_MD_CTX*, const EVP_MD*, ENGINE*);
  int (*update)(EVP_MD_CTX*, const void*, size_t);
  int (*final)(EVP_MD_CTX*, unsigned char*, unsigned int*);
  int (*pbkdf2)(const char*, int, const unsigned char*, int, int, const EVP_MD*, int,
                unsigned char*);
  int (*randomBytes)(unsigned char*, int);
};

// Null when the library cannot be loaded: then no digest can be made.
const Digests* digests() {
  static const Digests* api = []() -> const Digests* {
    void* lib = openLibrary("libcrypto.so.3");
    static Digests d{};
    if (lib == nullptr || !bindSymbol(lib, "EVP_MD_CTX_new", d.ctxNew) ||
        !bindSymbol(lib, "EVP_MD_CTX_free", d.ctxFree) ||
        !bindSymbol(lib, "EVP_ripemd160", d.ripemd160) ||
        !bindSymbol(lib, "EVP_sha256", d.sha256) || !bindSymbol(lib, "EVP_DigestInit_ex", d.init) ||
        !bindSymbol(lib, "EVP_DigestUpdate", d.update) ||
        !bindSymbol(lib, "EVP_DigestFinal_ex", d.final) ||
        !bindSymbol(lib, "PKCS5_PBKDF2_HMAC", d.pbkdf2) ||
        !bindSymbol(lib, "RAND_bytes", d.randomBytes))
      return nullptr;
    return &d;
  }();
  return api;
}

std::string hexOf(const unsigned char* bytes, size_t count) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < count; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 0x0F];
  }
  return hex;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool bytesOf(std::string_view hex, std::vector<unsigned char>& out) {
  if (hex.empty() || hex.size() % 2 != 0) return false;
  out.clear();
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return true;
}

bool derive(const Digests& d, std::string_view password, const std::vector<unsigned char>& salt,
            int rounds, std::vector<unsigned char>& key) {
  return d.pbkdf2(password.data(), static_cast<int>(password.size()), salt.data(),
                  static_cast<int>(salt.size()), rounds, d.sha256(), static_cast<int>(key.size()),
                  key.data()) == 1;
}

// Compares every byte whatever the first difference, so the time taken tells nothing.
bool sameBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

bool matchesSalted(std::string_view password, std::string_view stored) {
  const std::vector<std::string> parts = splitFields(stored.substr(kScheme.size()), "$");
  int32_t rounds = 0;
  std::vector<unsigned char> salt, expected;
  if (parts.size() != 3 || !tryStrToInt(parts[0], rounds) || rounds < 1 || rounds > kMostRounds ||
      !bytesOf(parts[1], salt) || !bytesOf(parts[2], expected) || salt.size() > kMostBytes ||
      expected.size() < kSaltBytes || expected.size() > kMostBytes)
    return false;
  const Digests* d = digests();
  std::vector<unsigned char> key(expected.size());
  return d != nullptr && derive(*d, password, salt, rounds, key) && sameBytes(key, expected);
}

}  // namespace

std::string PasswordDigest(std::string_view password) {
  const Digests* d = digests();
  if (d == nullptr) return {};
  std::vector<unsigned char> salt(kSaltBytes), key(kKeyBytes);
  if (d->randomBytes(salt.data(), static_cast<int>(salt.size())) != 1 ||
      !derive(*d, password, salt, kRounds, key))
    return {};
  return std::string(kScheme) + intToStr(kRounds) + "$" + hexOf(salt.data(), salt.size()) + "$" +
         hexOf(key.data(), key.size());
}

std::string LegacyPasswordDigest(std::string_view password) {
  const Digests* d = digests();
  if (d == nullptr) return {};
  EVP_MD_CTX* ctx = d->ctxNew();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const bool made = ctx != nullptr && d->init(ctx, d->ripemd160(), nullptr) == 1 &&
                    d->update(ctx, password.data(), password.size()) == 1 &&
                    d->final(ctx, digest, &length) == 1 && length >= kLegacyBytes;
  if (ctx != nullptr) d->ctxFree(ctx);
  if (!made) return {};
  return hexOf(digest, kLegacyBytes);
}

bool IsLegacyDigest(std::string_view stored) {
  return !stored.empty() && !startsWithText(stored, kScheme);
}

bool PasswordMatches(std::string_view password, std::string_view stored) {
  if (stored.empty()) return false;
  if (startsWithText(stored, kScheme)) return matchesSalted(password, stored);
  const std::string legacy = LegacyPasswordDigest(password);
  return !legacy.empty() && sameText(legacy, stored);
}

}  // namespace ks
