// What the monitor page shows of a learner: the indexes, the difficulty summaries, the charts of
// the last 7 days, the last 31 days and the weeks of the year, and the today / average / highest
// figures, all read from the figures the monitor keeps in the learner's store. Texts are 1252.
#pragma once

#include <array>
#include <string>

#include "reports/coursegraphs.h"
#include "reports/graphmodel.h"

namespace ks {

class TDifficultKeys;
class TDynamicSettings;
class TWordList;

struct FigureLabel {
  std::string Label;
  std::string Value;
};

class TSidewatchFigures {
 public:
  enum Graph {
    Keys,
    Capitals,
    ProblemWeek,
    WordsWeek,
    SpeedWeek,
    TimeWeek,
    SpeedMonth,
    TimeMonth,
    SpeedYear,
    TimeYear,
    GraphCount
  };

  // Reads `user` as of `now` (a date-time) and records the current problem index as today's.
  // `words` is null when the learner's words are not collected.
  void Compute(TDynamicSettings& user, const TDifficultKeys& keys, const TWordList* words,
               double now, const SpeedUnit& unit);

  std::array<GraphModel, GraphCount> Graphs;

  int KeyIndex = 0, CapitalIndex = 0, WordIndex = 0, ProblemIndex = 0;
  // The monitor has counted no key yet: the indexes say nothing.
  bool NothingTyped = true;
  int DifficultKeys = 0, DifficultCapitals = 0, DifficultWords = 0;
  std::string KeySummary, CapitalSummary, WordSummary;

  FigureLabel ProblemToday, ProblemHighest;
  FigureLabel SpeedToday, SpeedAverage, SpeedHighest;
  FigureLabel WordsToday, WordsAverage, WordsHighest;
  FigureLabel TimeToday, TimeAverage, TimeHighest;
  std::string SpeedSummary, WordsSummary, TimeSummary;
  std::string LastPractice;

 private:
  void difficulties(const TDifficultKeys& keys, const TWordList* words);
  void lastSevenDays(TDynamicSettings& user, double now, const SpeedUnit& unit);
  void calendar(TDynamicSettings& user, double now, const SpeedUnit& unit);
};

// Keystrokes per minute from hits and seconds, rounded; -1 without typing time.
int MonitorSpeed(int64_t hits, int64_t seconds);

}  // namespace ks
