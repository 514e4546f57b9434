// High-score lists of the games, shared by every learner of the installation: "<game>.topten"
// in the data folder, records of 264 bytes (name as a 256-byte block, score, whole days).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace ks {

class TRecFile;

// How a program waits for a list that another process holds open.
class OpenRetry {
 public:
  virtual ~OpenRetry() = default;
  // Waits `ms` milliseconds; the user interface keeps its window answering meanwhile.
  virtual void Pause(int ms);
  // Asks the learner whether to try again (a Yes/No box by default).
  virtual bool AskAgain(const std::string& question);
};
// The process-wide instance (nullptr restores the default: plain sleeps and a message box).
OpenRetry& openRetry();
void setOpenRetry(OpenRetry* retry);

struct TopTenEntry {
  std::string Name;  // at most 255 characters
  int32_t Score = 0;
  double Date = 0;  // days
};

class TtopTen {
 public:
  static constexpr int MaxEntries = 100;
  static constexpr int RecordSize = 264;
  static constexpr int DefaultLength = 10;

  // `listName` is the game ("Wordtris", "Clouds", "Bubbles", "ABCGame"); the file is in
  // `folder`, by default the data folder of the program paths.
  explicit TtopTen(std::string listName, std::filesystem::path folder = {},
                   const Clock* clock = nullptr, OpenRetry* retry = nullptr);

  const std::filesystem::path& FilePath() const { return path_; }

  // The list of a new game: the product name, scores 930, 860, ... 300 for the first ten and
  // 300 - 2i further down, dated today; ten entries in use.
  void Fresh();
  // Reads the file (writers kept out meanwhile). False when it could not be opened: the list
  // is then the fresh one.
  bool Load();
  // Load, and save the fresh list of ten when there was none to load.
  void LoadOrCreate();
  // Writes the entries in use from the start of the file (no one else may open it meanwhile);
  // a positive `length` sets how many are in use. False when it could not be written: the
  // failure is logged and SaveFailure says why.
  bool Save(int length = 0);
  // Why the last Save failed, in the system's words; empty when it succeeded.
  const std::string& SaveFailure() const { return saveFailure_; }

  // Enters a score unless it is below the last entry's: the last entry is replaced and the list
  // sorted, highest first (an equal score goes below the ones already there). Returns the
  // 1-based rank, or 0.
  int Insert(int32_t score, const std::string& name);
  // The name a player typed for a new high score: reloads, enters the score again under that
  // name (message 137 when empty) and saves when it made the first ten. Returns the rank; a
  // save that failed leaves SaveFailure set.
  int CommitName(int32_t score, const std::string& name);

  int Length() const { return length_; }
  const TopTenEntry& Entry(int index) const { return entries_.at(static_cast<size_t>(index)); }
  void SetName(int index, const std::string& name);
  // Whether entry `index` still holds a place of the fresh list (the product name with its
  // default score) or of the blanked one ("Nobody", 1): no one has played for it.
  bool IsPlaceholder(int index) const;
  // "name;score;date" per entry in use; a name holding ";" shows as "the Winner".
  std::vector<std::string> DisplayLines() const;

 private:
  int open(TRecFile& file, int access, int sharing, bool forWrite);

  std::string listName_;
  std::filesystem::path path_;
  const Clock* clock_;
  OpenRetry* retry_;
  std::vector<TopTenEntry> entries_;
  int length_ = DefaultLength;
  std::string saveFailure_;
};

}  // namespace ks
