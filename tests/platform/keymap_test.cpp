#include <gtest/gtest.h>

#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <cstring>

#include "platform/desktop/desktopkeyboard.h"
#include "platform/layoutids.h"
#include "platform/systemkeyboard.h"
#include "platform/x11/x11systemkeyboard.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {
namespace {

TEST(LayoutIds, MapIdentifiersToXkbAndBack) {
  XkbLayoutName n;
  ASSERT_TRUE(xkbLayoutForId("00020409", n));
  EXPECT_EQ(n.layout, "us");
  EXPECT_EQ(n.variant, "intl");
  ASSERT_TRUE(xkbLayoutForId("0000040c", n));  // any letter case
  EXPECT_EQ(n.layout, "fr");
  EXPECT_FALSE(xkbLayoutForId("00000000", n));

  EXPECT_EQ(layoutIdForXkb("us", ""), "00000409");
  EXPECT_EQ(layoutIdForXkb("us", "dvorak"), "00010409");
  EXPECT_EQ(layoutIdForXkb("gb", ""), "00000809");
  // A variant the table does not know answers with the layout's basic identifier.
  EXPECT_EQ(layoutIdForXkb("de", "nodeadkeys"), "00000407");
  EXPECT_EQ(layoutIdForXkb("at", ""), "00000407");
  EXPECT_EQ(layoutIdForXkb("xx", ""), "");
  EXPECT_EQ(layoutLanguage("00020409"), "0409");
  EXPECT_EQ(layoutLanguage("a000040c"), "040C");
}

TEST(LayoutIds, EveryIdentifierActivatesALayoutThatAnswersWithIt) {
  for (const char* id : {"00000409", "00020409", "00010409", "A0000409", "00000809", "00000407",
                         "0000040C", "00000807", "0000100C"}) {
    XkbLayoutName n;
    ASSERT_TRUE(xkbLayoutForId(id, n)) << id;
    EXPECT_EQ(layoutIdForXkb(n.layout, n.variant), id);
    EXPECT_TRUE(XkbKeymap::fromNames(n.layout, n.variant)) << id << " does not compile";
  }
}

std::string chars(const XkbKeymap& km, int scan, int state, int group = 0) {
  return km.lookup(scan, group, state).text;
}

TEST(XkbKeymap, TranslatesScanCodesByState) {
  auto us = XkbKeymap::fromNames("us");
  ASSERT_TRUE(us);
  EXPECT_EQ(chars(*us, 30, ksPlain), "a");
  EXPECT_EQ(chars(*us, 30, ksShift), "A");
  EXPECT_EQ(chars(*us, 39, ksShift), ":");
  EXPECT_EQ(chars(*us, 57, ksPlain), " ");
  EXPECT_EQ(chars(*us, 83, ksPlain), ".");  // the keypad decimal key reads with Num Lock
  // US has no AltGr: nothing, not the plain letter again.
  EXPECT_EQ(chars(*us, 30, ksAltGr), "");
  EXPECT_EQ(chars(*us, 30, ksShiftAltGr), "");
  EXPECT_EQ(us->layoutName(0), "English (US)");
  EXPECT_FALSE(us->rightAltIsAltGr());
  EXPECT_TRUE(XkbKeymap::fromNames("gb")->rightAltIsAltGr());
}

TEST(XkbKeymap, GivesWindows1252AndAccentsOfDeadKeys) {
  auto de = XkbKeymap::fromNames("de");
  ASSERT_TRUE(de);
  EXPECT_EQ(chars(*de, 12, ksPlain), "\xDF");  // ß
  EXPECT_EQ(chars(*de, 18, ksAltGr), "\x80");  // € is 0x80 in 1252
  EXPECT_EQ(chars(*de, 16, ksAltGr), "@");
  EXPECT_EQ(chars(*de, 83, ksPlain), ",");  // keypad separator
  EXPECT_EQ(chars(*de, 20, ksAltGr), "");   // ŧ has no 1252 code
  XkbKeymap::Result acute = de->lookup(13, 0, ksPlain);
  EXPECT_TRUE(acute.dead);
  EXPECT_EQ(acute.text, "\xB4");
  XkbKeymap::Result grave = de->lookup(13, 0, ksShift);
  EXPECT_TRUE(grave.dead);
  EXPECT_EQ(grave.text, "`");
  XkbKeymap::Result ogonek = de->lookup(13, 0, ksShiftAltGr);
  EXPECT_TRUE(ogonek.dead);  // an accent no layout file shows
  EXPECT_EQ(ogonek.text, "");
}

TEST(XkbKeymap, ReadsEachGroupOfAMultiLayoutKeymap) {
  auto km = XkbKeymap::fromNames("us,de", ",nodeadkeys");
  ASSERT_TRUE(km);
  EXPECT_EQ(km->layoutCount(), 2);
  EXPECT_EQ(chars(*km, 21, ksPlain, 0), "y");
  EXPECT_EQ(chars(*km, 21, ksPlain, 1), "z");
  EXPECT_EQ(chars(*km, 21, ksPlain, 2), "");  // no such group
  EXPECT_FALSE(XkbKeymap::fromNames("no-such-layout"));
}

TEST(LayoutIds, FindTheLayoutAKeymapsGroupNameDescribes) {
  // Compositors send keymaps whose groups carry only these English names.
  const std::string list =
      "! model\n  pc105           Generic 105-key PC\n  German          Not a layout\n"
      "! layout\n  us              English (US)\n  de              German\r\n"
      "! variant\n  nodeadkeys      de: German (no dead keys)\n"
      "  intl            us: English (US, intl., with dead keys)\n"
      "! option\n  grp:toggle      German\n";
  XkbLayoutName n;
  ASSERT_TRUE(xkbLayoutForDescription("German", list, n));
  EXPECT_EQ(n.layout, "de");
  EXPECT_EQ(n.variant, "");
  ASSERT_TRUE(xkbLayoutForDescription("German (no dead keys)", list, n));
  EXPECT_EQ(n.layout, "de");
  EXPECT_EQ(n.variant, "nodeadkeys");
  ASSERT_TRUE(xkbLayoutForDescription("English (US, intl., with dead keys)", list, n));
  EXPECT_EQ(layoutIdForXkb(n.layout, n.variant), "00020409");
  EXPECT_FALSE(xkbLayoutForDescription("Generic 105-key PC", list, n));
  EXPECT_FALSE(xkbLayoutForDescription("", list, n));
  EXPECT_FALSE(xkbLayoutForDescription("German", "", n));
  // The system's own list knows what its keymaps are named.
  ASSERT_TRUE(xkbLayoutForDescription("English (US)", n));
  EXPECT_EQ(n.layout, "us");
}

TEST(XkbKeymap, ReadsAKeymapSentAsTextWithItsLayouts) {
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const xkb_rule_names names{"evdev", "pc105", "us,de", ",nodeadkeys", ""};
  xkb_keymap* source = xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  ASSERT_TRUE(source);
  char* text = xkb_keymap_get_as_string(source, XKB_KEYMAP_FORMAT_TEXT_V1);
  // Compositors count the closing NUL in the keymap's size.
  auto km = XkbKeymap::fromText(std::string_view(text, std::strlen(text) + 1));
  std::free(text);
  xkb_keymap_unref(source);
  xkb_context_unref(ctx);
  ASSERT_TRUE(km);
  EXPECT_EQ(km->layoutCount(), 2);
  const std::vector<XkbLayoutName> layouts = km->groupLayouts();
  ASSERT_EQ(layouts.size(), 2u);
  EXPECT_EQ(layouts[0].layout, "us");
  EXPECT_EQ(layouts[1].layout, "de");
  EXPECT_EQ(layouts[1].variant, "nodeadkeys");
  EXPECT_EQ(chars(*km, 21, ksPlain, 1), "z");
  EXPECT_EQ(chars(*km, 13, ksPlain, 1), "\xB4");  // no dead keys: a plain acute
  EXPECT_TRUE(km->capsLocked(1u << 1));           // Lock is the second real modifier
  EXPECT_FALSE(km->capsLocked(1u << 0));
  EXPECT_FALSE(XkbKeymap::fromText("xkb_keymap { nonsense };"));
  EXPECT_FALSE(XkbKeymap::fromText(""));
}

TEST(SystemKeyboard, NullAndFixedKeymapKeyboardsSwitchNothing) {
  EXPECT_EQ(systemLayoutId(), "00000409");  // nothing installed
  KeymapSystemKeyboard fixed(XkbKeymap::fromNames("us"), "00000409");
  setSystemKeyboard(&fixed);
  EXPECT_EQ(systemKeyboard().keyChars(16, ksShift), "Q");
  EXPECT_EQ(systemKeyboard().activateLayout("00000407"), -1);
  EXPECT_EQ(systemLayoutId(), "00000409");
  setSystemKeyboard(nullptr);
  EXPECT_EQ(systemKeyboard().keyChars(16, ksShift), "");
}

TEST(SystemKeyboard, UnderWaylandSwitchesNothing) {
  const char* before = std::getenv("WAYLAND_DISPLAY");
  const std::string saved = before ? before : "";
  ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  std::unique_ptr<SystemKeyboard> kb = createSystemKeyboard();
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  EXPECT_EQ(kb->keyChars(16, ksPlain), "q");
  EXPECT_EQ(kb->activateLayout("00000407"), -1);
  kb->setCapsLock(true);
  EXPECT_FALSE(kb->capsLockOn());
  if (before)
    ::setenv("WAYLAND_DISPLAY", saved.c_str(), 1);
  else
    ::unsetenv("WAYLAND_DISPLAY");
}

}  // namespace
}  // namespace ks
