#include "monitor/monitorsession.h"

#include <stdexcept>

#include "monitor/spyedapps.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"

namespace ks {
namespace {

std::string message(int id) {
  return Localize().GetString(id);
}

// A workstation key of this account ("LastUser." + login name).
std::string accountKey(const char* key) {
  return key + LoginName();
}

}  // namespace

MonitorSession::MonitorSession(Parts parts, bool autoLogon) : p_(parts), autoLogon_(autoLogon) {}

MonitorSession::~MonitorSession() {
  if (user_) {
    p_.tray.Enabled = true;
    DisableNow("");
  }
}

void MonitorSession::setEnabledState(bool on) {
  p_.tray.Enabled = on;
  p_.host.SetTrayIcon(on ? 1 : 3);
  p_.windows.StateChanged();
}

bool MonitorSession::chooseLearner(std::string& who, bool firstStart, bool backOn) {
  TDynamicSettings& ws = *workstationSettings;
  LogonMode = 0;
  if (ws.ReadBool(accountKey("LoggedOffMode."))) {
    if (!LoggedOffCaption) {
      LoggedOffCaption = true;
      LogonMode = 2;
      setEnabledState(false);
    } else {
      LogonMode = 1;
    }
  }
  if (ws.ReadBool(accountKey("UseSelectedUser."))) {
    who = ws.ReadString(accountKey("SelectedUser."));
    ws.WriteString(accountKey("LastUser."), who);
  }
  if (backOn) {
    who.clear();
    LogonMode = 1;
  }
  if (autoLogon_ && !backOn) who = ws.ReadString(accountKey("LastUser."));
  if (LogonMode == 2 || !who.empty()) return true;

  setEnabledState(false);
  const LogonWindows::LoginChoice choice =
      p_.windows.RunLogin(firstStart, ws.ReadString(accountKey("LastUser.")));
  if (!choice.confirmed) {
    if (LogonMode != 0) return false;  // stays running, switched off
    if (choice.dontShowAgain) {
      ws.WriteBool(accountKey("LaunchAtStartup."), false);
      MakeAutoStartable(programFilePath());
    }
    p_.windows.Terminate();
    return false;
  }
  LoggedOffCaption = false;
  who = choice.name;
  ws.WriteString(accountKey("LastUser."), who);
  if (choice.dontShowAgain) {
    ws.WriteString(accountKey("SelectedUser."), who);
    ws.WriteBool(accountKey("UseSelectedUser."), true);
  }
  return true;
}

void MonitorSession::EnableNow(const std::string& name) {
  error_.clear();
  std::string who = name;
  bool firstStart = name.empty();
  const bool backOn = name == "!!!---!!!";
  if (backOn) {
    who.clear();
    firstStart = false;
  }
  // ENABLE may come again while the login window of this one is open.
  if (p_.tray.Enabled || user_ || enabling_) return;
  enabling_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{enabling_};
  if (!workstationSettings) {
    error_ = "no workstation settings";
    return;
  }
  // Started while the tutor held the workstation's file, the monitor read a copy; the tutor
  // sets the account up in the file itself, which is free once it has ended.
  ReturnToWorkstationFile(workstationOpenMode());
  if (PolicySettings && PolicySettings->ReadBool("Keenhand.Hide")) {
    dialogs().messageBox("Sidewatch has been removed.", "Keenhand Sidewatch", BoxKind::Information);
    std::error_code ec;
    std::filesystem::remove(AutoStartFile(), ec);
    error_ = "removed by the policy";
    p_.windows.Terminate();
    return;
  }
  // The tutor sets the monitor up for an account before it may run there.
  if (!workstationSettings->ReadBool(accountKey("SidewatchInit."))) {
    error_ = "not set up for this account";
    p_.windows.Terminate();
    return;
  }
  if (who.empty() && !chooseLearner(who, firstStart, backOn)) {
    error_ = "no learner chosen";
    return;
  }
  if (who.empty()) {
    error_ = "logged off";
    return;
  }
  try {
    LoadStatistics(who);
  } catch (const std::exception& e) {
    error_ = e.what();
    dialogs().messageBox(message(1286) + " " + who + message(1285) + "\r" + e.what(), message(1287),
                         BoxKind::Error);
    setEnabledState(false);
    return;
  }
  if (PolicySettings && PolicySettings->ReadBool("DoNotCollectWords"))
    user_->WriteBool("DoNotCollectWords", true);
  setEnabledState(true);
}

std::string MonitorSession::DisableNow(const std::string& previousUser) {
  p_.windows.CancelModals();
  if (!p_.tray.Enabled || !user_) return previousUser;
  p_.tray.WordBreak(0);
  // Off before saving: a DISABLE that arrives while a box of the save is up waits for this one.
  p_.tray.Enabled = false;
  const std::string name = user_->UserName();
  SaveStatistics();
  setEnabledState(false);
  return name;
}

void MonitorSession::LoadStatistics(const std::string& name) {
  user_ = OpenUser(name, -1, ulWrite, false, {&p_.keys, &p_.words});
  if (!user_) throw std::runtime_error("Userfile not opened!");
  user_->UseKeySet(1);
  p_.stats.attach(user_.get());
  p_.stats.DailyLoad();
  p_.tray.LoadCounters(*user_);
  InfoPlacement info;
  info.top = user_->ReadInteger("InfoWinTop");
  info.left = user_->ReadInteger("InfoWinLeft");
  info.width = user_->ReadInteger("InfoWinWidth");
  info.height = user_->ReadInteger("InfoWinHeight");
  info.visible = user_->ReadInteger("InfoWinVisible") == 1;
  p_.notices.loadSettings(*user_);
  p_.tray.setUser(user_.get(), static_cast<TSpyedApps*>(user_->AppList()));
  p_.windows.ShowInfoWindow(info);
}

void MonitorSession::SaveStatistics() {
  if (UserAppList* list = user_->AppList()) list->Save(user_->AppListPath());
  const InfoPlacement info = p_.windows.InfoWindow();
  p_.stats.DailySave(2);
  p_.tray.SaveCounters(*user_);
  user_->WriteInteger("InfoWinTop", info.top);
  user_->WriteInteger("InfoWinLeft", info.left);
  user_->WriteInteger("InfoWinWidth", info.width);
  user_->WriteInteger("InfoWinHeight", info.height);
  user_->WriteInteger("InfoWinVisible", info.visible ? 1 : 0);
  SaveUser(*user_);
  p_.tray.setUser(nullptr, nullptr);
  p_.stats.attach(nullptr);
  user_.reset();
  p_.windows.ShowInfoWindow({});  // hidden while nobody is watched
}

}  // namespace ks
