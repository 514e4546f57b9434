// What the keystroke and game-frame benchmarks share: a paragraph of everyday words, the tutor's
// window with a typing environment under a fake clock, per-keystroke timings, and their main.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "analysis/analyzer.h"
#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "content/eventfactory.h"
#include "engine/ui/eventenv.h"
#include "platform/clock.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/resultitem.h"

namespace ks::bench {

constexpr int kKeystrokes = 1000;

// Lines of everyday words, `width` characters at most, `kKeystrokes` keystrokes in all (a line
// end counts as one).
inline std::vector<std::string> paragraph(size_t width) {
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

// The installation's US layout, which the drills' on-screen keyboard shows; false, with the
// benchmark skipped, when the build has none.
inline bool loadUsLayout(benchmark::State& state) {
  if (ks::CurrentLayout().loadFromFile(std::string(KS_INSTALLATION) + "/keyboards/qwerty.kbd") ==
      1) {
    return true;
  }
  state.SkipWithError("no keyboard layout in the build's installation");
  return false;
}

inline std::string joined(const std::vector<std::string>& lines, const char* lineEnd) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? lineEnd : "") + lines[i];
  return out;
}

struct Timings {
  std::vector<double> ms;
  int missed = 0;  // keystrokes that never reached the screen in time
  void add(std::chrono::steady_clock::duration d) {
    ms.push_back(std::chrono::duration<double, std::milli>(d).count());
  }
  double at(double fraction) {
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[static_cast<size_t>(fraction * static_cast<double>(ms.size() - 1))];
  }
};

// The tutor's window, shown and active, with the typing environment the views read.
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

// Every key of `lines` in order as `strike` takes it: the characters, then '\r' (Enter) or ' '
// at each line end but the last ('\r' there too when `enterAtLineEnd`).
template <typename Strike>
void typeLines(const std::vector<std::string>& lines, bool enterAtLineEnd, Strike strike) {
  for (size_t i = 0; i < lines.size(); ++i) {
    for (char c : lines[i]) strike(c);
    if (i + 1 < lines.size() || enterAtLineEnd) strike(enterAtLineEnd ? '\r' : ' ');
  }
}

inline void report(benchmark::State& state, Timings& t) {
  state.counters["median_ms"] = t.at(0.5);
  state.counters["p99_ms"] = t.at(0.99);
  state.counters["keystrokes"] = static_cast<double>(t.ms.size());
  if (t.missed) state.counters["missed"] = t.missed;
}

// Runs `event` with a fresh result while `typing` plays its keys; the seconds it took.
template <typename Event>
double timedRun(Event& event, const char* type, const std::function<void()>& typing) {
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = type;
  const auto start = std::chrono::steady_clock::now();
  QTimer::singleShot(0, typing);
  event.Execute(h);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The benchmarks' main, once the caller has chosen Qt's platform: the messages and key names
// come from the build's installation, and no caret blinks, so only what is measured draws.
inline int runBenchmarks(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setCursorFlashTime(0);
  Localize().SetFolder(KS_INSTALLATION);
  Localize().LoadLanguage(LanguageBaseName, 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace ks::bench
