#include <gtest/gtest.h>

#include "analysis/layouttest.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"

namespace ks {
namespace {

using test::loadLines;
using test::TempDir;

// A small two-handed layout: a left and a right key on each row, both Shift keys, AltGr.
const std::vector<std::string> kSmallLayout{
    "layoutcode;00000407",
    "homerow;asdfjkl\xF6",
    "key;1;0;0;30;30;-;1;!",  // 0
    "key;8;+2;0;0;0;-;0;=;EMPTY;EMPTY;}",
    "key;1;0;32;0;0;-;q;Q;EMPTY;EMPTY;@",  // 2
    "key;3;+2;0;0;0;-;e;E;EMPTY;EMPTY;\x80",
    "key;8;+2;0;0;0;-;+;*;EMPTY;EMPTY;~",
    "key;1;0;64;0;0;-;a;A;EMPTY;EMPTY;\xE6;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;"
    "EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;EMPTY;\xC6",  // 5
    "key;2;+2;0;0;0;n;s;S",
    "key;7;+2;0;0;0;-;l;L",
    "key;8;+2;0;0;0;-;\xF6;\xD6",
    "key;8;+2;0;0;0;-;\xB4;`",  // 9: dead acute and grave
    "key;4;0;96;0;0;-;x|y;Y",   // 10: two characters on one key
    "key;5;+2;0;0;0;-;j;J;EMPTY;EMPTY;\xA0",
    "shiftcontrolkey;1;0;128;0;0;-;1;S",  // 12
    "shiftcontrolkey;8;+2;0;0;0;-;1;S",   // 13
    "controlkey;9;+2;0;0;0;-;4;AltGr",    // 14
    "spacekey;9;+2;0;0;0;a",
    "tabkey;1;+2;0;0;0;-",
    "key;3;+2;0;0;0;-;d;q",  // 17: q again, in slot 1 of a later key
};

class KeyFinding : public ::testing::Test {
 protected:
  void SetUp() override {
    test::setKeyMessages();
    ASSERT_EQ(loadLines(layout, dir, kSmallLayout), 1);
  }
  TKeyInfoExt* key(size_t i) { return layout.Keys.at(i).get(); }
  TempDir dir;
  TKeyDataExt layout;
};

TEST_F(KeyFinding, UsesTheModifierOfTheOtherHand) {
  FoundKey f = layout.findKey("e");
  EXPECT_EQ(f.key, key(3));
  EXPECT_EQ(f.modifier, nullptr);
  f = layout.findKey("E");  // left hand: the right Shift key
  EXPECT_EQ(f.key, key(3));
  EXPECT_EQ(f.modifier, key(13));
  f = layout.findKey("*");  // right hand: the left Shift key
  EXPECT_EQ(f.modifier, key(12));
  f = layout.findKey("\x80");  // AltGr on the right; no left AltGr to prefer
  EXPECT_EQ(f.key, key(3));
  EXPECT_EQ(f.modifier, key(14));
  EXPECT_EQ(layout.findKey("~").modifier, key(14));
  // Slot 20: AltGr and the left Shift key.
  f = layout.findKey("\xC6");
  EXPECT_EQ(f.key, key(5));
  EXPECT_EQ(f.modifier, key(14));
  EXPECT_EQ(f.modifier2, key(12));
  EXPECT_EQ(layout.findKey("").key, nullptr);
  EXPECT_EQ(layout.findKey("\xFC").key, nullptr);
}

TEST_F(KeyFinding, TheFirstKeyInTheFileWins) {
  // "q" is slot 0 of key 2 and slot 1 of key 17: the earlier key, without Shift.
  FoundKey f = layout.findKey("q");
  EXPECT_EQ(f.key, key(2));
  EXPECT_EQ(f.modifier, nullptr);
  // Each part of an "a|b" slot is found on its own; the Shift slot of such a key is not used.
  EXPECT_EQ(layout.findKey("y").key, key(10));
  EXPECT_EQ(layout.findKey("x").key, key(10));
  EXPECT_EQ(layout.findKey("Y").key, nullptr);
  EXPECT_EQ(layout.getKeyCaption(*key(10), 0), "x");
}

TEST_F(KeyFinding, AnswersFingersAndFingerMasks) {
  EXPECT_EQ(layout.getFinger('s'), 2);
  EXPECT_EQ(layout.getFinger('#'), 0);
  EXPECT_EQ(layout.getModifierFinger('A'), 8);
  EXPECT_EQ(layout.getModifierFinger('a'), 0);
  // a (1), s (2), S's right Shift (8), the Shift (1) and AltGr (9) of slot 20.
  EXPECT_EQ(layout.getFingerMask("aS"), (1 << 1) | (1 << 2) | (1 << 8));
  EXPECT_EQ(layout.getFingerMask("\xC6"), (1 << 1) | (1 << 9));
  EXPECT_EQ(layout.getFingerMask(" "), 1 << 9);
  EXPECT_EQ(layout.getBaseChar("L"), "l");
  EXPECT_EQ(layout.getBaseChar("#"), "");
}

TEST_F(KeyFinding, FindsKeysOfTheSameFingerRowAndMirror) {
  // Finger 1 keys in the state of the character, without the character itself.
  // Captions longer than one character (Shift, Tab) are left out.
  EXPECT_EQ(layout.getSameFingerKeys('a'), "1q");
  EXPECT_EQ(layout.getSameFingerKeys('A'), "!Q");
  EXPECT_EQ(layout.getSameFingerLetters('a'), "1q");
  EXPECT_EQ(layout.getSameFingerKeys('#'), "");
  // Finger 5 mirrors finger 4.
  EXPECT_EQ(layout.getMirrorFingerKeys('j'), "x");
  EXPECT_EQ(layout.getMirrorFingerKeys('x'), "j");
  EXPECT_EQ(layout.getMirrorFingerKeys(' '), "");  // a thumb has no mirror
  EXPECT_EQ(layout.getSameRowKeys('s'), "al");
  EXPECT_EQ(layout.getSameRowKeys('S'), "AL");
  EXPECT_EQ(layout.getSameRowKeys('1'), "0");
  EXPECT_EQ(layout.getSameRowKeys('#'), "");
}

TEST_F(KeyFinding, FindsHomeKeys) {
  EXPECT_TRUE(layout.isHomeRowChar('A'));
  EXPECT_TRUE(layout.isHomeRowChar('\xD6'));  // ö in upper case
  EXPECT_FALSE(layout.isHomeRowChar('q'));
  EXPECT_EQ(layout.getHomeKey('s'), 's');
  EXPECT_EQ(layout.getHomeKey('q'), 'a');
  EXPECT_EQ(layout.getHomeKey('+'), '\xF6');  // "0" comes first but is no home key
  layout.HomeRow.clear();
  EXPECT_EQ(layout.getHomeKey('s'), '\0');
}

TEST_F(KeyFinding, ShowsCaptionsAndFingerNames) {
  EXPECT_EQ(layout.getKeyCaption(*key(15), 0), "Space");
  EXPECT_EQ(layout.getKeyCaption(*key(16), 0), "Tab");
  EXPECT_EQ(layout.getKeyCaption(*key(12), 0), "Shift");
  EXPECT_EQ(layout.getKeyCaption(*key(0), 1), "!");
  EXPECT_EQ(layout.getKeyCaption(*key(0), 21), "");
  EXPECT_EQ(layout.getFingerName(1), "left little finger");
  EXPECT_EQ(layout.getFingerName(10), "thumb");
  EXPECT_EQ(layout.getFingerName(-1), "-");
  layout.FingerGuide = false;
  EXPECT_EQ(layout.getFingerName(1), "");
}

TEST_F(KeyFinding, FindsTheDeadKeyOfAnAccentedLetter) {
  // é: the acute dead key, then e.
  DeadKey d = layout.findDeadKey('\xE9');
  EXPECT_EQ(d.accent.key, key(9));
  EXPECT_EQ(d.accent.modifier, nullptr);
  EXPECT_EQ(d.base, 'e');
  d = layout.findDeadKey('\xC8');  // È: grave is typed with Shift
  EXPECT_EQ(d.accent.key, key(9));
  EXPECT_EQ(d.accent.modifier, key(12));
  EXPECT_EQ(d.base, 'E');
  // No key for the diaeresis: nothing at all, not a letter without its accent.
  d = layout.findDeadKey('\xE4');
  EXPECT_EQ(d.accent.key, nullptr);
  EXPECT_EQ(d.base, '\0');
  EXPECT_EQ(layout.findDeadKey('e').accent.key, nullptr);  // not an accented letter
}

TEST_F(KeyFinding, MapsTheKeypadDecimalKeyOnlyWhenAsked) {
  EXPECT_EQ(layout.mapKeypadDecimal("."), '.');
  ASSERT_EQ(loadLines(layout, dir, {"commadot;1", "commadotkey;7;0;0;0;0;-;,"}), 1);
  EXPECT_EQ(layout.mapKeypadDecimal("."), '.');  // no key types "." here
  EXPECT_EQ(layout.mapKeypadDecimal(","), ',');
  ASSERT_EQ(loadLines(layout, dir, {"commadot;1", "key;7;0;0;0;0;-;,;."}), 1);
  EXPECT_EQ(layout.mapKeypadDecimal("."), ',');
  EXPECT_EQ(layout.mapKeypadDecimal("x"), 'x');
  EXPECT_EQ(layout.mapKeypadDecimal(""), '\0');
}

TEST_F(KeyFinding, KeybowlLayoutsHoldAnExtraModifier) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"keybowldata", "controlkey;1;0;0;0;0;-;10;X", "controlkey;1;0;0;0;0;-;2;M",
                       "bowlkey;1;0;0;0;0;-;a;b;c;d;e;f;g;h;i;j;k;l"}),
            1);
  FoundKey f = layout.findKey("l");  // slot 11: modifier 2 and the extra modifier
  EXPECT_EQ(f.key, key(2));
  EXPECT_EQ(f.modifier, key(1));
  EXPECT_EQ(layout.ExtraModifier, key(0));
  f = layout.findKey("c");
  EXPECT_EQ(f.modifier, key(1));
  EXPECT_EQ(layout.ExtraModifier, nullptr);  // cleared by every search
}

TEST_F(KeyFinding, SwitchesTheSystemLayoutOnlyToAConfiguredLanguage) {
  test::FakeSystemKeyboard system;
  system.configured = {"00000409", "00000807"};
  EXPECT_EQ(layout.activateWindowsLayout(false), -1);  // German not configured: same language only
  system.configured = {"00000409", "00000407"};
  EXPECT_EQ(layout.activateWindowsLayout(false), 1);
  EXPECT_EQ(system.active, "00000407");
  layout.LayoutCode = "00000809";
  EXPECT_EQ(layout.activateWindowsLayout(true), -1);  // never added, even when forced
  layout.LayoutCode.clear();
  EXPECT_EQ(layout.activateWindowsLayout(true), -1);
  EXPECT_EQ(system.switches, 1);

  layout.DynamicLayout = false;
  layout.markLayoutChanged();
  EXPECT_FALSE(layout.LayoutChanged);
  layout.DynamicLayout = true;
  layout.markLayoutChanged();
  EXPECT_TRUE(layout.LayoutChanged);
}

TEST_F(KeyFinding, LoadsTheUsersLayoutAndItsSystemLayout) {
  test::FakeSystemKeyboard system;
  system.configured = {"00000409", "00000407"};
  test::RecordingDialogs boxes;
  test::writeFile(dir / "German.kbd", test::kbdFile(kSmallLayout));
  TKeyDataExt user;
  EXPECT_EQ(LoadUserLayout(user, "german.kbd", dir.path()), 1);
  EXPECT_EQ(user.Keys.size(), kSmallLayout.size() - 2);
  EXPECT_EQ(system.active, "00000407");
  EXPECT_TRUE(boxes.boxes.empty());

  EXPECT_LT(LoadUserLayout(user, "nothere.kbd", dir.path()), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("nothere.kbd not found!"), std::string::npos);

  // A broken file is reported once, by the load.
  test::writeFile(dir / "broken.kbd", test::kbdFile(kSmallLayout, "5"));
  EXPECT_EQ(LoadUserLayout(user, "broken.kbd", dir.path()), TKeyDataExt::kWrongVersion);
  EXPECT_EQ(boxes.boxes.size(), 2u);

  // The policy may keep the system layout as it is.
  system.active = "00000409";
  test::writeFile(dir / "Policy.dyn", "DisableWindowsLayouts=1\r\n");
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", dir.path()));
  EXPECT_EQ(LoadUserLayout(user, "german.kbd", dir.path()), 1);
  EXPECT_EQ(system.active, "00000409");
  PolicySettings.reset();
}

}  // namespace
}  // namespace ks
