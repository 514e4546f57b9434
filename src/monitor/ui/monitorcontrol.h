// The tutor's side of running the monitor: whether it runs, starting it for this account, and
// asking it to close. Both waits keep the tutor's windows alive and end after 8.64 seconds.
#pragma once

namespace ks {

struct TapwatchControl {
  static bool isRunning();
  // Starts "tapwatch /AUTOLOGON" from the tutor's folder and waits for it: message 478 when it
  // does not come up in time, message 477 (and false) when it cannot be started.
  static bool start();
  // Asks the monitor to close (it saves first) and waits for it to end; message 461 when it
  // does not. True when it has ended.
  static bool stop();
};

}  // namespace ks
