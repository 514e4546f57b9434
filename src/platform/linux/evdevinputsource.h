// Watches typing through the kernel's input devices (/dev/input/event*), where the display server
// tells no client about other clients' keys (Wayland). Reading them needs membership of the
// `input` group; the monitor asks for nothing more. It reports what the X11 source reports, in
// the same key words, translated with the desktop's keymap. Which program has the focus comes
// from outside (the accessibility bus, the compositor); keys are attributed to it only while
// the session is active, unlocked, and the focus is in no password field.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/inputsource.h"
#include "platform/layoutids.h"
#include "platform/linux/keyboardaccess.h"

struct xkb_state;

namespace ks {

class XkbKeymap;

// One keyboard's key events (evdev key codes) in, the monitor's key strokes out.
class EvdevKeyTranslator {
 public:
  explicit EvdevKeyTranslator(std::unique_ptr<XkbKeymap> keymap);
  ~EvdevKeyTranslator();
  EvdevKeyTranslator(const EvdevKeyTranslator&) = delete;
  EvdevKeyTranslator& operator=(const EvdevKeyTranslator&) = delete;

  // The layout the desktop says is active; -1 follows the layout switches of the keys seen.
  void setActiveGroup(int group) { group_ = group; }

  struct Result {
    std::optional<KeyStroke> key;  // pid unset
    bool repeatStarted = false;    // the first auto-repeat of a key held down
  };
  // `value`: 0 release, 1 press, 2 auto-repeat (the kernel's values). Modifier keys and
  // releases give no key.
  Result feed(unsigned code, int value);

 private:
  std::unique_ptr<XkbKeymap> keymap_;
  xkb_state* state_ = nullptr;
  int group_ = -1;
  bool repeatWarned_ = false;
};

class EvdevInputSource : public InputSource {
 public:
  using Problem = KeyboardProblem;
  using KeymapFactory = std::function<std::unique_ptr<XkbKeymap>()>;

  // `keymap` is asked at each start; `deviceFolder` holds the event devices.
  EvdevInputSource(Sink sink, KeymapFactory keymap, std::string deviceFolder = "/dev/input");
  ~EvdevInputSource() override;
  EvdevInputSource(const EvdevInputSource&) = delete;
  EvdevInputSource& operator=(const EvdevInputSource&) = delete;

  bool start() override;
  void stop() override;
  void setSessionLocked(bool locked) override { locked_ = locked; }
  void setPrivateField(bool isPrivate) override { private_ = isPrivate; }
  // False while another session has the seat (switched away): its keys are not the learner's
  // and are not even counted.
  void setSessionActive(bool active) { active_ = active; }
  // The program that has the focus, 0 when not known.
  void setFocusedPid(uint32_t pid) { focusPid_ = pid; }
  void setActiveGroup(int group) { group_ = group; }
  // The layouts of the groups of the keymap that keys are translated with since the last start;
  // empty before.
  std::vector<XkbLayoutName> groupLayouts() const;

  // Reads `fd` as one more device from the next start on (a recorded stream of
  // `struct input_event` through a pipe or a file); the source owns it.
  void addStream(int fd);
  // Why the last start found nothing to read.
  Problem problem() const { return problem_; }

 private:
  void run(std::vector<int> fds, std::unique_ptr<XkbKeymap> keymap);
  void handle(EvdevKeyTranslator& translator, unsigned type, unsigned code, int value,
              uint32_t timeMs);

  Sink sink_;
  KeymapFactory keymap_;
  std::string folder_;
  std::vector<int> streams_;
  std::thread thread_;
  int wakeFd_ = -1;
  Problem problem_ = Problem::None;
  std::atomic<bool> locked_{false}, private_{false}, active_{true};
  std::atomic<uint32_t> focusPid_{0};
  std::atomic<int> group_{-1};
  mutable std::mutex layoutsMutex_;
  std::vector<XkbLayoutName> layouts_;
};

// The system's keyboard layout where the desktop tells none: XKBLAYOUT and XKBVARIANT of
// `defaultsFile` (Debian's console and X default), else the XKB_DEFAULT_* environment, else "us".
std::unique_ptr<XkbKeymap> defaultKeymap(const std::string& defaultsFile = "/etc/default/keyboard");

}  // namespace ks
