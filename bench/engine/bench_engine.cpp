// The per-keystroke path of a typing exercise (checker, measures, analyzer, key statistics) on
// a realistic paragraph, and the word error percentage on typical words. A keystroke must stay
// far below a display frame (16.7 ms); the target is 5 us.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analysis/analyzer.h"
#include "engine/inplacechecker.h"
#include "engine/inputlinechecker.h"
#include "engine/textmodel.h"

namespace {

const char* const kParagraph =
    "Touch typing is the art of typing without looking at the keys. Each finger rests on its "
    "home key and reaches for the keys around it, so that the hands hardly move at all.\r\n"
    "Practice a little every day: accuracy comes first, and speed follows by itself once the "
    "fingers know their way. Keep a steady rhythm, relax your shoulders and breathe.\r\n"
    "Learners who type the same difficult words again and again soon find them easy, and the "
    "review lessons are built from exactly those words and keys.";

// What the learner types: the paragraph with a slip every seventh word (a swapped pair) and a
// corrected typo every eleventh, so that the error finder and the backspace path run too.
std::string typedKeys(const std::string& text, bool withSlips) {
  std::string out;
  std::string word;
  int n = 0;
  auto flush = [&](char sep) {
    if (!word.empty()) {
      ++n;
      if (withSlips && n % 7 == 0 && word.size() > 3) std::swap(word[1], word[2]);
      if (withSlips && n % 11 == 0) out += "x\b";
      out += word;
    }
    word.clear();
    out += sep;
  };
  for (char c : text) {
    if (c == ' ') {
      flush(' ');
    } else if (c == '\r') {
      flush('\r');
    } else if (c != '\n') {
      word += c;
    }
  }
  flush(' ');
  return out;
}

struct World {
  ks::FakeClock clock;
  ks::Measures measures{clock};
  ks::DifficultKeySets keys;
  ks::Analyzer analyzer{measures, keys};
  ks::NullSound sound;
  ks::LessonOptions options;
  ks::BasicTypingHost host{measures};
  ks::TypingServices services{clock, analyzer, sound, options};

  explicit World(bool fullTable) {
    ks::Analyzer_SetSource(analyzer, 2);
    if (fullTable) {  // a learner with a long history: every word search walks 2000 entries
      for (int i = 0; i < ks::TWordList::Capacity; ++i) {
        analyzer.CurrentWord.List.AddOccurrence("history" + std::to_string(i), 1, 2, false);
      }
    }
  }
};

void BM_KeystrokeInputLine(benchmark::State& state) {
  World w(state.range(0) != 0);
  ks::TextModel view;
  ks::InputLineModel line;
  ks::InputLineChecker checker(w.services, w.host, view, line);
  checker.InPlaceTextMode = true;
  checker.TimeLimited = true;  // the paragraph starts again instead of finishing
  checker.Setup(kParagraph);
  const std::string keys = typedKeys(kParagraph, true);
  size_t i = 0;
  for (auto _ : state) {
    w.clock.advance(180);
    unsigned char key = static_cast<unsigned char>(keys[i]);
    checker.KeyPress(key);
    if (++i == keys.size()) {
      i = 0;
      state.PauseTiming();
      line.ResetLine();  // the drawn input line scrolls; the model would only grow
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeystrokeInputLine)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_KeystrokeInPlace(benchmark::State& state) {
  World w(state.range(0) != 0);
  ks::TextModel view;
  view.SetMode(ks::TextModel::CharacterMode);
  ks::InPlaceChecker checker(w.services, w.host, view);
  checker.TimeLimited = true;
  checker.Setup(kParagraph);
  const std::string keys = typedKeys(kParagraph, false);
  size_t i = 0;
  int64_t n = 0;
  for (auto _ : state) {
    w.clock.advance(180);
    // Now and then a wrong key; the right one follows.
    const bool slip = ++n % 50 == 0 && keys[i] != 'q';
    unsigned char key = slip ? 'q' : static_cast<unsigned char>(keys[i]);
    checker.KeyPress(key);
    if (!slip) i = (i + 1) % keys.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeystrokeInPlace)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true);

// The dearest keystroke: a word end that grades the word and enters it into a table of 2000
// words (a search of every entry, and an eviction for a new word).
void BM_WordEndFullTable(benchmark::State& state) {
  World w(true);
  std::vector<std::string> words;
  std::string token;
  size_t pos = 0;
  for (;;) {
    pos = ks::NextToken(kParagraph, pos, token);
    if (token.empty()) break;
    if (token != "\r") words.push_back(token);
  }
  const bool unseen = state.range(0) != 0;  // every word new: a search to the end each time
  size_t i = 0;
  std::string fresh = "aaaaaa";
  for (auto _ : state) {
    if (unseen) {
      for (size_t k = fresh.size(); k-- > 0 && ++fresh[k] > 'z';) fresh[k] = 'a';
      benchmark::DoNotOptimize(ks::Analyzer_EndWord(w.analyzer, fresh, fresh));
    } else {
      benchmark::DoNotOptimize(ks::Analyzer_EndWord(w.analyzer, words[i], words[i]));
      i = (i + 1) % words.size();
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WordEndFullTable)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ErrorPercent(benchmark::State& state) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"keyboard", "keyboard"},  {"keyboard", "Keyboard"},
      {"keyboard", "kebyoard"},  {"keyboard", "keyboad"},
      {"keyboard", "keybboard"}, {"keyboard", "keyxxoard"},
      {"practice", "pratcice"},  {"the", "teh"},
      {"rhythm", "different"},
  };
  ks::TErrorFinder finder;
  size_t i = 0;
  for (auto _ : state) {
    const auto& [e, t] = pairs[i];
    benchmark::DoNotOptimize(finder.ErrorPercent(e, t));
    i = (i + 1) % pairs.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ErrorPercent)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
