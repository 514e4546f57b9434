// The system keyboard of a Wayland session: the keymap the compositor sends (wl_keyboard.keymap)
// and the active layout (the group of wl_keyboard.modifiers), characters through the keymap code
// the X11 keyboard uses. Wayland has no common request to switch layouts; a desktop that offers
// one lends it as a LayoutSwitcher.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/systemkeyboard.h"

struct wl_display;

namespace ks {

// A desktop's own way to switch among the layouts the user configured.
class LayoutSwitcher {
 public:
  virtual ~LayoutSwitcher() = default;
  // Makes layout `group` (counted from 0, as in the keymap) the active one; false on failure.
  virtual bool switchTo(int group) = 0;
  // The active layout as the desktop tells it, -1 when it does not. The compositor tells only
  // the program that has the keyboard focus; this answers before the first window has it.
  virtual int activeGroup() { return -1; }
};

class WaylandSystemKeyboard : public SystemKeyboard {
 public:
  // Asks the compositor for the seat's keyboard. `shared`: the toolkit's connection, whose
  // windows receive the keyboard focus, and with it the active layout; its owner dispatches the
  // events. nullptr: a connection of its own to $WAYLAND_DISPLAY, which learns the keymap but,
  // owning no window, not which layout is active. Null without a compositor or a keyboard.
  static std::unique_ptr<WaylandSystemKeyboard> connect(wl_display* shared = nullptr);
  ~WaylandSystemKeyboard() override;

  // Takes the desktop's switch, and from it the active layout until the compositor tells it.
  void setSwitcher(std::unique_ptr<LayoutSwitcher> switcher);
  bool canSwitch() const;
  bool switchesLayouts() override { return canSwitch(); }

  std::string activeLayoutId() override;
  std::string activeLayoutName() override;
  std::vector<std::string> configuredLayoutIds() override;
  int activateLayout(std::string_view layoutId) override;
  std::string keyChars(int scanCode, int state) override;
  // The compositor keeps the lock keys; a client cannot set them.
  bool capsLockOn() override;
  void setCapsLock(bool) override {}
  void setNumLock(bool) override {}
  int changeDescriptor() override;
  bool layoutSwitched() override;

  // The active group, and the XKB layout names of the groups ("us", "de(nodeadkeys)").
  int activeGroup() const;
  std::vector<std::string> groupLayouts() const;
  // The user's keymap in the XKB text format, as the compositor sent it.
  std::string keymapText() const;

  struct Impl;

 private:
  explicit WaylandSystemKeyboard(std::unique_ptr<Impl> impl);
  // Reads and handles what the compositor sent meanwhile (a connection of our own only).
  void readEvents();
  std::unique_ptr<Impl> impl_;
};

}  // namespace ks
