// Windows-style keyboard layout identifiers ("00000409") and the XKB layouts that stand for them.
#pragma once

#include <string>
#include <string_view>

namespace ks {

struct XkbLayoutName {
  std::string layout;   // "us"
  std::string variant;  // "intl", or empty for the layout's basic variant
};

// The XKB layout for an identifier (any letter case); false when the table has none.
bool xkbLayoutForId(std::string_view layoutId, XkbLayoutName& out);

// The identifier for an XKB layout and variant: the exact pair, else the layout's basic variant
// when the table knows no such variant of it; "" when the layout is unknown.
std::string layoutIdForXkb(std::string_view layout, std::string_view variant);

// The language of an identifier: its low 16 bits ("00020409" -> "0409"), upper case.
std::string layoutLanguage(std::string_view layoutId);

}  // namespace ks
