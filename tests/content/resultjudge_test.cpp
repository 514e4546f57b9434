#include <gtest/gtest.h>

#include "analysis/diffkeys.h"
#include "content/resultjudge.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "studyfakes.h"

namespace ks {
namespace {

using test::ScopedPolicy;

std::string m(int id) {
  return "[" + std::to_string(id) + "]";
}

struct Judge : ::testing::Test {
  void SetUp() override {
    for (int id = 100; id < 2800; ++id) Localize().SetString(id, m(id));
    for (int id = 1490; id <= 1495; ++id) Localize().SetString(id, m(id) + "%s");
    settings.Open("", omMemory);
    goals.Active = true;
    goals.GoalAccuracy = 95;
    goals.NextLevelTarget = 97;
    goals.CompletionSpeed = 60;
    goals.SpeedFinalGoal = 100;
    goals.SpeedMidGoal = 140;
    goals.SpeedStartGoal = 180;
    item.Kind = "TEXT";
    item.CourseId = "ENG";
    item.HasMeasures = item.Valid = item.Complete = item.Passed = true;
    item.TimeLimit = 180;
    item.TypingSeconds = 120;
  }
  void TearDown() override { Localize().Reset(); }

  // A result of `accuracy` % at `gross` keystrokes per minute, judged in goal mode.
  ExercInfoModel judge(int accuracy, int gross, bool goalMode = true) {
    item.Accuracy = accuracy;
    item.GrossSpeed = gross;
    ExercInfoInput in{&item, 2, goalMode, goals, false};
    return JudgeExerciseResult(in, JudgeSources{settings, withKeys ? &keys : nullptr, "fj", 5});
  }
  // Keys typed with `errors` mistakes in 20 presses each.
  void typed(const std::string& chars, int errors) {
    for (char c : chars) {
      for (int i = 0; i < 20; ++i) keys.recordKey(static_cast<unsigned char>(c), i < errors);
    }
    keys.updateStatistics();
  }
  std::vector<std::string> tipTexts(const ExercInfoModel& r) {
    std::vector<std::string> out;
    for (const ResultTip& t : r.Tips) out.push_back((t.Fresh ? "+" : "-") + t.Text);
    return out;
  }

  TDynamicSettings settings;
  TDifficultKeys keys{8};
  bool withKeys = false;
  EventGoals goals;
  TResultItem item;
  ScopedPolicy policy;
};

TEST_F(Judge, AccuracyAndSpeedAreGradedAgainstTheGoals) {
  EXPECT_EQ(AccuracyGradeOf(94, 95, 97), 2) << "one point below the goal";
  EXPECT_EQ(AccuracyGradeOf(92, 95, 97), 2);
  EXPECT_EQ(AccuracyGradeOf(91, 95, 97), 1) << "four points below";
  EXPECT_EQ(AccuracyGradeOf(95, 95, 97), 3);
  EXPECT_EQ(AccuracyGradeOf(97, 95, 97), 4);
  EXPECT_EQ(SpeedGradeOf(59, goals), 1);
  EXPECT_EQ(SpeedGradeOf(60, goals), 2);
  EXPECT_EQ(SpeedGradeOf(139, goals), 3);
  EXPECT_EQ(SpeedGradeOf(179, goals), 4);
  EXPECT_EQ(SpeedGradeOf(180, goals), 5) << "exactly the start goal";
}

TEST_F(Judge, ACompleteGoalResultGetsItsGradesStatusAndComments) {
  const ExercInfoModel r = judge(95, 110);  // grade 3.3
  EXPECT_EQ(r.Grade, "3.3");
  EXPECT_TRUE(r.GoalReached);
  EXPECT_EQ(r.StatusText, m(1512));
  EXPECT_EQ(r.StatusTitle, m(1480));
  EXPECT_EQ(r.StatusPic, GoalPic::Reached);
  EXPECT_EQ(r.Duration.Value, "2:00" + m(374));
  EXPECT_EQ(r.Duration.Comment, "1:00" + m(374) + " " + m(1546)) << "a minute left over";
  EXPECT_EQ(r.Accuracy.Comment, m(1540) + " 95%");
  EXPECT_EQ(r.Speed.Comment, m(1543));
  EXPECT_EQ(r.Speed.Value, "22 " + m(208)) << "words of five keystrokes per minute";
  EXPECT_EQ(r.NetSpeed.Pic, GoalPic::Reached);

  const ExercInfoModel low = judge(93, 50);  // grade 2.1
  EXPECT_EQ(low.StatusTitle, m(1482));
  EXPECT_EQ(low.Speed.Pic, GoalPic::Failed);
  EXPECT_EQ(low.NetSpeed.Pic, GoalPic::Neutral);
  EXPECT_EQ(judge(93, 110).StatusTitle, m(1481)) << "grade 2.3 is almost there";

  item.Complete = false;
  const ExercInfoModel open = judge(95, 110);
  EXPECT_EQ(open.StatusTitle, m(1483));
  EXPECT_EQ(open.StatusText, m(1520));
  EXPECT_EQ(open.Duration.Comment, m(1886));
}

TEST_F(Judge, TheSameTipShowsFreshThenGreyedTwiceThenFreshAgain) {
  std::vector<std::vector<std::string>> shown;
  std::vector<bool> area;
  for (int i = 0; i < 4; ++i) {
    const ExercInfoModel r = judge(95, 50);  // grade 3.1: a general tip and no goal tip
    shown.push_back(tipTexts(r));
    area.push_back(r.CommentArea);
  }
  EXPECT_EQ(shown, (std::vector<std::vector<std::string>>{
                       {"+" + m(1552)}, {"-" + m(1552)}, {"-" + m(1552)}, {"+" + m(1552)}}));
  EXPECT_EQ(area, (std::vector<bool>{true, false, false, true})) << "greyed tips alone hide";
  EXPECT_EQ(settings.ReadString("ENG.Feedback.GeneralTipID"), "3");

  // Another grade forgets the tip: it is fresh when it comes back.
  judge(98, 150);  // 4.4 has no general tip
  EXPECT_EQ(settings.ReadString("ENG.Feedback.GeneralTipID"), "");
  EXPECT_EQ(tipTexts(judge(95, 50)), (std::vector<std::string>{"+" + m(1552)}));
}

TEST_F(Judge, GoalTipsFollowTheRunsOfMissedAndExceededGoals) {
  settings.WriteInteger("ENG.GoalLevel", 2);
  EXPECT_TRUE(judge(98, 150).Tips.empty());  // 4.4: exceeded once
  EXPECT_EQ(tipTexts(judge(98, 150)), (std::vector<std::string>{"+" + m(1581)}));
  EXPECT_EQ(settings.ReadInteger("ENG.Feedback.GoalExceedCount"), 2);

  // Missing the goals resets the other counter; at the top level exceeding says nothing.
  EXPECT_EQ(tipTexts(judge(90, 50)), (std::vector<std::string>{"+" + m(1555)}));  // 1.1
  EXPECT_EQ(settings.ReadInteger("ENG.Feedback.GoalExceedCount"), 0);
  const ExercInfoModel twice = judge(90, 50);
  EXPECT_EQ(tipTexts(twice), (std::vector<std::string>{"+" + m(1585), "-" + m(1555)}));
  settings.WriteInteger("ENG.GoalLevel", 3);
  settings.WriteInteger("ENG.Feedback.GoalExceedCount", 5);
  EXPECT_TRUE(judge(98, 150).Tips.empty());
}

TEST_F(Judge, AResultEndedTooEarlyGetsOnlyTheDifficultKeysTip) {
  withKeys = true;
  typed("k", 10);  // very difficult, and not one of the lesson's keys
  typed("f", 1);   // moderate at most
  item.Complete = false;
  item.TypingSeconds = 80;  // less than half of the 180 seconds
  const ExercInfoModel r = judge(90, 50);
  EXPECT_TRUE(r.TooShort);
  EXPECT_EQ(r.StatusText, m(1522));
  ASSERT_EQ(r.Tips.size(), 1u);
  EXPECT_EQ(r.Tips[0].Text, m(1491) + "k");
  EXPECT_EQ(r.Tips[0].Button, 'D');
  EXPECT_EQ(r.ReviewKeys, "k");
  EXPECT_EQ(r.DiffKeys.substr(0, 1), "k");
  EXPECT_TRUE(r.ReviewButton);
  EXPECT_EQ(r.Chart.size(), 11u) << "padded with empty bars";
  EXPECT_EQ(settings.ReadString("ENG.Feedback.DiffKeysTipID"), "1.k");

  // With the dynamic durations only the base time counts.
  item.TypingSeconds = 80;
  goals.BaseTime = 60;
  ExercInfoInput in{&item, 2, true, goals, true};
  EXPECT_FALSE(JudgeExerciseResult(in, JudgeSources{settings, &keys, "fj", 5}).TooShort);
}

TEST_F(Judge, DifficultKeysOfTheLessonAndModerateKeysHaveTheirOwnTips) {
  withKeys = true;
  typed("j", 10);
  EXPECT_EQ(tipTexts(judge(98, 150)), (std::vector<std::string>{"+" + m(1493) + "j"}));
  TDifficultKeys moderate(8);
  for (int i = 0; i < 20; ++i) moderate.recordKey('d', i < 3);
  moderate.updateStatistics();
  settings.Clear();  // a first 4.4: no goal tip yet
  item.Accuracy = 98;
  item.GrossSpeed = 150;
  ExercInfoInput in{&item, 2, true, goals, false};
  const ExercInfoModel r = JudgeExerciseResult(in, JudgeSources{settings, &moderate, "fj", 5});
  ASSERT_EQ(r.Tips.size(), 1u);
  EXPECT_EQ(r.Tips[0].Text, m(1495) + "d");
}

TEST_F(Judge, ExamsAndResultsWithoutGoalsOrMeasuresHaveTheirOwnVerdicts) {
  item.Kind = "TEST";
  item.Passed = false;
  item.Tip = "Slow down.";
  ExercInfoModel r = judge(80, 100);
  EXPECT_EQ(r.Title, m(532));
  item.Chapter = 3;  // an exam of a course lesson is titled as one, not as a typing test
  EXPECT_EQ(judge(80, 100).Title, m(2151));
  EXPECT_EQ(judge(80, 100).StatusTitle, m(1664));
  item.Chapter = 0;
  // A typing test is told as a test, not as an exam.
  EXPECT_EQ(r.StatusTitle, m(2702));
  EXPECT_EQ(r.StatusText, m(2703));
  EXPECT_EQ(r.Comment, "Slow down.");
  EXPECT_TRUE(r.CommentArea);
  EXPECT_FALSE(r.ReviewButton);
  EXPECT_EQ(r.DiffKeysTitle, m(1681));
  item.Passed = true;
  EXPECT_EQ(judge(98, 100).StatusTitle, m(2700));
  EXPECT_EQ(judge(98, 100).StatusText, m(2701));
  item.Chapter = 3;
  EXPECT_EQ(judge(98, 100).StatusTitle, m(1662));
  item.Complete = false;
  EXPECT_EQ(judge(98, 100).StatusTitle, m(1682));
  item.Chapter = 0;
  r = judge(98, 100);
  EXPECT_EQ(r.StatusTitle, m(2700));
  EXPECT_EQ(r.StatusText, m(1683));
  EXPECT_FALSE(r.CommentArea);
  EXPECT_FALSE(r.Calculator);
  policy->WriteBool("ShowTouchTypingCalc", true);
  EXPECT_TRUE(judge(98, 100).Calculator);

  item.Kind = "TEXT";
  item.Complete = false;
  r = judge(98, 100, false);
  EXPECT_EQ(r.Title, m(533));
  EXPECT_EQ(r.StatusTitle, m(1666));
  EXPECT_EQ(r.Duration.Comment, m(1886));
  EXPECT_EQ(r.Comment, "Slow down.");

  item.HasMeasures = false;
  r = judge(0, 0);
  EXPECT_EQ(r.StatusTitle, m(1661));
  EXPECT_EQ(r.StatusText, m(122) + m(123));
  EXPECT_FALSE(r.CommentArea);
  EXPECT_EQ(r.Speed.Value, "-");

  // Typed, but too little to be measured: the same "no result", not an accuracy of 0 %.
  item.HasMeasures = true;
  item.Valid = false;
  r = judge(0, 0);
  EXPECT_EQ(r.StatusTitle, m(1661));
  EXPECT_FALSE(r.CommentArea);
  EXPECT_EQ(r.Accuracy.Value, "-");
}

TEST_F(Judge, TheTouchTypingCalculatorReckonsTheTimeSaved) {
  TypingCalc c = TouchTypingCalculator(2, 192, false, 5);  // 120 minutes a day, 300 reachable
  EXPECT_TRUE(c.Saves);
  EXPECT_EQ(c.SavedMinutes, 30);
  EXPECT_EQ(c.CalcLine, m(537) + "60 " + m(208) + m(538));
  EXPECT_EQ(c.SavedLines,
            "\x95 30" + m(534) + "\r\x95 2" + m(535) + "\r\x95 14" + m(536));  // 2.5 to even
  c = TouchTypingCalculator(2, 300, true, 5);
  EXPECT_FALSE(c.Saves) << "already as fast as a touch typist";
  EXPECT_EQ(c.Title, m(625));
  EXPECT_EQ(c.Text, m(539) + m(540));
  EXPECT_FALSE(TouchTypingCalculator(0, 400, true, 5).Saves);
  EXPECT_EQ(TouchTypingCalculator(5, 0, true, 5).SavedMinutes, 210);
}

}  // namespace
}  // namespace ks
