#include "analysis/wordlist.h"

#include <algorithm>
#include <cstdio>

#include "analysis/saturate.h"
#include "store/binio.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

namespace {

int16_t addSaturated(int16_t a, int16_t b) {
  return saturate16(int64_t{a} + b);
}

std::string_view cut255(std::string_view word) {
  return word.size() > 255 ? word.substr(0, 255) : word;
}

}  // namespace

TWordList::TWordList() : entries_(Capacity) {}

int TWordList::Find(std::string_view word) const {
  for (int i = 0; i < Capacity; ++i) {
    const std::string& w = entries_[i].Word;
    if (w.empty()) break;
    if (w == word) return i + 1;
  }
  return 0;
}

int TWordList::allocate() {
  ++NextEntry;
  if (NextEntry > Capacity) {
    NextEntry = 1;
    ++Pass;
  }
  while (Pass > 0) {
    for (int j = NextEntry; j <= Capacity; ++j) {
      if (Entry(j).Repeats <= Pass) {
        NextEntry = j;
        return NextEntry;
      }
    }
    // None is rare enough: search again from the start with a higher pass. Passes that could
    // not find anything either are skipped at once.
    int16_t fewest = INT16_MAX;
    for (const WordEntry& e : entries_) fewest = std::min(fewest, e.Repeats);
    Pass = std::max<int32_t>(Pass + 1, fewest);
    NextEntry = 1;
  }
  return NextEntry;
}

int TWordList::AddOccurrence(std::string_view word, int score, uint16_t sources, bool unhide) {
  word = cut255(word);
  if (word.empty()) return -1;  // an empty word would end the table and hide all after it
  Modified = true;
  const auto flags = static_cast<int16_t>(sources);
  if (int n = Find(word); n > 0) {
    WordEntry& e = Entry(n);
    e.Flags = static_cast<int16_t>(e.Flags | flags);
    if (sources != wsHidden) {
      e.Repeats = addSaturated(e.Repeats, 1);
      e.Slot = static_cast<int16_t>(e.Slot >= 10 ? 1 : e.Slot + 1);
      e.Scores[e.Slot - 1] = saturate16(score);
      if (unhide && (e.Flags & wsHidden)) e.Flags = static_cast<int16_t>(e.Flags & ~wsHidden);
    }
    return n;
  }
  const int n = allocate();
  WordEntry& e = Entry(n);
  e = WordEntry{};
  e.Word.assign(word);
  e.Flags = flags;
  e.Scores[0] = saturate16(score);
  return n;
}

int TWordList::Difficulty(const WordEntry& entry) {
  int64_t sum = 0;
  int slot = entry.Slot;
  for (int weight = 7; weight >= 1; --weight) {
    sum += static_cast<int64_t>(weight) * entry.Scores[slot - 1];
    slot = slot == 1 ? 10 : slot - 1;
  }
  // Weights 1..7 sum to 28: a steady score of 3 is 100.
  return static_cast<int>(std::min<int64_t>(roundHalfEvenDiv(100 * sum, 84), 100));
}

std::vector<std::string> TWordList::ListWords(uint16_t mask, int form) const {
  std::vector<std::string> keys;
  for (const WordEntry& e : entries_) {
    if (e.Word.empty()) break;
    if (e.Word == "-" || e.Repeats < 2 || (e.Flags & wsHidden) || (e.Flags & mask) == 0) continue;
    const int d = Difficulty(e);
    if (d <= 0) continue;
    char number[16];
    std::snprintf(number, sizeof number, "%5.5d", d);
    std::string key = std::string(number) + ";";
    if (form == 0) {
      key += e.Word;
    } else if (form == 1) {
      key += e.Word + ";" + std::to_string(d);
    } else {
      key += std::to_string(d);
    }
    keys.push_back(std::move(key));
  }
  std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
    return compareText(a, b) < 0;
  });
  std::vector<std::string> list;
  list.reserve(keys.size());
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) list.push_back(it->substr(6));
  return list;
}

int TWordList::WordIndex(uint16_t mask) const {
  const std::vector<std::string> list = ListWords(mask, 2);
  int64_t first = 0;  // the ten most difficult, weighing 1.35
  int64_t next = 0;   // the five after them, weighing 0.65
  for (size_t i = 0; i < list.size() && i < 15; ++i) {
    (i < 10 ? first : next) += strToIntDef(list[i], 0);
  }
  // Ten words at 100 would give 112: the index stays on its scale of 0..100.
  return static_cast<int>(std::min<int64_t>(roundHalfEvenDiv(135 * first + 65 * next, 1500), 100));
}

int TWordList::RenameWord(std::string_view oldWord, std::string_view newWord, uint16_t sources) {
  oldWord = cut255(oldWord);
  newWord = cut255(newWord);
  if (newWord.empty() || oldWord.empty()) return -1;
  if (oldWord == newWord) {
    // Merging a word into itself would double it and then remove it.
    const int n = Find(newWord);
    return n > 0 ? n : -1;
  }
  int result = -1;
  for (int i = 1; i <= Capacity; ++i) {
    if (Entry(i).Word.empty()) break;
    if (Entry(i).Word != oldWord) continue;
    const WordEntry old = Entry(i);
    const int n = AddOccurrence(newWord, 0, sources, false);
    WordEntry& e = Entry(n);
    e.Flags = static_cast<int16_t>((e.Flags | old.Flags) & ~wsHidden);
    e.Repeats = addSaturated(e.Repeats, old.Repeats);
    e.Slot = std::max(e.Slot, old.Slot);
    for (int p = 0; p < e.Slot; ++p) e.Scores[p] = addSaturated(e.Scores[p], old.Scores[p]);
    if (n != i) {  // unless the new word's allocation took this very entry
      Entry(i).Word = "-";
      Entry(i).Repeats = 0;
    }
    result = n;
  }
  return result;
}

void TWordList::EncodeEntry(const WordEntry& entry, std::string& out) {
  putInt16LE(out, entry.Flags);
  out += encodeShortString(entry.Word, 255);
  putInt16LE(out, entry.Slot);
  putInt16LE(out, entry.Repeats);
  for (int16_t s : entry.Scores) putInt16LE(out, s);
}

void TWordList::Save(std::string& out) const {
  const int n = Pass > 0 ? Capacity : std::clamp(NextEntry, 0, Capacity);
  out.reserve(out.size() + n * EntrySize + 8);
  for (int i = 0; i < n; ++i) EncodeEntry(entries_[i], out);
  if (n == Capacity) {
    putInt32LE(out, NextEntry);
    putInt32LE(out, Pass);
  }
}

void TWordList::Load(std::string_view bytes, size_t& pos) {
  entries_.assign(Capacity, WordEntry{});
  if (pos > bytes.size()) pos = bytes.size();
  int count = 0;
  while (count < Capacity && bytes.size() - pos >= EntrySize) {
    const std::string_view record = bytes.substr(pos, EntrySize);
    WordEntry& e = entries_[count];
    e.Flags = getInt16LE(record);
    e.Word = decodeShortString(record.substr(2, 256), 255);
    e.Slot = getInt16LE(record.substr(258));
    if (e.Slot < 1 || e.Slot > 10) e.Slot = 1;
    e.Repeats = std::max<int16_t>(0, getInt16LE(record.substr(260)));
    for (int k = 0; k < 10; ++k) e.Scores[k] = getInt16LE(record.substr(262 + 2 * k));
    pos += EntrySize;
    ++count;
  }
  NextEntry = count;
  Pass = 0;
  if (count == Capacity) {
    if (bytes.size() - pos >= 4) {
      NextEntry = std::clamp(getInt32LE(bytes.substr(pos)), 0, Capacity);
      pos += 4;
    }
    if (bytes.size() - pos >= 4) {
      Pass = std::max(0, getInt32LE(bytes.substr(pos)));
      pos += 4;
    }
    // A full table that never wrapped has used its last entry.
    if (Pass == 0) NextEntry = Capacity;
  }
  Modified = false;
}

}  // namespace ks
