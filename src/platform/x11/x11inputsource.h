// Watches typing in every program of the X session: the X RECORD extension on a thread of its
// own with its own connections. It reports only what the monitor's key path needs: key words and
// the unshifted character (never text), the receiving program's pid, clicks, and programs that
// take the focus. Keys typed while another client grabs the keyboard, or while the session is
// locked, are reported with pid 0: counted, never analysed.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "monitor/monitorports.h"

namespace ks {

class X11InputSource {
 public:
  // Called on the source's own thread; the program forwards them to its main thread.
  struct Sink {
    std::function<void(const KeyStroke&)> key;
    std::function<void(int button, uint32_t pid)> click;
    std::function<void(const ProgramSeen&)> programSeen;
    std::function<void()> repeat;
    // Once, when watching is impossible (no X server, no RECORD, a Wayland session).
    std::function<void(const std::string& why)> unavailable;
  };

  explicit X11InputSource(Sink sink);
  ~X11InputSource();  // stops and joins the thread
  X11InputSource(const X11InputSource&) = delete;
  X11InputSource& operator=(const X11InputSource&) = delete;

  // Starts watching; false (after `unavailable`) when it cannot.
  bool start();
  void stop();
  // While set (a locked session), keys are not attributed to any program.
  void setSessionLocked(bool locked) { locked_ = locked; }

  struct Impl;

 private:
  void run();

  Sink sink_;
  std::unique_ptr<Impl> impl_;
  std::thread thread_;
  int wakeFd_ = -1;
  std::atomic<bool> locked_{false};
};

// The program file and the description the learner sees for process `pid`: the Name of the
// desktop entry whose Exec, TryExec or StartupWMClass matches, else `wmClass`, else the file
// name. Empty name when the process is gone.
ProgramSeen describeProcess(uint32_t pid, const std::string& wmClass);

}  // namespace ks
