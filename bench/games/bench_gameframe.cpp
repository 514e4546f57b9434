// Painting one frame of a game: the playing field of a running game, in the middle of play (ten
// bubbles and their background bubbles; the whole ABC circle and its sparks; Wordtris's rows with
// landed words; a sky of clouds with their words), drawn into an
// offscreen image at the largest scale the tutor draws at (a 3840 x 2160 screen). The game steps
// between frames, as it does on screen. Reported per frame: median_ms and p99_ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "analysis/analyzer.h"
#include "book/bookwindow.h"
#include "book/pagescale.h"
#include "engine/ui/eventenv.h"
#include "games/ui/abcview.h"
#include "games/ui/bubblesview.h"
#include "games/ui/cloudsview.h"
#include "games/ui/wordtrisview.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "typingbench.h"

namespace {

using namespace ks;

constexpr int kFrames = 1000;

struct Frames {
  std::vector<double> ms;
  double percentile(double p) {
    if (ms.empty()) return 0;
    auto at = ms.begin() + static_cast<std::ptrdiff_t>(p * static_cast<double>(ms.size() - 1));
    std::nth_element(ms.begin(), at, ms.end());
    return *at;
  }
};

// The stage every game plays on: the tutor's window under a fake clock.
using Stage = ks::bench::Setup;

// Starts `game`, lets it play `warmMs` so the field fills, then paints kFrames frames with one
// step of play between them.
void paintFrames(Stage& s, TCustomGameEvent& game, int warmMs, int stepMs, Frames& frames) {
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  QTimer::singleShot(0, [&] {
    QTest::keyClick(&s.window, Qt::Key_Space);
    for (int t = 0; t < warmMs; t += stepMs) {
      s.clock.advance(stepMs);
      game.Poll();
    }
    GameField* field = game.PlayingField();
    const double scale = pageScaleFor(3840, 2160);
    QImage image(field->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (int i = 0; i < kFrames; ++i) {
      s.clock.advance(stepMs);
      game.Poll();
      const auto start = std::chrono::steady_clock::now();
      // An opaque field paints itself without its parent's background, on screen as here.
      field->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
      frames.ms.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    }
    QTest::keyClick(&s.window, Qt::Key_Escape);
  });
  game.Execute(h);
}

void report(benchmark::State& state, Frames& f) {
  state.counters["median_ms"] = f.percentile(0.5);
  state.counters["p99_ms"] = f.percentile(0.99);
  state.counters["frames"] = static_cast<double>(f.ms.size());
  state.counters["scale"] = pageScaleFor(3840, 2160);
}

void BM_BubblesFrame(benchmark::State& state) {
  Stage s;
  Frames f;
  for (auto _ : state) {
    TBubbles game("event=bubbles;0;keys;abcdefghijklmnopqrstuvwxyz");
    paintFrames(s, game, 12000, 20, f);
    state.SetIterationTime(0);
  }
  report(state, f);
}
BENCHMARK(BM_BubblesFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_AbcFrame(benchmark::State& state) {
  Stage s;
  Frames f;
  for (auto _ : state) {
    TABC game("event=abc;0;keys;abcdefghijklmnopqrstuvwxyz");
    paintFrames(s, game, 3000, 30, f);
    state.SetIterationTime(0);
  }
  report(state, f);
}
BENCHMARK(BM_AbcFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WordtrisFrame(benchmark::State& state) {
  Stage s;
  Frames f;
  for (auto _ : state) {
    TWTrisEvent game(std::string("event=wordtris;0;") + KS_INSTALLATION + "/animals.vcb.eng");
    paintFrames(s, game, 15000, 20, f);
    state.SetIterationTime(0);
  }
  report(state, f);
}
BENCHMARK(BM_WordtrisFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CloudsFrame(benchmark::State& state) {
  Stage s;
  Frames f;
  for (auto _ : state) {
    TCloudGame game(std::string("event=clouds;0;") + KS_INSTALLATION + "/animals.vcb.eng;true");
    paintFrames(s, game, 40000, 25, f);
    state.SetIterationTime(0);
  }
  report(state, f);
}
BENCHMARK(BM_CloudsFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return ks::bench::runBenchmarks(argc, argv);
}
