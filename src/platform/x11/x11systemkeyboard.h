// The system keyboard of an X11 session: the XKB groups the user has configured, switching
// among them with XkbLockGroup (never by rewriting the keymap), characters through
// libxkbcommon, and the lock modifiers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/systemkeyboard.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {

class X11SystemKeyboard : public SystemKeyboard {
 public:
  // Connects to `display` (nullptr: $DISPLAY). Null when there is no X server with XKB.
  static std::unique_ptr<X11SystemKeyboard> connect(const char* display = nullptr);
  ~X11SystemKeyboard() override;

  std::string activeLayoutId() override;
  std::string activeLayoutName() override;
  std::vector<std::string> configuredLayoutIds() override;
  int activateLayout(std::string_view layoutId) override;
  bool switchesLayouts() override { return true; }
  std::string keyChars(int scanCode, int state) override;
  bool capsLockOn() override;
  void setCapsLock(bool on) override;
  void setNumLock(bool on) override;
  // The connection to the X server, which hears of every change of the XKB group.
  int changeDescriptor() override;
  bool layoutSwitched() override;

  // The active XKB group (0 to 3), and the XKB layout names of the groups ("us", "de(nodeadkeys)").
  int activeGroup();
  std::vector<std::string> groupLayouts();

 private:
  struct Impl;
  explicit X11SystemKeyboard(std::unique_ptr<Impl> impl);
  // Re-reads the keymap when the configured layouts changed since the last question.
  void refresh();
  // Reads the events that woke the caller; they only say that something changed.
  void drainEvents();
  std::unique_ptr<Impl> impl_;
};

// A keyboard with one keymap compiled from layout names: answers its identifier and the
// characters of its keys, switches nothing and has no lock keys.
class KeymapSystemKeyboard : public NullSystemKeyboard {
 public:
  KeymapSystemKeyboard(std::unique_ptr<XkbKeymap> keymap, std::string layoutId);
  std::string activeLayoutId() override { return layoutId_; }
  std::string activeLayoutName() override;
  std::string keyChars(int scanCode, int state) override;

 private:
  std::unique_ptr<XkbKeymap> keymap_;
  std::string layoutId_;
};

// True in a Wayland session, where the compositor, not the X server, keeps the user's layouts.
bool waylandSession();

// A fixed US keymap, where the desktop's keyboard cannot be read (or a null keyboard when not
// even that compiles).
std::unique_ptr<SystemKeyboard> fixedUsKeyboard();

}  // namespace ks
