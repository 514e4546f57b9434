// keyscholar: the touch-typing tutor.
#include <QApplication>
#include <cstdio>

#include "platform/desktop/termination.h"
#include "platform/system.h"
#include "platform/systemkeyboard.h"
#include "platform/x11/x11systemkeyboard.h"
#include "shell/bookformex.h"
#include "shell/formview.h"
#include "shell/programinfo.h"
#include "web/inetsupport.h"

int main(int argc, char** argv) {
  if (auto rc = ks::answerInfoSwitches(argc, argv, "keyscholar",
                                       "Keyscholar teaches touch typing: courses, drills, games, "
                                       "typing tests and statistics.",
                                       "[/IN1] [/NOMUTEX name] [/SIDEWATCH] [/STATISTICS] "
                                       "[/TYPETEST] [/TYPETEST2] [/SCREENSHOTMODE]"))
    return *rc;
  if (!ks::displayAvailable()) {
    std::fprintf(stderr,
                 "keyscholar: no display found; start it from a desktop session (DISPLAY or "
                 "WAYLAND_DISPLAY must be set).\n");
    return 1;
  }
  // Settings stores and data files may be given as web addresses.
  ks::installHttpFetcher();
  QApplication app(argc, argv);
  // The layouts the learner has configured, and the one in use (a fixed US keyboard without X11).
  auto keyboard = ks::createSystemKeyboard();
  ks::setSystemKeyboard(keyboard.get());
  QApplication::setApplicationName("keyscholar");
  QApplication::setApplicationVersion(ks::kVersion);
  // The shell's start-up and main loop replace this once they exist: until then the window
  // shows its empty page and the exit buttons end the program.
  ks::TBookFormEx window;
  window.SetTitle(QString::fromUtf8(ks::kProgramTitle));
  window.SetExitVisible(true);
  QObject::connect(&window, &ks::TBookFormEx::exitClicked, &app, &QApplication::quit);
  QObject::connect(&window, &ks::TBookFormEx::closeRequested, &app, &QApplication::quit);
  ks::TerminationWatch termination([&app] {
    ks::setAppTerminating();
    app.quit();
  });
  window.show();
  return QApplication::exec();
}
