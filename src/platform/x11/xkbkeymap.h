// An XKB keymap through libxkbcommon, asked what a key types: compiled from layout names (no
// display needed), read from a running X server, or from the text a Wayland compositor sends.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/layoutids.h"

struct xkb_context;
struct xkb_keymap;
struct xcb_connection_t;

namespace ks {

class XkbKeymap {
 public:
  ~XkbKeymap();
  XkbKeymap(const XkbKeymap&) = delete;
  XkbKeymap& operator=(const XkbKeymap&) = delete;

  // Compiles the keymap of the system's layout database for comma-separated layout and variant
  // lists ("us,de", ",nodeadkeys"), as `setxkbmap` would. Null when they do not compile.
  static std::unique_ptr<XkbKeymap> fromNames(std::string_view layouts,
                                              std::string_view variants = "",
                                              std::string_view model = "pc105");
  // The keymap of the core keyboard of an X server. Null when the server has no XKB.
  static std::unique_ptr<XkbKeymap> fromX11(xcb_connection_t* connection);

  // A keymap in the XKB text format. Null when it does not compile.
  static std::unique_ptr<XkbKeymap> fromText(std::string_view text);

  // What a key types: Windows-1252 text, and whether it is a dead key (then `text` is the
  // accent's spacing character, or "" for accents 1252 lacks).
  struct Result {
    std::string text;
    bool dead = false;
  };
  // The key of a set-1 scan code in layout `group` and state (KeyState of systemkeyboard.h:
  // plain, Shift, AltGr, Shift+AltGr). Scan code 83, the keypad decimal key, is read with Num
  // Lock on.
  Result lookup(int scanCode, int group, int state) const;

  // True when the right Alt key is AltGr (the layout has characters on AltGr that a learner can
  // reach).
  bool rightAltIsAltGr(int group = 0) const;

  // True when the Caps Lock modifier is among these locked modifiers of a keyboard state.
  bool capsLocked(unsigned lockedModifiers) const;

  int layoutCount() const;
  // For a keyboard state of its own (the monitor follows the kernel's key events with one).
  xkb_keymap* handle() const { return keymap_; }
  // The modifier bits AltGr sets (0: the keymap has no AltGr).
  unsigned altGrMask() const { return altGrMask_; }
  // The English name of a layout ("German").
  std::string layoutName(int group) const;
  // The XKB layout of each group, found by the group's name (xkbLayoutForDescription); empty
  // names where the rules know no such layout.
  std::vector<XkbLayoutName> groupLayouts() const;

 private:
  XkbKeymap(xkb_context* context, xkb_keymap* keymap);
  unsigned modifierMask(unsigned keysym) const;

  xkb_context* context_;
  xkb_keymap* keymap_;
  unsigned shiftMask_ = 0;
  unsigned altGrMask_ = 0;
  unsigned numLockMask_ = 0;
};

// The Windows-1252 character of a keysym: the character it types, or for a dead key the accent
// that Windows shows for it. "" when there is none.
XkbKeymap::Result keysymTo1252(unsigned keysym);

}  // namespace ks
