// The kernel's key events, read from a pipe or a file in place of a device node, become the same
// key words the X11 source reports, attributed to the focused program only while the session is
// the learner's, unlocked and typing into no password field.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/evdevinputsource.h"
#include "platform/x11/xkbkeymap.h"

namespace ks {
namespace {

// What the source reports, gathered from its thread.
struct Seen {
  std::mutex m;
  std::condition_variable changed;
  std::vector<KeyStroke> keys;
  std::vector<std::pair<int, uint32_t>> clicks;
  int repeats = 0;
  std::string unavailable;

  InputSource::Sink sink() {
    InputSource::Sink s;
    s.key = [this](const KeyStroke& k) { add([&] { keys.push_back(k); }); };
    s.click = [this](int b, uint32_t pid) { add([&] { clicks.emplace_back(b, pid); }); };
    s.repeat = [this] { add([&] { ++repeats; }); };
    s.unavailable = [this](const std::string& why) { add([&] { unavailable = why; }); };
    return s;
  }
  template <typename F>
  void add(F f) {
    std::lock_guard lock(m);
    f();
    changed.notify_all();
  }
  // Waits until `n` keys came (a source's thread reads at its own pace).
  bool waitKeys(size_t n) {
    std::unique_lock lock(m);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return keys.size() >= n; });
  }
};

// A recorded stream: presses, releases and repeats as the kernel writes them, each followed by
// its report marker.
struct Recording {
  std::vector<input_event> events;
  uint32_t ms = 1000;
  void ev(unsigned code, int value) {
    input_event e{};
    e.input_event_sec = ms / 1000;
    e.input_event_usec = (ms % 1000) * 1000;
    e.type = EV_KEY;
    e.code = static_cast<uint16_t>(code);
    e.value = value;
    events.push_back(e);
    input_event syn = e;
    syn.type = EV_SYN;
    syn.code = SYN_REPORT;
    syn.value = 0;
    events.push_back(syn);
    ms += 100;
  }
  void tap(unsigned code) {
    ev(code, 1);
    ev(code, 0);
  }
  void with(unsigned modifier, unsigned code) {
    ev(modifier, 1);
    tap(code);
    ev(modifier, 0);
  }
};

struct EmptyFolder {
  std::filesystem::path path;
  EmptyFolder() {
    char tmpl[] = "/tmp/ks-evdev-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~EmptyFolder() { std::filesystem::remove_all(path); }
};

// A source with a US keymap over an empty device folder, whose one keyboard is a pipe the test
// writes recordings into.
struct PipedSource {
  explicit PipedSource(Seen& seen)
      : source(
            seen.sink(), [] { return XkbKeymap::fromNames("us"); }, folder.path.string()) {
    EXPECT_EQ(pipe(fds), 0);
    source.addStream(fds[0]);
  }
  ~PipedSource() {
    source.stop();
    close(fds[1]);
  }
  void send(const Recording& r) {
    const size_t size = r.events.size() * sizeof(input_event);
    EXPECT_EQ(write(fds[1], r.events.data(), size), static_cast<ssize_t>(size));
  }
  EmptyFolder folder;
  EvdevInputSource source;
  int fds[2] = {-1, -1};
};

// Stores `rec` in `file` as the kernel would hand it out.
void saveRecording(const Recording& rec, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(rec.events.data()),
            static_cast<std::streamsize>(rec.events.size() * sizeof(input_event)));
}

// Runs `rec` through a pipe into a source with a German keymap; `prepare` sets its state first.
template <typename F>
std::vector<KeyStroke> typeThroughPipe(const Recording& rec, Seen& seen, size_t expected,
                                       F prepare) {
  EmptyFolder folder;
  EvdevInputSource source(
      seen.sink(), [] { return XkbKeymap::fromNames("de"); }, folder.path.string());
  int p[2];
  EXPECT_EQ(pipe(p), 0);
  source.addStream(p[0]);
  prepare(source);
  EXPECT_TRUE(source.start());
  // Written in pieces that split events, as a pipe may deliver them.
  const auto* bytes = reinterpret_cast<const char*>(rec.events.data());
  const size_t size = rec.events.size() * sizeof(input_event);
  for (size_t at = 0; at < size; at += 37) {
    const size_t n = std::min<size_t>(37, size - at);
    EXPECT_EQ(write(p[1], bytes + at, n), static_cast<ssize_t>(n));
    if (at % 370 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  close(p[1]);
  EXPECT_TRUE(seen.waitKeys(expected));
  source.stop();
  std::lock_guard lock(seen.m);
  return seen.keys;
}

TEST(EvdevSource, KeyWordsAsUnderX11) {
  Recording rec;
  rec.tap(KEY_H);
  rec.with(KEY_LEFTSHIFT, KEY_A);  // "A": upper case, the unshifted character
  rec.with(KEY_RIGHTALT, KEY_Q);   // AltGr+Q types "@" on a German keyboard
  rec.tap(KEY_GRAVE);              // the German "^" is a dead key
  rec.tap(KEY_E);
  rec.with(KEY_LEFTCTRL, KEY_C);  // a command
  rec.tap(KEY_LEFT);              // an arrow never types
  rec.tap(KEY_CAPSLOCK);
  rec.tap(KEY_Y);  // Caps Lock: upper case; German "z" is on Y
  rec.tap(KEY_CAPSLOCK);
  rec.tap(KEY_SPACE);
  rec.tap(KEY_BACKSPACE);
  Seen seen;
  const auto keys =
      typeThroughPipe(rec, seen, 10, [](EvdevInputSource& s) { s.setFocusedPid(42); });
  ASSERT_EQ(keys.size(), 10u);  // modifiers and Caps Lock are never reported
  EXPECT_EQ(keys[0].keyWord, unsigned('H'));
  EXPECT_EQ(keys[0].ch, 'h');
  EXPECT_EQ(keys[0].pid, 42u);
  EXPECT_EQ(keys[0].timeMs, 1000u);
  EXPECT_EQ(keys[1].keyWord, 'A' | kwUpper);
  EXPECT_EQ(keys[1].ch, 'a');
  EXPECT_EQ(keys[2].ch, '@');
  EXPECT_FALSE(keys[2].keyWord & kwCommand);  // AltGr is no command
  EXPECT_TRUE(keys[3].dead);
  EXPECT_EQ(keys[3].ch, '^');
  EXPECT_EQ(keys[4].ch, 'e');
  EXPECT_TRUE(keys[5].keyWord & kwCommand);
  EXPECT_EQ(keys[6].keyWord, 37 | kwCommand2);
  EXPECT_EQ(keys[7].keyWord, 'Z' | kwUpper);
  EXPECT_EQ(keys[8].ch, ' ');
  EXPECT_EQ(keys[9].ch, 8);
}

TEST(EvdevSource, HeldKeyRepeatsAndWarnsOnce) {
  Recording rec;
  rec.ev(KEY_K, 1);
  rec.ev(KEY_K, 2);
  rec.ev(KEY_K, 2);
  rec.ev(KEY_K, 0);
  rec.tap(KEY_L);
  rec.ev(KEY_L, 1);
  rec.ev(KEY_L, 2);
  rec.ev(KEY_L, 0);
  rec.ev(KEY_LEFTSHIFT, 1);
  rec.ev(KEY_LEFTSHIFT, 2);  // a held modifier is nothing to warn about
  rec.ev(KEY_LEFTSHIFT, 0);
  Seen seen;
  const auto keys = typeThroughPipe(rec, seen, 6, [](EvdevInputSource&) {});
  ASSERT_EQ(keys.size(), 6u);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i].ch, i < 3 ? 'k' : 'l') << i;
  std::lock_guard lock(seen.m);
  EXPECT_EQ(seen.repeats, 2);  // once for the held K, once for the held L
}

TEST(EvdevSource, KeysBelongToNobodyWhileLockedPrivateOrUnknown) {
  Recording rec;
  rec.tap(KEY_S);
  Seen locked, secret, unknown;
  EXPECT_EQ(typeThroughPipe(rec, locked, 1,
                            [](EvdevInputSource& s) {
                              s.setFocusedPid(42);
                              s.setSessionLocked(true);
                            })[0]
                .pid,
            0u);
  EXPECT_EQ(typeThroughPipe(rec, secret, 1,
                            [](EvdevInputSource& s) {
                              s.setFocusedPid(42);
                              s.setPrivateField(true);
                            })[0]
                .pid,
            0u);
  EXPECT_EQ(typeThroughPipe(rec, unknown, 1, [](EvdevInputSource&) {})[0].pid, 0u);
}

TEST(EvdevSource, KeysOfAnotherSessionAreNotEvenCounted) {
  Recording rec;
  rec.tap(KEY_S);
  rec.ev(BTN_LEFT, 1);
  rec.ev(BTN_LEFT, 0);
  Seen seen;
  EXPECT_TRUE(typeThroughPipe(rec, seen, 0, [](EvdevInputSource& s) {
                s.setFocusedPid(42);
                s.setSessionActive(false);
              }).empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::lock_guard lock(seen.m);
  EXPECT_TRUE(seen.keys.empty());
  EXPECT_TRUE(seen.clicks.empty());
}

TEST(EvdevSource, ModifiersReleasedInAnotherSessionAreNotHeldOnReturn) {
  Seen seen;
  PipedSource piped(seen);
  EvdevInputSource& source = piped.source;
  ASSERT_TRUE(source.start());
  const auto send = [&](const Recording& r) { piped.send(r); };
  // Ctrl+Alt held to switch to another session (Ctrl+Alt+F2)...
  Recording away;
  away.ev(KEY_LEFTCTRL, 1);
  away.ev(KEY_LEFTALT, 1);
  away.tap(KEY_F2);
  send(away);
  ASSERT_TRUE(seen.waitKeys(1));
  EXPECT_TRUE(seen.keys[0].keyWord & kwCommand);
  // ...and let go there.
  source.setSessionActive(false);
  Recording there;
  there.ev(KEY_LEFTALT, 0);
  there.ev(KEY_LEFTCTRL, 0);
  there.tap(KEY_Q);
  send(there);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  source.setSessionActive(true);
  Recording back;
  back.tap(KEY_A);
  send(back);
  ASSERT_TRUE(seen.waitKeys(2));
  source.stop();
  ASSERT_EQ(seen.keys.size(), 2u);  // the Q of the other session is not ours
  EXPECT_EQ(seen.keys[1].keyWord, unsigned('A'));
}

TEST(EvdevSource, ClicksEndWordsAsUnderX11) {
  Recording rec;
  rec.ev(BTN_LEFT, 1);
  rec.ev(BTN_LEFT, 0);
  rec.ev(BTN_RIGHT, 1);
  rec.ev(BTN_RIGHT, 0);
  rec.tap(KEY_O);
  Seen seen;
  typeThroughPipe(rec, seen, 1, [](EvdevInputSource& s) { s.setFocusedPid(7); });
  std::lock_guard lock(seen.m);
  ASSERT_EQ(seen.clicks.size(), 2u);
  EXPECT_EQ(seen.clicks[0], std::make_pair(1, 7u));
  EXPECT_EQ(seen.clicks[1], std::make_pair(3, 7u));
}

TEST(EvdevSource, ARecordedFileReadsLikeADevice) {
  Recording rec;
  rec.tap(KEY_F);
  EmptyFolder folder;
  const auto file = folder.path / "recorded";
  saveRecording(rec, file);
  Seen seen;
  EvdevInputSource source(
      seen.sink(), [] { return XkbKeymap::fromNames("us"); }, "/nonexistent");
  source.addStream(open(file.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(source.start());
  ASSERT_TRUE(seen.waitKeys(1));
  source.stop();
  EXPECT_EQ(seen.keys[0].ch, 'f');
}

TEST(EvdevSource, ANodeThatAppearsLaterIsReadOnlyWhenItIsAnInputDevice) {
  Seen seen;
  PipedSource piped(seen);
  ASSERT_TRUE(piped.source.start());
  // A file named like a device, holding key events: no input device, so never read.
  Recording fake;
  fake.tap(KEY_X);
  saveRecording(fake, piped.folder.path / "event3");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Recording real;
  real.tap(KEY_K);
  piped.send(real);
  ASSERT_TRUE(seen.waitKeys(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  piped.source.stop();
  ASSERT_EQ(seen.keys.size(), 1u);
  EXPECT_EQ(seen.keys[0].ch, 'k');
}

TEST(EvdevSource, SaysWhyWhenNoKeyboardCanBeRead) {
  EmptyFolder folder;
  // A file that is no input device is no keyboard.
  std::ofstream(folder.path / "event0") << "not a device";
  Seen seen;
  EvdevInputSource source(seen.sink(), nullptr, folder.path.string());
  EXPECT_FALSE(source.start());
  EXPECT_EQ(source.problem(), EvdevInputSource::Problem::NoKeyboard);
  std::lock_guard lock(seen.m);
  EXPECT_NE(seen.unavailable.find("no keyboard"), std::string::npos);
}

TEST(EvdevSource, DefaultKeymapFromTheSystemsKeyboardFile) {
  EmptyFolder folder;
  const auto file = folder.path / "keyboard";
  std::ofstream(file) << "XKBMODEL=\"pc105\"\nXKBLAYOUT=\"de\"\nXKBVARIANT=\"\"\n";
  auto de = defaultKeymap(file.string());
  ASSERT_TRUE(de);
  EXPECT_EQ(de->lookup(21, 0, 0).text, "z");  // the German Z sits where the US Y does
  // A layout the rules do not know falls back to one that types.
  std::ofstream(file) << "XKBLAYOUT=\"nonsense\"\n";
  auto fallback = defaultKeymap(file.string());
  ASSERT_TRUE(fallback);
  EXPECT_FALSE(fallback->lookup(30, 0, 0).text.empty());
}

}  // namespace
}  // namespace ks
