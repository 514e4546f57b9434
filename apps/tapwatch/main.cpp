// tapwatch: the background typing monitor.
#include <unistd.h>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "analysis/analyzer.h"
#include "book/programinfo.h"
#include "monitor/monitorsession.h"
#include "monitor/spyedapps.h"
#include "monitor/traymain.h"
#include "platform/desktop/desktoplanguage.h"
#include "platform/desktop/qtdialogs.h"
#include "platform/desktop/sessionlock.h"
#include "platform/desktop/termination.h"
#include "platform/systemkeyboard.h"
#include "platform/x11/x11inputsource.h"
#include "platform/x11/x11systemkeyboard.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/usernames.h"
#include "web/internetsupport.h"

namespace {

// The tray side of the key path until the tray icon and notifications arrive: the icon state
// and the idle timer that ends a burst of typing 3 seconds after the last monitored key.
class TapwatchHost final : public ks::TrayHost {
 public:
  explicit TapwatchHost(std::function<void()> onIdle) {
    idle_.setSingleShot(true);
    idle_.setInterval(3000);
    QObject::connect(&idle_, &QTimer::timeout, std::move(onIdle));
  }
  void SetTrayIcon(int state) override {
    if (state == 2) idle_.start();
    icon_ = state;
  }
  void NotifyCheck(int) override {}
  bool SettingsShowing() const override { return false; }
  bool Terminating() const override { return terminating; }
  bool terminating = false;

 private:
  QTimer idle_;
  int icon_ = 3;
};

// Runs `f` on the main thread, after what is queued there already.
template <typename F>
void onMainThread(F f) {
  QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
}

}  // namespace

int main(int argc, char** argv) {
  if (auto rc = ks::answerInfoSwitches(argc, argv, "tapwatch",
                                       "Tapwatch keeps daily typing figures for a learner and "
                                       "suggests breaks and review practice.",
                                       "[/AUTOLOGON]"))
    return *rc;
  ks::installHttpFetcher();
  QApplication app(argc, argv);
  QApplication::setApplicationName("tapwatch");
  QApplication::setQuitOnLastWindowClosed(false);
  auto keyboard = ks::createSystemKeyboard();
  ks::setSystemKeyboard(keyboard.get());
  ks::QtDialogs dialogs(nullptr);
  ks::setDialogs(&dialogs);

  ks::Localize().SetFolder(ks::installationFolder());
  ks::Localize().LoadLanguage(ks::LanguageBaseName, 1);
  ks::Localize().SetListedLanguage(ks::desktopLanguageCode());
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>();
  if (ks::ProgramSettings->fatal()) return 1;
  ks::OpenPolicySettings("Policy.dyn", ks::ProgramSettings->rootPath());
  const std::string workstation = ks::WorkstationName();
  if (!workstation.empty())
    ks::OpenWorkstationSettings(ks::ProgramSettings->dataPath(), workstation + ".wks",
                                ks::workstationOpenMode());
  ks::installSpyedAppsFactory();

  ks::Measures measures(ks::systemClock());
  ks::DifficultKeySets keys(ks::TDifficultKeys::Variant::Monitor);
  ks::TWordList words;
  ks::Analyzer analyzer(measures, keys, words);
  ks::TTrayMain* trayPtr = nullptr;
  TapwatchHost host([&] { trayPtr->WordBreak(2); });
  ks::TTrayMain tray(analyzer, host, static_cast<uint32_t>(getpid()));
  trayPtr = &tray;
  ks::MonitorSession session(tray, host, keys, words);
  session.EnableNow("");
  if (!session.lastError().empty())
    std::fprintf(stderr, "tapwatch: not watching: %s\n", session.lastError().c_str());

  // The source's thread only queues; the key path runs here, on the main thread.
  ks::X11InputSource::Sink sink;
  sink.key = [&](const ks::KeyStroke& k) { onMainThread([&tray, k] { tray.CMKeyInfo(k); }); };
  sink.click = [&](int button, uint32_t pid) {
    onMainThread([&tray, button, pid] { tray.CMMouseClicked(button, pid); });
  };
  sink.programSeen = [&](const ks::ProgramSeen& p) {
    onMainThread([&tray, p] { tray.RegisterNewModule(p); });
  };
  sink.repeat = [&] { onMainThread([&tray] { tray.RepeatWarning(); }); };
  sink.unavailable = [](const std::string& why) {
    std::fprintf(stderr, "tapwatch: %s\n", why.c_str());
  };
  ks::X11InputSource source(sink);
  source.start();
  // While the session is locked, keys belong to nobody.
  ks::SessionLockWatch lock([&source](bool locked) { source.setSessionLocked(locked); });

  ks::TerminationWatch termination([&] {
    host.terminating = true;
    source.stop();
    session.DisableNow("");
    QApplication::quit();
  });
  const int rc = QApplication::exec();
  source.stop();
  session.DisableNow("");
  ks::setDialogs(nullptr);
  ks::setSystemKeyboard(nullptr);
  return rc;
}
