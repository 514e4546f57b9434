// tapwatch: the background typing monitor.
#include <QCoreApplication>

#include "platform/systemkeyboard.h"
#include "platform/x11/x11systemkeyboard.h"
#include "shell/programinfo.h"
#include "web/inetsupport.h"

int main(int argc, char** argv) {
  if (auto rc = ks::answerInfoSwitches(argc, argv, "tapwatch",
                                       "Tapwatch keeps daily typing figures for a learner and "
                                       "suggests breaks and review practice.",
                                       "[/AUTOLOGON]"))
    return *rc;
  ks::installHttpFetcher();
  QCoreApplication app(argc, argv);
  auto keyboard = ks::createSystemKeyboard();
  ks::setSystemKeyboard(keyboard.get());
  QCoreApplication::setApplicationName("tapwatch");
  // The monitor's own start-up comes later; until then it starts and ends cleanly.
  return 0;
}
