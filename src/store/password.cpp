#include "store/password.h"

#include <openssl/evp.h>

#include "platform/dynlib.h"

namespace ks {
namespace {

// libcrypto is loaded with the first password: most starts never see one, and loading it with
// the program costs every start its relocations.
struct Digests {
  EVP_MD_CTX* (*ctxNew)();
  void (*ctxFree)(EVP_MD_CTX*);
  const EVP_MD* (*ripemd160)();
  int (*init)(EVP_MD_CTX*, const EVP_MD*, ENGINE*);
  int (*update)(EVP_MD_CTX*, const void*, size_t);
  int (*final)(EVP_MD_CTX*, unsigned char*, unsigned int*);
};

// Null when the library cannot be loaded: then no digest can be made.
const Digests* digests() {
  static const Digests* api = []() -> const Digests* {
    void* lib = openLibrary("libcrypto.so.3");
    static Digests d{};
    if (lib == nullptr || !bindSymbol(lib, "EVP_MD_CTX_new", d.ctxNew) ||
        !bindSymbol(lib, "EVP_MD_CTX_free", d.ctxFree) ||
        !bindSymbol(lib, "EVP_ripemd160", d.ripemd160) ||
        !bindSymbol(lib, "EVP_DigestInit_ex", d.init) ||
        !bindSymbol(lib, "EVP_DigestUpdate", d.update) ||
        !bindSymbol(lib, "EVP_DigestFinal_ex", d.final))
      return nullptr;
    return &d;
  }();
  return api;
}

}  // namespace

std::string PasswordDigest(std::string_view password) {
  constexpr size_t kKeptBytes = 7;
  static const char* const kHex = "0123456789ABCDEF";
  const Digests* d = digests();
  if (d == nullptr) return {};
  EVP_MD_CTX* ctx = d->ctxNew();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const bool made = ctx != nullptr && d->init(ctx, d->ripemd160(), nullptr) == 1 &&
                    d->update(ctx, password.data(), password.size()) == 1 &&
                    d->final(ctx, digest, &length) == 1 && length >= kKeptBytes;
  if (ctx != nullptr) d->ctxFree(ctx);
  if (!made) return {};
  std::string hex;
  for (size_t i = 0; i < kKeptBytes; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace ks
