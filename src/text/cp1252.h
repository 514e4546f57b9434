// Windows-1252 <-> Unicode. The core keeps text as 1252 bytes; these convert at the edges.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The Unicode code point of a 1252 byte. The five bytes 1252 leaves undefined map to the C1
// control of the same value, as Windows does.
char32_t cp1252ToUnicode(unsigned char byte);

// The 1252 byte of a code point, or -1 when 1252 has none.
int unicodeToCp1252(char32_t cp);

std::string cp1252ToUtf8(std::string_view text);

// Converts UTF-8 to 1252. Characters without a 1252 code (and broken UTF-8 sequences) become
// `replacement`; `badCount`, when given, receives how many there were.
std::string utf8ToCp1252(std::string_view text, char replacement = '?', int* badCount = nullptr);

// Decodes one UTF-8 sequence at `pos`, advancing it; returns U+FFFD for a broken sequence.
char32_t decodeUtf8(std::string_view text, size_t& pos);
void appendUtf8(std::string& out, char32_t cp);

}  // namespace ks
