// Case folding and comparison by Windows-1252 rules (not the C locale), and small string helpers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

unsigned char upperChar(unsigned char c);
unsigned char lowerChar(unsigned char c);
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

// Case-insensitive equality and three-way comparison (folded to upper case).
bool sameText(std::string_view a, std::string_view b);
int compareText(std::string_view a, std::string_view b);
// Position of `needle` in `hay` ignoring case, or npos.
size_t findText(std::string_view hay, std::string_view needle);
bool startsWithText(std::string_view text, std::string_view prefix);

// Trims blanks and control characters (Delphi's Trim: everything up to ' ').
std::string_view trim(std::string_view text);
std::string_view trimLeft(std::string_view text);
std::string_view trimRight(std::string_view text);
// Trims only blanks and tabs, the rule the data formats use.
std::string_view trimBlanks(std::string_view text);

// Splits a text into lines at CR LF, lone CR or lone LF. A NUL ends the text. An empty last
// line after the final break is not a line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace ks

namespace ks {

// Comma text: items separated by commas or blanks; an item may be enclosed in double quotes, a
// doubled quote inside standing for one.
std::vector<std::string> parseCommaText(std::string_view text);
// The reverse: items holding blanks, commas or quotes are quoted.
std::string makeCommaText(const std::vector<std::string>& items);

}  // namespace ks
