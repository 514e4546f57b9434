// Keystroke to pixels: a key event delivered to a running typing view in the tutor's window,
// checked, measured and painted (offscreen), timed one keystroke at a time over a paragraph of
// 1,000 keystrokes. The input-line text event and the in-place sentence drill (which also lights
// keys on the on-screen keyboard) are the views learners type into most. Reported per keystroke:
// median_ms and p99_ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "analysis/analyzer.h"
#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "engine/ui/drillviews.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/textevent.h"
#include "platform/clock.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace {

using namespace ks;

constexpr int kKeystrokes = 1000;

// Lines of everyday words, `width` characters at most, `kKeystrokes` keystrokes in all (a line
// end counts as one).
std::vector<std::string> paragraph(size_t width) {
  static const char* const words[] = {
      "the",   "learner", "types", "a",      "short", "line",    "of", "plain",  "words", "and",
      "keeps", "an",      "even",  "rhythm", "while", "looking", "at", "screen", "not",   "hands"};
  std::vector<std::string> lines(1);
  int count = 0;
  for (size_t i = 0; count < kKeystrokes; ++i) {
    const std::string w = words[i % 20];
    std::string& line = lines.back();
    if (!line.empty() && line.size() + 1 + w.size() > width) {
      lines.emplace_back();
      ++count;  // the line end
      continue;
    }
    const std::string piece = line.empty() ? w : " " + w;
    const int room = kKeystrokes - count;
    line +=
        piece.substr(0, static_cast<size_t>(std::min<int>(room, static_cast<int>(piece.size()))));
    count += std::min<int>(room, static_cast<int>(piece.size()));
  }
  return lines;
}

struct Timings {
  std::vector<double> ms;
  void add(std::chrono::steady_clock::duration d) {
    ms.push_back(std::chrono::duration<double, std::milli>(d).count());
  }
  double at(double fraction) {
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[static_cast<size_t>(fraction * static_cast<double>(ms.size() - 1))];
  }
};

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
  for (size_t i = 0; i < lines.size(); ++i) {
    for (char c : lines[i]) strike(window, c, t);
    if (i + 1 < lines.size() || enterAtLineEnd) {
      strike(window, enterAtLineEnd ? Qt::Key_Return : Qt::Key_Space, t);
    }
  }
}

std::string joined(const std::vector<std::string>& lines, const char* lineEnd) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? lineEnd : "") + lines[i];
  return out;
}

struct Setup {
  FakeClock clock;
  Measures measures{clock};
  DifficultKeySets keys;
  Analyzer analyzer{measures, keys};
  TBookFormEx window;
  Setup() {
    EventEnvironment& env = eventEnvironment();
    env = EventEnvironment{};
    env.clock = &clock;
    env.analyzer = &analyzer;
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) std::fprintf(stderr, "window not active\n");
  }
  ~Setup() { eventEnvironment() = EventEnvironment{}; }
};

// Runs `event` with a fresh result while `typing` plays its keys; the seconds it took.
double timedRun(TEvent& event, const char* type, const std::function<void()>& typing) {
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = type;
  const auto start = std::chrono::steady_clock::now();
  QTimer::singleShot(0, typing);
  event.Execute(h);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(benchmark::State& state, Timings& t) {
  state.counters["median_ms"] = t.at(0.5);
  state.counters["p99_ms"] = t.at(0.99);
  state.counters["keystrokes"] = static_cast<double>(t.ms.size());
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
  if (CurrentLayout().loadFromFile(std::string(KS_INSTALLATION) + "/keyboards/qwerty.kbd") != 1) {
    state.SkipWithError("no keyboard layout in the build's installation");
    return;
  }
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
  QApplication app(argc, argv);
  // The messages and key names the views show, from the build's installation.
  Localize().SetFolder(KS_INSTALLATION);
  Localize().LoadLanguage(LanguageBaseName, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
