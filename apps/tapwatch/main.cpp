// tapwatch: the background typing monitor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "analysis/analyzer.h"
#include "book/programinfo.h"
#include "monitor/monitorsession.h"
#include "monitor/spyedapps.h"
#include "monitor/traymain.h"
#include "monitor/ui/trayprogram.h"
#include "monitor/ui/watchproblem.h"
#include "platform/desktop/desktopkeyboard.h"
#include "platform/desktop/desktoplanguage.h"
#include "platform/desktop/focuswatch.h"
#include "platform/desktop/layoutfollow.h"
#include "platform/desktop/peerlink.h"
#include "platform/desktop/qtdialogs.h"
#include "platform/desktop/sessionlock.h"
#include "platform/desktop/termination.h"
#include "platform/instancelock.h"
#include "platform/linux/evdevinputsource.h"
#include "platform/linux/processdescription.h"
#include "platform/random.h"
#include "platform/system.h"
#include "platform/systemkeyboard.h"
#include "platform/wayland/waylandsystemkeyboard.h"
#include "platform/x11/x11inputsource.h"
#include "platform/x11/x11systemkeyboard.h"
#include "platform/x11/xkbkeymap.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/usernames.h"
#include "text/cp1252.h"
#include "text/textutil.h"
#include "web/internetsupport.h"

namespace {

// Runs `f` on the main thread, after what is queued there already.
template <typename F>
void onMainThread(F f) {
  QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
}

std::string message(int id) {
  return ks::Localize().GetString(id);
}

// The learner's keymap for the kernel's key codes: the compositor's, else the system's default.
std::unique_ptr<ks::XkbKeymap> desktopKeymap(ks::SystemKeyboard& keyboard) {
  if (auto* wayland = dynamic_cast<ks::WaylandSystemKeyboard*>(&keyboard))
    if (auto km = ks::XkbKeymap::fromText(wayland->keymapText())) return km;
  return ks::defaultKeymap();
}

}  // namespace

int main(int argc, char** argv) {
  if (auto rc = ks::answerInfoSwitches(
          argc, argv, "tapwatch",
          "Quillstroker Sidewatch keeps daily typing figures for a learner and "
          "suggests breaks and review practice.",
          "[/AUTOLOGON]"))
    return *rc;
  ks::installHttpFetcher();
  ks::preferNativeWayland();
  QApplication app(argc, argv);
  QApplication::setApplicationName("tapwatch");
  QGuiApplication::setDesktopFileName("org.quillstroker.Tapwatch");
  QApplication::setQuitOnLastWindowClosed(false);
  auto keyboard = ks::createSystemKeyboard();
  ks::setSystemKeyboard(keyboard.get());
  ks::QtDialogs dialogs(nullptr);
  ks::setDialogs(&dialogs);

  ks::Localize().SetFolder(ks::installationFolder());
  if (ks::Localize().LoadLanguage(ks::LanguageBaseName, 1) != 0) {
    // The texts are gone with the product: it was removed, and does not start at login again.
    dialogs.messageBox("Sidewatch uninstallation completed.", "Sidewatch",
                       ks::BoxKind::Information);
    std::error_code ec;
    std::filesystem::remove(ks::AutoStartFile(), ec);
    return 0;
  }
  ks::Localize().SetListedLanguage(ks::desktopLanguageCode());
  ks::InstanceLock instance("QSTapwardenMutex");
  if (!instance.acquire()) {
    dialogs.messageBox(message(1) + message(1262) + "\r" + message(1263), message(1287),
                       ks::BoxKind::Error);
    return 1;
  }
  ks::PeerLink link("tapwatch");
  link.listen();
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>();
  if (ks::ProgramSettings->fatal()) return 1;
  ks::OpenPolicySettings("Policy.dyn", ks::ProgramSettings->rootPath());
  const std::string workstation = ks::WorkstationName();
  if (workstation.empty())
    dialogs.messageBox("This workstation does not have a name!", message(1), ks::BoxKind::Warning);
  // Neither the file nor its copy opens: the box has said so.
  if (!ks::OpenWorkstationSettings(ks::ProgramSettings->dataPath(),
                                   workstation.empty() ? "noname.wks" : workstation + ".wks",
                                   ks::workstationOpenMode()))
    return 1;
  ks::installSpyedAppsFactory();

  ks::Clock& clock = ks::systemClock();
  ks::Measures measures(clock);
  ks::DifficultKeySets keys(ks::TDifficultKeys::Variant::Monitor);
  ks::TWordList words;
  ks::Analyzer analyzer(measures, keys, words);
  ks::SeededRandom random;
  ks::MonitorStats stats(measures, keys, clock);
  ks::TTrayProgram program(measures, clock);
  const auto ownPid = static_cast<uint32_t>(getpid());
  ks::TTrayMain tray(analyzer, program, ownPid);
  ks::MonitorNotices notices(stats, clock, random, program.notifier());
  const bool autoLogon = argc > 1 && ks::upperCase(argv[1]) == "/AUTOLOGON";
  ks::MonitorSession session({tray, program, program, stats, notices, keys, words}, autoLogon);
  program.attach(tray, session, notices);
  QObject::connect(&program, &ks::TTrayProgram::terminateRequested, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  program.listenTo(link);

  // The source's thread only queues; the key path runs here, on the main thread.
  ks::InputSource::Sink sink;
  sink.key = [&](const ks::KeyStroke& k) {
    onMainThread([&tray, &program, k, ownPid] {
      tray.CMKeyInfo(k);
      program.noteKey(k.pid, ownPid);
    });
  };
  sink.click = [&](int button, uint32_t pid) {
    onMainThread([&tray, button, pid] { tray.CMMouseClicked(button, pid); });
  };
  sink.programSeen = [&](const ks::ProgramSeen& p) {
    onMainThread([&tray, p] { tray.RegisterNewModule(p); });
  };
  sink.repeat = [&] { onMainThread([&tray] { tray.RepeatWarning(); }); };
  bool saidUnavailable = false;
  ks::EvdevInputSource* evdev = nullptr;
  sink.unavailable = [&](const std::string& why) {
    if (!std::exchange(saidUnavailable, true)) std::fprintf(stderr, "tapwatch: %s\n", why.c_str());
    // The kernel's devices are read on the main thread: the problem is known here already.
    const char* user = std::getenv("USER");
    std::string shown =
        evdev ? ks::keyboardProblemText(evdev->problem(), ks::utf8ToCp1252(user ? user : "")) : "";
    if (shown.empty()) shown = why;
    onMainThread([&program, shown] { program.unavailable(shown); });
  };
  // Wayland tells no client about other clients' keys: the kernel's input devices do.
  std::unique_ptr<ks::InputSource> source;
  if (ks::waylandSession()) {
    auto reader = std::make_unique<ks::EvdevInputSource>(
        sink, [&keyboard] { return desktopKeymap(*keyboard); });
    // A recorded key stream (a file or a named pipe) read as one more keyboard.
    if (const char* stream = std::getenv("TAPWATCH_KEY_STREAM"); stream && *stream) {
      struct stat st {};
      const bool fifo = stat(stream, &st) == 0 && S_ISFIFO(st.st_mode);
      // Held open for writing too, a pipe does not end when its writer pauses.
      const int fd = open(stream, (fifo ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) reader->addStream(fd);
    }
    evdev = reader.get();
    source = std::move(reader);
  } else {
    source = std::make_unique<ks::X11InputSource>(sink);
  }
  // Recording runs only while monitoring is on: off, the tutor's pause and the settings stop it.
  program.watchWith([&source](bool on) {
    if (on)
      source->start();
    else
      source->stop();
  });
  // While the session is locked, keys belong to nobody; while another session has the seat, the
  // keys are not the learner's at all.
  ks::SessionLockWatch lock(
      [&](bool locked) {
        source->setSessionLocked(locked);
        program.setSessionLocked(locked);
      },
      evdev ? std::function<void(bool)>([evdev](bool active) { evdev->setSessionActive(active); })
            : std::function<void(bool)>());

  // Who has the focus, and whether it is a password field. Under Wayland the compositor (sway)
  // or else the accessibility bus names the program; the bus tells password fields everywhere.
  uint32_t focusedPid = 0;
  auto programFocused = [&](const ks::FocusChange& f) {
    if (evdev) evdev->setFocusedPid(f.pid);
    if (f.pid && f.pid != std::exchange(focusedPid, f.pid)) {
      const ks::ProgramSeen seen = ks::describeProcess(f.pid, f.windowClass);
      if (!seen.name.empty()) tray.RegisterNewModule(seen);
    }
  };
  std::unique_ptr<ks::SwayFocusWatch> sway;
  if (const char* socket = std::getenv("SWAYSOCK"); evdev && socket && *socket) {
    sway = std::make_unique<ks::SwayFocusWatch>(socket, programFocused,
                                                [&](int group) { evdev->setActiveGroup(group); });
    if (!sway->start()) sway.reset();
  }
  // The active layout, for translating the kernel's keys: sway tells it with the focus; Plasma
  // and GNOME switch layouts themselves and tell it apart. Elsewhere the keymap's own group keys.
  std::unique_ptr<ks::LayoutFollow> layouts;
  if (evdev && sway) {
    std::fprintf(stderr, "tapwatch: following the layout switches of sway\n");
  } else if (evdev) {
    // The keymap keys are translated with; before watching starts, the one it will start with.
    auto keymapLayouts = [evdev, &keyboard] {
      std::vector<ks::XkbLayoutName> names = evdev->groupLayouts();
      if (names.empty())
        if (auto keymap = desktopKeymap(*keyboard)) names = keymap->groupLayouts();
      return names;
    };
    layouts = ks::followDesktopLayout([evdev](int group) { evdev->setActiveGroup(group); },
                                      keymapLayouts);
    if (layouts)
      std::fprintf(stderr, "tapwatch: following the layout switches of %s\n", layouts->desktop());
    else
      std::fprintf(stderr,
                   "tapwatch: no desktop tells its layout switches: keys are read in the first "
                   "layout, or the one the keymap's own switch keys choose\n");
  }
  ks::AtspiFocusWatch atspi([&](const ks::FocusChange& f) {
    source->setPrivateField(f.password);
    if (evdev && !sway) programFocused(f);
  });
  const bool bus = atspi.start();
  if (evdev && !sway && !bus)
    std::fprintf(stderr,
                 "tapwatch: no accessibility bus and no compositor that names the focused "
                 "program: keys are counted, never analysed\n");

  // Logout, shutdown or a plain kill: the figures are saved and the learner closed, in order.
  ks::TerminationWatch termination([&] {
    program.CancelModals();
    source->stop();
    program.Deinitialize();
    program.Terminate();
  });
  // The session manager asks before the session ends: the figures are saved, watching goes on.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &program, [&] {
    if (session.user() && session.enabled()) session.EnableNow(session.DisableNow(""));
  });
  program.Initialize();
  if (!session.lastError().empty())
    std::fprintf(stderr, "tapwatch: not watching: %s\n", session.lastError().c_str());
  // A start that ended already (a cancelled login, a signal) must not wait for a quit it missed.
  const int rc = program.Terminating() ? 0 : QApplication::exec();
  source->stop();
  program.Deinitialize();
  program.watchWith({});  // the source goes before the program
  ks::setDialogs(nullptr);
  ks::setSystemKeyboard(nullptr);
  return rc;
}
