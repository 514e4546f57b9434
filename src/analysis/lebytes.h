// Little-endian integers in byte strings, for the statistics records. Values are written field
// by field, never as struct copies, and 16-bit fields saturate instead of wrapping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks::le {

inline int16_t saturate16(int64_t v) {
  return static_cast<int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

inline void putInt16(std::string& out, int64_t value) {
  const auto u = static_cast<uint16_t>(saturate16(value));
  out.push_back(static_cast<char>(u & 0xFF));
  out.push_back(static_cast<char>(u >> 8));
}

inline void putInt32(std::string& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

// The caller has checked that the bytes are there.
inline int16_t getInt16(std::string_view bytes, size_t pos) {
  const auto lo = static_cast<unsigned char>(bytes[pos]);
  const auto hi = static_cast<unsigned char>(bytes[pos + 1]);
  return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}

inline int32_t getInt32(std::string_view bytes, size_t pos) {
  uint32_t u = 0;
  for (int k = 3; k >= 0; --k) u = (u << 8) | static_cast<unsigned char>(bytes[pos + k]);
  return static_cast<int32_t>(u);
}

}  // namespace ks::le
