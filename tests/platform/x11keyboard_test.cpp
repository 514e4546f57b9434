// Runs under the X server of the test command (label x11). It configures the groups of its own
// server with setxkbmap, which only tests may do.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/system.h"
#include "platform/x11/x11systemkeyboard.h"

namespace ks {
namespace {

class X11Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    if (envOr("DISPLAY", "").empty()) GTEST_SKIP() << "no X server";
    ASSERT_EQ(std::system("setxkbmap -layout us,de"), 0);
    kb = X11SystemKeyboard::connect();
    ASSERT_TRUE(kb);
  }
  void TearDown() override {
    if (kb) {
      kb->activateLayout("00000409");
      kb->setCapsLock(false);
    }
    if (!envOr("DISPLAY", "").empty()) (void)std::system("setxkbmap -layout us");
  }
  std::unique_ptr<X11SystemKeyboard> kb;
};

TEST_F(X11Keyboard, ReadsTheConfiguredGroups) {
  EXPECT_EQ(kb->groupLayouts(), (std::vector<std::string>{"us", "de"}));
  EXPECT_EQ(kb->configuredLayoutIds(), (std::vector<std::string>{"00000409", "00000407"}));
  kb->activateLayout("00000409");
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  EXPECT_EQ(kb->activeLayoutName(), "English (US)");
}

TEST_F(X11Keyboard, SwitchesToAGroupAndBack) {
  ASSERT_EQ(kb->activateLayout("00000407"), 1);
  EXPECT_EQ(kb->activeGroup(), 1);
  EXPECT_EQ(kb->activeLayoutId(), "00000407");
  EXPECT_EQ(kb->keyChars(21, 0), "z");  // the key right of T follows the switch
  // A layout the user has not configured is never added.
  EXPECT_EQ(kb->activateLayout("0000040C"), -1);
  EXPECT_EQ(kb->activeLayoutId(), "00000407");
  ASSERT_EQ(kb->activateLayout("00000409"), 0);
  EXPECT_EQ(kb->activeLayoutId(), "00000409");
  EXPECT_EQ(kb->keyChars(21, 0), "y");
}

TEST_F(X11Keyboard, FollowsAKeymapChangedBehindItsBack) {
  ASSERT_EQ(std::system("setxkbmap -layout fr"), 0);
  EXPECT_EQ(kb->configuredLayoutIds(), (std::vector<std::string>{"0000040C"}));
  EXPECT_EQ(kb->keyChars(16, 0), "a");
}

TEST_F(X11Keyboard, SwitchesCapsLockOff) {
  kb->setCapsLock(true);
  EXPECT_TRUE(kb->capsLockOn());
  kb->setCapsLock(false);
  EXPECT_FALSE(kb->capsLockOn());
}

}  // namespace
}  // namespace ks
