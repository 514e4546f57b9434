#include "monitor/monitorsession.h"

#include "monitor/spyedapps.h"
#include "store/autostart.h"
#include "store/qssettings.h"
#include "store/user.h"

namespace ks {

MonitorSession::~MonitorSession() {
  if (user_) DisableNow("");
}

void MonitorSession::EnableNow(const std::string& name) {
  error_.clear();
  if (user_) return;
  std::string who = name;
  if (who.empty() && workstationSettings &&
      workstationSettings->ReadBool("UseSelectedUser." + LoginName()))
    who = workstationSettings->ReadString("SelectedUser." + LoginName());
  if (who.empty()) {
    error_ = "no learner chosen";
    return;
  }
  try {
    user_ = OpenUser(who, -1, ulWrite, false, {&keys_, &words_});
  } catch (const std::exception& e) {
    error_ = e.what();
    return;
  }
  user_->UseKeySet(1);
  tray_.setUser(user_.get(), static_cast<TSpyedApps*>(user_->AppList()));
  tray_.LoadCounters(*user_);
  tray_.Enabled = true;
  host_.SetTrayIcon(1);
}

std::string MonitorSession::DisableNow(const std::string& previousUser) {
  if (!user_) return previousUser;
  tray_.WordBreak(0);
  tray_.Enabled = false;
  const std::string name = user_->UserName();
  tray_.SaveCounters(*user_);
  if (UserAppList* list = user_->AppList()) list->Save(user_->AppListPath());
  SaveUser(*user_);
  tray_.setUser(nullptr, nullptr);
  user_.reset();
  host_.SetTrayIcon(3);
  return name;
}

}  // namespace ks
