#include "content/resultjudge.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "analysis/diffkeys.h"
#include "content/policy.h"
#include "engine/indexes.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "text/numbers.h"

namespace ks {
namespace {

std::string msg(int id) {
  return Localize().GetString(id);
}

bool gradeIn(const std::string& grade, std::initializer_list<const char*> grades) {
  for (const char* g : grades) {
    if (grade == g) return true;
  }
  return false;
}

// The per-course feedback memory in the learner's settings.
struct Feedback {
  std::string GeneralId, DiffKeysId, GoalId;
  int GeneralCount = 0, DiffKeysCount = 0, GoalCount = 0, FailCount = 0, ExceedCount = 0;

  static std::string key(const std::string& course, const char* suffix) {
    return course + ".Feedback." + suffix;
  }
  void read(TDynamicSettings& s, const std::string& c) {
    GeneralId = s.ReadString(key(c, "GeneralTipID"));
    GeneralCount = s.ReadInteger(key(c, "GeneralTipCount"));
    DiffKeysId = s.ReadString(key(c, "DiffKeysTipID"));
    DiffKeysCount = s.ReadInteger(key(c, "DiffKeysTipCount"));
    GoalId = s.ReadString(key(c, "GoalTipID"));
    GoalCount = s.ReadInteger(key(c, "GoalTipCount"));
    FailCount = s.ReadInteger(key(c, "GoalFailCount"));
    ExceedCount = s.ReadInteger(key(c, "GoalExceedCount"));
  }
  void write(TDynamicSettings& s, const std::string& c) const {
    s.WriteString(key(c, "GeneralTipID"), GeneralId);
    s.WriteInteger(key(c, "GeneralTipCount"), GeneralCount);
    s.WriteString(key(c, "DiffKeysTipID"), DiffKeysId);
    s.WriteInteger(key(c, "DiffKeysTipCount"), DiffKeysCount);
    s.WriteString(key(c, "GoalTipID"), GoalId);
    s.WriteInteger(key(c, "GoalTipCount"), GoalCount);
    s.WriteInteger(key(c, "GoalFailCount"), FailCount);
    s.WriteInteger(key(c, "GoalExceedCount"), ExceedCount);
  }
};

// The repetition rule: a tip is fresh when it differs from the one shown last time or has been
// greyed twice; otherwise it is greyed once more.
bool chooseTip(std::string& storedId, int& count, const std::string& id) {
  const bool fresh = id != storedId || count >= 2;
  count = fresh ? 0 : count + 1;
  storedId = id;
  return fresh;
}

void noTip(std::string& storedId, int& count) {
  storedId.clear();
  count = 0;
}

std::string replaceKeys(std::string text, const std::string& keys) {
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, keys);
  return text;
}

void generalTip(const std::string& grade, Feedback& fb, std::vector<ResultTip>& tips) {
  struct Row {
    std::initializer_list<const char*> grades;
    const char* id;
    int message;
  };
  static const Row rows[] = {{{"2.3", "2.4", "2.5"}, "1", 1550}, {{"1.3", "1.4", "1.5"}, "2", 1551},
                             {{"3.1", "4.1"}, "3", 1552},        {{"3.5", "4.5"}, "4", 1553},
                             {{"2.1", "2.2"}, "5", 1554},        {{"1.1", "1.2"}, "6", 1555}};
  for (const Row& r : rows) {
    if (!gradeIn(grade, r.grades)) continue;
    tips.push_back({chooseTip(fb.GeneralId, fb.GeneralCount, r.id), 1, 'G', msg(r.message)});
    return;
  }
  noTip(fb.GeneralId, fb.GeneralCount);
}

void diffKeysTip(const ExercInfoModel& m, const JudgeSources& src, Feedback& fb,
                 std::vector<ResultTip>& tips, std::string& reviewKeys) {
  std::string newKeys, groupKeys, moderate;
  if (src.Keys != nullptr) {
    for (char key : m.DiffKeys) {
      const int d =
          static_cast<int>(roundHalfEven(src.Keys->getDifficulty(static_cast<unsigned char>(key))));
      if (d >= src.Keys->HighLimit) {
        (src.KeyGroup.find(key) == std::string::npos ? newKeys : groupKeys) += key;
      } else if (d >= src.Keys->ModerateLimit) {
        moderate += key;
      }
    }
  }
  std::string keys, id;
  int one = 0, more = 0;
  if (!newKeys.empty()) {
    keys = newKeys, id = "1." + newKeys, one = 1491, more = 1490;
  } else if (!groupKeys.empty()) {
    keys = groupKeys, id = "2." + groupKeys, one = 1493, more = 1492;
  } else if (!moderate.empty()) {
    keys = moderate, id = "3", one = 1495, more = 1494;
  } else {
    noTip(fb.DiffKeysId, fb.DiffKeysCount);
    return;
  }
  const int message = keys.size() == 1 ? one : more;
  reviewKeys = keys.substr(0, 4);
  tips.push_back({chooseTip(fb.DiffKeysId, fb.DiffKeysCount, id), 2, 'D',
                  replaceKeys(msg(message), reviewKeys)});
}

void goalTip(const std::string& grade, int goalLevel, Feedback& fb, std::vector<ResultTip>& tips) {
  std::string id;
  int message = 0;
  const auto exceeded = [&](int threshold, const char* tipId, int tipMessage) {
    fb.FailCount = 0;
    ++fb.ExceedCount;
    if (fb.ExceedCount >= threshold && goalLevel < 3) id = tipId, message = tipMessage;
  };
  const auto failed = [&](int threshold, const char* level2Id, int level2Message) {
    fb.ExceedCount = 0;
    ++fb.FailCount;
    if (fb.FailCount < threshold) return;
    if (goalLevel == 3) {
      id = "3", message = 1583;
    } else if (goalLevel == 2) {
      id = level2Id, message = level2Message;
    } else {
      id = "6", message = 1586;
    }
  };
  if (gradeIn(grade, {"4.4", "4.5"})) {
    exceeded(2, "1", 1581);
  } else if (gradeIn(grade, {"4.2", "4.3"})) {
    exceeded(3, "0", 1580);
  } else if (gradeIn(grade, {"2.1", "2.2", "2.3"})) {
    failed(3, "2", 1582);
  } else if (gradeIn(grade, {"2.4", "2.5", "1.4", "1.5"})) {
    failed(3, "4", 1584);
  } else if (gradeIn(grade, {"1.1", "1.2", "1.3"})) {
    failed(2, "5", 1585);
  } else {
    fb.FailCount = 0;
    fb.ExceedCount = 0;
  }
  if (message == 0) {
    noTip(fb.GoalId, fb.GoalCount);
    return;
  }
  tips.push_back({chooseTip(fb.GoalId, fb.GoalCount, id), 3, 'L', msg(message)});
}

void judgeGoals(const ExercInfoInput& in, const JudgeSources& src, ExercInfoModel& m) {
  const TResultItem& item = *in.Item;
  const EventGoals& g = in.Goals;
  const auto shownAccuracy = static_cast<float>(item.Accuracy);
  m.AccuracyGrade = AccuracyGradeOf(shownAccuracy, g.GoalAccuracy, g.NextLevelTarget);
  m.SpeedGrade = SpeedGradeOf(item.GrossSpeed, g);
  m.Grade = intToStr(m.AccuracyGrade) + "." + intToStr(m.SpeedGrade);
  m.GoalReached = m.AccuracyGrade > 2 && m.SpeedGrade > 1;
  const std::string& course = item.CourseId;
  const int goalLevel = src.UserSettings.ReadInteger(course + ".GoalLevel");

  Feedback fb;
  fb.read(src.UserSettings, course);
  m.TooShort = in.DynamicDuration ? item.TypingSeconds < g.BaseTime
                                  : item.TypingSeconds < item.TimeLimit / 2;
  if (item.Complete) {
    m.StatusText = msg(1500 + 5 * (m.AccuracyGrade - 1) + (m.SpeedGrade - 1));
    if (m.AccuracyGrade < 3) {
      m.StatusTitle =
          msg(gradeIn(m.Grade, {"2.2", "2.3", "2.4", "2.5", "3.1", "4.1"}) ? 1481 : 1482);
      m.StatusPic = GoalPic::Failed;
    } else {
      m.StatusTitle = msg(1480);
      m.StatusPic = GoalPic::Reached;
      const int left = item.TimeLimit - item.TypingSeconds;
      m.Duration.Comment = left >= 10 ? DurationText(left) + " " + msg(1546) : std::string();
      m.Duration.Pic = GoalPic::Reached;
    }
  } else {
    m.StatusTitle = msg(1483);
    m.StatusText = msg(m.TooShort ? 1522 : m.AccuracyGrade < 3 ? 1521 : 1520);
    m.StatusPic = GoalPic::Failed;
    m.Duration.Comment = msg(1886);
    m.Duration.Pic = GoalPic::Failed;
  }
  m.Accuracy.Comment = msg(1540) + " " + intToStr(g.GoalAccuracy) + "%";
  m.Accuracy.Pic = m.AccuracyGrade < 3 ? GoalPic::Failed : GoalPic::Reached;
  m.Speed.Comment = msg(m.SpeedGrade == 1 ? 1541 : 1540 + m.SpeedGrade);
  m.Speed.Pic = m.SpeedGrade == 1 ? GoalPic::Failed : GoalPic::Reached;
  m.NetSpeed.Comment.clear();
  m.NetSpeed.Pic = m.GoalReached ? GoalPic::Reached : GoalPic::Neutral;

  std::vector<ResultTip> tips;
  if (m.TooShort) {
    noTip(fb.GeneralId, fb.GeneralCount);
  } else {
    generalTip(m.Grade, fb, tips);
  }
  diffKeysTip(m, src, fb, tips, m.ReviewKeys);
  if (m.TooShort) {
    noTip(fb.GoalId, fb.GoalCount);
  } else {
    goalTip(m.Grade, goalLevel, fb, tips);
  }
  // Fresh before greyed, then by kind.
  std::stable_sort(tips.begin(), tips.end(), [](const ResultTip& a, const ResultTip& b) {
    return std::make_tuple(!a.Fresh, a.Kind) < std::make_tuple(!b.Fresh, b.Kind);
  });
  if (tips.size() > 3) tips.resize(3);
  m.Tips = tips;
  m.CommentPage = 1;
  m.CommentArea = std::any_of(tips.begin(), tips.end(), [](const ResultTip& t) { return t.Fresh; });
  fb.write(src.UserSettings, course);
}

}  // namespace

int AccuracyGradeOf(float accuracy, int goalAccuracy, int nextLevelTarget) {
  if (static_cast<float>(goalAccuracy - 3) > accuracy) return 1;
  if (static_cast<float>(goalAccuracy) > accuracy) return 2;
  if (accuracy < static_cast<float>(nextLevelTarget)) return 3;
  return 4;
}

int SpeedGradeOf(int grossSpeed, const EventGoals& goals) {
  if (grossSpeed < goals.CompletionSpeed) return 1;
  if (grossSpeed < goals.SpeedFinalGoal) return 2;
  if (grossSpeed < goals.SpeedMidGoal) return 3;
  if (grossSpeed < goals.SpeedStartGoal) return 4;
  return 5;
}

std::string DurationText(int seconds) {
  const int minutes = seconds / 60;
  const int rest = std::max(0, seconds % 60);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%2.2d", minutes, rest);
  return text + msg(374);
}

std::string SpeedText(int keystrokesPerMinute, bool cpm, int wordLength) {
  return intToStr(DisplaySpeed(keystrokesPerMinute, cpm, wordLength)) + " " +
         msg(SpeedUnitMessage(cpm));
}

std::vector<KeyBar> DifficultKeyBars(const TDifficultKeys& keys, int count, int minPresses,
                                     const std::string& highlight, const std::string& allowed,
                                     std::string* shown) {
  std::vector<KeyBar> bars;
  std::string listed;
  for (int rank = 1; rank <= count; ++rank) {
    const unsigned char key = keys.getKeyAtRank(rank);
    const int d = static_cast<int>(roundHalfEven(keys.getDifficultyAtRank(rank)));
    if (d <= 0 || key == 0 || listed.find(static_cast<char>(key)) != std::string::npos) continue;
    if (!allowed.empty() && allowed.find(static_cast<char>(key)) == std::string::npos) continue;
    if (keys.getSessionPressesAtRank(rank) < minPresses) continue;
    listed += static_cast<char>(key);
    bars.push_back({key, d, highlight.find(static_cast<char>(key)) != std::string::npos});
  }
  while (static_cast<int>(bars.size()) < count) bars.push_back({});
  if (shown != nullptr) *shown = listed;
  return bars;
}

ExercInfoModel JudgeExerciseResult(const ExercInfoInput& in, const JudgeSources& src) {
  ExercInfoModel m;
  const TResultItem* item = in.Item;
  int keyLevel = in.KeyLevel;
  if (item != nullptr) {
    if (item->Kind == "TEST") {
      m.ExamResult = true;
      keyLevel = 99;
      m.PrintResults = true;
      m.PrintDiploma = item->Passed;
      // An exam of a course lesson is no typing test, though both are judged alike.
      m.Title = msg(item->Chapter > 0 ? 2151 : 532);
    } else {
      m.Title = msg(533);
    }
    // Too little typing leaves the measures at zero: "no result" says so, "0 %" would not.
    m.HasMeasures = item->HasMeasures && item->Valid;
  }
  m.DiffKeysTitle = msg(m.ExamResult ? 1681 : 1669);
  if (!m.HasMeasures) {
    m.StatusTitle = msg(1661);
    m.StatusText = msg(122) + msg(123);
    m.StatusPic = GoalPic::Failed;
    m.CommentArea = false;
    return m;
  }
  const bool cpm = src.UserSettings.ReadBool("cpm");
  m.Duration.Value = DurationText(item->TypingSeconds);
  m.Speed.Value = SpeedText(item->GrossSpeed, cpm, src.WordLength);
  m.NetSpeed.Value = SpeedText(item->NetSpeed, cpm, src.WordLength);
  m.Accuracy.Value = intToStr(item->Accuracy) + "%";
  if (src.Keys != nullptr) {
    // The keys introduced at the exercise's level stand out; a test has none.
    const std::string group = keyLevel == 99 ? std::string() : src.KeyGroup;
    m.Chart = DifficultKeyBars(*src.Keys, 11, 1, group, std::string(), &m.DiffKeys);
  }
  m.ReviewButton = !m.DiffKeys.empty() && !m.ExamResult;

  if (m.ExamResult) {
    m.CommentPage = 0;
    // A typing test is told as a test, a course lesson's exam as an exam.
    const bool typingTest = item->Chapter <= 0;
    if (!item->Passed) {
      m.StatusTitle = msg(typingTest ? 2702 : 1664);
      m.StatusText = msg(typingTest ? 2703 : 1665);
      m.StatusPic = GoalPic::Failed;
      m.Comment = item->Tip;
    } else if (item->Complete || item->TimeLimit <= 0) {
      m.StatusTitle = msg(typingTest ? 2700 : 1662);
      m.StatusText = msg(typingTest ? 2701 : 1663);
      m.StatusPic = GoalPic::Reached;
    } else {
      m.StatusTitle = msg(typingTest ? 2700 : 1682);
      m.StatusText = msg(1683);
      m.StatusPic = GoalPic::Failed;
    }
    m.CommentArea = !m.Comment.empty();
  } else if (in.GoalMode) {
    judgeGoals(in, src, m);
  } else {
    if (item->Complete) {
      m.StatusTitle = msg(1667);
      m.StatusPic = GoalPic::Reached;
    } else {
      m.StatusTitle = msg(1666);
      m.StatusPic = GoalPic::Failed;
      m.Duration.Comment = msg(1886);
      m.Duration.Pic = GoalPic::Failed;
    }
    m.StatusText = msg(1668);
    m.CommentPage = 0;
    m.Comment = item->Tip;
    m.CommentArea = !m.Comment.empty();
  }
  m.Calculator = item->Kind == "TEST" && policyBool("ShowTouchTypingCalc");
  return m;
}

int TypingTimeMinutes(int entry) {
  static const int minutes[kTypingTimeEntries] = {30, 60, 120, 180, 240, 300};
  return minutes[std::clamp(entry, 0, kTypingTimeEntries - 1)];
}

TypingCalc TouchTypingCalculator(int entry, int netSpeed, bool cpm, int wordLength) {
  static const int reachable[kTypingTimeEntries] = {250, 275, 300, 300, 325, 325};
  TypingCalc c;
  const int i = std::clamp(entry, 0, kTypingTimeEntries - 1);
  const int64_t a = TypingTimeMinutes(i);
  const int64_t b = reachable[i];
  c.DailyMinutes = static_cast<int>(a);
  c.ReachableSpeed = static_cast<int>(b);
  // Whole-number operands: computed exactly so that halves round the same on every machine.
  const int64_t d = netSpeed > 0 ? roundHalfEvenDiv(a * netSpeed, b) : 0;
  const int64_t saved = roundHalfEvenDiv((a - d) * 7, 10);
  c.SavedMinutes = static_cast<int>(saved);
  c.Saves = saved * 100 >= 15 * a;
  if (!c.Saves) {
    c.Title = msg(625);
    c.Text = msg(539) + msg(540);
    return c;
  }
  c.CalcLine = msg(537) + SpeedText(static_cast<int>(b), cpm, wordLength) + msg(538);
  const std::string bullet = "\x95 ";
  c.SavedLines = bullet + intToStr(saved) + msg(534) + "\r" + bullet +
                 intToStr(roundHalfEvenDiv(saved * 5, 60)) + msg(535) + "\r" + bullet +
                 intToStr(roundHalfEvenDiv(saved * 230, 480)) + msg(536);
  return c;
}

}  // namespace ks
