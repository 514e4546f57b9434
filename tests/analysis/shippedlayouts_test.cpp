// The shipped layout files against the system's XKB layout database: every character a file
// puts on a key and level is what XKB types there, nothing XKB types is missing, and every
// character the layout can type is found with keys and modifiers that type it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "analysis/layouttest.h"
#include "platform/layoutids.h"
#include "platform/x11/xkbkeymap.h"
#include "text/cp1252.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace ks {
namespace {

const std::string kData = std::string(KS_SOURCE_DIR) + "/data/";

// Scan codes of the character keys, row by row, on the two physical keyboards.
const std::vector<std::vector<int>> kAnsiRows{{41, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                                              {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 43},
                                              {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40},
                                              {44, 45, 46, 47, 48, 49, 50, 51, 52, 53}};
const std::vector<std::vector<int>> kIsoRows{{41, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                                             {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27},
                                             {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 43},
                                             {86, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53}};
// The Brazilian ABNT2 keyboard adds a key left of the right Shift (scan code 89).
const std::vector<std::vector<int>> kAbntRows{{41, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                                              {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27},
                                              {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 43},
                                              {86, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 89}};
// The fingers of touch typing, by the position of the key in its row.
const std::vector<std::vector<int>> kAnsiFingers{{1, 1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                 {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8, 8},
                                                 {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8},
                                                 {1, 2, 3, 4, 4, 5, 5, 6, 7, 8}};
const std::vector<std::vector<int>> kIsoFingers{{1, 1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                {1, 1, 2, 3, 4, 4, 5, 5, 6, 7, 8}};
const std::vector<std::vector<int>> kAbntFingers{{1, 1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                 {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                 {1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8, 8},
                                                 {1, 1, 2, 3, 4, 4, 5, 5, 6, 7, 8, 8}};
constexpr int kSpaceScan = 57;
constexpr int kWidth = 502, kHeight = 180;  // the smallest on-screen keyboard
// The slots of the four states: plain, Shift, AltGr, Shift+AltGr.
constexpr int kStateSlots[] = {0, 1, kAltGrModifier, 20};

struct Entry {
  std::string name, file, language, subLanguage;
};

std::vector<Entry> layoutList() {
  std::string bytes = test::readFile(kData + "QSKeyb.ini");
  std::vector<Entry> out;
  bool first = true;
  for (const std::string& line : splitLines(bytes)) {
    if (line.empty() || line[0] == '#') continue;
    if (first) {  // the first line is not an entry
      first = false;
      continue;
    }
    const std::vector<std::string> f = splitFields(line);
    Entry e{f.at(0), f.at(1), f.size() > 2 ? f[2] : "", f.size() > 3 ? f[3] : ""};
    out.push_back(e);
  }
  return out;
}

class ShippedLayout : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    test::setKeyMessages();
    // The installation holds the file in Windows-1252 with CR LF, as the content compiler makes it.
    int bad = 0;
    std::string text = utf8ToCp1252(test::readFile(kData + "keyboards/" + GetParam()), '?', &bad);
    ASSERT_EQ(bad, 0);
    std::string crlf;
    for (const std::string& line : splitLines(text)) crlf += line + "\r\n";
    test::writeFile(dir / GetParam(), crlf);
    ASSERT_EQ(layout.loadFromFile((dir / GetParam()).string()), 1);

    XkbLayoutName xkb;
    ASSERT_TRUE(xkbLayoutForId(layout.LayoutCode, xkb)) << layout.LayoutCode;
    keymap = XkbKeymap::fromNames(xkb.layout, xkb.variant);
    ASSERT_TRUE(keymap);
    altGr = keymap->rightAltIsAltGr();
    mapKeys();
  }

  // Rows are the character keys of one Y, in file order; their count tells the keyboard.
  void mapKeys() {
    std::map<int, std::vector<TKeyInfoExt*>> rows;
    for (auto& k : layout.Keys) {
      if (k->Kind == KeyKind::Key) rows[k->Y].push_back(k.get());
      if (k->Kind == KeyKind::SpaceKey) scanOf[k.get()] = kSpaceScan;
    }
    std::vector<size_t> sizes;
    for (auto& [y, keys] : rows) sizes.push_back(keys.size());
    iso = sizes == std::vector<size_t>{13, 12, 12, 11};
    const bool abnt = sizes == std::vector<size_t>{13, 12, 12, 12};
    ASSERT_TRUE(iso || abnt || sizes == (std::vector<size_t>{13, 13, 11, 10}))
        << "rows do not match a keyboard";
    iso = iso || abnt;
    const auto& scans = abnt ? kAbntRows : iso ? kIsoRows : kAnsiRows;
    const auto& fingers = abnt ? kAbntFingers : iso ? kIsoFingers : kAnsiFingers;
    size_t r = 0;
    for (auto& [y, keys] : rows) {
      for (size_t i = 0; i < keys.size(); ++i) {
        scanOf[keys[i]] = scans[r][i];
        EXPECT_EQ(keys[i]->Finger, fingers[r][i]) << "scan code " << scans[r][i];
      }
      ++r;
    }
  }

  XkbKeymap::Result xkbChars(int scan, int state) const {
    if (state >= 2 && !altGr) return {};
    return keymap->lookup(scan, 0, state);
  }

  // The character a dead key with `accent` is shown by when `wanted` is asked for: the accent, or
  // the apostrophe or quote of a dead acute or diaeresis.
  static std::string shownAs(const std::string& accent, const std::string& wanted) {
    if ((accent == "\xB4" && wanted == "'") || (accent == "\xA8" && wanted == "\"")) return wanted;
    return accent;
  }

  // The state a found key is typed in, from the modifiers findKey named.
  static int stateOf(const FoundKey& f) {
    int state = 0;
    for (const TKeyInfoExt* m : {f.modifier, f.modifier2}) {
      if (m && m->ModifierNumber == 1) state |= 1;
      if (m && m->ModifierNumber == kAltGrModifier) state |= 2;
    }
    return state;
  }

  TKeyDataExt layout;
  test::TempDir dir;
  std::unique_ptr<XkbKeymap> keymap;
  bool altGr = false;
  bool iso = false;
  std::map<const TKeyInfoExt*, int> scanOf;
};

TEST_P(ShippedLayout, EveryCharacterIsWhatXkbTypesAndNothingIsMissing) {
  for (const auto& [key, scan] : scanOf) {
    std::set<std::string> lower;  // what the key types in the states before
    for (int state = 0; state < 4; ++state) {
      const std::string& slot = key->Chars[static_cast<size_t>(kStateSlots[state])];
      const XkbKeymap::Result want = xkbChars(scan, state);
      SCOPED_TRACE("scan code " + std::to_string(scan) + ", state " + std::to_string(state));
      if (slot.empty()) {
        // Left out only when XKB types nothing for it, or what the key types without AltGr.
        EXPECT_TRUE(want.text.empty() || (state >= 2 && lower.count(want.text)))
            << "missing " << cp1252ToUtf8(want.text);
      } else if (want.dead && slot != want.text) {
        // A dead acute or diaeresis may be shown as the apostrophe or quote it types.
        EXPECT_TRUE((want.text == "\xB4" && slot == "'") || (want.text == "\xA8" && slot == "\""))
            << cp1252ToUtf8(slot) << " is not the dead " << cp1252ToUtf8(want.text);
      } else {
        EXPECT_EQ(cp1252ToUtf8(slot), cp1252ToUtf8(want.text));
      }
      lower.insert(want.text);
      lower.insert(slot);
    }
    for (int s = 0; s < kKeySlots; ++s) {
      if (s != 0 && s != 1 && s != kAltGrModifier && s != 20) {
        EXPECT_EQ(key->Chars[s], "") << "slot " << s;
      }
    }
  }
}

TEST_P(ShippedLayout, FindsKeysThatTypeEveryCharacter) {
  for (int c = 0x20; c <= 0xFF; ++c) {
    const std::string s(1, static_cast<char>(c));
    bool typeable = false;
    for (const auto& [key, scan] : scanOf)
      for (int state = 0; state < 4; ++state) {
        const XkbKeymap::Result r = xkbChars(scan, state);
        typeable = typeable || (!r.dead && r.text == s);
      }
    if (!typeable) continue;
    SCOPED_TRACE("character " + cp1252ToUtf8(s));
    const FoundKey f = layout.findKey(s);
    ASSERT_NE(f.key, nullptr);
    ASSERT_TRUE(scanOf.count(f.key));
    // The key typed in the state of the modifiers found gives the character, or is the dead key
    // that gives it followed by a blank.
    const XkbKeymap::Result typed = xkbChars(scanOf[f.key], stateOf(f));
    EXPECT_EQ(cp1252ToUtf8(typed.dead ? shownAs(typed.text, s) : typed.text), cp1252ToUtf8(s));
    EXPECT_NE(layout.CharacterSet.find(s), std::string::npos);
  }
}

TEST_P(ShippedLayout, FindsTheDeadKeysOfAccentedLetters) {
  // The accents the layout shows as dead keys (US international shows two by other characters).
  std::set<std::string> deadAccents;
  for (const auto& [key, scan] : scanOf)
    for (int state = 0; state < 4; ++state) {
      const XkbKeymap::Result r = xkbChars(scan, state);
      if (r.dead && !r.text.empty() &&
          key->Chars[static_cast<size_t>(kStateSlots[state])] == r.text)
        deadAccents.insert(r.text);
    }
  const std::pair<const char*, const char*> byAccent[] = {
      {"´", "ÁÉÍÓÚÝáéíóúý"}, {"^", "ÂÊÎÔÛâêîôû"},  {"`", "ÀÈÌÒÙàèìòù"},
      {"~", "ÃÑÕãñõ"},       {"¨", "ÄËÏÖÜäëïöüÿ"}, {"¸", "ç"}};
  for (const auto& [accentUtf8, letters] : byAccent) {
    const std::string accent = utf8ToCp1252(accentUtf8);
    for (char c : utf8ToCp1252(letters)) {
      SCOPED_TRACE("letter " + cp1252ToUtf8(std::string(1, c)));
      const DeadKey d = layout.findDeadKey(c);
      if (!d.accent.key) {
        EXPECT_EQ(deadAccents.count(accent), 0u) << "the layout has the dead key";
        continue;
      }
      // The key found types the accent in the state of its modifiers, and the letter has a key.
      const size_t slot = static_cast<size_t>(kStateSlots[stateOf(d.accent)]);
      EXPECT_EQ(d.accent.key->Chars[slot], accent);
      EXPECT_EQ(xkbChars(scanOf[d.accent.key], stateOf(d.accent)).text, accent);
      EXPECT_NE(layout.findKey(std::string(1, d.base)).key, nullptr);
    }
  }
}

TEST_P(ShippedLayout, DescribesAWholeKeyboard) {
  // The home row is the middle letter row without the index fingers' inner keys.
  std::string home;
  for (int scan : {30, 31, 32, 33, 36, 37, 38, 39}) home += keymap->lookup(scan, 0, 0).text;
  EXPECT_EQ(cp1252ToUtf8(layout.HomeRow), cp1252ToUtf8(home));
  for (const auto& [key, scan] : scanOf) EXPECT_EQ(key->Nub, scan == 33 || scan == 36) << scan;

  std::map<KeyKind, int> kinds;
  for (const auto& k : layout.Keys) ++kinds[k->Kind];
  EXPECT_EQ(kinds[KeyKind::TabKey], 1);
  EXPECT_EQ(kinds[KeyKind::CapsLockKey], 1);
  EXPECT_EQ(kinds[KeyKind::EnterKey], 1);
  EXPECT_EQ(kinds[KeyKind::BackspaceKey], 1);
  EXPECT_EQ(kinds[KeyKind::SpaceKey], 1);
  ASSERT_TRUE(layout.LeftModifiers[1] && layout.RightModifiers[1]);
  EXPECT_LT(layout.LeftModifiers[1]->X, layout.RightModifiers[1]->X);
  EXPECT_TRUE(layout.LeftModifiers[2] && layout.RightModifiers[2]);  // Ctrl
  EXPECT_EQ(layout.RightModifiers[kAltGrModifier] != nullptr, altGr);
  EXPECT_EQ(layout.LeftModifiers[kAltGrModifier], nullptr);

  // Inside the smallest keyboard, no key over another, and every row ends flush.
  int right = 0;
  for (const auto& a : layout.Keys) right = std::max(right, a->X + a->Width);
  for (const auto& a : layout.Keys) {
    EXPECT_GE(a->X, 0);
    EXPECT_GE(a->Y, 0);
    EXPECT_LE(a->Y + a->Height, kHeight);
    EXPECT_GT(a->Width, 20);
    EXPECT_GT(a->Height, 20);
    int rowEnd = 0;
    for (const auto& b : layout.Keys) {
      if (b->Y <= a->Y && a->Y < b->Y + b->Height) rowEnd = std::max(rowEnd, b->X + b->Width);
      if (a == b) continue;
      const bool apart = a->X + a->Width <= b->X || b->X + b->Width <= a->X ||
                         a->Y + a->Height <= b->Y || b->Y + b->Height <= a->Y;
      EXPECT_TRUE(apart) << "keys at " << a->X << "," << a->Y << " and " << b->X << "," << b->Y;
    }
    EXPECT_EQ(rowEnd, right) << "row at " << a->Y;
  }
  EXPECT_LE(right, kWidth);
}

std::vector<std::string> shippedFiles() {
  std::vector<std::string> files;
  for (const Entry& e : layoutList()) files.push_back(e.file);
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLayout, ::testing::ValuesIn(shippedFiles()),
                         [](const auto& info) {
                           std::string name = info.param.substr(0, info.param.find('.'));
                           return name;
                         });

TEST(LayoutList, NamesEveryShippedLayoutWithTheLanguageOfItsLayoutCode) {
  const std::vector<Entry> entries = layoutList();
  std::set<std::string> files;
  for (const Entry& e : entries) {
    files.insert(e.file);
    SCOPED_TRACE(e.name);
    TKeyDataExt layout;
    const std::string text = utf8ToCp1252(test::readFile(kData + "keyboards/" + e.file));
    const size_t at = text.find("layoutcode;");
    ASSERT_NE(at, std::string::npos);
    const std::string code = text.substr(at + 11, 8);
    if (e.language.empty()) continue;  // chosen only by name
    EXPECT_EQ(upperCase(e.language), code.substr(6, 2));
    EXPECT_TRUE(startsWithText(e.subLanguage, "XX") ||
                upperCase(e.subLanguage) == code.substr(3, 3));
  }
  EXPECT_EQ(files, (std::set<std::string>{"qwerty.kbd", "uk.kbd", "usint2.kbd", "dvorak.kbd",
                                          "colemak.kbd", "german.kbd", "french.kbd", "spanish.kbd",
                                          "italian.kbd", "brazil.kbd"}));
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].file, "qwerty.kbd");
  // The name the guided studying switches to.
  EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const Entry& e) {
    return e.name == "English US International" && e.file == "usint2.kbd";
  }));
}

}  // namespace
}  // namespace ks
