// Runs under the X server of the test command (label x11): another client switches the XKB group
// as the user's layout switch would, and the program hears of it.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>

#include "platform/desktop/keyboardwatch.h"
#include "platform/system.h"
#include "platform/x11/x11systemkeyboard.h"

namespace ks {
namespace {

TEST(KeyboardWatch, HearsTheUserSwitchLayoutsButNotTheProgram) {
  if (envOr("DISPLAY", "").empty()) GTEST_SKIP() << "no X server";
  ASSERT_EQ(std::system("setxkbmap -layout us,de"), 0);
  auto program = X11SystemKeyboard::connect();
  auto user = X11SystemKeyboard::connect();
  ASSERT_TRUE(program && user);
  program->activateLayout("00000409");
  int switches = 0;
  KeyboardWatch watch(*program, [&] { ++switches; });

  user->activateLayout("00000407");
  EXPECT_TRUE(QTest::qWaitFor([&] { return switches == 1; }, 3000));
  program->activateLayout("00000409");  // the program's own switch is none of the user's
  QTest::qWait(300);
  EXPECT_EQ(switches, 1);
  EXPECT_FALSE(program->layoutSwitched());

  (void)std::system("setxkbmap -layout us");
}

}  // namespace
}  // namespace ks
