// Runs under the Wayland compositor of the test command (label wayland: a headless sway), with
// Qt on Wayland. The compositor has no keyboard of its own: each test plugs in a virtual one with
// the layouts it needs (tests/e2e/vkeyboard). The keyboard comes from the factory the programs
// use, on the connection Qt draws with.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/desktop/desktopkeyboard.h"
#include "platform/desktop/keyboardwatch.h"
#include "platform/system.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/waylandsystemkeyboard.h"

namespace ks {
namespace {

class WaylandKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    if (envOr("WAYLAND_DISPLAY", "").empty() || envOr("SWAYSOCK", "").empty() ||
        QGuiApplication::platformName() != "wayland")
      GTEST_SKIP() << "no sway session, or Qt not on Wayland";
  }
  void TearDown() override { unplug(); }

  // Plugs in a keyboard with XKB layouts `layouts` and waits until the compositor has it. Sway
  // is told the same layouts, which keyboards it makes for typing tools start with.
  void plug(const char* layouts) {
    unplug();
    // Quoted: sway takes a comma for the start of another command.
    sway(std::string("input type:keyboard xkb_layout \"") + layouts + "\"");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    keyboard_ = ::fork();
    if (keyboard_ == 0) {
      ::dup2(ready[1], 1);
      ::close(0);  // nothing to type: it holds the keyboard until it is ended
      ::execl(KS_BINARY_DIR "/bin/vkeyboard", "vkeyboard", layouts, nullptr);
      ::_exit(127);
    }
    ::close(ready[1]);
    char line[16] = {};
    const ssize_t n = ::read(ready[0], line, sizeof line - 1);
    ::close(ready[0]);
    ASSERT_GT(n, 0) << "the virtual keyboard did not start";
    sway("input type:keyboard xkb_switch_layout 0");
  }
  void unplug() {
    if (keyboard_ <= 0) return;
    ::kill(keyboard_, SIGTERM);
    ::waitpid(keyboard_, nullptr, 0);
    keyboard_ = -1;
  }
  // As the user switches: another client asks the compositor.
  static void sway(const std::string& command) {
    ASSERT_TRUE(swayCommand(envOr("SWAYSOCK", ""), command)) << command;
  }
  // A window of ours with the keyboard focus, as the tutor's book has it.
  void focusedWindow() {
    window_.resize(200, 100);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_, 5000));
  }

  pid_t keyboard_ = -1;
  QWidget window_;
};

TEST_F(WaylandKeyboard, ReadsTheLayoutsOfTheCompositorsKeyboard) {
  plug("de");
  std::unique_ptr<SystemKeyboard> kb = createSystemKeyboard();
  ASSERT_TRUE(dynamic_cast<WaylandSystemKeyboard*>(kb.get()));
  EXPECT_EQ(kb->activeLayoutId(), "00000407");
  EXPECT_EQ(kb->activeLayoutName(), "German");
  EXPECT_EQ(kb->configuredLayoutIds(), std::vector<std::string>{"00000407"});
  EXPECT_EQ(kb->keyChars(21, ksPlain), "z");  // QWERTZ
  EXPECT_EQ(kb->keyChars(44, ksPlain), "y");
  EXPECT_EQ(kb->keyChars(39, ksPlain), "\xF6");  // ö
  EXPECT_EQ(kb->keyChars(12, ksPlain), "\xDF");  // ß
  EXPECT_EQ(kb->keyChars(16, ksAltGr), "@");
  EXPECT_EQ(kb->keyChars(13, ksPlain), "\xB4");  // the dead acute
  // A connection of its own, as under XWayland, reads the same keymap.
  auto own = WaylandSystemKeyboard::connect(nullptr);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->activeLayoutId(), "00000407");
  EXPECT_EQ(own->keyChars(21, ksShift), "Z");
}

TEST_F(WaylandKeyboard, HearsTheUserSwitchLayoutsAndSwitchesThemThroughSway) {
  plug("us,de");
  focusedWindow();
  std::unique_ptr<SystemKeyboard> kb = createSystemKeyboard();
  auto* wayland = dynamic_cast<WaylandSystemKeyboard*>(kb.get());
  ASSERT_TRUE(wayland);
  EXPECT_TRUE(wayland->canSwitch());
  EXPECT_EQ(kb->configuredLayoutIds(), (std::vector<std::string>{"00000409", "00000407"}));
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  int switches = 0;
  KeyboardWatch watch(*kb, [&] { ++switches; });

  sway("input type:keyboard xkb_switch_layout 1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return switches == 1; }, 3000));
  EXPECT_EQ(kb->activeLayoutId(), "00000407");
  EXPECT_EQ(kb->keyChars(21, ksPlain), "z");

  // The program's own switch goes to the compositor and is none of the user's.
  EXPECT_EQ(kb->activateLayout("00000409"), 0);
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  QTest::qWait(300);
  EXPECT_EQ(switches, 1);
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  EXPECT_EQ(kb->keyChars(21, ksPlain), "y");
  EXPECT_EQ(kb->activateLayout("0000040C"), -1);  // French is not configured

  // A typing tool's keyboard brings a keymap of its own while it types; the user's stays.
  ASSERT_EQ(std::system("wtype -k Shift_L"), 0);
  QTest::qWait(300);
  EXPECT_EQ(kb->configuredLayoutIds(), (std::vector<std::string>{"00000409", "00000407"}));
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  EXPECT_EQ(switches, 1);
}

TEST_F(WaylandKeyboard, WithoutASwitchTheDesktopKeepsItsLayout) {
  plug("us,de");
  auto kb = WaylandSystemKeyboard::connect(nullptr);
  ASSERT_TRUE(kb);
  EXPECT_FALSE(kb->canSwitch());
  EXPECT_EQ(kb->activateLayout("00000409"), 0);   // already the active one
  EXPECT_EQ(kb->activateLayout("00000407"), -1);  // GNOME: the learner switches
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
}

}  // namespace
}  // namespace ks
