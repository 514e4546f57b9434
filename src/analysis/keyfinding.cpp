// Which key, finger and modifier type a character; neighbours, home keys and dead keys.
#include <string>
#include <utility>

#include "analysis/keydataext.h"
#include "store/langres.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr size_t kMaxShort = 255;
constexpr unsigned char kNoBreakSpace = 0xA0;

// Accented letters, their base letters and their accents (acute B4, circumflex 5E, grave 60,
// tilde 7E, diaeresis A8, cedilla B8), position by position.
constexpr unsigned char kAccented[] = {0xC1, 0xC2, 0xC0, 0xC3, 0xC4, 0xC9, 0xCA, 0xC8, 0xCB, 0xCD,
                                       0xCE, 0xCC, 0xCF, 0xD1, 0xD3, 0xD2, 0xD5, 0xD4, 0xD6, 0xDA,
                                       0xDB, 0xD9, 0xDC, 0xDD, 0xE1, 0xE2, 0xE0, 0xE3, 0xE4, 0xE9,
                                       0xEA, 0xE8, 0xEB, 0xED, 0xEE, 0xEC, 0xEF, 0xF1, 0xF3, 0xF4,
                                       0xF2, 0xF5, 0xF6, 0xFA, 0xFB, 0xF9, 0xFC, 0xFD, 0xFF, 0xE7};
constexpr char kBaseLetters[] = "AAAAAEEEEIIIINOOOOOUUUUYaaaaaeeeeiiiinooooouuuuyyc";
constexpr unsigned char kAccents[] = {0xB4, 0x5E, 0x60, 0x7E, 0xA8, 0xB4, 0x5E, 0x60, 0xA8, 0xB4,
                                      0x5E, 0x60, 0xA8, 0x7E, 0xB4, 0x60, 0x7E, 0x5E, 0xA8, 0xB4,
                                      0x5E, 0x60, 0xA8, 0xB4, 0xB4, 0x5E, 0x60, 0x7E, 0xA8, 0xB4,
                                      0x5E, 0x60, 0xA8, 0xB4, 0x5E, 0x60, 0xA8, 0x7E, 0xB4, 0x5E,
                                      0x60, 0x7E, 0xA8, 0xB4, 0x5E, 0x60, 0xA8, 0xB4, 0xA8, 0xB8};
static_assert(sizeof(kAccented) == 50 && sizeof(kAccents) == 50 && sizeof(kBaseLetters) == 51);

// Letters and digits of the word-character set: a-z, A-Z, 0-9 and the Western European letters.
bool isWordLetter(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:  // Š Œ Ž š œ ž Ÿ
      return true;
    case 0xD7:
    case 0xF7:  // × ÷
      return false;
    default:
      return c >= 0xC0;
  }
}

bool isSingleVisible(const std::string& caption) {
  return caption.size() == 1 && caption[0] != '\0' &&
         static_cast<unsigned char>(caption[0]) != kNoBreakSpace;
}

// The state a character is typed in on its key: 1 when it is the key's Shift character.
int typingState(const TKeyInfoExt& key, char c) {
  return key.Chars[1] == std::string(1, c) ? 1 : 0;
}

}  // namespace

FoundKey TKeyDataExt::findKey(std::string_view s) {
  ExtraModifier = nullptr;
  FoundKey r;
  if (s.empty()) return r;
  const auto byHand = [this](const TKeyInfoExt& key) {
    return key.Finger < 5 && FingerGuide;  // left hand: the right-hand modifier
  };
  for (const auto& owned : Keys) {
    TKeyInfoExt& key = *owned;
    const std::string& slot0 = key.Chars[0];
    if (slot0.find('|', 1) != std::string::npos) {
      size_t start = 0;
      for (;;) {
        const size_t bar = slot0.find('|', start);
        if (slot0.compare(start, bar - start, s) == 0) {
          r.key = &key;
          return r;
        }
        if (bar == std::string::npos) break;
        start = bar + 1;
      }
    } else if (slot0 == s) {
      r.key = &key;
      return r;
    } else if (key.Chars[1] == s) {
      r.key = &key;
      r.modifier = byHand(key) ? RightModifiers[1] : LeftModifiers[1];
      return r;
    }
  }
  for (const auto& owned : Keys) {
    TKeyInfoExt& key = *owned;
    for (int n = 2; n < kKeySlots; ++n) {
      if (key.Chars[n] != s) continue;
      int m = n;
      if (KeybowlLayout && n > 9) {
        ExtraModifier = LeftModifiers[10];
        m = n - 9;
      }
      r.key = &key;
      if (n == kKeySlots - 1) {
        r.modifier = RightModifiers[kAltGrModifier];
        r.modifier2 = LeftModifiers[1];
      } else if (byHand(key)) {
        r.modifier = RightModifiers[m] ? RightModifiers[m] : LeftModifiers[m];
      } else {
        r.modifier = LeftModifiers[m] ? LeftModifiers[m] : RightModifiers[m];
      }
      return r;
    }
  }
  return r;
}

std::string TKeyDataExt::getBaseChar(std::string_view s) {
  const FoundKey f = findKey(s);
  return f.key ? f.key->Chars[0] : std::string();
}

int TKeyDataExt::getFinger(char c) {
  const FoundKey f = findKey(std::string_view(&c, 1));
  return f.key ? f.key->Finger : 0;
}

int TKeyDataExt::getModifierFinger(char c) {
  const FoundKey f = findKey(std::string_view(&c, 1));
  return f.modifier ? f.modifier->Finger : 0;
}

uint16_t TKeyDataExt::getFingerMask(std::string_view s) {
  uint16_t mask = 0;
  const auto add = [&mask](const TKeyInfoExt* k) {
    if (k && k->Finger >= 1 && k->Finger <= 10) mask |= static_cast<uint16_t>(1u << k->Finger);
  };
  for (char c : s) {
    const FoundKey f = findKey(std::string_view(&c, 1));
    add(f.key);
    add(f.modifier);
    add(f.modifier2);
  }
  return mask;
}

char TKeyDataExt::mapKeypadDecimal(std::string_view s) {
  if (s.empty()) return '\0';
  if (CommaDot == 1 && (s == "." || s == ",")) {
    const FoundKey f = findKey(s);
    if (f.key && !f.key->Chars[0].empty()) return f.key->Chars[0][0];
  }
  return s[0];
}

bool TKeyDataExt::isHomeRowChar(char c) const {
  const unsigned char up = upperChar(static_cast<unsigned char>(c));
  for (char h : HomeRow)
    if (upperChar(static_cast<unsigned char>(h)) == up) return true;
  return false;
}

char TKeyDataExt::getHomeKey(char c) {
  if (HomeRow.empty()) return '\0';
  if (isHomeRowChar(c)) return c;
  for (char k : getSameFingerKeys(c))
    if (isHomeRowChar(k)) return k;
  return '\0';
}

std::string TKeyDataExt::fingerKeys(int finger, char c, const TKeyInfoExt& typing) const {
  const int state = typingState(typing, c);
  std::string out;
  for (const auto& key : Keys) {
    if (key->Finger != finger) continue;
    const std::string caption = getKeyCaption(*key, state);
    if (caption == std::string(1, c) || !isSingleVisible(caption)) continue;
    if (out.size() < kMaxShort) out += caption;
  }
  return out;
}

std::string TKeyDataExt::getSameFingerKeys(char c) {
  const FoundKey f = findKey(std::string_view(&c, 1));
  return f.key ? fingerKeys(f.key->Finger, c, *f.key) : std::string();
}

std::string TKeyDataExt::getSameFingerLetters(char c) {
  std::string out;
  for (char k : getSameFingerKeys(c)) {
    if (isWordLetter(static_cast<unsigned char>(k)) || k == '.' || k == ',' || k == '\'') out += k;
  }
  return out;
}

std::string TKeyDataExt::getMirrorFingerKeys(char c) {
  const FoundKey f = findKey(std::string_view(&c, 1));
  if (!f.key || f.key->Finger < 1 || f.key->Finger > 8) return "";
  return fingerKeys(9 - f.key->Finger, c, *f.key);
}

std::string TKeyDataExt::getSameRowKeys(char c) {
  const FoundKey f = findKey(std::string_view(&c, 1));
  if (!f.key) return "";
  const int state = typingState(*f.key, c);
  std::string out;
  for (const TKeyInfoExt* n : {f.key->LeftNeighbour, f.key->RightNeighbour}) {
    if (!n) continue;
    const std::string caption = getKeyCaption(*n, state);
    if (isSingleVisible(caption)) out += caption;
  }
  return out;
}

std::string TKeyDataExt::getFingerName(int finger) const {
  if (!FingerGuide) return "";
  if (finger >= 1 && finger <= 8) return Localize().GetString(153 + finger);
  if (finger == 9 || finger == 10) return Localize().GetString(162);
  return "-";
}

std::string TKeyDataExt::getKeyCaption(const TKeyInfoExt& key, int state) const {
  if (state < 0 || state >= kKeySlots) return "";
  const std::string& slot = key.Chars[static_cast<size_t>(state)];
  if (slot == "\t") return Localize().GetString(163);
  if (slot == "\r") return Localize().GetString(164);
  if (slot == "\b") return Localize().GetString(165);
  if (slot == " ") return Localize().GetString(166);
  const size_t bar = slot.find('|', 1);
  std::string caption = bar == std::string::npos ? slot : slot.substr(0, bar);
  // The names on modifier caps are the layout file's English ones; the learner reads them in
  // the program's language when it has them.
  if (key.Kind == KeyKind::ControlKey || key.Kind == KeyKind::CapsLockKey) {
    static constexpr std::pair<const char*, int> kNamed[] = {
        {"Ctrl", 2752}, {"Caps Lock", 2753}, {"Alt", 2754}, {"AltGr", 2755}};
    for (const auto& [name, id] : kNamed) {
      if (!sameText(caption, name)) continue;
      const std::string local = Localize().GetString(id);
      if (!local.empty() && local != Localize().GetString(-1)) caption = local;
    }
  }
  return caption;
}

DeadKey TKeyDataExt::findDeadKey(char c) {
  DeadKey r;
  for (size_t i = 0; i < sizeof(kAccented); ++i) {
    if (kAccented[i] != static_cast<unsigned char>(c)) continue;
    const char accent = static_cast<char>(kAccents[i]);
    r.accent = findKey(std::string_view(&accent, 1));
    // Without a key for the accent there is nothing to show, not even the letter.
    if (r.accent.key) r.base = kBaseLetters[i];
    break;
  }
  return r;
}

}  // namespace ks
