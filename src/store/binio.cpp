#include "store/binio.h"

#include <algorithm>

#include "text/cp1252.h"

namespace ks {
namespace {

int clampMax(int maxLen) {
  return std::clamp(maxLen, 0, 255);
}

unsigned char byteAt(std::string_view bytes, size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

}  // namespace

void putInt32LE(std::string& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((u >> shift) & 0xFF);
}

void putInt16LE(std::string& out, int16_t value) {
  const auto u = static_cast<uint16_t>(value);
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>(u >> 8);
}

int32_t getInt32LE(std::string_view bytes) {
  uint32_t u = 0;
  for (size_t i = 0; i < 4; ++i) u |= static_cast<uint32_t>(byteAt(bytes, i)) << (8 * i);
  return static_cast<int32_t>(u);
}

int16_t getInt16LE(std::string_view bytes) {
  const auto u = static_cast<uint16_t>(byteAt(bytes, 0) | (byteAt(bytes, 1) << 8));
  return static_cast<int16_t>(u);
}

std::string encodeShortString(std::string_view text, int maxLen) {
  const int max = clampMax(maxLen);
  const size_t len = std::min(text.size(), static_cast<size_t>(max));
  std::string out(static_cast<size_t>(max) + 1, '\0');
  out[0] = static_cast<char>(len);
  std::copy_n(text.begin(), len, out.begin() + 1);
  return out;
}

std::string decodeShortString(std::string_view field, int maxLen) {
  if (field.empty()) return {};
  size_t len = std::min<size_t>(byteAt(field, 0), static_cast<size_t>(clampMax(maxLen)));
  len = std::min(len, field.size() - 1);
  return std::string(field.substr(1, len));
}

std::string encodeWideString(std::string_view text, int maxLen) {
  const int max = clampMax(maxLen);
  const size_t len = std::min(text.size(), static_cast<size_t>(max));
  std::string out;
  out.reserve((static_cast<size_t>(max) + 1) * 2);
  putInt16LE(out, static_cast<int16_t>(len));
  for (size_t i = 0; i < len; ++i) {
    putInt16LE(out, static_cast<int16_t>(cp1252ToUnicode(static_cast<unsigned char>(text[i]))));
  }
  out.resize((static_cast<size_t>(max) + 1) * 2, '\0');
  return out;
}

std::string decodeWideString(std::string_view field, int maxLen) {
  if (field.size() < 2) return {};
  const auto stored = static_cast<uint16_t>(getInt16LE(field));
  size_t len = std::min<size_t>(stored, static_cast<size_t>(clampMax(maxLen)));
  len = std::min(len, field.size() / 2 - 1);
  std::string out;
  out.reserve(len);
  for (size_t i = 1; i <= len; ++i) {
    const auto unit = static_cast<uint16_t>(getInt16LE(field.substr(i * 2, 2)));
    const int byte = unicodeToCp1252(unit);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

}  // namespace ks
