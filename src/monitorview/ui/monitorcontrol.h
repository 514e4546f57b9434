// Starting and stopping the monitor as the monitor page sees it: the tutor's control of the
// monitor program behind a seam that tests replace.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

class MonitorRemote {
 public:
  virtual ~MonitorRemote() = default;

  // Whether the monitor runs for this account on this display.
  virtual bool Running();
  // Starts the monitor beside the tutor with "/AUTOLOGON" and waits until it runs. Says why
  // when it cannot be started (message 477) or does not come up in time (478).
  virtual bool Start();
  // Asks the monitor to close (it saves first) and waits until it has; message 461 when not.
  virtual bool Stop();

  // The monitor program beside the tutor.
  static std::filesystem::path Program();
  // Why the monitor cannot see typing in this session, in the learner's language; empty where it
  // can: an X11 session, or a Wayland one where the account may read a keyboard device.
  virtual std::string WhyNotHere();
  bool CanWatchHere() { return WhyNotHere().empty(); }
};

// The control the views use; tests install their own (nullptr restores the real one).
MonitorRemote& monitorControl();
void setMonitorControl(MonitorRemote* control);

}  // namespace ks
