// The word analyzer: follows typing character by character, cuts it into words, grades how the
// learner struggled with each word (corrections, hesitations, errors) and enters it into the
// word table. It also feeds every keystroke into the current key statistics.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "analysis/wordlist.h"

namespace ks {

// The word being typed, entered into the learner's word table.
class TWord {
 public:
  // Presses recorded while a word is typed go to the current set of `keys`; finished words go
  // to `list`, which the learner owns and saves.
  TWord(DifficultKeySets& keys, TWordList& list) : List(list), keys_(&keys) {}
  TWord(const TWord&) = delete;
  TWord& operator=(const TWord&) = delete;

  TWordList& List;
  std::string Text;
  int32_t Deletions = 0;    // backspaces since the last added character
  int32_t Hesitations = 0;  // hesitant keystrokes inside the word
  int32_t Corrections = 0;  // characters typed again after backspaces
  int32_t ErrorWeight = 0;  // weight of the errors found when the word ended
  bool Unhide = false;      // entering the word shows a hidden entry again

  void AddChar(unsigned char c);
  void DelChar();
  void Clear();
  // Enters Text with the source bits; the entry number, or -1 when the word is refused (fewer
  // than four characters, or a character that is not a letter or an apostrophe).
  int Notify(uint16_t sources);
  void HideWord(std::string_view word) { List.AddOccurrence(word, 0, wsHidden, false); }
  int RenameWord(std::string_view oldWord, std::string_view newWord, uint16_t sources) {
    return List.RenameWord(oldWord, newWord, sources);
  }
  std::vector<std::string> ListWords(uint16_t mask, int form) const {
    return List.ListWords(mask, form);
  }
  int WordIndex(uint16_t mask) const { return List.WordIndex(mask); }
  void Save(std::string& out) const { List.Save(out); }
  void Load(std::string_view bytes, size_t& pos) { List.Load(bytes, pos); }
  // An empty table. It counts as changed, so that the next save replaces the old one.
  void NewList();

  static bool Acceptable(std::string_view word);

 private:
  DifficultKeySets* keys_;
};

// The analyzer of one program: the word being typed, whether finished words are collected and
// with which source bits. It reads and feeds the program's measures and key statistics.
class Analyzer {
 public:
  // Words go to `words`: the logged-on learner's table, so that they are saved with the learner.
  Analyzer(Measures& measures, DifficultKeySets& keys, TWordList& words)
      : CurrentWord(keys, words), measures_(&measures), keys_(&keys) {}
  // An analyzer with a table of its own, for programs and tools without a learner.
  Analyzer(Measures& measures, DifficultKeySets& keys)
      : ownWords_(std::make_unique<TWordList>()),
        CurrentWord(keys, *ownWords_),
        measures_(&measures),
        keys_(&keys) {}
  Analyzer(const Analyzer&) = delete;
  Analyzer& operator=(const Analyzer&) = delete;

 private:
  std::unique_ptr<TWordList> ownWords_;  // declared first: CurrentWord may refer to it

 public:
  TWord CurrentWord;
  bool CollectWords = false;
  uint16_t WordSource = 0;

  Measures& measures() { return *measures_; }
  DifficultKeySets& keys() { return *keys_; }

 private:
  Measures* measures_;
  DifficultKeySets* keys_;
};

// The source words are entered with: 100 stops collecting, any other value collects with it.
void Analyzer_SetSource(Analyzer& a, int source);
// One keystroke with the interval since the previous one (units of 1/100000000 day; 0 when
// unknown). `tutor` selects the tutor's word ends (Tab, LF, CR, Space) over the monitor's
// punctuation set. Returns whether the key ended a word; the caller then calls
// Analyzer_EndWord.
bool Analyzer_CharPressed(Analyzer& a, unsigned char c, int interval, bool tutor);
// A word ended: counts it, grades it against `expected` (empty: nothing to compare with) and
// enters it when collecting. Returns the error percentage.
int Analyzer_EndWord(Analyzer& a, std::string_view expected, std::string_view typed);
// A whole word from a game or drill, with error weight 0 (right) or 2 (mistyped).
void Analyzer_AddWord(Analyzer& a, std::string_view word, int errorWeight);
// A word the learner adds; entered whether or not words are collected.
void Analyzer_AddUserWord(Analyzer& a, std::string_view word, int errorWeight, bool unhide);
// The monitor's forced word break: the word is dropped and the hesitation detector restarts.
void Analyzer_Cancel(Analyzer& a);

// Whether `c` ends a word in the monitor (also the in-place drills' word separators).
bool IsWordSeparator(unsigned char c);

}  // namespace ks
