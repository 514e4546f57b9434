// Field-by-field encoding of binary records: little-endian integers and length-prefixed texts.
// Decoders never trust a stored length: it is clamped to what the field can hold, so a corrupted
// or hostile file yields a short text, never a read past the field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

void putInt32LE(std::string& out, int32_t value);
void putInt16LE(std::string& out, int16_t value);
// `bytes` must hold at least 4 (2) bytes.
int32_t getInt32LE(std::string_view bytes);
int16_t getInt16LE(std::string_view bytes);

// A text of at most `maxLen` (<= 255) characters as a field of maxLen + 1 bytes: the length byte,
// the characters, zeros after them.
std::string encodeShortString(std::string_view text, int maxLen);
// The text of such a field; the length byte is clamped to maxLen and to the bytes present.
std::string decodeShortString(std::string_view field, int maxLen);

// A text as UTF-16 units in a field of (maxLen + 1) * 2 bytes: the length unit first. The text is
// 1252; characters 1252 lacks decode as "?".
std::string encodeWideString(std::string_view text, int maxLen);
std::string decodeWideString(std::string_view field, int maxLen);

}  // namespace ks
