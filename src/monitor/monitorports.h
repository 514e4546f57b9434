// What the monitor's key path needs from the rest of the program, and what the input source hands
// it. The tray, the idle timer, the figures and the logon plug in behind these.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ks {

class TUser;

// Flags of a key word; the rest is the virtual-key code.
constexpr uint32_t kwCommand = 0x1000;   // a key with Ctrl, Alt or Super
constexpr uint32_t kwUpper = 0x2000;     // Shift xor Caps Lock
constexpr uint32_t kwCommand2 = 0x4000;  // a key that never types (function, editing, keypad keys)
constexpr uint32_t kwFlags = kwCommand | kwUpper | kwCommand2;

// One key press as the input source reports it: never the text, only what the analysis needs.
struct KeyStroke {
  uint32_t keyWord = 0;  // virtual-key code and flags
  // The 1252 character the key types without Shift (AltGr kept), 0 for none; `dead` marks a
  // dead key.
  unsigned char ch = 0;
  bool dead = false;
  // The receiving program; 0 when unknown or not to be attributed (a grab, a locked session).
  uint32_t pid = 0;
  uint32_t timeMs = 0;  // server time
};

// A program that took the input focus.
struct ProgramSeen {
  uint32_t pid = 0;
  std::string name;         // the executable's file name
  std::string folder;       // its folder, with trailing "/"
  std::string description;  // what the learner sees (1252)
};

// The tray side of the key path.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // 1 idle, 2 typing in a monitored program (arms the idle timer), 3 disabled.
  virtual void SetTrayIcon(int state) = 0;
  // After a word break with reason 1 or 2: the break and practice rules.
  virtual void NotifyCheck(int reason) = 0;
  // The settings dialog is open: nothing is analysed meanwhile.
  virtual bool SettingsShowing() const = 0;
  virtual bool Terminating() const = 0;
  // A keystroke was analysed (at the server's time) / the word ended: the information window's
  // graph follows these.
  virtual void AnalysedKey(uint32_t /*serverTimeMs*/) {}
  virtual void WordEnded() {}
};

// Notifications to the learner (the desktop's notification service or the tray icon's message).
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Texts in 1252. `practice`: a click on the notification starts the tutor's review practice.
  virtual void ShowBalloon(const std::string& text, const std::string& title, int timeoutMs,
                           bool practice) = 0;
};

// Where the information window stands (-1: never placed) and whether it shows.
struct InfoPlacement {
  int32_t top = -1, left = -1, width = -1, height = -1;
  bool visible = false;
};

// The windows the logon needs.
class LogonWindows {
 public:
  virtual ~LogonWindows() = default;
  struct LoginChoice {
    // Out of line: the learner's type is complete only there.
    LoginChoice();
    LoginChoice(LoginChoice&&) noexcept;
    LoginChoice& operator=(LoginChoice&&) noexcept;
    ~LoginChoice();
    bool confirmed = false;
    std::string name;  // the learner chosen (1252)
    bool dontShowAgain = false;
    std::unique_ptr<TUser> user;  // the learner, opened by the window
  };
  // Opens (or creates) a learner for the monitor; raises with the text to show when it cannot.
  using UserOpener = std::function<std::unique_ptr<TUser>(const std::string& name)>;
  // The login window. `firstStart`: the monitor starts without a learner chosen; the window
  // then offers not to ask again. It opens the learner chosen with `open` and stays open when
  // that fails.
  virtual LoginChoice RunLogin(bool firstStart, const std::string& defaultName,
                               const UserOpener& open) = 0;
  // A DISABLE came: the login window or the settings dialog closes as if cancelled.
  virtual void CancelModals() = 0;
  virtual InfoPlacement InfoWindow() const = 0;
  virtual void ShowInfoWindow(const InfoPlacement& placement) = 0;
  // The menu and icon follow the monitor's state.
  virtual void StateChanged() = 0;
  // The program ends after the current handler returns.
  virtual void Terminate() = 0;
};

// Logon and monitoring on/off; the tutor's DISABLE and ENABLE reach these.
class MonitorControl {
 public:
  virtual ~MonitorControl() = default;
  // Logs `name` on (empty: the workstation's choice) and starts watching.
  virtual void EnableNow(const std::string& name) = 0;
  // Saves and closes the learner; returns the name to log on again later.
  virtual std::string DisableNow(const std::string& previousUser) = 0;
};

}  // namespace ks
