#include "monitor/monitorsession.h"

#include <filesystem>
#include <stdexcept>

#include "monitor/spyedapps.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/programsetup.h"
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

LogonWindows::LoginChoice::LoginChoice() = default;
LogonWindows::LoginChoice::LoginChoice(LoginChoice&&) noexcept = default;
LogonWindows::LoginChoice& LogonWindows::LoginChoice::operator=(LoginChoice&&) noexcept = default;
LogonWindows::LoginChoice::~LoginChoice() = default;

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

bool MonitorSession::chooseLearner(std::string& who, std::unique_ptr<TUser>& opened,
                                   bool firstStart, bool backOn) {
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
  LogonWindows::LoginChoice choice =
      p_.windows.RunLogin(firstStart, ws.ReadString(accountKey("LastUser.")),
                          [this](const std::string& n) { return openUser(n); });
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
  opened = std::move(choice.user);
  if (opened) SaveUser(*opened);  // a learner the window created is on disk from now on
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
  // While off the monitor leaves the workstation's file to the tutor; started while the tutor
  // held it, it read a copy, and the tutor sets the account up in the file itself.
  if (!ReopenWorkstationSettings(workstationOpenMode())) {
    error_ = "the workstation's settings cannot be opened";
    setEnabledState(false);
    return;
  }
  // Off at the end (logged off, cancelled, a learner that cannot be opened): the file goes
  // back to the tutor.
  struct LetGo {
    TTrayMain& tray;
    ~LetGo() {
      if (!tray.Enabled) CloseWorkstationSettings();
    }
  } letGo{p_.tray};
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
  std::unique_ptr<TUser> opened;
  if (who.empty() && !chooseLearner(who, opened, firstStart, backOn)) {
    error_ = "no learner chosen";
    return;
  }
  if (who.empty()) {
    error_ = "logged off";
    return;
  }
  try {
    LoadStatistics(who, std::move(opened));
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
  std::error_code ec;
  if (ProgramSettings && !std::filesystem::is_directory(ProgramSettings->dataPath(), ec)) {
    // Nothing can be saved where the folder was; the learner is let go unwritten.
    p_.tray.setUser(nullptr, nullptr);
    p_.stats.attach(nullptr);
    user_.reset();
    setEnabledState(false);
    dialogs().messageBox(message(1379), message(1), BoxKind::Warning);
    p_.windows.Terminate();
    return name;
  }
  // The tutor reads the workstation's file itself, with what this program wrote for it. Let go
  // of before the learner, whose release is the last thing a waiting program sees.
  CloseWorkstationSettings();
  SaveStatistics();
  setEnabledState(false);
  return name;
}

std::unique_ptr<TUser> MonitorSession::openUser(const std::string& name) {
  auto user = OpenUser(name, -1, ulWrite, false, {&p_.keys, &p_.words});
  if (!user) throw std::runtime_error("Userfile not opened!");
  return user;
}

void MonitorSession::LoadStatistics(const std::string& name, std::unique_ptr<TUser> opened) {
  user_ = opened ? std::move(opened) : openUser(name);
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
