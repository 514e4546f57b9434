#include "platform/layoutids.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "text/textutil.h"

namespace ks {
namespace {

struct Entry {
  const char* id;
  const char* layout;
  const char* variant;
};

// The first entry of an identifier is the layout it activates; later entries only name more
// XKB layouts that answer with it.
constexpr Entry kTable[] = {
    {"00000409", "us", ""},         {"00020409", "us", "intl"},     {"00010409", "us", "dvorak"},
    {"00030409", "us", "dvorak-l"}, {"00040409", "us", "dvorak-r"}, {"A0000409", "us", "colemak"},
    {"00000809", "gb", ""},         {"00001809", "ie", ""},         {"00000407", "de", ""},
    {"00000407", "at", ""},         {"00000807", "ch", ""},         {"0000100C", "ch", "fr"},
    {"0000040C", "fr", ""},         {"0000080C", "be", ""},         {"00000C0C", "ca", ""},
    {"00000410", "it", ""},         {"0000040A", "es", ""},         {"0000080A", "latam", ""},
    {"00000816", "pt", ""},         {"00000416", "br", ""},         {"00000413", "nl", ""},
    {"00000406", "dk", ""},         {"0000041D", "se", ""},         {"0000040B", "fi", ""},
    {"00000414", "no", ""},         {"0000040F", "is", ""},         {"00000415", "pl", ""},
    {"00000405", "cz", ""},         {"0000041B", "sk", ""},         {"0000040E", "hu", ""},
    {"00000424", "si", ""},         {"0000041A", "hr", ""},         {"00000418", "ro", ""},
    {"00000408", "gr", ""},         {"0000041F", "tr", ""},         {"00000419", "ru", ""},
    {"00000422", "ua", ""},         {"00000402", "bg", ""},         {"00000425", "ee", ""},
    {"00000426", "lv", ""},         {"00000427", "lt", ""},         {"0000040D", "il", ""},
    {"00000401", "ara", ""},
};

}  // namespace

bool xkbLayoutForId(std::string_view layoutId, XkbLayoutName& out) {
  for (const Entry& e : kTable) {
    if (sameText(e.id, layoutId)) {
      out = {e.layout, e.variant};
      return true;
    }
  }
  return false;
}

std::string layoutIdForXkb(std::string_view layout, std::string_view variant) {
  const char* basic = nullptr;
  for (const Entry& e : kTable) {
    if (layout != e.layout) continue;
    if (variant == e.variant) return e.id;
    if (!basic && *e.variant == '\0') basic = e.id;
  }
  return basic ? basic : "";
}

bool xkbLayoutForDescription(std::string_view description, std::string_view rulesList,
                             XkbLayoutName& out) {
  // Lines of "! layout": "  de   German"; of "! variant": "  nodeadkeys   de: German (...)".
  std::string_view section;
  size_t start = 0;
  while (start < rulesList.size()) {
    size_t end = rulesList.find('\n', start);
    if (end == std::string_view::npos) end = rulesList.size();
    std::string_view line = rulesList.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.rfind("! ", 0) == 0) {
      section = line.substr(2);
      continue;
    }
    if (section != "layout" && section != "variant") continue;
    const size_t nameStart = line.find_first_not_of(' ');
    if (nameStart == std::string_view::npos) continue;
    const size_t nameEnd = line.find(' ', nameStart);
    if (nameEnd == std::string_view::npos) continue;
    const size_t textStart = line.find_first_not_of(' ', nameEnd);
    if (textStart == std::string_view::npos) continue;
    std::string_view name = line.substr(nameStart, nameEnd - nameStart);
    std::string_view text = line.substr(textStart);
    if (section == "layout") {
      if (text != description) continue;
      out = {std::string(name), ""};
      return true;
    }
    const size_t colon = text.find(": ");
    if (colon == std::string_view::npos || text.substr(colon + 2) != description) continue;
    out = {std::string(text.substr(0, colon)), std::string(name)};
    return true;
  }
  return false;
}

bool xkbLayoutForDescription(std::string_view description, XkbLayoutName& out) {
  static const std::string list = [] {
    const char* root = std::getenv("XKB_CONFIG_ROOT");
    std::ifstream in(std::string(root && *root ? root : "/usr/share/X11/xkb") + "/rules/evdev.lst",
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  return xkbLayoutForDescription(description, list, out);
}

std::string layoutLanguage(std::string_view layoutId) {
  if (layoutId.size() < 4) return upperCase(layoutId);
  return upperCase(layoutId.substr(layoutId.size() - 4));
}

}  // namespace ks
