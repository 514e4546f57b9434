// Under the headless sway of the Wayland tier, with Qt on Wayland: the compositor names the
// program whose window has the focus (its pid and app_id), as windows of two programs take it in
// turn, and tells the keyboards' active layout when it changes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/desktop/focuswatch.h"
#include "platform/system.h"
#include "platform/wayland/swayipc.h"

namespace ks {
namespace {

template <typename F>
bool waitFor(F done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 15000) QTest::qWait(20);
  return done();
}

// A program of its own: the test's helper binary, started with `args`; ended with the object.
struct Child {
  pid_t pid = -1;
  explicit Child(std::vector<const char*> args) {
    pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "wayland", 1);
      args.push_back(nullptr);
      ::execv(args[0], const_cast<char* const*>(args.data()));
      ::_exit(127);
    }
  }
  ~Child() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
};

TEST(SwayFocus, NamesTheProgramWithTheFocusAndTheActiveLayout) {
  const std::string socket = envOr("SWAYSOCK", "");
  if (envOr("WAYLAND_DISPLAY", "").empty() || socket.empty() ||
      QGuiApplication::platformName() != "wayland")
    GTEST_SKIP() << "no sway session, or Qt not on Wayland";
  // A keyboard with two layouts, so that the compositor has layouts to switch.
  ASSERT_TRUE(swayCommand(socket, "input type:keyboard xkb_layout \"us,de\""));
  Child keyboard({KS_BINARY_DIR "/bin/vkeyboard", "us,de"});
  QTest::qWait(500);

  FocusChange last;
  std::vector<int> layouts;
  SwayFocusWatch watch(
      socket, [&](const FocusChange& f) { last = f; }, [&](int g) { layouts.push_back(g); });
  ASSERT_TRUE(watch.start());

  QWidget window;
  window.setWindowTitle("sway focus test");
  window.resize(200, 100);
  window.show();
  const auto self = static_cast<uint32_t>(getpid());
  ASSERT_TRUE(waitFor([&] { return last.pid == self; })) << "focus: " << last.pid;
  EXPECT_FALSE(last.windowClass.empty());
  EXPECT_FALSE(last.password);  // the compositor knows no fields

  {
    // Another program's window takes the focus, and gives it back when it ends.
    Child probe({KS_BINARY_DIR "/bin/typingprobe", "window"});
    ASSERT_TRUE(waitFor([&] { return last.pid == static_cast<uint32_t>(probe.pid); }))
        << "focus: " << last.pid;
    EXPECT_EQ(last.windowClass, "typingprobe");
  }
  ASSERT_TRUE(waitFor([&] { return last.pid == self; })) << "focus: " << last.pid;

  ASSERT_TRUE(swayCommand(socket, "input type:keyboard xkb_switch_layout 1"));
  EXPECT_TRUE(waitFor([&] { return !layouts.empty() && layouts.back() == 1; }));
  ASSERT_TRUE(swayCommand(socket, "input type:keyboard xkb_switch_layout 0"));
  EXPECT_TRUE(waitFor([&] { return layouts.back() == 0; }));
}

}  // namespace
}  // namespace ks
