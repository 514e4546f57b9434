#include "text/textutil.h"

namespace ks {

unsigned char upperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A:
      return 0x8A;  // š
    case 0x9C:
      return 0x8C;  // œ
    case 0x9E:
      return 0x8E;  // ž
    case 0xFF:
      return 0x9F;  // ÿ
    default:
      return c;
  }
}

unsigned char lowerChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(upperChar(static_cast<unsigned char>(c)));
  return out;
}

std::string lowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(lowerChar(static_cast<unsigned char>(c)));
  return out;
}

int compareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int ca = upperChar(static_cast<unsigned char>(a[i]));
    int cb = upperChar(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && compareText(a, b) == 0;
}

size_t findText(std::string_view hay, std::string_view needle) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
    if (sameText(hay.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

bool startsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && sameText(text.substr(0, prefix.size()), prefix);
}

std::string_view trimLeft(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  return text.substr(i);
}

std::string_view trimRight(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;
  return text.substr(0, n);
}

std::string_view trim(std::string_view text) {
  return trimRight(trimLeft(text));
}

std::string_view trimBlanks(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  return text.substr(b, e - b);
}

std::vector<std::string> splitLines(std::string_view text) {
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    ++i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace ks

namespace ks {

std::vector<std::string> parseCommaText(std::string_view text) {
  std::vector<std::string> items;
  const auto blank = [&](size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    return c >= 1 && c <= ' ';
  };
  size_t i = 0;
  while (i < text.size() && blank(i)) ++i;
  while (i < text.size() && text[i] != '\0') {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < text.size() && static_cast<unsigned char>(text[i]) > ' ' && text[i] != ',')
        item += text[i++];
    }
    items.push_back(std::move(item));
    while (i < text.size() && blank(i)) ++i;
    if (i < text.size() && text[i] == ',') {
      if (i + 1 == text.size()) items.emplace_back();
      do ++i;
      while (i < text.size() && blank(i));
    }
  }
  return items;
}

std::string makeCommaText(const std::vector<std::string>& items) {
  std::string out;
  for (size_t n = 0; n < items.size(); ++n) {
    if (n) out += ',';
    const std::string& item = items[n];
    bool quote = item.empty();
    for (char c : item) {
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
    }
    if (!quote) {
      out += item;
      continue;
    }
    out += '"';
    for (char c : item) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

}  // namespace ks
