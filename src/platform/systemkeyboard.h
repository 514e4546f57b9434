// The system keyboard: which layout the user types with, switching among the layouts the user
// has configured, the characters a key types in the active layout, and the lock keys. The core
// asks through this interface; the X11 layer answers on a desktop, a null keyboard elsewhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The set-1 scan code of the numeric keypad's decimal key.
constexpr int kKeypadDecimalScanCode = 83;

// Key states of `keyChars`: the slots 0, 1, 4 and 20 of a layout key.
enum KeyState : int { ksPlain = 0, ksShift = 1, ksAltGr = 2, ksShiftAltGr = 3 };

class SystemKeyboard {
 public:
  virtual ~SystemKeyboard() = default;

  // The active layout as a Windows-style layout identifier, eight upper-case hex digits
  // ("00000409"); layouts without a known identifier answer "00000409".
  virtual std::string activeLayoutId() = 0;
  // The English name of the active layout ("German"); empty when unknown.
  virtual std::string activeLayoutName() = 0;
  // The identifiers of the layouts the user has configured, in switching order; layouts without
  // a known identifier are left out.
  virtual std::vector<std::string> configuredLayoutIds() = 0;
  // Makes the configured layout with this identifier the active one (never adds a layout).
  // Returns its position among the configured layouts, or -1 when none has that identifier.
  virtual int activateLayout(std::string_view layoutId) = 0;
  // True when `activateLayout` can switch the desktop's layouts at all; false where the desktop
  // keeps the switch to itself (the learner switches there) or there is no desktop.
  virtual bool switchesLayouts() { return false; }

  // The characters (Windows-1252) that the key with this set-1 scan code types in the active
  // layout in `state`. A dead key gives its spacing accent (´ ^ ` ~ ¨ ¸), a key that types
  // nothing representable gives "". Scan code 83 is the keypad decimal key.
  virtual std::string keyChars(int scanCode, int state) = 0;

  virtual bool capsLockOn() = 0;
  virtual void setCapsLock(bool on) = 0;
  virtual void setNumLock(bool on) = 0;

  // A descriptor that turns readable when the keyboard has news (-1: it never has), and the news:
  // true when the user switched the active layout since the last call. Switches made with
  // `activateLayout` are the program's own and do not count.
  virtual int changeDescriptor() { return -1; }
  virtual bool layoutSwitched() { return false; }
};

// Used without a desktop (Wayland, no display, tests): answers "00000409", switches nothing,
// types nothing and has no lock keys.
class NullSystemKeyboard : public SystemKeyboard {
 public:
  std::string activeLayoutId() override { return "00000409"; }
  std::string activeLayoutName() override { return ""; }
  std::vector<std::string> configuredLayoutIds() override { return {}; }
  int activateLayout(std::string_view) override { return -1; }
  std::string keyChars(int, int) override { return ""; }
  bool capsLockOn() override { return false; }
  void setCapsLock(bool) override {}
  void setNumLock(bool) override {}
};

// The process-wide keyboard (a null keyboard until the program installs its own; not owned).
SystemKeyboard& systemKeyboard();
void setSystemKeyboard(SystemKeyboard* keyboard);

// The identifier of the active system layout, as the program paths read it.
std::string systemLayoutId();

}  // namespace ks
