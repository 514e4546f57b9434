// What the on-screen keyboard shows, without drawing it: which keys are taught, lit, struck or
// hinted, the finger and modifier of the key lit last, the dead key of an accented letter, the
// delayed lighting and the colours each key is drawn in. The drawn keyboard paints this state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keydataext.h"
#include "platform/plaintimer.h"

namespace ks {

// How `HighlightKeys` marks the keys of its characters.
enum TKeyHighlight { hlLit = 1, hlStruck = 3, hlHinted = 6 };

// The display flags of one key; all false when the keyboard takes a layout.
struct KeyDisplay {
  bool Marked = false;  // one of the keys taught so far
  bool Lit = false;     // the key to press
  bool Struck = false;  // crossed by a slash
  bool Hinted = false;  // lit in the hint colour
};

// How a key looks, in order of precedence.
enum class KeyLook { Lit, Hinted, Active, Plain };

// One colour of every part of a key in one look (RGB as 0xRRGGBB). A plain key is flat: its
// bevel, side and top face are its face.
struct KeyLookColours {
  uint32_t face, bevel, side, caption, outline, topFace;
  bool operator==(const KeyLookColours&) const = default;
};

// The colour column of a finger: 0 (A) for the little fingers, 1 (B) ring, 2 (C) middle,
// 3 (D) index, 4 (E) thumbs, 5 (F) keys without a finger; column A for every key when the policy
// turns the coloured keyboard off.
int KeyColourColumn(int finger, bool disableColour);
KeyLookColours KeyColours(int column, KeyLook look);

// The lit colours of a finger on the hand picture (outline, fill).
struct FingerColours {
  uint32_t outline, fill;
};
FingerColours LitFingerColours(int finger, bool disableColour);

// The accents a dead key types alone: apostrophe, acute, grave, tilde, diaeresis, circumflex
// and double quote.
bool IsAccentChar(unsigned char c);

class TKeyboardModel {
 public:
  TKeyboardModel(TKeyDataExt& layout, const Clock& clock);
  TKeyboardModel(const TKeyboardModel&) = delete;
  TKeyboardModel& operator=(const TKeyboardModel&) = delete;

  TKeyDataExt& Layout() const { return *layout_; }
  // The keys of the layout as it is now (a reloaded layout starts with no flags set).
  size_t KeyCount() const { return flags().size(); }
  const TKeyInfoExt& Key(size_t i) const { return *layout_->Keys[i]; }
  const KeyDisplay& Display(size_t i) const { return flags()[i]; }
  // The position of a key of the layout, or -1.
  int IndexOf(const TKeyInfoExt* key) const;
  // The key that types `c` (without modifiers), or -1.
  int KeyIndexOf(char c) const;

  KeyLook LookOf(size_t i) const;
  // A key hidden unless lit is drawn only while lit or hinted.
  bool IsVisible(size_t i) const;
  KeyLookColours ColoursOf(size_t i) const;

  // Lights keys now, or after `delayMs` (then a hint shows first in the hint colour and one
  // interval later as lit).
  void ShowKeys(std::string_view struck, std::string_view lit, int delayMs, std::string_view hint);
  void HighlightKeys(std::string_view chars, int mode);
  void ClearHighlights();
  void MarkKeys(std::string_view chars);
  void MarkAllKeys();
  void ClearMarks();
  // A dead key was typed (`c` is its accent): shows the letter to follow a lit accented letter,
  // or the space bar that types the accent alone. False when `c` is neither.
  bool AfterKeyTyped(unsigned char c);
  // The key of `c` is shown pressed until released; the one pressed before is shown again.
  void ShowPressedKey(char c);
  void ReleasePressedKey();
  int PressedKey() const { return pressed_; }

  bool FingerGuide = true;      // copied from the layout
  bool ShowPressed = true;      // not on keybowl layouts
  bool SingleCaptions = false;  // keybowl layouts: one caption per key
  bool DisableColour = false;   // the policy's "disable_colorkbd"

  int LitFinger = 0;                      // finger of the key lit last, 0 none
  std::string ModifierCaption;            // the modifier it needs and " + ", or ""
  TKeyInfoExt* DeadKeyPending = nullptr;  // the dead key lit for an accented letter
  std::string PendingBase;                // the letter to show after it

  // The delayed lighting: the struck, lit and hint characters and the step (0 to 2).
  struct Sequence {
    std::string struck, lit, hint;
    int step = 0;
  };
  const Sequence& Pending() const { return sequence_; }
  PlainTimer Timer;

  // Told whenever something visible changed.
  std::function<void()> Changed;

 private:
  void timerTick();
  void setFlag(TKeyInfoExt* key, int mode);
  void changed() {
    if (Changed) Changed();
  }
  std::vector<KeyDisplay>& flags() const;

  TKeyDataExt* layout_;
  mutable std::vector<KeyDisplay> flags_;
  Sequence sequence_;
  int pressed_ = -1;
};

}  // namespace ks
