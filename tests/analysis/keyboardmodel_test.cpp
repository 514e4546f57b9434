// What the on-screen keyboard lights, without drawing it: keys, modifiers, fingers, dead keys,
// the delayed lighting and the colours, on every shipped layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "analysis/keyboardmodel.h"
#include "shippedkbd.h"

namespace ks {
namespace {

using test::TempDir;

struct Keyboard : ::testing::Test {
  TempDir dir;
  TKeyDataExt layout;
  FakeClock clock;
  std::unique_ptr<TKeyboardModel> kb;

  void load(const std::string& file) {
    ASSERT_EQ(test::loadShippedLayout(layout, dir, file), 1);
    kb = std::make_unique<TKeyboardModel>(layout, clock);
  }
  // The keys with a flag, by their slot-0 caption.
  std::set<std::string> keysWith(bool KeyDisplay::*flag) const {
    std::set<std::string> out;
    for (size_t i = 0; i < kb->KeyCount(); ++i) {
      if (kb->Display(i).*flag) out.insert(layout.getKeyCaption(kb->Key(i), 0));
    }
    return out;
  }
  std::set<std::string> lit() const { return keysWith(&KeyDisplay::Lit); }
  std::set<std::string> struck() const { return keysWith(&KeyDisplay::Struck); }
  std::set<std::string> hinted() const { return keysWith(&KeyDisplay::Hinted); }
  const TKeyInfoExt& keyOf(char c) const { return kb->Key(static_cast<size_t>(kb->KeyIndexOf(c))); }
};

TEST_F(Keyboard, ACapitalLightsItsKeyAndTheShiftKeyOfTheOtherHand) {
  load("qwerty.kbd");
  kb->HighlightKeys("A", hlLit);
  EXPECT_EQ(lit(), (std::set<std::string>{"a", "Shift"}));
  const int a = kb->KeyIndexOf('a');
  const TKeyInfoExt* shift = layout.RightModifiers[1];
  ASSERT_NE(shift, nullptr);
  EXPECT_TRUE(kb->Display(static_cast<size_t>(kb->IndexOf(shift))).Lit);
  EXPECT_FALSE(kb->Display(static_cast<size_t>(kb->IndexOf(layout.LeftModifiers[1]))).Lit);
  EXPECT_EQ(kb->ModifierCaption, "Shift + ");
  EXPECT_EQ(kb->LitFinger, kb->Key(static_cast<size_t>(a)).Finger);
  EXPECT_EQ(kb->LitFinger, 1);

  // A plain key needs no modifier; clearing leaves the taught keys alone.
  kb->MarkKeys("asdf");
  kb->ShowKeys("", "j", 0, "");
  EXPECT_EQ(lit(), std::set<std::string>{"j"});
  EXPECT_EQ(kb->ModifierCaption, "");
  EXPECT_EQ(kb->LitFinger, 5);
  kb->ClearHighlights();
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(keysWith(&KeyDisplay::Marked), (std::set<std::string>{"a", "s", "d", "f"}));
  EXPECT_EQ(kb->LookOf(static_cast<size_t>(a)), KeyLook::Active);
  kb->ClearMarks();
  EXPECT_EQ(kb->LookOf(static_cast<size_t>(a)), KeyLook::Plain);
  // Keys flagged "a" in the file stay raised whatever is taught.
  EXPECT_EQ(kb->LookOf(static_cast<size_t>(kb->KeyIndexOf(' '))), KeyLook::Active);
}

// Every character a shipped layout types lights one key that types it, with exactly the
// modifiers of its shift state, and names that key's finger.
TEST_F(Keyboard, EveryCharacterOfEveryShippedLayoutLightsItsKeyModifiersAndFinger) {
  for (const std::string& file : test::shippedLayoutFiles()) {
    SCOPED_TRACE(file);
    load(file);
    std::set<char> seen;
    for (const auto& owned : layout.Keys) {
      if (owned->isModifier()) continue;
      for (int slot = 0; slot < kKeySlots; ++slot) {
        const std::string& s = owned->Chars[slot];
        if (s.size() != 1 || !seen.insert(s[0]).second) continue;
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(s[0])));
        kb->ShowKeys("", s, 0, "");
        std::vector<const TKeyInfoExt*> keys, modifiers;
        for (size_t i = 0; i < kb->KeyCount(); ++i) {
          if (!kb->Display(i).Lit) continue;
          (kb->Key(i).isModifier() ? modifiers : keys).push_back(&kb->Key(i));
        }
        ASSERT_EQ(keys.size(), 1u);
        const TKeyInfoExt& key = *keys[0];
        int typedIn = -1;
        for (int n = 0; n < kKeySlots && typedIn < 0; ++n) {
          if (key.Chars[n] == s || (n == 0 && key.Chars[0].find('|') != std::string::npos))
            typedIn = n;
        }
        ASSERT_GE(typedIn, 0);
        std::multiset<int> wanted;
        if (typedIn == 1) wanted = {1};
        if (typedIn >= 2 && typedIn < 20) wanted = {typedIn};
        if (typedIn == 20) wanted = {1, kAltGrModifier};
        std::multiset<int> got;
        for (const TKeyInfoExt* m : modifiers) got.insert(m->ModifierNumber);
        EXPECT_EQ(got, wanted);
        EXPECT_EQ(kb->LitFinger, key.Finger);
        EXPECT_GE(key.Finger, 1);
        EXPECT_LE(key.Finger, 10);
        EXPECT_EQ(kb->ModifierCaption.empty(), wanted.empty());
        // Touch typing holds Shift with the other hand.
        if (typedIn == 1 && key.Finger <= 8) {
          EXPECT_NE(modifiers[0]->Finger <= 4, key.Finger <= 4);
        }
      }
    }
    EXPECT_GT(seen.size(), 90u);
  }
}

TEST_F(Keyboard, AnAccentedLetterWithoutAKeyLightsItsDeadKeyThenItsBaseLetter) {
  load("french.kbd");
  ASSERT_LT(kb->KeyIndexOf('\xE4'), 0);  // no key types a-diaeresis
  kb->ShowKeys("", "\xE4", 0, "");
  // The diaeresis is the Shift state of the circumflex key, a right-hand key.
  EXPECT_EQ(lit(), (std::set<std::string>{"^", "Shift"}));
  EXPECT_NE(kb->DeadKeyPending, nullptr);
  EXPECT_EQ(kb->PendingBase, "a");
  EXPECT_EQ(kb->LitFinger, 8);

  EXPECT_TRUE(kb->AfterKeyTyped(0xA8));  // the learner typed the dead key
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(struck(), std::set<std::string>{"a"});
  EXPECT_EQ(kb->DeadKeyPending, nullptr);
  EXPECT_EQ(kb->LitFinger, keyOf('a').Finger);

  // A dead key typed on its own: the space bar types its accent.
  EXPECT_TRUE(kb->AfterKeyTyped('^'));
  EXPECT_EQ(struck(), std::set<std::string>{"Space"});
  EXPECT_EQ(kb->LitFinger, 9);
  EXPECT_FALSE(kb->AfterKeyTyped('x'));
  EXPECT_EQ(kb->LitFinger, 0);

  // A letter found directly ends a pending sequence.
  kb->ShowKeys("", "\xEA", 0, "");  // e-circumflex: the dead circumflex
  EXPECT_NE(kb->DeadKeyPending, nullptr);
  kb->ShowKeys("", "e", 0, "");
  EXPECT_EQ(kb->DeadKeyPending, nullptr);
  EXPECT_TRUE(kb->AfterKeyTyped('^'));
  EXPECT_EQ(struck(), std::set<std::string>{"Space"});

  // Struck mode shows the base letter at once.
  kb->ShowKeys("\xE4", "", 0, "");
  EXPECT_EQ(struck(), std::set<std::string>{"a"});
}

// A character that neither a key nor a dead key types lights nothing and must not swallow the
// next keystroke's handling as if a dead key were pending.
TEST_F(Keyboard, ACharacterNoKeyTypesLeavesNoDeadKeyPending) {
  load("qwerty.kbd");
  kb->ShowKeys("", "\x80", 0, "");  // the euro sign
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(kb->DeadKeyPending, nullptr);
  EXPECT_EQ(kb->LitFinger, 0);
  EXPECT_FALSE(kb->AfterKeyTyped('a'));
}

TEST_F(Keyboard, DelayedLightingShowsTheHintFirstAndThenAsLit) {
  load("qwerty.kbd");
  const std::vector<PlainTimer*> timers{&kb->Timer};
  kb->ShowKeys("", "", 500, "k");
  RunTimers(clock, timers, 499);
  EXPECT_TRUE(hinted().empty());
  EXPECT_TRUE(lit().empty());
  RunTimers(clock, timers, 1);
  EXPECT_EQ(hinted(), std::set<std::string>{"k"});
  EXPECT_TRUE(lit().empty());
  RunTimers(clock, timers, 500);
  EXPECT_EQ(lit(), std::set<std::string>{"k"});
  EXPECT_TRUE(hinted().empty());
  EXPECT_FALSE(kb->Timer.Enabled());

  // Lit and struck keys of a delayed call wait for the delay; a new call cancels it.
  kb->ShowKeys("x", "f", 800, "");
  EXPECT_TRUE(lit().empty());
  RunTimers(clock, timers, 800);
  EXPECT_EQ(lit(), std::set<std::string>{"f"});
  EXPECT_EQ(struck(), std::set<std::string>{"x"});
  kb->ShowKeys("", "g", 800, "");
  kb->ShowKeys("", "h", 0, "");
  RunTimers(clock, timers, 2000);
  EXPECT_EQ(lit(), std::set<std::string>{"h"});
}

TEST_F(Keyboard, KeysTakeTheColoursOfTheirFingerUnlessThePolicyTurnsColourOff) {
  load("qwerty.kbd");
  const auto face = [&](char c) { return kb->ColoursOf(static_cast<size_t>(kb->KeyIndexOf(c))); };
  kb->ShowKeys("", "d", 0, "");  // finger 3: column C
  EXPECT_EQ(face('d').face, 0x8EC02Cu);
  EXPECT_EQ(face('d').caption, 0x16162Au);
  EXPECT_EQ(face('e').face, 0xE8F8D8u);  // plain
  kb->MarkKeys("e");
  EXPECT_EQ(face('e').face, 0xDCF0D1u);  // active
  kb->ShowKeys("", "", 0, "l");
  EXPECT_EQ(face('l').face, 0xE09F9Fu);  // hinted, finger 7: column B
  EXPECT_EQ(face(' ').face, 0xEDE4D4u);  // the thumbs: column E, active

  kb->DisableColour = true;
  EXPECT_EQ(face('d').face, 0xF0F9EBu);  // column A throughout
  EXPECT_EQ(face('l').face, 0xB3BFFFu);
  EXPECT_EQ(face(' ').face, 0xE7EBFFu);

  EXPECT_EQ(KeyColourColumn(-1, false), 5);
  EXPECT_EQ(LitFingerColours(6, false).outline, 0x64871Fu);
  EXPECT_EQ(LitFingerColours(3, false).outline, 0x81AF28u);
  EXPECT_EQ(LitFingerColours(6, true).fill, 0x7D99FFu);
}

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double Luminance(uint32_t rgb) {
  const auto channel = [](uint32_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(rgb >> 16 & 0xFF) + 0.7152 * channel(rgb >> 8 & 0xFF) +
         0.0722 * channel(rgb & 0xFF);
}
double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(KeyColours, CaptionsOfTaughtLitAndHintedKeysReadOnTheirFaces) {
  for (KeyLook look : {KeyLook::Lit, KeyLook::Hinted, KeyLook::Active}) {
    for (int column = 0; column < 6; ++column) {
      const KeyLookColours k = KeyColours(column, look);
      // The caption sits on the lit top of the cap and runs into the face below it.
      EXPECT_GE(Contrast(k.caption, k.face), 4.5) << static_cast<int>(look) << " " << column;
      EXPECT_GE(Contrast(k.caption, k.topFace), 4.5) << static_cast<int>(look) << " " << column;
    }
  }
}

// Keys not taught yet are faint, but their names still show: Alt and AltGr too.
TEST(KeyColours, CaptionsOfKeysNotYetTaughtAreFaintButThere) {
  for (int column = 0; column < 6; ++column) {
    const KeyLookColours k = KeyColours(column, KeyLook::Plain);
    EXPECT_GE(Contrast(k.caption, k.face), 1.15) << column;
  }
}

TEST_F(Keyboard, PressedKeysAndHiddenKeys) {
  load("qwerty.kbd");
  kb->ShowPressedKey('q');
  EXPECT_EQ(kb->PressedKey(), kb->KeyIndexOf('q'));
  kb->ShowPressedKey('w');
  EXPECT_EQ(kb->PressedKey(), kb->KeyIndexOf('w'));
  kb->ReleasePressedKey();
  EXPECT_EQ(kb->PressedKey(), -1);

  TKeyDataExt small;
  ASSERT_EQ(test::loadLines(small, dir, {"key;1;0;0;30;30;h;x;X", "key;2;+2;0;30;30;-;y;Y"}), 1);
  TKeyboardModel m(small, clock);
  EXPECT_FALSE(m.IsVisible(0));
  m.ShowKeys("", "", 0, "x");
  EXPECT_TRUE(m.IsVisible(0));
  m.ClearHighlights();
  EXPECT_FALSE(m.IsVisible(0));
  EXPECT_TRUE(m.IsVisible(1));
}

// A reloaded layout may have other keys: the keyboard starts it without flags instead of
// reading past its own.
TEST_F(Keyboard, AReloadedLayoutStartsWithoutFlags) {
  load("qwerty.kbd");
  kb->MarkAllKeys();
  TKeyDataExt& l = layout;
  ASSERT_EQ(test::loadLines(l, dir, {"key;1;0;0;30;30;-;x;X"}), 1);
  ASSERT_EQ(kb->KeyCount(), 1u);
  EXPECT_FALSE(kb->Display(0).Marked);
  kb->ShowKeys("", "x", 0, "");
  EXPECT_TRUE(kb->Display(0).Lit);
}

}  // namespace
}  // namespace ks
