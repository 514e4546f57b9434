#include "monitor/ui/trayprogram.h"

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QPainter>
#include <QProcess>
#include <QSystemTrayIcon>
#include <cmath>
#include <utility>

#include "book/pagestyle.h"
#include "engine/indexes.h"
#include "monitor/spyedapps.h"
#include "monitor/ui/monitortexts.h"
#include "platform/desktop/peerlink.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "platform/system.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"

namespace ks {
namespace {

enum Item { Review, Statistics, Sep1, Settings, IncludeExclude, Info, Sep2, Enable, Close };

std::string text(int id) {
  return Localize().GetString(id);
}

std::string accountKey(const char* key) {
  return key + LoginName();
}

// The icon: a key cap whose colour says at a glance what the monitor does.
QIcon stateIcon(int state, bool paused) {
  QColor fill = state == 3   ? QColor(150, 150, 150)
                : paused     ? QColor(232, 160, 32)
                : state == 2 ? QColor(40, 200, 70)
                             : QColor(30, 140, 60);
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size / 10.0;
    p.setPen(QPen(fill.darker(160), std::max<qreal>(1, size / 16.0)));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(m, m, size - 2 * m, size - 2 * m), size / 5.0, size / 5.0);
    p.setPen(QPen(Qt::white, std::max<qreal>(1.5, size / 10.0), Qt::SolidLine, Qt::RoundCap));
    if (state == 3) {  // off: a bar
      p.drawLine(QPointF(size * 0.3, size * 0.5), QPointF(size * 0.7, size * 0.5));
    } else if (paused) {  // paused: two bars
      p.drawLine(QPointF(size * 0.4, size * 0.32), QPointF(size * 0.4, size * 0.68));
      p.drawLine(QPointF(size * 0.6, size * 0.32), QPointF(size * 0.6, size * 0.68));
    } else {  // watching: an eye
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(size / 2.0, size / 2.0), size * 0.24, size * 0.15);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(size / 2.0, size / 2.0), size * 0.07, size * 0.07);
    }
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace

TTrayProgram::TTrayProgram(Measures& measures, const Clock& clock, QObject* parent)
    : QObject(parent),
      measures_(measures),
      clock_(clock),
      notifier_([this] { return icon_.get(); }, [this] { ReviewClick(); }),
      chooseApps_(true) {
  idle_.setSingleShot(true);
  idle_.setInterval(3000);
  connect(&idle_, &QTimer::timeout, this, [this] {
    if (tray_) tray_->WordBreak(2);
  });
  refresh_.setInterval(150);
  connect(&refresh_, &QTimer::timeout, this, &TTrayProgram::UpdateInfo);
  connect(&info_, &TInfoOnTop::closedByUser, this, [this] { setInfoVisible(false); });
  buildMenu();
  createTrayIcon();
  // Started before the panel (autostart), the icon would never show: a new tray host gets it.
  watcher_ = std::make_unique<QDBusServiceWatcher>("org.kde.StatusNotifierWatcher",
                                                   QDBusConnection::sessionBus(),
                                                   QDBusServiceWatcher::WatchForRegistration);
  connect(watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this,
          [this] { createTrayIcon(); });
}

TTrayProgram::~TTrayProgram() = default;

void TTrayProgram::attach(TTrayMain& tray, MonitorSession& session, MonitorNotices& notices) {
  tray_ = &tray;
  session_ = &session;
  notices_ = &notices;
}

void TTrayProgram::watchWith(std::function<void(bool on)> watch) {
  watch_ = std::move(watch);
  watching_ = false;
  StateChanged();
}

void TTrayProgram::buildMenu() {
  QString used;
  const auto add = [&](int id, void (TTrayProgram::*handler)()) {
    QAction* a = menu_.addAction(withMnemonic(msgText(id), used));
    connect(a, &QAction::triggered, this, handler);
    items_.push_back(a);
  };
  add(1269, &TTrayProgram::ReviewClick);
  add(1265, &TTrayProgram::StatisticsClick);
  items_.push_back(menu_.addSeparator());
  add(1267, &TTrayProgram::ChooseAppsClick);
  add(1278, &TTrayProgram::IncludeExcludeClick);
  add(1266, &TTrayProgram::InfoOnTopClick);
  items_.push_back(menu_.addSeparator());
  const QString beforeEnable = used;
  add(1261, &TTrayProgram::EnableClick);
  add(1268, &TTrayProgram::CloseClick);
  // The enable item changes its text; it must not take the close item's letter then.
  enableMnemonics_ = beforeEnable + used.back();
  items_[Review]->setObjectName("ReviewItem");
  menu_.setDefaultAction(items_[Review]);
  items_[IncludeExclude]->setCheckable(true);
  items_[Info]->setCheckable(true);
  items_[Enable]->setCheckable(true);
  connect(&menu_, &QMenu::aboutToShow, this, &TTrayProgram::BeforePopupEvent);
  StateChanged();
}

void TTrayProgram::createTrayIcon() {
  icon_ = std::make_unique<QSystemTrayIcon>();
  icon_->setContextMenu(&menu_);
  connect(icon_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) TrayIconClick();
          });
  connect(icon_.get(), &QSystemTrayIcon::messageClicked, this,
          [this] { notifier_.trayMessageClicked(); });
  updateIcon();
  icon_->show();
}

void TTrayProgram::updateIcon() {
  if (!icon_) return;
  const bool off = iconState_ == 3;
  icon_->setIcon(stateIcon(iconState_, !off && paused()));
  const int state = off ? 1785 : paused() ? 1784 : 1783;
  icon_->setToolTip((msgText(1287) + ": " + msgText(state)).left(62));
  emit iconChanged();
}

void TTrayProgram::Initialize() {
  if (!QSystemTrayIcon::isSystemTrayAvailable() && !saidNoTray_) {
    saidNoTray_ = true;
    notifier_.ShowBalloon(text(1782), text(1287), 10000, false);
  }
  if (TutorRunning()) {
    if (tray_->Counters.totalHits == 0) balloon(1774, 1775);
    session_->setEnabledState(false);
    session_->PreviousUser.clear();
    CloseWorkstationSettings();  // the tutor's, until its ENABLE
    return;
  }
  session_->EnableNow("");
  if (session_->enabled() && tray_->Counters.totalHits < 50) balloon(1778, 1779);
}

void TTrayProgram::Deinitialize() {
  if (terminating_ && !session_->user()) return;
  terminating_ = true;
  idle_.stop();
  refresh_.stop();
  if (session_->user()) {
    session_->setEnabledState(true);  // the settings dialog may have switched it off
    session_->DisableNow("");
  }
  info_.hide();
  if (icon_) icon_->hide();
}

void TTrayProgram::balloon(int textId, int titleId) {
  notifier_.ShowBalloon(text(textId), text(titleId), 3000, false);
}

void TTrayProgram::message(const std::string& body, BoxKind kind) {
  dialogs().messageBox(body, text(1287), kind);
}

// ---- the key path's host

void TTrayProgram::SetTrayIcon(int state) {
  if (state < 1 || state > 3) return;
  if (state == 2) idle_.start();
  if (state == 3) idle_.stop();
  if (state != iconState_) {
    iconState_ = state;
    updateIcon();
  }
}

void TTrayProgram::NotifyCheck(int reason) {
  if (session_ && session_->user() && session_->enabled())
    notices_->NotifyCheck(reason, tray_->Counters.monitoredHits);
}

void TTrayProgram::AnalysedKey(uint32_t serverTimeMs) {
  if (!info_.isVisible()) return;
  // Keys arrive queued, sometimes several at once: the intervals come from the server's times.
  const double now = clock_.now();
  const uint32_t gap = serverTimeMs - lastKeyMs_;
  double at = now;
  if (lastKeyAt_ > 0 && gap < 60000) at = std::min(now, lastKeyAt_ + gap / 86400000.0);
  lastKeyMs_ = serverTimeMs;
  lastKeyAt_ = at;
  info_.graph()->keystroke(at);
  info_.typing = true;
}

void TTrayProgram::WordEnded() {
  info_.typing = false;
}

void TTrayProgram::noteKey(uint32_t pid, uint32_t ownPid) {
  if (pid == ownPid) return;
  auto* apps = session_->user() ? dynamic_cast<TSpyedApps*>(session_->user()->AppList()) : nullptr;
  const TAppSettings* app = apps ? apps->findByProcess(pid) : nullptr;
  const bool paused = !(app && app->monitored);
  if (paused != paused_) {
    paused_ = paused;
    updateIcon();
  }
}

void TTrayProgram::setSessionLocked(bool locked) {
  locked_ = locked;
  updateIcon();
}

void TTrayProgram::unavailable(const std::string& why) {
  if (saidUnavailable_) return;
  saidUnavailable_ = true;
  notifier_.ShowBalloon(why, text(1287), 10000, false);
}

// ---- logon windows

LogonWindows::LoginChoice TTrayProgram::RunLogin(bool firstStart, const std::string& defaultName,
                                                 const UserOpener& open) {
  items_[Enable]->setEnabled(false);
  items_[Close]->setEnabled(false);
  LoginChoice choice;
  choice.confirmed = login_.run(firstStart, defaultName, open);
  choice.name = login_.chosenName();
  choice.user = login_.takeUser();
  choice.dontShowAgain = login_.dontShowAgain();
  items_[Enable]->setEnabled(true);
  items_[Close]->setEnabled(true);
  return choice;
}

void TTrayProgram::CancelModals() {
  if (login_.isVisible()) {
    session_->LogonMode = 1;  // a cancelled login keeps the program running
    login_.done(2);
  }
  chooseApps_.cancel();
}

InfoPlacement TTrayProgram::InfoWindow() const {
  InfoPlacement p = placement_;
  if (info_.isVisible()) {
    const QRect g = info_.geometry();
    p = {g.top(), g.left(), g.width(), g.height(), true};
  }
  return p;
}

void TTrayProgram::ShowInfoWindow(const InfoPlacement& placement) {
  if (placement.visible) {
    placement_ = placement;
    setInfoVisible(true);
  } else {
    setInfoVisible(false);
  }
}

void TTrayProgram::StateChanged() {
  const bool on = session_ && session_->enabled();
  items_[Enable]->setChecked(on);
  QString used = enableMnemonics_;
  items_[Enable]->setText(
      withMnemonic(msgText(session_ && session_->LoggedOffCaption && !on ? 1260 : 1261), used));
  for (int i = Review; i <= Info; ++i)
    if (i != Sep1) items_[i]->setEnabled(on);
  items_[Enable]->setEnabled(!login_.isVisible());
  // Off, paused for the tutor or in the settings: no key reaches this program at all.
  if (watch_ && on != watching_) {
    watching_ = on;
    watch_(on);
  }
  if (session_ && !session_->user()) answerDisabled();
}

void TTrayProgram::Terminate() {
  terminating_ = true;
  emit terminateRequested();
}

// ---- the tutor link

void TTrayProgram::listenTo(PeerLink& link) {
  link_ = &link;
  connect(&link, &PeerLink::messageReceived, this, [this](const QString& m, int arg) {
    if (m == "QSSidewatch1999.DISABLE") {
      session_->PreviousUser = session_->DisableNow(session_->PreviousUser);
      // A dialog that was open saves when it has closed: the tutor waits until then.
      if (session_->user()) {
        waitingDisable_.push_back(link_->deferAnswer());
      } else {
        link_->setAnswer("DISABLED");
      }
    } else if (m == "QSSidewatch1999.ENABLE") {
      // After the answer: the login window may have to ask, and the tutor is leaving.
      QTimer::singleShot(0, this, [this] {
        if (terminating_) return;
        session_->EnableNow(session_->PreviousUser);
        if (!session_->lastError().empty())
          std::fprintf(stderr, "tapwatch: not watching: %s\n", session_->lastError().c_str());
      });
    } else if (m == "WM_CLOSE" || (m == "WM_ENDSESSION" && arg != 0)) {
      Deinitialize();
      Terminate();
    }
    // "WM_QUERYENDSESSION" is answered with consent, "QS2001.BRINGFRONT" is not ours.
  });
}

void TTrayProgram::answerDisabled() {
  if (!link_) return;
  for (quint64 ticket : std::exchange(waitingDisable_, {})) link_->answer(ticket, "DISABLED");
}

bool TTrayProgram::TutorRunning() {
  return InstanceLock::isHeld("QS2004Mutex");
}

int TTrayProgram::QS2001Launch(int kind) {
  if (!TutorRunning()) {
    QStringList args;
    if (kind == 1) args << "/SIDEWATCH";
    if (kind == 2) args << "/STATISTICS";
    const bool handOver = session_->user() && workstationSettings;
    if (handOver) {
      workstationSettings->WriteString("WardenLogon", session_->user()->UserName());
      workstationSettings->Flush();  // the tutor reads it at its start
      session_->PreviousUser = session_->DisableNow(session_->PreviousUser);
    }
    const std::filesystem::path dir = programFilePath().parent_path();
    if (!QProcess::startDetached(QString::fromStdString((dir / "keyscholar").string()), args,
                                 QString::fromStdString(dir.string()))) {
      // Left behind, the key would log this learner on at anybody's next start of the tutor.
      if (handOver && ReopenWorkstationSettings(workstationOpenMode())) {
        workstationSettings->WriteString("WardenLogon", "");
        CloseWorkstationSettings();
      }
      message("Application main module not found: Keyscholar.exe", BoxKind::Error);
      return -1;
    }
  }
  session_->PreviousUser = session_->DisableNow(session_->PreviousUser);
  return 0;
}

// ---- the menu

void TTrayProgram::BeforePopupEvent() {
  TUser* user = session_->user();
  auto* apps = user ? dynamic_cast<TSpyedApps*>(user->AppList()) : nullptr;
  const TAppSettings* app =
      apps && apps->CurrentProcess ? apps->findByProcess(apps->CurrentProcess) : nullptr;
  QAction* item = items_[IncludeExclude];
  if (app && !app->hidden) {
    currentApp_ = apps->CurrentProcess;
    QString description = toQString(app->description);
    if (description.size() > 27) description = description.left(27) + "..";
    item->setText(msgText(1277) + " " + description.replace('&', "&&"));
    item->setEnabled(session_->enabled());
    item->setChecked(app->monitored);
  } else {
    currentApp_ = 0;
    item->setText(msgText(1278));
    item->setEnabled(false);
    item->setChecked(false);
  }
}

void TTrayProgram::TrayIconClick() {
  if (TutorRunning()) {
    balloon(1780, 1781);
    return;
  }
  menu_.popup(QCursor::pos());
}

void TTrayProgram::ReviewClick() {
  if (session_->enabled()) QS2001Launch(1);
}

void TTrayProgram::StatisticsClick() {
  if (session_->enabled()) QS2001Launch(2);
}

void TTrayProgram::IncludeExcludeClick() {
  TUser* user = session_->user();
  auto* apps = user ? dynamic_cast<TSpyedApps*>(user->AppList()) : nullptr;
  TAppSettings* app = apps && currentApp_ ? apps->findByProcess(currentApp_) : nullptr;
  if (app) apps->updateSpyedState(app->name, !app->monitored);
}

void TTrayProgram::EnableClick() {
  if (session_->enabled()) {
    session_->PreviousUser = session_->DisableNow(session_->PreviousUser);
  } else if (TutorRunning()) {
    message(text(1270), BoxKind::Information);
    StateChanged();
  } else {
    session_->EnableNow(session_->PreviousUser);
  }
}

void TTrayProgram::ChooseAppsClick() {
  if (chooseApps_.isVisible()) {
    chooseApps_.raise();
    chooseApps_.activateWindow();
    return;
  }
  TUser* user = session_->user();
  if (!user) return;
  TDynamicSettings* ws = workstationSettings.get();
  const std::string selectedBefore = ws ? ws->ReadString(accountKey("SelectedUser.")) : "";
  const bool infoWasVisible = info_.isVisible();
  session_->setEnabledState(false);
  items_[Enable]->setEnabled(false);
  if (infoWasVisible) setInfoVisible(false);
  const MonitorCounters& c = tray_->Counters;
  const int result = chooseApps_.run(*user, {c.totalHits, c.monitoredHits, c.MouseClicks});
  if (result == TChooseApplications::Cancel) {
    // The tutor's DISABLE came while the dialog was open: finish it now.
    session_->setEnabledState(true);
    session_->PreviousUser = session_->DisableNow(session_->PreviousUser);
    return;
  }
  notices_->loadSettings(*user);
  if (const std::string failure = MakeAutoStartable(programFilePath()); !failure.empty())
    message(AutoStartFailureText(failure), BoxKind::Warning);
  if (infoWasVisible) setInfoVisible(true);
  if (result == TChooseApplications::Logoff) {
    session_->setEnabledState(true);
    session_->DisableNow("");
    session_->EnableNow("!!!---!!!");
    return;
  }
  const std::string selected = ws ? ws->ReadString(accountKey("SelectedUser.")) : "";
  if (ws && ws->ReadBool(accountKey("UseSelectedUser.")) && selected != selectedBefore) {
    session_->setEnabledState(true);
    session_->DisableNow("");
    session_->EnableNow(selected);
    if (session_->user())
      notifier_.ShowBalloon(text(470) + session_->user()->UserName() + "\"", "Sidewatch", 3000,
                            false);
    return;
  }
  if (PolicySettings && PolicySettings->ReadBool("DoNotCollectWords"))
    user->WriteBool("DoNotCollectWords", true);
  session_->setEnabledState(true);
}

void TTrayProgram::CloseClick() {
  items_[Close]->setEnabled(false);
  items_[Enable]->setEnabled(false);
  const bool wasOn = session_->enabled();
  const std::string who = wasOn ? session_->DisableNow("") : std::string();
  // Off, the monitor has let go of the workstation's file: it takes it for the answer. The
  // tutor's messages may come while the question is up, so the store is looked up afresh.
  const bool opened = ReopenWorkstationSettings(workstationOpenMode());
  bool launch = opened && workstationSettings->ReadBool(accountKey("LaunchAtStartup."));
  const int result = closeDlg_.run(opened ? &launch : nullptr);
  if (opened && ReopenWorkstationSettings(workstationOpenMode())) {
    workstationSettings->WriteBool(accountKey("LaunchAtStartup."), launch);
    if (const std::string failure = MakeAutoStartable(programFilePath()); !failure.empty())
      message(AutoStartFailureText(failure), BoxKind::Warning);
    if (session_->enabled()) {
      workstationSettings->Flush();
    } else {
      CloseWorkstationSettings();
    }
  }
  if (result == 1) {
    Deinitialize();
    Terminate();
    return;
  }
  items_[Close]->setEnabled(true);
  items_[Enable]->setEnabled(true);
  if (wasOn) session_->EnableNow(who);
}

// ---- the information window

void TTrayProgram::InfoOnTopClick() {
  setInfoVisible(!info_.isVisible());
}

void TTrayProgram::setInfoVisible(bool on) {
  items_[Info]->setChecked(on);
  if (on == info_.isVisible()) return;
  if (!on) {
    // The close box takes this path too: the refresh stops with the window.
    const QRect g = info_.geometry();
    placement_ = {g.top(), g.left(), g.width(), g.height(), false};
    info_.hide();
    refresh_.stop();
    return;
  }
  if (placement_.top >= 0 && placement_.left >= 0) info_.move(placement_.left, placement_.top);
  if (placement_.width >= 0 && placement_.height >= 1)
    info_.resize(std::max(70, placement_.width), placement_.height);
  info_.show();
  info_.raise();
  refresh_.start();
  UpdateInfo();
}

void TTrayProgram::UpdateInfo() {
  if (!info_.isVisible()) return;
  TUser* user = session_->user();
  const bool cpm = user && user->ReadBool("cpm");
  const TEfficiencyInfo& e = measures_.Efficiency;
  const QString words = QString::number(e.Words) + msgText(1276);
  const QString speed =
      QString::number(DisplaySpeed(e.KeystrokeSpeed(), cpm, lessonOptions().wordLength)) + " " +
      msgText(SpeedUnitMessage(cpm));
  info_.showTexts(words, speed, toQString(measures_.Timer.FormatHMS()));
  if (info_.typing) info_.graph()->step(clock_.now());
}

}  // namespace ks
