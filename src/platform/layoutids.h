// Windows-style keyboard layout identifiers ("00000409") and the XKB layouts that stand for them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The XKB layout that a layout's English description names, as keymaps carry it ("German" ->
// de, "German (no dead keys)" -> de(nodeadkeys)): from the layout and variant list of the XKB
// rules, `rulesList` (the text of rules/evdev.lst), or the system's list when not given. False
// when the list names no such layout.
bool xkbLayoutForDescription(std::string_view description, XkbLayoutName& out);
bool xkbLayoutForDescription(std::string_view description, std::string_view rulesList,
                             XkbLayoutName& out);

// The language of an identifier: its low 16 bits ("00020409" -> "0409"), upper case.
std::string layoutLanguage(std::string_view layoutId);

}  // namespace ks
