// Recorded keys become the monitor's key words: modifiers are never reported, upper case is Shift
// xor Caps Lock, Ctrl and Alt make command keys, AltGr types its character, dead keys are marked.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "platform/systemkeyboard.h"
#include "platform/x11/x11keyword.h"

namespace ks {
namespace {

constexpr int kQ = 16, kE = 18, kTwo = 3, kAcute = 13;  // scan codes

KeyStroke stroke(const XkbKeymap& map, unsigned sym, unsigned state, int scan) {
  const auto unshifted = map.lookup(scan, 0, (state & Mod5Mask) ? ksAltGr : ksPlain);
  auto k = keyStrokeOf(sym, state, unshifted);
  EXPECT_TRUE(k.has_value());
  return k.value_or(KeyStroke{});
}

TEST(KeyWords, FromRecordedKeys) {
  auto de = XkbKeymap::fromNames("de");
  ASSERT_TRUE(de);
  EXPECT_FALSE(keyStrokeOf(XK_Shift_L, 0, {}));
  EXPECT_FALSE(keyStrokeOf(XK_ISO_Level3_Shift, 0, {}));

  KeyStroke e = stroke(*de, XK_e, ShiftMask, kE);
  EXPECT_EQ(e.ch, 'e');
  EXPECT_EQ(e.keyWord, 'E' | kwUpper);
  EXPECT_EQ(stroke(*de, XK_e, ShiftMask | LockMask, kE).keyWord, unsigned('E'));
  EXPECT_TRUE(stroke(*de, XK_e, ControlMask, kE).keyWord & kwCommand);
  // AltGr+Q types "@" on a German keyboard; Shift+2 stays the digit, which is never analysed.
  EXPECT_EQ(stroke(*de, XK_at, Mod5Mask, kQ).ch, '@');
  EXPECT_EQ(stroke(*de, XK_quotedbl, ShiftMask, kTwo).ch, '2');
  KeyStroke dead = stroke(*de, XK_dead_acute, 0, kAcute);
  EXPECT_TRUE(dead.dead);

  auto left = keyStrokeOf(XK_Left, 0, {});
  ASSERT_TRUE(left);
  EXPECT_EQ(left->keyWord, 37u | kwCommand2);
  EXPECT_EQ(keyStrokeOf(XK_BackSpace, 0, {})->ch, 8);
  EXPECT_EQ(keyStrokeOf(XK_space, ShiftMask, {})->ch, ' ');
  // A character Windows-1252 lacks (Cyrillic) is a command key, not some Latin letter.
  EXPECT_TRUE(keyStrokeOf(XK_Cyrillic_ya, 0, {})->keyWord & kwCommand2);
}

}  // namespace
}  // namespace ks
