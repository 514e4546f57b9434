// The learner's monitor figures in the learner's store: the running day figures filed into a
// ring of seven weekday slots, the best days, and samples by week and by day of the month. The
// monitor writes them; the tutor's monitor view reads them through the readers below.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "platform/clock.h"

namespace ks {

class TDynamicSettings;

// One weekday slot of the ring (weekday 1 = Sunday .. 7).
struct DayFigures {
  int32_t hits = 0;     // analysed keystrokes
  int32_t words = 0;    // analysed words
  int32_t seconds = 0;  // typing time
  int32_t problemIndex = 0;
  bool operator==(const DayFigures&) const = default;
};

// A best day: the value and when it was set (0 = never).
struct BestDay {
  int32_t value = 0;
  double date = 0;
};

// A sample filed under a week number or a day of the month.
struct DaySample {
  int32_t hits = 0;
  int32_t seconds = 0;
};

// What the figures of one learner's store say; no state of the running monitor.
struct MonitorFiguresReader {
  static DayFigures Day(TDynamicSettings& user, int weekday);
  // `what`: "Speed", "TypingSeconds", "TypedWords" or "ProblemIndex".
  static BestDay Best(TDynamicSettings& user, const std::string& what);
  static DaySample Week(TDynamicSettings& user, int week);     // 1..54
  static DaySample MonthDay(TDynamicSettings& user, int day);  // 1..31
  static int64_t TotalHits(TDynamicSettings& user);            // every keystroke
  static int64_t MonitoredHits(TDynamicSettings& user);        // the analysed ones
  static double LastDate(TDynamicSettings& user);              // 0 before the first day
  static int32_t Days(TDynamicSettings& user);                 // days with figures
  // The week a date falls in, counted from 1 January (a Sunday starts a week; 1..54).
  static int WeekNumber(double date);
};

// The day bookkeeping of the running monitor over the shared measures: the efficiency info
// holds the day's keystrokes and words, the typing timer the day's seconds.
class MonitorStats {
 public:
  MonitorStats(Measures& measures, DifficultKeySets& keys, const Clock& clock)
      : measures_(measures), keys_(keys), clock_(clock) {}

  // The learner's store, none while nobody is logged on.
  void attach(TDynamicSettings* user) { user_ = user; }
  TDynamicSettings* user() const { return user_; }

  // At logon: clears the slots of the days missed since the last save, or takes up today's
  // figures again.
  void DailyLoad();
  // 1: only when the day changed since the figures were taken up; 2: always. Files the running
  // figures under the day they belong to, updates the best days and samples, and starts the
  // new day's figures from zero.
  void DailySave(int mode);
  void ClearDaily(int weekday);
  int CurrentDay() const { return currentDay_; }
  // From the monitor's key statistics; the monitor never collects words.
  int ProblemIndexNow() const;
  void updateKeyStatistics() { keys_.MonitorDifficulties.updateStatistics(); }

 private:
  double today() const;
  void clearSkippedDays(double lastDate, double today);
  // The week and month-day samples of the days after `lastDate` up to `today`: a week or a day
  // of the month that comes round again holds no figures of a year or a month before.
  void clearSkippedSamples(double lastDate, double today);

  Measures& measures_;
  DifficultKeySets& keys_;
  const Clock& clock_;
  TDynamicSettings* user_ = nullptr;
  int currentDay_ = 0;
  // The date the running figures belong to. A change of day files them under this date, not
  // under the day the change is noticed on.
  double figuresDate_ = 0;
};

}  // namespace ks
