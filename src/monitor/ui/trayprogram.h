// tapwatch as a tray program: the icon (watching, typing, paused or off), its menu and the
// menu's commands, the settings, login and close windows, the information window, the end of a
// burst of typing, notifications, the link with the tutor and an orderly end.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "monitor/monitorsession.h"
#include "monitor/ui/chooseapps.h"
#include "monitor/ui/desktopnotifier.h"
#include "monitor/ui/infowindow.h"
#include "monitor/ui/monitorwindows.h"
#include "platform/dialogs.h"

class QSystemTrayIcon;
class QDBusServiceWatcher;

namespace ks {

class PeerLink;

class TTrayProgram : public QObject, public TrayHost, public LogonWindows {
  Q_OBJECT

 public:
  TTrayProgram(Measures& measures, const Clock& clock, QObject* parent = nullptr);
  ~TTrayProgram() override;
  // The core parts, built with this program as their host and windows.
  void attach(TTrayMain& tray, MonitorSession& session, MonitorNotices& notices);
  // Answers the tutor's messages arriving on `link`.
  void listenTo(PeerLink& link);
  Notifier& notifier() { return notifier_; }
  // Starts (true) and stops (false) the input source: it records only while monitoring is on.
  void watchWith(std::function<void(bool on)> watch);

  // Start: stays off while the tutor runs, else logs the learner on.
  void Initialize();
  // Saves, closes the learner and removes the icon; the program may end.
  void Deinitialize();

  // TrayHost
  void SetTrayIcon(int state) override;
  void NotifyCheck(int reason) override;
  bool SettingsShowing() const override { return chooseApps_.showing(); }
  bool Terminating() const override { return terminating_; }
  void AnalysedKey(uint32_t serverTimeMs) override;
  void WordEnded() override;

  // LogonWindows
  LoginChoice RunLogin(bool firstStart, const std::string& defaultName,
                       const UserOpener& open) override;
  void CancelModals() override;
  InfoPlacement InfoWindow() const override;
  void ShowInfoWindow(const InfoPlacement& placement) override;
  void StateChanged() override;
  void Terminate() override;

  // After each key: typing that is not followed (a grab, a locked session, an excluded
  // program) shows the paused icon.
  void noteKey(uint32_t pid, uint32_t ownPid);
  void setSessionLocked(bool locked);
  // Watching is impossible here (no X11): said once.
  void unavailable(const std::string& why);

  // Menu commands.
  void ReviewClick();
  void StatisticsClick();
  void ChooseAppsClick();
  void IncludeExcludeClick();
  void InfoOnTopClick();
  void EnableClick();
  void CloseClick();
  void BeforePopupEvent();
  void TrayIconClick();
  void UpdateInfo();

  // 0 plain, 1 review practice, 2 statistics: starts the tutor; -1 when it cannot be started.
  int QS2001Launch(int kind);
  static bool TutorRunning();

  // For tests.
  QMenu& menu() { return menu_; }
  QSystemTrayIcon* trayIcon() const { return icon_.get(); }
  int iconState() const { return iconState_; }
  bool paused() const { return paused_ || locked_; }
  TChooseApplications& settingsDialog() { return chooseApps_; }
  TLogForm& loginWindow() { return login_; }
  TCloseDlg& closeDialog() { return closeDlg_; }
  TInfoOnTop& infoWindow() { return info_; }

 signals:
  void iconChanged();
  // The program should end once the current handler has returned.
  void terminateRequested();

 private:
  void buildMenu();
  void createTrayIcon();
  void updateIcon();
  void setInfoVisible(bool on);
  void answerDisabled();
  void message(const std::string& text, BoxKind kind);
  void balloon(int text, int title);

  Measures& measures_;
  const Clock& clock_;
  TTrayMain* tray_ = nullptr;
  MonitorSession* session_ = nullptr;
  MonitorNotices* notices_ = nullptr;
  PeerLink* link_ = nullptr;
  std::function<void(bool)> watch_;
  bool watching_ = false;

  QMenu menu_;
  std::vector<QAction*> items_;  // the menu's nine entries, separators included
  QString enableMnemonics_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::unique_ptr<QDBusServiceWatcher> watcher_;
  DesktopNotifier notifier_;
  TChooseApplications chooseApps_;
  TLogForm login_;
  TCloseDlg closeDlg_;
  TInfoOnTop info_;
  InfoPlacement placement_;
  QTimer idle_;     // ends a burst 3 seconds after the last monitored key
  QTimer refresh_;  // the information window, while it shows
  std::vector<quint64> waitingDisable_;
  uint32_t currentApp_ = 0;
  // The graph's last key: its server time and the moment it stands for.
  uint32_t lastKeyMs_ = 0;
  double lastKeyAt_ = 0;  // the program the include/exclude item acts on
  int iconState_ = 3;
  bool paused_ = false;
  bool locked_ = false;
  bool terminating_ = false;
  bool saidUnavailable_ = false;
  bool saidNoTray_ = false;
};

}  // namespace ks
