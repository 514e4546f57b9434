// The accessibility bus names the focused program and tells a password field from a text field;
// keys typed into the password field, read by the monitor's evdev source, belong to nobody and
// reach no statistics. Runs with a window of its own on an X server and a private bus
// (with_a11y_bus.sh).
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <mutex>
#include <vector>

#include "platform/desktop/focuswatch.h"
#include "platform/linux/evdevinputsource.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {
namespace {

// Spins the event loop until `done` or ten seconds.
template <typename F>
bool waitFor(F done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 10000) QTest::qWait(20);
  return done();
}

void writeKey(int fd, unsigned code) {
  for (int value : {1, 0}) {
    input_event e{};
    e.type = EV_KEY;
    e.code = static_cast<uint16_t>(code);
    e.value = value;
    ASSERT_EQ(write(fd, &e, sizeof e), static_cast<ssize_t>(sizeof e));
  }
}

TEST(AtspiFocus, PasswordFieldsAreNeverAttributed) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* name = new QLineEdit(&window);
  name->setAccessibleName("Name");
  auto* secret = new QLineEdit(&window);
  secret->setAccessibleName("Password");
  secret->setEchoMode(QLineEdit::Password);
  layout->addWidget(name);
  layout->addWidget(secret);

  // The key path as tapwatch wires it: focus changes go to the source that reads the keys.
  std::mutex m;
  std::vector<KeyStroke> keys;
  InputSource::Sink sink;
  sink.key = [&](const KeyStroke& k) {
    std::lock_guard lock(m);
    keys.push_back(k);
  };
  EvdevInputSource source(
      sink, [] { return XkbKeymap::fromNames("us"); }, "/nonexistent");
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  source.addStream(p[0]);
  FocusChange last;
  int changes = 0;
  AtspiFocusWatch watch([&](const FocusChange& f) {
    last = f;
    ++changes;
    source.setFocusedPid(f.pid);
    source.setPrivateField(f.password);
  });
  ASSERT_TRUE(watch.start()) << "no accessibility bus";
  ASSERT_TRUE(source.start());

  window.show();
  window.activateWindow();
  // The bridge registers with the bus after the window shows; focus moves until it is heard.
  const auto self = static_cast<uint32_t>(getpid());
  ASSERT_TRUE(waitFor([&] {
    secret->setFocus();
    QTest::qWait(50);
    name->setFocus();
    QTest::qWait(50);
    return last.pid == self && !last.password;
  })) << "focus heard: pid "
      << last.pid << " password " << last.password << " after " << changes;
  writeKey(p[1], KEY_A);
  ASSERT_TRUE(waitFor([&] {
    std::lock_guard lock(m);
    return keys.size() == 1;
  }));

  secret->setFocus();
  ASSERT_TRUE(waitFor([&] { return last.password; }));
  EXPECT_EQ(last.pid, self);
  writeKey(p[1], KEY_S);
  ASSERT_TRUE(waitFor([&] {
    std::lock_guard lock(m);
    return keys.size() == 2;
  }));

  name->setFocus();
  ASSERT_TRUE(waitFor([&] { return last.pid == self && !last.password; }));
  writeKey(p[1], KEY_D);
  ASSERT_TRUE(waitFor([&] {
    std::lock_guard lock(m);
    return keys.size() == 3;
  }));
  close(p[1]);
  source.stop();
  EXPECT_EQ(keys[0].pid, self);  // the text field: the program's key
  EXPECT_EQ(keys[1].pid, 0u);    // the password field: nobody's, never analysed
  EXPECT_EQ(keys[2].pid, self);
}

}  // namespace
}  // namespace ks
