// Keystroke to pixels on the X server: a key pressed through XTEST, as a keyboard would, reaches
// the tutor through the X server and Qt's xcb back-end; the clock stops when the server reports
// the window damaged (XDamage), that is when the new pixels have arrived there. Timed one
// keystroke at a time over 1,000 keystrokes of the input-line text event and of the in-place
// sentence drill with its on-screen keyboard; and one frame of the bubbles game, from the step of
// play to its pixels on the server. Needs an X server with XTEST and DAMAGE (Xvfb has both).
// Reported: median_ms and p99_ms; keystrokes that drew nothing within a second count as missed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/ui/drillviews.h"
#include "engine/ui/textevent.h"
#include "games/ui/bubblesview.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "typingbench.h"

// Last: Xlib's macros (Status, None, KeyPress) would spoil the Qt headers.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

namespace {

using namespace ks;
using namespace ks::bench;
using Clock = std::chrono::steady_clock;

// A connection of its own to the tutor's X server: it presses keys and hears the window's damage.
class ServerProbe {
 public:
  explicit ServerProbe(QWidget& window) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    int event, error, major, minor;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor) ||
        !XDamageQueryExtension(display_, &damageEvent_, &error)) {
      return;
    }
    damage_ = XDamageCreate(display_, static_cast<Drawable>(window.winId()), XDamageReportNonEmpty);
    XSync(display_, False);
  }
  ~ServerProbe() {
    if (damage_) XDamageDestroy(display_, damage_);
    if (display_) XCloseDisplay(display_);
  }
  bool usable() const { return damage_ != 0; }

  // Sends the keyboard to `window`, as a window manager would on a click.
  void focus(QWidget& window) {
    XSetInputFocus(display_, static_cast<Window>(window.winId()), RevertToParent, CurrentTime);
    XSync(display_, False);
  }

  // Forgets the damage so far once the tutor has drawn everything it had to draw: the damage is
  // cleared, and it must stay clear for a moment (a picture Qt sent just before the clearing may
  // still reach the server after it).
  void settle() {
    for (int i = 0; i < 100; ++i) {
      pump(std::chrono::milliseconds(2));
      XDamageSubtract(display_, damage_, None, None);
      XSync(display_, False);
      drain();
      pump(std::chrono::milliseconds(2));
      XSync(display_, False);
      if (!drain()) return;
    }
  }

  // Waits, letting the tutor work, for the window's next damage; false after a second without.
  bool waitForDamage() {
    const auto limit = Clock::now() + std::chrono::seconds(1);
    while (Clock::now() < limit) {
      QApplication::processEvents();
      while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == damageEvent_ + XDamageNotify) return true;
      }
    }
    return false;
  }

  // Presses and releases the key of `keysym` without timing it (the keys that end or start).
  void press(KeySym keysym) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
    pump(std::chrono::milliseconds(5));
  }

  // Presses and releases the key of `keysym`; times the press to its damage.
  void strike(KeySym keysym, Timings& t) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    settle();
    const auto start = Clock::now();
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XFlush(display_);
    if (waitForDamage()) {
      t.add(Clock::now() - start);
    } else {
      ++t.missed;
    }
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
  }

  // Times `draw` (a frame painted and flushed to the window) to its damage.
  template <typename Draw>
  void frame(Draw draw, Timings& t) {
    settle();
    const auto start = Clock::now();
    draw();
    if (waitForDamage()) {
      t.add(Clock::now() - start);
    } else {
      ++t.missed;
    }
  }

 private:
  static void pump(std::chrono::milliseconds span) {
    const auto until = Clock::now() + span;
    while (Clock::now() < until) QApplication::processEvents();
  }
  // Reads the events that came; whether the window was damaged.
  bool drain() {
    bool damaged = false;
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
      damaged |= e.type == damageEvent_ + XDamageNotify;
    }
    return damaged;
  }

  Display* display_ = nullptr;
  Damage damage_ = 0;
  int damageEvent_ = 0;
};

KeySym keysymOf(char c) {
  if (c == '\r') return XK_Return;
  if (c == ' ') return XK_space;
  return static_cast<KeySym>(static_cast<unsigned char>(c));  // Latin-1 keysyms are the codes
}

void typeOnServer(ServerProbe& probe, const std::vector<std::string>& lines, bool enterAtLineEnd,
                  Timings& t) {
  typeLines(lines, enterAtLineEnd, [&](char c) { probe.strike(keysymOf(c), t); });
}

bool ready(benchmark::State& state, Setup& s, ServerProbe& probe) {
  if (!probe.usable()) {
    state.SkipWithError("needs an X server with XTEST and DAMAGE");
    return false;
  }
  // The key presses go where the server sends the keyboard: to the tutor's window.
  probe.focus(s.window);
  return true;
}

void BM_ServerInputLineText(benchmark::State& state) {
  Setup s;
  ServerProbe probe(s.window);
  if (!ready(state, s, probe)) return;
  const std::vector<std::string> lines = paragraph(60);
  Timings t;
  for (auto _ : state) {
    TTextEventView event("event;TEXT;0;x", "TEXT");
    event.TextOverride = joined(lines, " ");
    state.SetIterationTime(timedRun(event, "TEXT", [&] {
      typeOnServer(probe, lines, false, t);
      probe.strike(XK_space, t);  // ends the last word
      probe.press(XK_Escape);
    }));
  }
  report(state, t);
}
BENCHMARK(BM_ServerInputLineText)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ServerSentenceDrill(benchmark::State& state) {
  Setup s;
  ServerProbe probe(s.window);
  if (!ready(state, s, probe)) return;
  if (!loadUsLayout(state)) return;
  const std::vector<std::string> lines = paragraph(40);
  Timings t;
  for (auto _ : state) {
    TKeybSentenceEvent2 event("event;SENTENCE2;0;x");
    event.TextOverride = joined(lines, "\r\n");
    state.SetIterationTime(timedRun(event, "SENTENCE2", [&] {
      typeOnServer(probe, lines, true, t);
      probe.press(XK_Escape);
    }));
  }
  report(state, t);
}
BENCHMARK(BM_ServerSentenceDrill)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The bubbles game in play: each frame is one step of play, painted at once (repaint, not the
// next update) so the clock holds the whole way from the step to the pixels on the server.
void BM_ServerBubblesFrame(benchmark::State& state) {
  Setup s;
  ServerProbe probe(s.window);
  if (!ready(state, s, probe)) return;
  Timings t;
  for (auto _ : state) {
    TBubbles game("event=bubbles;0;keys;abcdefghijklmnopqrstuvwxyz");
    TResultItem result;
    EventHandover h;
    h.Result = &result;
    QTimer::singleShot(0, [&] {
      probe.press(XK_space);  // starts the game
      for (int ms = 0; ms < 12000; ms += 20) {
        s.clock.advance(20);
        game.Poll();
      }
      for (int i = 0; i < kKeystrokes; ++i) {
        probe.frame(
            [&] {
              s.clock.advance(20);
              game.Poll();
              game.PlayingField()->repaint();
            },
            t);
      }
      probe.press(XK_Escape);
    });
    game.Execute(h);
    state.SetIterationTime(0);
  }
  report(state, t);
}
BENCHMARK(BM_ServerBubblesFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "bench_xlatency needs an X server (DISPLAY)\n");
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  return ks::bench::runBenchmarks(argc, argv);
}
