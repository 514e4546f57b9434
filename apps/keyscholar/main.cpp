// keyscholar: the touch-typing tutor.
#include <QApplication>
#include <QDialog>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "book/formview.h"
#include "book/pagescale.h"
#include "book/programinfo.h"
#include "content/ui/studyingparts.h"
#include "games/ui/gamesview.h"
#include "games/ui/registergames.h"
#include "monitor/spyedapps.h"
#include "monitorview/ui/sidewatch.h"
#include "platform/desktop/desktopkeyboard.h"
#include "platform/desktop/keyboardwatch.h"
#include "platform/desktop/qtdialogs.h"
#include "platform/desktop/termination.h"
#include "platform/system.h"
#include "platform/systemkeyboard.h"
#include "reports/csvexport.h"
#include "reports/ui/reportparts.h"
#include "shell/appframe.h"
#include "shell/optionsview.h"
#include "typingtest/ui/choosetextview.h"
#include "typingtest/ui/typingtest.h"
#include "web/internetsupport.h"

int main(int argc, char** argv) {
  if (auto rc = ks::answerInfoSwitches(argc, argv, "keyscholar",
                                       "Keyscholar teaches touch typing: courses, drills, games, "
                                       "typing tests and statistics.",
                                       "[/IN1] [/NOMUTEX name] [/SIDEWATCH] [/STATISTICS] "
                                       "[/TYPETEST] [/TYPETEST2] [/SCREENSHOTMODE]\n"
                                       "       keyscholar --export-csv FILE [LEARNER]"))
    return *rc;
  // Results for spreadsheets need no display.
  if (auto rc = ks::answerExportCsv(std::vector<std::string>(argv + 1, argv + argc))) return *rc;
  if (!ks::displayAvailable()) {
    std::fprintf(stderr,
                 "keyscholar: no display found; start it from a desktop session (DISPLAY or "
                 "WAYLAND_DISPLAY must be set).\n");
    return 1;
  }
  // Settings stores and data files may be given as web addresses.
  ks::installHttpFetcher();
  // Learners carry the list of programs the monitor watches; the tutor edits it too.
  ks::installSpyedAppsFactory();
  ks::preferNativeWayland();
  // On a screen with room for a much larger book, everything is drawn larger.
  std::optional<QApplication> app;
  ks::createScaledApplication(app, argc, argv);
  QApplication::setApplicationName("keyscholar");
  QApplication::setApplicationVersion(ks::kVersion);
  // Ties the window to the installed menu entry and its icon (desktop/), also under Wayland.
  QGuiApplication::setDesktopFileName("org.quillstroker.Keyscholar");
  // The layouts the learner has configured, and the one in use (a fixed US keyboard without a
  // desktop).
  auto keyboard = ks::createSystemKeyboard();
  ks::setSystemKeyboard(keyboard.get());
  // A layout that follows the system one reads its keys again after the learner switches.
  ks::KeyboardWatch layoutWatch(*keyboard, [] { ks::CurrentLayout().markLayoutChanged(); });

  ks::TBookFormEx window;
  ks::QtDialogs dialogs(&window);
  ks::setDialogs(&dialogs);
  window.show();
  // Logout, shutdown or a plain kill: every view closes and the learner's files are saved.
  ks::TerminationWatch termination([] {
    ks::setAppTerminating();
    // A message box waiting for an answer must not keep the program from ending.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) dialog->reject();
    }
  });

  std::vector<std::string> args(argv + 1, argv + argc);
  int result;
  {
    ks::TAppFrame frame(window, ks::parseStartOptions(args));
    ks::registerStudyingParts(frame);
    ks::registerGames();
    ks::registerTypingTest(frame);
    ks::registerGamesMenu(frame);
    ks::registerReportParts(frame);
    ks::registerSidewatch(frame);
    ks::registerOptionsPart(frame);
    // The typing test's result list prints through the reports, for the learner logged on.
    ks::setTestReports({[&frame](const ks::TResultItem& test) {
                          if (ks::TUser* user = frame.User()) ks::PrintTestCertificate(*user, test);
                        },
                        [&frame](const ks::TResultItem& test) {
                          if (ks::TUser* user = frame.User()) ks::PrintTestResults(*user, test);
                        }});
    result = frame.Initialize();
    frame.Finalize(result);
    ks::setTestReports({});
  }
  ks::setDialogs(nullptr);
  ks::setSystemKeyboard(nullptr);
  if (result == ks::TAppFrame::kOtherInstance) return result;
  return result < 0 ? 1 : 0;
}
