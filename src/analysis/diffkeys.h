// Per-key difficulty statistics: how often each character was to be typed and how often it was
// typed wrongly, blended so that recent typing outweighs old typing, and the ranking of the
// most difficult keys that tips, reviews, graphs and the monitor use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

class TDifficultKeys {
 public:
  // The tutor keeps the key set as a 255-character text, the monitor uncut.
  enum class Variant { Tutor, Monitor };
  enum class CaseFilter { Any, Lower, Upper };

  static constexpr int FirstCode = 33;
  static constexpr int CodeCount = 223;  // codes 33..255
  static constexpr size_t RecordSize = 3 * CodeCount * 2;
  static const std::string& DefaultKeySet();

  // `window`: how many new presses of a key replace its history (8 lessons, 20 monitor).
  explicit TDifficultKeys(int window, Variant variant = Variant::Tutor);

  int Window() const { return window_; }
  int ModerateLimit = 33;
  int HighLimit = 66;

  // Counts one press of `c` (the character that was to be typed); codes below 33 never count.
  void recordKey(unsigned char c, bool error);
  // Folds the new presses into the current figures.
  void updateStatistics();
  // 0..100; 4 x the error rate, damped for keys pressed fewer than ten times.
  float getDifficulty(unsigned char c) const;

  // Ranks count from 1; outside the ranked keys the key is 0 and the figures are 0.
  unsigned char getKeyAtRank(int rank) const;
  float getDifficultyAtRank(int rank) const;
  int getSessionPressesAtRank(int rank) const;
  // The most difficult keys in rank order, at most `count`, up to the first key of difficulty 0.
  std::string getTopKeys(int count, CaseFilter filter) const;
  std::string getTopLowerKeys(int count) const { return getTopKeys(count, CaseFilter::Lower); }
  std::string getTopUpperKeys(int count) const { return getTopKeys(count, CaseFilter::Upper); }
  // 0..4 from the most difficult key: 4 when nothing is difficult.
  float getLevel() const;
  // 0xRRGGBB of the band a difficulty falls in (blue, amber, red).
  uint32_t getDifficultyColour(float difficulty) const;

  const std::string& KeySet() const { return keySet_; }
  bool KeySetActive() const { return !keySet_.empty(); }
  void setKeySet(std::string_view keys);
  void clearStatistics();

  // The stored record: Total, Presses and Errors of codes 33..255 as signed 16-bit LE.
  // saveRecord folds the new presses in first and appends RecordSize bytes to `out`.
  void saveRecord(std::string& out);
  // Reads a record at `pos` and moves `pos` past it. A record cut short changes nothing and
  // returns false.
  bool loadRecord(std::string_view bytes, size_t& pos);

  // The figures of one key (for tests and reports).
  struct Figures {
    int32_t NewPresses, NewErrors, LastPresses, SavedTotal, SavedPresses, SavedErrors, Total,
        Presses, Errors;
  };
  Figures figures(unsigned char c) const;

 private:
  static int index(unsigned char c) { return c - FirstCode; }
  bool inKeySet(unsigned char c) const { return inSet_[c]; }
  void ensureRanking() const;

  int window_;
  Variant variant_;
  std::string keySet_;
  std::array<bool, 256> inSet_{};
  std::array<int32_t, CodeCount> newPresses_{}, newErrors_{}, lastPresses_{};
  std::array<int32_t, CodeCount> savedTotal_{}, savedPresses_{}, savedErrors_{};
  std::array<int32_t, CodeCount> total_{}, presses_{}, errors_{};
  mutable std::vector<std::pair<unsigned char, float>> ranking_;
  mutable bool rankingValid_ = false;
};

// A learner's two sets of key statistics and which of them takes the recording and queries.
class DifficultKeySets {
 public:
  explicit DifficultKeySets(TDifficultKeys::Variant variant = TDifficultKeys::Variant::Tutor)
      : LessonDifficulties(8, variant), MonitorDifficulties(20, variant) {}

  TDifficultKeys LessonDifficulties;
  TDifficultKeys MonitorDifficulties;

  TDifficultKeys& CurrentDifficulties() {
    return monitorCurrent_ ? MonitorDifficulties : LessonDifficulties;
  }
  const TDifficultKeys& CurrentDifficulties() const {
    return monitorCurrent_ ? MonitorDifficulties : LessonDifficulties;
  }
  // 1 makes the monitor statistics current, anything else the lesson statistics.
  void SelectDifficulties(int which) { monitorCurrent_ = which == 1; }

 private:
  bool monitorCurrent_ = false;
};

}  // namespace ks
