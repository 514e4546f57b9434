// Keystroke to pixels: a key event delivered to a running typing view in the tutor's window,
// checked, measured and painted (offscreen), timed one keystroke at a time over a paragraph of
// 1,000 keystrokes. The input-line text event and the in-place sentence drill (which also lights
// keys on the on-screen keyboard) are the views learners type into most. Reported per keystroke:
// median_ms and p99_ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>

#include "engine/ui/drillviews.h"
#include "engine/ui/textevent.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "typingbench.h"

namespace {

using namespace ks;
using namespace ks::bench;

// One keystroke: delivered to the focus widget as the window system would, then every update it
// caused painted before the clock stops.
template <typename Key>
void strike(TBookFormEx& window, Key key, Timings& t) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
  const auto start = std::chrono::steady_clock::now();
  QTest::keyClick(target, key);
  QApplication::processEvents();
  t.add(std::chrono::steady_clock::now() - start);
}

// Escape, where keys go: the event ends.
void leave(TBookFormEx& window) {
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                  Qt::Key_Escape);
}

void typeText(TBookFormEx& window, const std::vector<std::string>& lines, bool enterAtLineEnd,
              Timings& t) {
  typeLines(lines, enterAtLineEnd, [&](char c) {
    if (c == '\r') {
      strike(window, Qt::Key_Return, t);
    } else {
      strike(window, c, t);
    }
  });
}

void BM_InputLineText(benchmark::State& state) {
  Setup s;
  const std::vector<std::string> lines = paragraph(60);
  Timings t;
  for (auto _ : state) {
    // One long text: the input line ends words with Space, so the line ends are blanks too.
    TTextEventView event("event;TEXT;0;x", "TEXT");
    event.TextOverride = joined(lines, " ");
    state.SetIterationTime(timedRun(event, "TEXT", [&] {
      typeText(s.window, lines, false, t);
      strike(s.window, Qt::Key_Space, t);  // ends the last word
      leave(s.window);
    }));
  }
  report(state, t);
}
BENCHMARK(BM_InputLineText)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_InPlaceSentenceDrill(benchmark::State& state) {
  Setup s;
  if (!loadUsLayout(state)) return;
  const std::vector<std::string> lines = paragraph(40);
  Timings t;
  for (auto _ : state) {
    TKeybSentenceEvent2 event("event;SENTENCE2;0;x");
    event.TextOverride = joined(lines, "\r\n");
    state.SetIterationTime(timedRun(event, "SENTENCE2", [&] {
      typeText(s.window, lines, true, t);
      leave(s.window);
    }));
  }
  report(state, t);
}
BENCHMARK(BM_InPlaceSentenceDrill)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return ks::bench::runBenchmarks(argc, argv);
}
