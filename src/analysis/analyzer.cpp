#include "analysis/analyzer.h"

#include <algorithm>

#include "text/textutil.h"

namespace ks {

// --- TWord ---

void TWord::AddChar(unsigned char c) {
  if (c == '\t' || c == '\r' || c == ' ') return;
  Text.push_back(static_cast<char>(c));
  if (Deletions > 0) {
    // A character typed again after a few backspaces was probably typed wrongly before.
    if (Deletions < 4) keys_->CurrentDifficulties().recordKey(c, true);
    Deletions = 0;
    ++Corrections;
  }
}

void TWord::DelChar() {
  if (Text.empty()) return;
  Text.pop_back();
  ++Deletions;
  if (Text.empty() && Deletions > 2) Clear();
}

void TWord::Clear() {
  Text.clear();
  Deletions = Hesitations = Corrections = ErrorWeight = 0;
}

bool TWord::Acceptable(std::string_view word) {
  if (word.size() < 4) return false;
  return std::all_of(word.begin(), word.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == '\'' || (c >= 'A' && c <= 'z') || c >= 191;
  });
}

int TWord::Notify(uint16_t sources) {
  if (!Acceptable(Text)) return -1;
  const int score = std::min(
      std::min(Hesitations, 2) + 2 * std::min(Corrections, 2) + std::min(ErrorWeight, 5), 10);
  return List.AddOccurrence(Text, score, sources, Unhide);
}

void TWord::NewList() {
  List = TWordList{};
  List.Modified = true;
}

// --- the analyzer interface ---

bool IsWordSeparator(unsigned char c) {
  switch (c) {
    case 9:
    case 10:
    case 13:
    case 32:
    case '!':
    case '"':
    case '(':
    case ')':
    case '*':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case ';':
    case '?':
    case '@':
    case '\\':
    case '_':
      return true;
    default:
      return false;
  }
}

void Analyzer_SetSource(Analyzer& a, int source) {
  if (source == 100) {
    a.CollectWords = false;
  } else {
    a.CollectWords = true;
    a.WordSource = static_cast<uint16_t>(source);
  }
}

bool Analyzer_CharPressed(Analyzer& a, unsigned char c, int interval, bool tutor) {
  Measures& m = a.measures();
  if (!m.Timer.IsRunning()) m.Timer.StartOrResume();
  ++m.Efficiency.Keystrokes;
  const bool endOfWord =
      tutor ? (c == '\t' || c == '\n' || c == '\r' || c == ' ') : IsWordSeparator(c);
  TWord& word = a.CurrentWord;
  if (c == 8) {
    word.DelChar();
    --m.Efficiency.NetChars;
  } else {
    ++m.Efficiency.NetChars;
    if (!endOfWord) word.AddChar(c);
  }
  if (interval > 0) {
    TDifficultKeys& keys = a.keys().CurrentDifficulties();
    if (m.DeviationCalc.IsHesitation(interval / 1000.0) && word.Text.size() > 1) {
      // A pause inside a word: a lower-case letter counts as a wrong press; nothing else does.
      if (c != upperChar(c)) keys.recordKey(c, true);
      ++word.Hesitations;
    } else {
      keys.recordKey(c, false);
    }
  }
  return endOfWord;
}

int Analyzer_EndWord(Analyzer& a, std::string_view expected, std::string_view typed) {
  TEfficiencyInfo& counters = a.measures().Efficiency;
  TWord& word = a.CurrentWord;
  if (!typed.empty()) ++counters.Words;
  const TErrorFinder& finder = a.measures().ErrorFinder;
  int r = 0;
  if (!expected.empty()) {
    r = finder.ErrorPercentWithKeys(expected, typed, &a.keys().CurrentDifficulties());
    if (r > 0) ++counters.Errors;
    const auto k = static_cast<int32_t>(std::min(expected.size(), typed.size()) + 1);
    counters.TotalHits += k;
    counters.Chars += k;
  }
  word.ErrorWeight = 0;
  if (!expected.empty()) {
    const int theta = finder.Threshold;
    if (r > theta) {  // a different word altogether: nothing to learn from it
      word.Clear();
      return r;
    }
    // 1..theta maps linearly onto 2..5.9, the fraction cut off; exact in integers.
    if (r > 0) {
      word.ErrorWeight = theta > 1 ? 2 + (r - 1) * 39 / (10 * (theta - 1)) : 5;
    }
    // The word as it should be spelled. The typed text only differs when the typing was not
    // what the analyzer saw (a refused backspace), which must not enter a misspelling.
    word.Text.assign(expected);
  }
  if (a.CollectWords) word.Notify(a.WordSource);
  word.Clear();
  return r;
}

void Analyzer_AddWord(Analyzer& a, std::string_view word, int errorWeight) {
  TWord& w = a.CurrentWord;
  w.ErrorWeight = errorWeight;
  w.Text.assign(word.substr(0, 255));
  if (a.CollectWords) w.Notify(a.WordSource);
  w.Clear();
}

void Analyzer_AddUserWord(Analyzer& a, std::string_view word, int errorWeight, bool unhide) {
  TWord& w = a.CurrentWord;
  w.ErrorWeight = errorWeight;
  w.Text.assign(word.substr(0, 255));
  w.Unhide = unhide;
  w.Notify(a.WordSource);
  w.Unhide = false;
  w.Clear();
}

void Analyzer_Cancel(Analyzer& a) {
  a.CurrentWord.Clear();
  a.measures().DeviationCalc.Reset();
}

}  // namespace ks
