#include "monitorview/sidewatchfigures.h"

#include <algorithm>
#include <cmath>

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "engine/indexes.h"
#include "reports/reportdata.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "text/dates.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kKeyBars = 10;
constexpr uint16_t kMonitorAndOwnWords = wsMonitor | wsUser;

std::string msg(int id) {
  return Localize().GetString(id);
}

int32_t readKey(TDynamicSettings& s, const char* name, int n) {
  return s.ReadInteger(name + intToStr(n));
}

// The charts of typing figures: light-blue bars on the chart green, and reference lines in the
// same blue without captions. A line at the top colours every bar (a bar takes the colour of
// the first line at or above it).
GraphModel figureGraph(double maximum, double step, double line) {
  GraphModel g;
  g.Background = graphcolour::PlotBackground;
  g.Minimum = 0;
  g.Maximum = static_cast<float>(maximum);
  g.Step = static_cast<float>(step);
  if (line > 0 && line < maximum) g.AddLine("", graphcolour::LightBlue, line);
  g.AddLine("", graphcolour::LightBlue, maximum);
  return g;
}

GraphModel keyGraph(const TDifficultKeys& keys, const std::string& ranked) {
  GraphModel g;
  g.Background = graphcolour::PlotBackground;
  g.Minimum = 0;
  g.Maximum = 100;
  g.Step = 0;
  g.AddLine(msg(249), graphcolour::Red, 100);
  g.AddLine(msg(250), graphcolour::Amber, keys.HighLimit - 0.01);
  g.AddLine(msg(251), graphcolour::LightBlue, keys.ModerateLimit - 0.01);
  for (size_t i = 0; i < kKeyBars; ++i) {
    if (i < ranked.size()) {
      const auto c = static_cast<unsigned char>(ranked[i]);
      g.AddBar(std::string(1, ranked[i]),
               static_cast<double>(roundHalfEven(keys.getDifficulty(c))));
    } else {
      g.AddBar("", -1);
    }
  }
  return g;
}

int countFrom(const TDifficultKeys& keys, const std::string& ranked) {
  int n = 0;
  for (char c : ranked)
    if (keys.getDifficulty(static_cast<unsigned char>(c)) >= keys.ModerateLimit) ++n;
  return n;
}

// "No data yet" only where nothing was typed: keys typed without trouble are well done.
std::string summary(int count, bool typed, int some, int noData, int none) {
  if (count > 0) return intToStr(count) + " " + msg(some);
  return msg(typed ? none : noData);
}

bool typedAnyWord(const TWordList& words) {
  for (int n = 1; n <= TWordList::Capacity; ++n) {
    const WordEntry& e = words.Entry(n);
    if (e.Word.empty()) break;
    if (e.Word != "-" && (e.Flags & kMonitorAndOwnWords) && !(e.Flags & wsHidden)) return true;
  }
  return false;
}

// Whether the monitor counted any capital letter, or any other key.
bool typedAny(const TDifficultKeys& keys, bool capitals) {
  for (int c = TDifficultKeys::FirstCode; c < 256; ++c) {
    const auto key = static_cast<unsigned char>(c);
    if ((lowerChar(key) != key) == capitals && keys.figures(key).Presses > 0) return true;
  }
  return false;
}

// A speed as shown on the statistics page: the learner's unit, and the unit's name after it when
// the name is short enough to fit.
std::string speedText(int keystrokesPerMinute, const SpeedUnit& unit) {
  std::string text = intToStr(DisplaySpeed(keystrokesPerMinute, unit.Cpm, unit.WordLength));
  const std::string name = msg(SpeedUnitMessage(unit.Cpm));
  if (name.size() < 4) text += " " + name;
  return text;
}

int shown(int keystrokesPerMinute, const SpeedUnit& unit) {
  return DisplaySpeed(keystrokesPerMinute, unit.Cpm, unit.WordLength);
}

int roundDown(double value, int unit) {
  return static_cast<int>(std::floor(value / unit)) * unit;
}

}  // namespace

int MonitorSpeed(int64_t hits, int64_t seconds) {
  if (seconds <= 0) return -1;
  return static_cast<int>(roundHalfEven(static_cast<double>(hits) * 60.0 / seconds));
}

void TSidewatchFigures::Compute(TDynamicSettings& user, const TDifficultKeys& keys,
                                const TWordList* words, double now, const SpeedUnit& unit) {
  difficulties(keys, words);
  lastSevenDays(user, now, unit);
  calendar(user, now, unit);

  ProblemToday = {msg(482), intToStr(ProblemIndex) + "%"};
  ProblemHighest = {
      msg(483), intToStr(std::max(user.ReadInteger("ProblemIndex.TopTen"), ProblemIndex)) + "%"};

  const double last = user.ReadFloat("Sidewatch.LastpracticeDate");
  if (last > 0) {
    const int64_t days = static_cast<int64_t>(std::floor(now)) - static_cast<int64_t>(last);
    LastPractice = intToStr(days) + msg(days == 1 ? 503 : 504);
  } else {
    LastPractice = msg(502);
  }
}

void TSidewatchFigures::difficulties(const TDifficultKeys& keys, const TWordList* words) {
  KeyIndex = ks::KeyIndex(keys);
  CapitalIndex = ks::CapitalIndex(keys);
  WordIndex = words != nullptr ? words->WordIndex(kMonitorAndOwnWords) : 0;
  ProblemIndex = ks::ProblemIndex(keys, words);

  const std::string lower = keys.getTopLowerKeys(TDifficultKeys::CodeCount);
  const std::string upper = keys.getTopUpperKeys(TDifficultKeys::CodeCount);
  Graphs[Keys] = keyGraph(keys, lower);
  Graphs[Capitals] = keyGraph(keys, upper);
  DifficultKeys = countFrom(keys, lower);
  DifficultCapitals = countFrom(keys, upper);
  DifficultWords = 0;
  if (words != nullptr) {
    for (const std::string& d : words->ListWords(kMonitorAndOwnWords, 2))
      if (strToIntDef(d, 0) >= keys.ModerateLimit) ++DifficultWords;
  }
  const bool keysTyped = typedAny(keys, false), capitalsTyped = typedAny(keys, true);
  NothingTyped = !keysTyped && !capitalsTyped;
  KeySummary = summary(DifficultKeys, keysTyped, 1759, 1761, 1760);
  CapitalSummary = summary(DifficultCapitals, capitalsTyped, 1762, 1764, 1763);
  const bool wordsTyped = words != nullptr && typedAnyWord(*words);
  WordSummary = summary(DifficultWords, wordsTyped, 1765, 1767, 1766);
}

void TSidewatchFigures::lastSevenDays(TDynamicSettings& user, double now, const SpeedUnit& unit) {
  const auto today = static_cast<int64_t>(std::floor(now));
  user.WriteInteger("ProblemIndex.day" + intToStr(dayOfWeek(static_cast<double>(today))),
                    ProblemIndex);
  const std::string dayNames = msg(15);

  GraphModel problem = figureGraph(100, 50, 50);
  std::array<int, 7> speeds{}, words{}, seconds{};
  std::array<std::string, 7> labels;
  int64_t speedSum = 0, wordSum = 0, secondSum = 0;
  int typingDays = 0, maxSpeed = 0, maxWords = 0, maxSeconds = 0;
  for (int i = 0; i < 7; ++i) {
    const int n = dayOfWeek(static_cast<double>(today - 6 + i));
    const size_t at = static_cast<size_t>(2 * (n - 1));
    labels[i] = at < dayNames.size() ? dayNames.substr(at, 2) : std::string();
    seconds[i] = readKey(user, "TypingSeconds.day", n);
    words[i] = readKey(user, "TypedWords.day", n);
    speeds[i] = MonitorSpeed(readKey(user, "TotalHits.day", n), seconds[i]);
    problem.AddBar(labels[i], readKey(user, "ProblemIndex.day", n));
    // Days without typing time say nothing about the learner's speed or habits.
    if (seconds[i] > 0) {
      ++typingDays;
      speedSum += speeds[i];
      wordSum += words[i];
      secondSum += seconds[i];
    }
    maxSpeed = std::max(maxSpeed, speeds[i]);
    maxWords = std::max(maxWords, words[i]);
    maxSeconds = std::max(maxSeconds, seconds[i]);
  }
  Graphs[ProblemWeek] = problem;

  const int speedTop = roundDown(maxSpeed, 100) + 100;
  GraphModel speed =
      figureGraph(shown(speedTop, unit), shown(speedTop / 2, unit), shown(speedTop / 2, unit));
  const int hoursTop = maxSeconds / 3600 + 1;
  GraphModel time = figureGraph(hoursTop, hoursTop / 2.0, hoursTop / 2.0);
  const int wordsTop = roundDown(maxWords, 500) + 500;
  GraphModel wordGraph = figureGraph(wordsTop, wordsTop / 2.0, wordsTop / 2.0);
  for (int i = 0; i < 7; ++i) {
    const bool isToday = i == 6;
    speed.AddBar(labels[i], speeds[i] < 0 ? -1 : shown(speeds[i], unit), isToday);
    time.AddBar(labels[i], seconds[i] / 3600.0);
    wordGraph.AddBar(labels[i], words[i], isToday);
  }
  Graphs[SpeedWeek] = speed;
  Graphs[TimeWeek] = time;
  Graphs[WordsWeek] = wordGraph;

  const int speedAverage = typingDays > 0 ? static_cast<int>(speedSum / typingDays) : 0;
  const int wordsAverage =
      typingDays > 0 ? std::min<int>(static_cast<int>(wordSum / typingDays), maxWords) : 0;
  const int64_t secondsAverage = typingDays > 0 ? secondSum / typingDays : 0;
  const std::string speedNow = speedText(std::max(speeds[6], 0), unit);
  const std::string speedAvg = speedText(speedAverage, unit);
  SpeedToday = {msg(484), speedNow};
  SpeedAverage = {msg(485), speedAvg};
  SpeedHighest = {msg(486), speedText(user.ReadInteger("Speed.TopTen"), unit)};
  SpeedSummary = msg(487) + speedNow + msg(488) + speedAvg;
  WordsToday = {msg(492), intToStr(words[6]) + msg(489)};
  WordsAverage = {msg(493), intToStr(wordsAverage) + msg(490)};
  WordsHighest = {msg(494), intToStr(user.ReadInteger("TypedWords.TopTen")) + msg(491)};
  WordsSummary = msg(495) + intToStr(words[6]) + msg(496) + intToStr(wordsAverage);
  TimeToday = {msg(497), HoursMinutesText(seconds[6])};
  TimeAverage = {msg(498), HoursMinutesText(secondsAverage)};
  TimeHighest = {msg(499), HoursMinutesText(user.ReadInteger("TypingSeconds.TopTen"))};
  TimeSummary = msg(500) + TimeToday.Value + msg(501) + TimeAverage.Value;
}

void TSidewatchFigures::calendar(TDynamicSettings& user, double now, const SpeedUnit& unit) {
  const double today = std::floor(now);
  // Weeks of the year first: their largest figures scale the month's charts as well.
  // The year's last week: 52, or 53 and 54 in years whose end reaches them.
  const int lastWeek = std::max(52, weekOfYear(encodeDate(decodeDate(today).year, 12, 31)));
  int first = 0;
  for (int w = 1; w <= lastWeek && first == 0; ++w)
    if (readKey(user, "SaTi", w) != 0) first = w;
  const int thisWeek = weekOfYear(today);
  struct Sample {
    std::string label;
    int speed;
    double hours;
    bool today;
  };
  std::vector<Sample> weeks;
  int maxSpeed = 0, maxSeconds = 0;
  for (int w = first; w <= lastWeek; ++w) {
    const int seconds = readKey(user, "SaTi", w);
    const int speed = MonitorSpeed(readKey(user, "SaSp", w), seconds);
    maxSpeed = std::max(maxSpeed, speed);
    maxSeconds = std::max(maxSeconds, seconds);
    const bool labelled = first > 25 || w % 5 == 0;
    weeks.push_back(
        {labelled ? intToStr(w) : std::string(), speed, seconds / 3600.0, w == thisWeek});
  }

  std::vector<Sample> days;
  const CivilDate now_ = decodeDate(today);
  const CivilDate before = decodeDate(encodeDate(now_.year, now_.month, 1) - 1.0);
  for (int k = now_.day - 30; k <= now_.day; ++k) {
    CivilDate d = now_;
    d.day = k;
    if (k < 1) {
      d = before;
      d.day = k + 31;
      if (!isValidDate(d.year, d.month, d.day)) continue;
    }
    const int seconds = readKey(user, "SaWTi", d.day);
    const int speed = MonitorSpeed(readKey(user, "SaWSp", d.day), seconds);
    const std::string label =
        d.day % 3 == 0 ? intToStr(d.month) + "/" + intToStr(d.day) : std::string();
    days.push_back({label, speed, seconds / 3600.0, k == now_.day});
  }

  const int speedTop = roundDown(maxSpeed, 100) + 100;
  const int hoursTop = maxSeconds / 3600 + 1;
  const auto fill = [&](const std::vector<Sample>& samples, Graph speedGraph, Graph timeGraph) {
    GraphModel speed = figureGraph(shown(speedTop, unit), shown(50, unit), 0);
    GraphModel time = figureGraph(hoursTop, hoursTop / 2.0, hoursTop / 2.0);
    for (const Sample& s : samples) {
      speed.AddBar(s.label, s.speed < 0 ? -1 : shown(s.speed, unit), s.today);
      time.AddBar(s.label, s.hours, s.today);
    }
    Graphs[speedGraph] = speed;
    Graphs[timeGraph] = time;
  };
  fill(weeks, SpeedYear, TimeYear);
  fill(days, SpeedMonth, TimeMonth);
}

}  // namespace ks
