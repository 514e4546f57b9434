// What the exercise result page says about a result: the four measures, the verdict against
// the exercise's goals, the tips with their per-course repetition memory, the difficult keys
// and the touch-typing calculator. Plain data for the view to show.
#pragma once

#include <string>
#include <vector>

#include "content/eventfactory.h"
#include "store/resultitem.h"

namespace ks {

class TDifficultKeys;
class TDynamicSettings;

// The pictures beside a verdict: none, goal reached, goal missed, neutral.
enum class GoalPic { None, Reached, Failed, Neutral };

struct ResultLine {
  std::string Value = "-";
  std::string Comment;
  GoalPic Pic = GoalPic::None;
};

// A tip: fresh ones are shown in black, greyed ones (already shown) in grey. Kinds: 1 general,
// 2 difficult keys, 3 goal. Buttons: 'G' none, 'D' review the keys, 'L' the goal level.
struct ResultTip {
  bool Fresh = true;
  int Kind = 0;
  char Button = 'G';
  std::string Text;
};

// One bar of the difficult-keys chart; an empty bar has key 0.
struct KeyBar {
  unsigned char Key = 0;
  int Difficulty = 0;
  bool Highlighted = false;
};

struct ExercInfoInput {
  const TResultItem* Item = nullptr;
  int KeyLevel = 0;
  bool GoalMode = false;
  EventGoals Goals;  // valid in goal mode
  bool DynamicDuration = false;
};

struct JudgeSources {
  TDynamicSettings& UserSettings;        // feedback memory, goal level, speed unit
  const TDifficultKeys* Keys = nullptr;  // the current key statistics; none: no chart
  std::string KeyGroup;                  // the keys introduced at the exercise's key level
  int WordLength = 5;
};

struct ExercInfoModel {
  std::string Title;
  bool ExamResult = false;
  bool HasMeasures = false;
  std::string StatusTitle;
  std::string StatusText;
  GoalPic StatusPic = GoalPic::None;
  ResultLine Duration, Speed, Accuracy, NetSpeed;
  std::string DiffKeysTitle;
  std::vector<KeyBar> Chart;
  std::string DiffKeys;
  bool ReviewButton = false;
  bool PrintResults = false;
  bool PrintDiploma = false;
  bool Calculator = false;  // a typing test offers the touch-typing calculator
  // The comment area: page 0 the comment text, page 1 the tips.
  bool CommentArea = true;
  int CommentPage = 0;
  std::string Comment;
  std::vector<ResultTip> Tips;  // at most three, in the order shown
  std::string ReviewKeys;       // what a review-keys tip offers
  // Goal mode.
  int AccuracyGrade = 0;
  int SpeedGrade = 0;
  std::string Grade;
  bool GoalReached = false;
  bool TooShort = false;
};

// Judges a result; in goal mode the learner's feedback memory of the course is read and
// written back.
ExercInfoModel JudgeExerciseResult(const ExercInfoInput& in, const JudgeSources& src);

int AccuracyGradeOf(float accuracy, int goalAccuracy, int nextLevelTarget);
int SpeedGradeOf(int grossSpeed, const EventGoals& goals);

// Typing seconds as "m:ss" followed by message 374.
std::string DurationText(int seconds);
// A speed in keystrokes per minute in the learner's unit, with the unit's caption.
std::string SpeedText(int keystrokesPerMinute, bool cpm, int wordLength);

// The difficult-keys chart: up to `count` of the most difficult keys with at least
// `minPresses` recent presses, those in `highlight` marked, only those in `allowed` (all when
// empty); padded with empty bars to `count`. `shown` gets the keys listed.
std::vector<KeyBar> DifficultKeyBars(const TDifficultKeys& keys, int count, int minPresses,
                                     const std::string& highlight, const std::string& allowed,
                                     std::string* shown = nullptr);

// The touch-typing calculator for the `entry` (0..5) of daily typing times.
struct TypingCalc {
  int DailyMinutes = 0;    // a
  int ReachableSpeed = 0;  // b, keystrokes per minute
  int SavedMinutes = 0;
  bool Saves = false;      // false: the no-saving status
  std::string Title;       // no saving: message 625
  std::string Text;        // no saving: messages 539 and 540
  std::string CalcLine;    // saving: message 537, the speed, message 538
  std::string SavedLines;  // saving: the three lines of time saved
};
constexpr int kTypingTimeEntries = 6;
TypingCalc TouchTypingCalculator(int entry, int netSpeed, bool cpm, int wordLength);
// The entry's caption in the time list: "<minutes> min." per working day.
int TypingTimeMinutes(int entry);

}  // namespace ks
