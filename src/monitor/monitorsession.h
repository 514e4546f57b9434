// Logging a learner on and off in the monitor: which learner (a preselected one, the last one
// for an automatic logon, the login window, or nobody in logged-off mode), loading and saving
// the learner's figures, and monitoring on and off. The tutor's DISABLE and ENABLE reach this.
#pragma once

#include <memory>
#include <string>

#include "monitor/monitornotify.h"
#include "monitor/monitorstats.h"
#include "monitor/traymain.h"

namespace ks {

class TUser;

class MonitorSession final : public MonitorControl {
 public:
  struct Parts {
    TTrayMain& tray;
    TrayHost& host;
    LogonWindows& windows;
    MonitorStats& stats;
    MonitorNotices& notices;
    DifficultKeySets& keys;
    TWordList& words;
  };
  // `autoLogon`: started with "/AUTOLOGON", the last learner of this account is logged on.
  MonitorSession(Parts parts, bool autoLogon);
  ~MonitorSession() override;

  // `name` empty: the workstation's choice for this account, else the login window;
  // "!!!---!!!": the login window to change learner.
  void EnableNow(const std::string& name) override;
  // Saves the figures and closes the learner; returns the learner's name, or `previousUser`
  // when nobody was being watched.
  std::string DisableNow(const std::string& previousUser) override;
  void setEnabledState(bool on);
  bool enabled() const { return p_.tray.Enabled; }

  TUser* user() { return user_.get(); }
  // Why the last EnableNow logged nobody on (empty when it did).
  const std::string& lastError() const { return error_; }

  // 0 normal, 1 logging on from logged-off mode or to change learner, 2 logged-off mode.
  int LogonMode = 0;
  // The enable item offers to log in (logged-off mode) rather than to switch monitoring.
  bool LoggedOffCaption = false;
  std::string PreviousUser;

 private:
  bool chooseLearner(std::string& who, std::unique_ptr<TUser>& opened, bool firstStart,
                     bool backOn);
  std::unique_ptr<TUser> openUser(const std::string& name);
  // `opened`: the learner the login window opened already; else `name` is opened here.
  void LoadStatistics(const std::string& name, std::unique_ptr<TUser> opened);
  void SaveStatistics();

  Parts p_;
  bool autoLogon_;
  std::unique_ptr<TUser> user_;
  std::string error_;
  bool enabling_ = false;
};

}  // namespace ks
