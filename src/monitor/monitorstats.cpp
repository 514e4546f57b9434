#include "monitor/monitorstats.h"

#include <algorithm>
#include <cmath>

#include "engine/indexes.h"
#include "store/dynamicsettings.h"
#include "text/dates.h"
#include "text/numbers.h"

namespace ks {
namespace {

std::string slotKey(const char* what, int weekday) {
  return std::string(what) + ".day" + intToStr(weekday);
}

int previousWeekday(int d) {
  return d <= 1 ? 7 : d - 1;
}

// A record is replaced only by a greater value; its date says when.
void offerRecord(TDynamicSettings& user, const std::string& what, int32_t value, double now) {
  if (value <= user.ReadInteger(what + ".TopTen")) return;
  user.WriteInteger(what + ".TopTen", value);
  user.WriteFloat(what + ".TopTen.Date", static_cast<float>(now));
}

}  // namespace

DayFigures MonitorFiguresReader::Day(TDynamicSettings& user, int weekday) {
  return {user.ReadInteger(slotKey("TotalHits", weekday)),
          user.ReadInteger(slotKey("TypedWords", weekday)),
          user.ReadInteger(slotKey("TypingSeconds", weekday)),
          user.ReadInteger(slotKey("ProblemIndex", weekday))};
}

BestDay MonitorFiguresReader::Best(TDynamicSettings& user, const std::string& what) {
  return {user.ReadInteger(what + ".TopTen"), user.ReadFloat(what + ".TopTen.Date")};
}

DaySample MonitorFiguresReader::Week(TDynamicSettings& user, int week) {
  return {user.ReadInteger("SaSp" + intToStr(week)), user.ReadInteger("SaTi" + intToStr(week))};
}

DaySample MonitorFiguresReader::MonthDay(TDynamicSettings& user, int day) {
  return {user.ReadInteger("SaWSp" + intToStr(day)), user.ReadInteger("SaWTi" + intToStr(day))};
}

int64_t MonitorFiguresReader::TotalHits(TDynamicSettings& user) {
  return user.ReadInt64("totalHits");
}

int64_t MonitorFiguresReader::MonitoredHits(TDynamicSettings& user) {
  return user.ReadInt64("monitoredHits");
}

double MonitorFiguresReader::LastDate(TDynamicSettings& user) {
  return std::floor(user.ReadFloat("Lastdate"));
}

int32_t MonitorFiguresReader::Days(TDynamicSettings& user) {
  return user.ReadInteger("SidewatchDays.counter");
}

int MonitorFiguresReader::WeekNumber(double date) {
  const CivilDate c = decodeDate(date);
  const int32_t jan1 = encodeDate(c.year, 1, 1);
  const int n = static_cast<int>(std::floor(date)) - jan1 + 1;
  const int base = dayOfWeek(date) == 1 ? 0 : 1;
  const int o = dayOfWeek(jan1) == 1 ? 1 : 9 - dayOfWeek(jan1);
  return n / 7 + base + ((n % 7) - o >= 0 ? 1 : 0);
}

double MonitorStats::today() const {
  return std::floor(clock_.now());
}

int MonitorStats::ProblemIndexNow() const {
  return ProblemIndex(keys_.MonitorDifficulties, nullptr);
}

void MonitorStats::ClearDaily(int weekday) {
  if (!user_) return;
  for (const char* what : {"TotalHits", "TypedWords", "TypingSeconds", "ProblemIndex"})
    user_->WriteInteger(slotKey(what, weekday), 0);
}

// Yesterday's slot and the ones before it back to the day after `lastDate`; a week or more
// clears every slot, today's too.
void MonitorStats::clearSkippedDays(double lastDate, double today) {
  int gap = static_cast<int>(std::lround(today - lastDate));
  if (gap > 6) gap = 8;
  if (gap < 2) return;
  int d = dayOfWeek(today);
  for (int i = 1; i < gap; ++i) {
    d = previousWeekday(d);
    ClearDaily(d);
  }
}

void MonitorStats::clearSkippedSamples(double lastDate, double today) {
  if (lastDate <= 0 || today <= lastDate) return;
  const int lastWeek = MonitorFiguresReader::WeekNumber(lastDate);
  // A year and a week reach every slot. Today's are written again at the next save.
  for (double d = std::max(lastDate + 1, today - 372); d <= today; ++d) {
    const std::string m = intToStr(decodeDate(d).day);
    user_->WriteInteger("SaWSp" + m, 0);
    user_->WriteInteger("SaWTi" + m, 0);
    // The last save's week keeps the sample that save filed.
    const int w = MonitorFiguresReader::WeekNumber(d);
    if (w == lastWeek && d - lastDate < 7) continue;
    user_->WriteInteger("SaSp" + intToStr(w), 0);
    user_->WriteInteger("SaTi" + intToStr(w), 0);
  }
}

void MonitorStats::DailyLoad() {
  if (!user_) return;
  const double t = today();
  currentDay_ = dayOfWeek(t);
  figuresDate_ = t;
  const double last = MonitorFiguresReader::LastDate(*user_);
  if (t != last) {
    // Today starts from what the measures hold: nothing after a start or a save.
    clearSkippedDays(last, t);
    clearSkippedSamples(last, t);
    return;
  }
  const DayFigures day = MonitorFiguresReader::Day(*user_, currentDay_);
  measures_.Efficiency.Keystrokes = day.hits;
  measures_.Efficiency.Words = day.words;
  measures_.Timer.SetElapsed(day.seconds);
}

void MonitorStats::DailySave(int mode) {
  if (!user_) return;
  const double now = clock_.now();
  const double t = today();
  if (figuresDate_ == 0) figuresDate_ = t;
  const bool dayChanged = t != figuresDate_;
  if (!dayChanged && mode != 2) return;

  TDynamicSettings& u = *user_;
  const int d = dayOfWeek(figuresDate_);
  const TEfficiencyInfo& eff = measures_.Efficiency;
  const int seconds = measures_.Timer.Seconds();
  const int p = ProblemIndexNow();
  u.WriteInteger(slotKey("TotalHits", d), eff.Keystrokes);
  u.WriteInteger(slotKey("TypedWords", d), eff.Words);
  u.WriteInteger(slotKey("TypingSeconds", d), seconds);
  u.WriteInteger(slotKey("ProblemIndex", d), p);

  offerRecord(u, "Speed", eff.KeystrokeSpeed(), now);
  offerRecord(u, "TypingSeconds", seconds, now);
  offerRecord(u, "TypedWords", eff.Words, now);
  offerRecord(u, "ProblemIndex", p, now);

  const DayFigures filed = MonitorFiguresReader::Day(u, d);
  const std::string w = intToStr(MonitorFiguresReader::WeekNumber(figuresDate_));
  const std::string m = intToStr(decodeDate(figuresDate_).day);
  u.WriteInteger("SaSp" + w, filed.hits);
  u.WriteInteger("SaTi" + w, filed.seconds);
  u.WriteInteger("SaWSp" + m, filed.hits);
  u.WriteInteger("SaWTi" + m, filed.seconds);

  if (dayChanged) {
    // Days the monitor ran through unattended (a suspended machine) held no figures.
    clearSkippedDays(figuresDate_, t);
    clearSkippedSamples(figuresDate_, t);
    currentDay_ = dayOfWeek(t);
    u.WriteInteger(slotKey("ProblemIndex", currentDay_), p);
  }
  measures_.Efficiency.Keystrokes = 0;
  measures_.Efficiency.Words = 0;
  measures_.Timer.SetElapsed(0);
  if (t != MonitorFiguresReader::LastDate(u))
    u.WriteInteger("SidewatchDays.counter", MonitorFiguresReader::Days(u) + 1);
  u.WriteInteger("CurrentDay", currentDay_);
  u.WriteFloat("Lastdate", static_cast<float>(t));
  figuresDate_ = t;
}

}  // namespace ks
