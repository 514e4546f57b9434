// Monitoring on and off for one learner: opens the learner with the monitor's key statistics,
// hands the learner's list to the key path, and saves and closes everything when switched off.
// The login window and the logged-off mode build on this.
#pragma once

#include <memory>
#include <string>

#include "monitor/traymain.h"

namespace ks {

class TUser;

class MonitorSession final : public MonitorControl {
 public:
  MonitorSession(TTrayMain& tray, TrayHost& host, DifficultKeySets& keys, TWordList& words)
      : tray_(tray), host_(host), keys_(keys), words_(words) {}
  ~MonitorSession() override;

  // `name` empty: the learner the workstation preselects for this account ("UseSelectedUser."
  // and "SelectedUser."); nobody when none is chosen.
  void EnableNow(const std::string& name) override;
  std::string DisableNow(const std::string& previousUser) override;
  TUser* user() { return user_.get(); }
  // Why the last EnableNow logged nobody on (empty when it did).
  const std::string& lastError() const { return error_; }

 private:
  TTrayMain& tray_;
  TrayHost& host_;
  DifficultKeySets& keys_;
  TWordList& words_;
  std::unique_ptr<TUser> user_;
  std::string error_;
};

}  // namespace ks
