// What the monitor watches typing through: a source of key strokes, clicks and programs that take
// the focus. The program picks one at start (the X server's record, or the kernel's input devices
// under Wayland); the monitor's key path does not learn which.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "monitor/monitorports.h"

namespace ks {

class InputSource {
 public:
  // Called on the source's own thread; the program forwards them to its main thread.
  struct Sink {
    std::function<void(const KeyStroke&)> key;
    std::function<void(int button, uint32_t pid)> click;
    std::function<void(const ProgramSeen&)> programSeen;
    std::function<void()> repeat;
    // Once, when watching is impossible; `why` is for the log.
    std::function<void(const std::string& why)> unavailable;
  };

  virtual ~InputSource() = default;
  // Starts watching; false (after `unavailable`) when it cannot.
  virtual bool start() = 0;
  virtual void stop() = 0;
  // While set (a locked session), keys are not attributed to any program.
  virtual void setSessionLocked(bool locked) = 0;
  // While set (the focus is in a password field), keys are not attributed to any program either:
  // counted, never analysed.
  virtual void setPrivateField(bool isPrivate) = 0;
};

}  // namespace ks
