#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <future>

#include "platform/desktop/canberrasound.h"
#include "platform/desktop/peerlink.h"
#include "platform/desktop/qtext.h"
#include "platform/desktop/termination.h"
#include "platform/instancelock.h"
#include "support/tempdir.h"

namespace ks {
namespace {

TEST(QtText, ConvertsWindows1252AndLineBreaks) {
  EXPECT_EQ(toQString("\x80 caf\xE9\r\nnext\rline"), QString::fromUtf8("€ café\nnext\nline"));
  EXPECT_EQ(toQString("a\rb", false), QString("a\rb"));
  EXPECT_EQ(toCp1252(QString::fromUtf8("Šta ☃")), "\x8Ata ?");
}

TEST(PeerLink, DeliversAMessageAndAcknowledgesAfterHandling) {
  test::TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  EXPECT_FALSE(PeerLink::post("tapwatch", "QSSidewatch1999.DISABLE", 0, 200));  // nobody there

  InstanceLock lock("tapwatch");
  ASSERT_TRUE(lock.acquire());
  PeerLink link("tapwatch");
  ASSERT_TRUE(link.listen());
  bool saved = false;
  QString received;
  int argument = -1;
  QObject::connect(&link, &PeerLink::messageReceived, [&](const QString& m, int a) {
    received = m;
    argument = a;
    saved = true;  // the receiver acts before the sender hears "OK"
  });
  auto reply = std::async(std::launch::async,
                          [] { return PeerLink::post("tapwatch", "QS2001.BRINGFRONT", 1, 5000); });
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
  EXPECT_TRUE(reply.get());
  EXPECT_TRUE(saved);
  EXPECT_EQ(received, "QS2001.BRINGFRONT");
  EXPECT_EQ(argument, 1);
}

TEST(PeerLink, AStaleSocketIsReplacedByTheLockHolder) {
  test::TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  {
    PeerLink crashed("keyscholar");
    ASSERT_TRUE(crashed.listen());
  }
  test::writeFile(std::filesystem::path(PeerLink::socketPath("keyscholar").toStdString()), "");
  PeerLink fresh("keyscholar");
  EXPECT_TRUE(fresh.listen());
}

TEST(Sound, MissingFilesAndDisabledSoundsAreSilent) {
  test::TempDir dir;
  CanberraSound sound(dir.path());
  sound.play(SoundId::Error);  // disabled: nothing happens
  sound.setEnabled(true);
  sound.play(SoundId::Click);  // no file: nothing happens, no failure recorded
  EXPECT_FALSE(sound.failed());
  EXPECT_STREQ(CanberraSound::fileName(SoundId::TheEnd), "Theend.wav");
}

// A computer without a sound card or sound server plays nothing, and says nothing about it:
// the sound libraries are not even asked.
TEST(Sound, IsTriedOnlyWhereSomethingCanPlayIt) {
  test::TempDir root, runtime;
  ::unsetenv("PULSE_SERVER");
  EXPECT_FALSE(SoundOutputPresent(root.path(), runtime.path()));
  std::filesystem::create_directories(root / "proc/asound");
  test::writeFile(root / "proc/asound/cards", "--- no soundcards ---\n");
  EXPECT_FALSE(SoundOutputPresent(root.path(), runtime.path()));
  std::filesystem::create_directories(runtime / "pulse");
  test::writeFile(runtime / "pulse/native", "");
  EXPECT_TRUE(SoundOutputPresent(root.path(), runtime.path()));
  test::writeFile(root / "proc/asound/cards", " 0 [PCH ]: HDA-Intel - HDA Intel PCH\n");
  EXPECT_TRUE(SoundOutputPresent(root.path(), root.path()));

  // This machine as the tests find it: when nothing can play, a sound fails quietly.
  if (!SoundOutputPresent("/",
                          std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "")) {
    test::TempDir dir;
    test::writeFile(dir / "Click.wav", "RIFF");
    CanberraSound sound(dir.path());
    sound.setEnabled(true);
    testing::internal::CaptureStderr();
    sound.play(SoundId::Click);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(sound.failed());
  }
}

TEST(Termination, ASignalRunsTheHandlerOnceOnTheEventLoop) {
  int calls = 0;
  TerminationWatch watch([&] { ++calls; });
  ::raise(SIGTERM);
  ::raise(SIGHUP);
  EXPECT_EQ(calls, 0);  // never inside the signal handler
  EXPECT_TRUE(QTest::qWaitFor([&] { return calls > 0; }, 2000));
  QTest::qWait(20);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace ks
