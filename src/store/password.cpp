#include "store/password.h"

#include <openssl/evp.h>

#include <memory>

namespace ks {

std::string PasswordDigest(std::string_view password) {
  constexpr size_t kKeptBytes = 7;
  static const char* const kHex = "0123456789ABCDEF";
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_ripemd160(), nullptr) != 1 ||
      EVP_DigestUpdate(ctx.get(), password.data(), password.size()) != 1 ||
      EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1 || length < kKeptBytes)
    return {};
  std::string hex;
  for (size_t i = 0; i < kKeptBytes; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace ks
