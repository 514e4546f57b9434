// Watches typing in every program of the X session: the X RECORD extension on a thread of its
// own with its own connections. It reports only what the monitor's key path needs: key words and
// the unshifted character (never text), the receiving program's pid, clicks, and programs that
// take the focus. Keys typed while another client grabs the keyboard, while the session is
// locked, or into a password field, are reported with pid 0: counted, never analysed.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "platform/inputsource.h"
#include "platform/linux/processdescription.h"

namespace ks {

class X11InputSource : public InputSource {
 public:
  explicit X11InputSource(Sink sink);
  ~X11InputSource() override;  // stops and joins the thread
  X11InputSource(const X11InputSource&) = delete;
  X11InputSource& operator=(const X11InputSource&) = delete;

  // Unavailable without an X server, without RECORD, and in a Wayland session.
  bool start() override;
  void stop() override;
  void setSessionLocked(bool locked) override { locked_ = locked; }
  void setPrivateField(bool isPrivate) override { private_ = isPrivate; }

  struct Impl;

 private:
  void run();

  Sink sink_;
  std::unique_ptr<Impl> impl_;
  std::thread thread_;
  int wakeFd_ = -1;
  std::atomic<bool> locked_{false};
  std::atomic<bool> private_{false};
};

}  // namespace ks
