// A keyboard layout: every key the tutor can show or ask for, where it is drawn, which finger
// presses it, what it types in each shift state and which modifier key (held by which hand) a
// character needs. Read from ".kbd" files; one layout is current for the whole tutor.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// Character slots of a key: 0 plain, 1 Shift, n the state of modifier number n, 20 Shift with
// modifier 4 (AltGr).
constexpr int kKeySlots = 21;
constexpr int kAltGrModifier = 4;

// The keyword of the line a key came from.
enum class KeyKind {
  Key,
  VKey,
  XKey,
  BowlKey,
  CommaDotKey,
  CapsLockKey,
  TabKey,
  EnterKey,
  SpaceKey,
  BackspaceKey,
  ControlKey,
  ShiftControlKey,
};

struct TKeyInfoExt {
  std::array<std::string, kKeySlots> Chars;  // each at most 15 characters
  // 1 to 8 from the left little finger to the right little finger, 9 and 10 the thumbs (9 the
  // right one), -1 when the file gives none. Fingers below 5 belong to the left hand.
  int Finger = -1;
  int X = 0, Y = 0, Width = 0, Height = 0;
  TKeyInfoExt* LeftNeighbour = nullptr;  // keys on the same row, not owned
  TKeyInfoExt* RightNeighbour = nullptr;
  int ModifierNumber = -1;       // the shift state a modifier key stands for; -1 for other keys
  bool Nub = false;              // "n": a tactile bump
  bool Dim = false;              // "d"
  bool AlwaysActive = false;     // "a"
  bool HiddenUnlessLit = false;  // "h"
  bool SmallCaption = false;     // "s"
  bool ErrorPicture = false;     // "z"
  bool BowlKey = false;
  // A picture key: the files of its normal and highlighted pictures (the on-screen keyboard
  // loads them). Set only for files that exist.
  bool HasPicture = false;
  std::string Picture;
  std::string LitPicture;
  KeyKind Kind = KeyKind::Key;

  bool isModifier() const {
    return Kind == KeyKind::ControlKey || Kind == KeyKind::ShiftControlKey;
  }
};

// What `findKey` answers: the key that types a character, the modifier key to hold, and a second
// modifier (Shift for characters of slot 20). Null members when there is none.
struct FoundKey {
  TKeyInfoExt* key = nullptr;
  TKeyInfoExt* modifier = nullptr;
  TKeyInfoExt* modifier2 = nullptr;
};

// What `findDeadKey` answers: the dead key of an accent (with its modifiers) and the letter that
// follows it.
struct DeadKey {
  FoundKey accent;
  char base = '\0';
};

class TKeyDataExt {
 public:
  // Results of `loadFromFile` besides the open statuses of the data files (negative when the
  // file cannot be opened): the content is unusable. Both are reported already, with the path.
  static constexpr int kWrongVersion = -89;
  static constexpr int kBadContent = -11;

  TKeyDataExt() = default;
  TKeyDataExt(const TKeyDataExt&) = delete;
  TKeyDataExt& operator=(const TKeyDataExt&) = delete;

  // Reads a ".kbd" file (Windows-1252 text with the "$" header, "$version=6"). Returns 1 on
  // success. A file that cannot be opened returns its negative open status and leaves the layout
  // as it was, except that `LayoutCode` and `DynamicLayout` are cleared. A file with another
  // version, a broken number, no keys or binary junk reports the error with the path, leaves an
  // empty layout and returns kWrongVersion or kBadContent: never half a layout.
  int loadFromFile(const std::string& path);
  // Frees the keys and empties the key part of the layout.
  void clearLayout();

  FoundKey findKey(std::string_view s);
  // Slot 0 of the key that types `s`, or "".
  std::string getBaseChar(std::string_view s);
  // The finger of the key that types `c`, 0 when no key does.
  int getFinger(char c);
  // The finger of the modifier key `c` needs, 0 when none.
  int getModifierFinger(char c);
  // Bit n (value 2^n) for every finger 1 to 10 that types a character of `s` or holds its
  // modifier.
  uint16_t getFingerMask(std::string_view s);
  // With `CommaDot` 1, "." and "," become the first character of the key that types them (the
  // keypad decimal key of the layout); otherwise, and when no key types them, the first
  // character of `s`.
  char mapKeypadDecimal(std::string_view s);
  bool isHomeRowChar(char c) const;
  // `c` when it is on the home row, else the first home-row key typed by the same finger; #0
  // when there is none or the layout has no home row.
  char getHomeKey(char c);
  // One-character captions of the other keys typed by `c`'s finger, in the state `c` is typed in.
  std::string getSameFingerKeys(char c);
  // The same, only letters, digits and ".", "," and "'".
  std::string getSameFingerLetters(char c);
  // The same for the finger in the same place on the other hand; "" for thumbs and keys without
  // a finger.
  std::string getMirrorFingerKeys(char c);
  // The captions of the keys left and right of `c`'s key.
  std::string getSameRowKeys(char c);
  // The name of a finger (messages 154-162); "" without a finger guide.
  std::string getFingerName(int finger) const;
  // The caption of a key in a state: the names of Tab, Enter, Backspace and Space, the part of an
  // "a|b" slot before the "|", else the slot.
  std::string getKeyCaption(const TKeyInfoExt& key, int state) const;
  // For an accented letter: the dead key of its accent and its base letter, when the layout has
  // that dead key; otherwise nothing.
  DeadKey findDeadKey(char c);

  // Switches the system to the configured layout `LayoutCode` names. Unless `force`, the
  // layout's language must be among the configured layouts. Returns the layout's position, or
  // -1 when nothing was switched.
  int activateWindowsLayout(bool force);
  // Marks a layout that follows the system layout as changed (the system layout was switched).
  void markLayoutChanged();
  // Reads a layout marked as changed again from its file, so that its keys type what the system
  // layout types now. Returns true when it was read again.
  bool reloadIfChanged();

  // The file of the keyboard's background picture, found next to the layout file; "" when none.
  std::filesystem::path picturePath() const;

  std::string FileName;
  bool DynamicLayout = false;
  bool KeybowlLayout = false;
  bool FingerGuide = true;
  bool LayoutChanged = false;
  std::string LayoutCode;
  std::string LanguageCode = "00NONE0000";
  std::string MaterialName = "qwerty";
  std::string PictureFile;
  int32_t PictureX = 0, PictureY = 0;
  std::string HomeRow;
  char SemicolonKey = '\0';
  int32_t DefaultWidth = 0, DefaultHeight = 0;
  int32_t CaptionFont = 18, SmallCaptionFont = 14, ShiftCaptionFont = 14;
  int32_t CommaDot = 0;
  std::string CharacterSet;
  std::vector<std::unique_ptr<TKeyInfoExt>> Keys;
  std::array<TKeyInfoExt*, kKeySlots> LeftModifiers{};
  std::array<TKeyInfoExt*, kKeySlots> RightModifiers{};
  TKeyInfoExt* ExtraModifier = nullptr;

 private:
  void resetAll();
  std::string fingerKeys(int finger, char c, const TKeyInfoExt& typing) const;
};

// The layout the tutor works with, for the whole run.
TKeyDataExt& CurrentLayout();

// Loads the learner's layout file (a name in the keyboards folder). A file that cannot be opened
// is reported (-500, the name and " not found!"). Unless the policy sets
// "DisableWindowsLayouts", the system is switched to the layout's system layout. Returns the
// result of `loadFromFile`.
int LoadUserLayout(TKeyDataExt& layout, const std::string& layoutFile,
                   const std::filesystem::path& keyboardsPath);
// The same with the keyboards folder of the program paths.
int LoadUserLayout(TKeyDataExt& layout, const std::string& layoutFile);

}  // namespace ks
