// The table of words the learner typed, each with a short history of scores, from which the most
// difficult words and the word index come. 2000 entries, reused by a wrapping allocation that
// lets often-seen words outlive words seen once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// Source bits of a word.
enum WordSourceBits : uint16_t {
  wsMonitor = 1,  // typing observed by the monitor
  wsTutor = 2,    // lessons and games
  wsUser = 4,     // words the learner added
  wsHidden = 8,   // the learner hid the word
};

struct WordEntry {
  int16_t Flags = 0;
  std::string Word;  // up to 255 characters; "-" a removed entry; "" ends the used part
  int16_t Slot = 1;  // 1..10: place of the latest score
  int16_t Repeats = 0;
  std::array<int16_t, 10> Scores{};
};

class TWordList {
 public:
  static constexpr int Capacity = 2000;
  static constexpr size_t EntrySize = 282;

  TWordList();

  bool Modified = false;
  int32_t NextEntry = 0;  // entry used last for a new word (1-based; 0 in an empty table)
  int32_t Pass = 0;       // how many times allocation wrapped past the last entry

  // Entries are numbered 1..Capacity.
  const WordEntry& Entry(int number) const { return entries_[number - 1]; }
  WordEntry& Entry(int number) { return entries_[number - 1]; }

  // The first entry holding `word` before the first empty one, or 0.
  int Find(std::string_view word) const;
  // Adds an occurrence with score `score` and source bits `sources`; source 8 alone only hides.
  // Returns the entry number.
  int AddOccurrence(std::string_view word, int score, uint16_t sources, bool unhide);
  // 0..100 from the latest seven scores, the latest weighing most.
  static int Difficulty(const WordEntry& entry);

  // form 0: words; 1: "word;difficulty"; 2: difficulties. Most difficult first.
  std::vector<std::string> ListWords(uint16_t mask, int form) const;
  // 0..100 from the fifteen most difficult words of the sources in `mask`.
  int WordIndex(uint16_t mask) const;
  // Merges every entry of `oldWord` into `newWord`; the entry number of the new word or -1.
  int RenameWord(std::string_view oldWord, std::string_view newWord, uint16_t sources);

  // Appends the stored form: the used entries as 282-byte records and, for a full table, the
  // allocation state. Always the whole table, so that a caller may cut the file after it.
  void Save(std::string& out) const;
  // Reads the stored form from `pos` to the end of `bytes`; damaged values are clamped.
  void Load(std::string_view bytes, size_t& pos);
  static void EncodeEntry(const WordEntry& entry, std::string& out);

 private:
  int allocate();

  std::vector<WordEntry> entries_;
};

}  // namespace ks
