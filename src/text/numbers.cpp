#include "text/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "text/textutil.h"

namespace ks {
namespace {

// Parses the magnitude and sign; `hexWraps` receives whether hex notation was used.
bool parseInteger(std::string_view text, bool& negative, uint64_t& magnitude, bool& hex) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return false;
  uint64_t value = 0;
  const uint64_t limit = std::numeric_limits<uint64_t>::max();
  for (; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    unsigned base = hex ? 16 : 10;
    if (value > (limit - digit) / base) return false;
    value = value * base + digit;
  }
  magnitude = value;
  return true;
}

}  // namespace

bool tryStrToInt(std::string_view text, int32_t& out) {
  bool negative, hex;
  uint64_t magnitude;
  if (!parseInteger(text, negative, magnitude, hex)) return false;
  int64_t value;
  if (hex && magnitude <= 0xFFFFFFFFull) {
    value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    if (negative) value = -value;
  } else {
    if (magnitude > 0x80000000ull) return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  }
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return false;
  out = static_cast<int32_t>(value);
  return true;
}

bool tryStrToInt64(std::string_view text, int64_t& out) {
  bool negative, hex;
  uint64_t magnitude;
  if (!parseInteger(text, negative, magnitude, hex)) return false;
  if (hex) {
    int64_t v = static_cast<int64_t>(magnitude);
    out = negative ? static_cast<int64_t>(0ull - magnitude) : v;
    return true;
  }
  if (negative) {
    if (magnitude > 0x8000000000000000ull) return false;
    out = static_cast<int64_t>(0ull - magnitude);
  } else {
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return false;
    out = static_cast<int64_t>(magnitude);
  }
  return true;
}

int32_t strToIntDef(std::string_view text, int32_t fallback) {
  int32_t v;
  return tryStrToInt(text, v) ? v : fallback;
}

bool tryStrToFloat(std::string_view text, double& out) {
  text = trim(text);
  if (text.empty()) return false;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Only digits, one ".", and an exponent: from_chars would also take "inf" and "nan".
  bool digits = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') {
      return false;
    }
  }
  if (!digits || text[0] == 'e' || text[0] == 'E' || text[0] == '+' || text[0] == '-') return false;
  double value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return false;
  out = negative ? -value : value;
  return true;
}

std::string intToStr(int64_t value) {
  return std::to_string(value);
}

std::string floatToStr(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string s(buf);
  size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exp = s.substr(e + 1);
  bool neg = exp[0] == '-';
  size_t firstDigit = exp.find_first_not_of("+-0");
  std::string digits = firstDigit == std::string::npos ? "0" : exp.substr(firstDigit);
  return mantissa + "E" + (neg ? "-" : "") + digits;
}

std::string floatToStrFixed(double value, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

int64_t roundHalfEven(double value) {
  // std::nearbyint follows the current rounding mode, which nobody here changes from
  // round-to-nearest-even.
  return static_cast<int64_t>(std::nearbyint(value));
}

int64_t roundHalfEvenDiv(int64_t num, int64_t den) {
  if (den < 0) {
    num = -num;
    den = -den;
  }
  int64_t q = num / den;
  int64_t r = num % den;
  if (r < 0) {  // make the remainder non-negative: q is then the floor
    r += den;
    --q;
  }
  if (2 * r > den || (2 * r == den && (q % 2) != 0)) ++q;
  return q;
}

}  // namespace ks
