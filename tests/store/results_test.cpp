#include <gtest/gtest.h>

#include "store/resultline.h"
#include "store/user.h"
#include "store/userresults.h"
#include "support/tempdir.h"
#include "userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

TResultItem exercise(int chapter, int exercise, int event, const char* kind, bool checked) {
  TResultItem r;
  r.Source = "BKM";
  r.CourseId = "ENG1";
  r.Chapter = chapter;
  r.Exercise = exercise;
  r.Event = event;
  r.Kind = kind;
  r.Checked = checked;
  r.Date = 45292.5;
  return r;
}

TResultItem textResult() {
  TResultItem r = exercise(2, 3, 1, "TEXT", true);
  r.StudySeconds = 130;
  r.SubKind = "C2";
  r.ExerciseStudySeconds = 260;
  r.Passed = r.Complete = true;
  r.TypingSeconds = 120;
  r.TimeLimit = 180;
  r.GrossSpeed = 210;
  r.NetSpeed = 190;
  r.Accuracy = 96;
  r.Rhythm = 81;
  r.Efficiency = 77;
  r.DiffIndex = 14;
  r.TotalHits = 420;
  r.ErrorHits = 6;
  r.ErrorFactor = 5;
  return r;
}

TResultItem readBack(const std::string& line) {
  TResultItem r;
  EXPECT_EQ(ReadResultLine(line, r), 1) << line;
  return r;
}

TEST(ResultLines, EachKindIsWrittenFieldByField) {
  const TResultItem text = textResult();
  const std::string textLine =
      "BKM;ENG1;2;3;1;0;1;45292.5;130;C2;0;260;TEXT;4;120;180;0;0;210;190;96;81;77;14;0;420;6;5";
  EXPECT_EQ(ResultLine(text), textLine);
  const TResultItem back = readBack(textLine);
  EXPECT_EQ(ResultLine(back), textLine);
  EXPECT_TRUE(back.Passed && back.Complete && back.Checked);
  EXPECT_EQ(back.TestName, "");

  TResultItem std = exercise(1, 1, 2, "STD", true);
  std.StudySeconds = std.ExerciseStudySeconds = 30;
  EXPECT_EQ(ResultLine(std), "BKM;ENG1;1;1;2;0;1;45292.5;30;0;0;30;STD");

  TResultItem game = exercise(4, 1, 1, "GAME", false);
  game.SubKind = "0";
  game.StudySeconds = game.ExerciseStudySeconds = 95;
  game.Complete = true;
  game.TypingSeconds = 90;
  game.TimeLimit = 120;
  game.GameScore = 1450;
  const std::string gameLine = "BKM;ENG1;4;1;1;0;0;45292.5;95;0;0;95;GAME;3;90;120;0;0;1450;0;0";
  EXPECT_EQ(ResultLine(game), gameLine);
  EXPECT_EQ(readBack(gameLine).GameScore, 1450);

  TResultItem test = textResult();
  test.Source = "NAME";
  test.Name = "Aesop";
  test.Kind = "TEST";
  test.SubKind = "0";
  test.Passed = false;
  const std::string testLine =
      "NAME;Aesop;0;0;1;45292.5;130;0;0;260;TEST;3;120;180;0;0;210;190;96;81;77;14;-;420;6;5";
  EXPECT_EQ(ResultLine(test), testLine);
  EXPECT_EQ(readBack(testLine).TestName, "-");  // a test without a title
  EXPECT_EQ(readBack(testLine).Name, "Aesop");
}

TEST(ResultLines, FreeTextCannotShiftFields) {
  TResultItem test = textResult();
  test.Source = "NAME";
  test.Name = "a;b=c%";
  test.Kind = "TEST";
  test.TestName = "Tom; Jerry";
  const TResultItem back = readBack(ResultLine(test));
  EXPECT_EQ(back.Name, "a,b,c% ");
  EXPECT_EQ(back.TestName, "Tom, Jerry");
  EXPECT_EQ(back.TotalHits, 420);

  TResultItem none = exercise(1, 1, 1, "STD", false);
  none.Source.clear();
  EXPECT_EQ(ResultLine(none), "-;0;45292.5;0;0;0;0;STD");
  EXPECT_EQ(readBack(ResultLine(none)).Source, "");
}

TEST(ResultLines, DamagedLinesAndOlderLines) {
  TResultItem r;
  r.Number = 9;
  EXPECT_EQ(ReadResultLine("BKM;ENG1;x;3;1;0;1;45292.5;130;C2;0;260;TEXT", r), -1);
  EXPECT_EQ(ReadResultLine("BKM;ENG1;2;3", r), -1);
  EXPECT_EQ(ReadResultLine("BKM;ENG1;2;3;1;0;1;45292.5;130;C2;0;260;TEXT;4;120", r), -2);
  EXPECT_EQ(r.Number, 9);
  EXPECT_EQ(r.Kind, "STD");  // untouched by the failures
  // Status 1 is passed and complete; hits missing from older lines read -1; a bad date reads 0.
  const TResultItem old =
      readBack("BKM;ENG1;2;3;1;0;1;someday;130;C2;0;260;TEXT;1;120;180;0;0;210;190;96;81;77;14;0");
  EXPECT_TRUE(old.Passed && old.Complete);
  EXPECT_EQ(old.Date, 0);
  EXPECT_EQ(old.TotalHits, -1);
  EXPECT_EQ(old.ErrorFactor, -1);
}

TEST(ResultRanks, KindsAndSubKinds) {
  TResultItem r;
  const std::tuple<const char*, const char*, int> ranks[] = {
      {"STD", "0", 1},   {"TIME", "0", 3},   {"TIME", "NK", 2}, {"TIME", "KB", 5},
      {"GAME", "0", 4},  {"TEXT", "0", 5},   {"TEXT", "C2", 7}, {"TEXT", "CT", 8},
      {"TEST", "0", 10}, {"TEST", "REV", 4}, {"X", "0", 0}};
  for (auto [kind, sub, rank] : ranks) {
    r.Kind = kind;
    r.SubKind = sub;
    EXPECT_EQ(Rank(r), rank) << kind << "/" << sub;
  }
}

TEST(BestAttempt, OnlyABetterAttemptReplacesTheStoredOne) {
  TResults results;
  results.AddResult(exercise(1, 1, 1, "STD", true));
  results.AddResult(exercise(1, 2, 1, "STD", false));
  // Equal rank, not passed: the passed attempt stays.
  results.AddResult(exercise(1, 1, 2, "STD", false));
  EXPECT_TRUE(results.ExercisePassed("eng1", 1, 1));
  // Equal rank, passed, later event: replaces, keeps its number, moves to the end.
  results.AddResult(exercise(1, 1, 3, "STD", true));
  ASSERT_EQ(results.Items().size(), 2u);
  EXPECT_EQ(results.Items().back().Event, 3);
  EXPECT_EQ(results.Items().back().Number, 0);
  // A higher rank wins even unpassed; a lower one never does.
  results.AddResult(exercise(1, 1, 1, "TEXT", false));
  results.AddResult(exercise(1, 1, 9, "TIME", true));
  EXPECT_EQ(results.Items().back().Kind, "TEXT");
  EXPECT_EQ(results.PassedCount("ENG1"), 0);
  // A TEXT attempt without a speed never replaces a TEXT of equal rank.
  TResultItem unmeasured = exercise(1, 1, 5, "TEXT", true);
  results.AddResult(unmeasured);
  EXPECT_FALSE(results.Items().back().Checked);
  EXPECT_EQ(results.HighestNumber(), 1);
}

TEST(BestAttempt, NewNumbersNeverReuseALineThatDidNotRead) {
  test::TempDir dir;
  writeFile(dir / "u.usr",
            "ReCnt=2\r\nRe0=BKM;ENG1;1;1;1;0;1;45292.5;30;0;0;30;STD\r\nRe2=garbage\r\n");
  TDynamicSettings store;
  ASSERT_EQ(store.Open((dir / "u.usr").string(), omDenyWrite), 1);
  TResults results;
  results.LoadResults(store);
  ASSERT_EQ(results.Items().size(), 1u);
  EXPECT_EQ(results.NextNumber(), 3);
  results.AddResult(exercise(5, 1, 1, "STD", true));
  results.SaveResults(store);
  ASSERT_EQ(store.Flush(), 1);
  const std::string text = readFile(dir / "u.usr");
  EXPECT_NE(text.find("Re2=garbage\r\n"), std::string::npos);
  EXPECT_NE(text.find("Re3=BKM;ENG1;5;"), std::string::npos);
  EXPECT_NE(text.find("ReCnt=3\r\n"), std::string::npos);
}

// Lines count under the names SaveResults writes, in any letter case, the first of a number
// only; lines above a "ReCnt" that is too low count too, so no new result takes their number.
TEST(BestAttempt, OnlyLinesNamedAsWrittenAreRead) {
  test::TempDir dir;
  const auto line = [](int chapter) {
    return "BKM;ENG1;" + std::to_string(chapter) + ";1;1;0;1;45292.5;30;0;0;30;STD\r\n";
  };
  std::string text = "ReCnt=4\r\nrE1=" + line(7) + "Re1=" + line(8) + "Re01=" + line(9) +
                     "Re+2=" + line(10) + "Re2147483648=" + line(11) + "Re3\r\n" +
                     "RE4=" + line(4) + "Re5=" + line(5);
  writeFile(dir / "u.usr", text);
  TDynamicSettings store;
  ASSERT_EQ(store.Open((dir / "u.usr").string(), omDenyWrite), 1);
  TResults results;
  results.LoadResults(store);
  ASSERT_EQ(results.Items().size(), 3u);
  EXPECT_EQ(results.Items()[0].Number, 1);
  EXPECT_EQ(results.Items()[0].Chapter, 7);
  EXPECT_EQ(results.Items()[1].Number, 4);
  EXPECT_EQ(results.Items()[1].Chapter, 4);
  EXPECT_EQ(results.Items()[2].Number, 5);
  EXPECT_EQ(results.NextNumber(), 6);
  // A damaged count hides nothing either.
  writeFile(dir / "v.usr", "ReCnt=x\r\nRe0=" + line(1) + "Re3=" + line(3));
  TDynamicSettings damaged;
  ASSERT_EQ(damaged.Open((dir / "v.usr").string(), omDenyWrite), 1);
  results.LoadResults(damaged);
  EXPECT_EQ(results.Items().size(), 2u);
  EXPECT_EQ(results.NextNumber(), 4);
}

TEST(ResultQueries, OrdersAndSeries) {
  TResults results;
  for (int chapter : {3, 1, 2}) {
    TResultItem r = textResult();
    r.Chapter = chapter;
    r.NetSpeed = chapter * 10;
    r.Date = 45000 + chapter;
    r.Checked = chapter != 2;
    results.AddResult(r);
  }
  TResultItem review = textResult();
  review.Chapter = 4;
  review.SubKind = "REV";
  results.AddResult(review);
  std::vector<std::string> labels;
  EXPECT_EQ(results.MeasureSeries("netSpeed", "ENG1", &labels), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(labels, (std::vector<std::string>{"1.3", "2.3", "3.3"}));
  EXPECT_TRUE(results.MeasureSeries("colour", "", nullptr).empty());

  TResultItem any;
  any.Kind.clear();
  const auto newest = results.Filter(any, false, false);
  ASSERT_EQ(newest.size(), 4u);
  EXPECT_EQ(newest[1].Chapter, 3);  // the review (dated like the template) first, then 3, 2, 1
  EXPECT_EQ(results.ResultsOfCourse("ENG1", false).front().Chapter, 1);
  EXPECT_EQ(results.PassedCount("ENG1"), 3);

  // An attempt at a later event of chapter 1 demotes the earlier one.
  TResultItem later = textResult();
  later.Chapter = 1;
  later.Event = 4;
  results.DemoteOlder(later);
  EXPECT_FALSE(results.ExercisePassed("ENG1", 1, 3));
}

using StoredResults = test::UserFolders;

TEST_F(StoredResults, TestsCarryTheirTypedTextWhenTheyTakeOverANumber) {
  auto user = NewUser("Ann");
  TResultItem first = textResult();
  first.Source = "NAME";
  first.Name = "Aesop";
  first.Kind = "TEST";
  first.Checked = false;
  first.Number = user->Results().NextNumber();
  writeFile(user->TypedTextPath(first.Number), "first");
  user->Results().AddResult(first);

  TResultItem second = first;
  second.Checked = true;
  second.TypingSeconds = 150;
  second.Number = user->Results().NextNumber();
  writeFile(user->TypedTextPath(second.Number), "second");
  user->Results().AddResult(second);
  EXPECT_EQ(readFile(data("Ann.TT0")), "second");
  EXPECT_FALSE(fs::exists(data("Ann.TT1")));

  ASSERT_EQ(SaveUser(*user), 1);
  user.reset();
  auto again = OpenUser("Ann", -1, ulWrite, true);
  ASSERT_EQ(again->Results().Items().size(), 1u);
  EXPECT_EQ(again->Results().LatestTest()->TypingSeconds, 150);
}

// A line numbered at the top of the range is damage: a new result still gets a number that reads
// back, and the damaged line stays where it is.
TEST_F(StoredResults, ALineNumberedPastTheRangeLosesNoLaterResult) {
  const std::string line = "BKM;ENG1;1;1;1;0;1;45292.5;30;0;0;30;STD\r\n";
  writeFile(data("Ann.usr"),
            "UserName=Ann\r\nReCnt=2147483647\r\nRe0=" + line + "Re2147483647=" + line);
  auto user = OpenUser("Ann", -1, ulWrite, true);
  const std::string log = readFile(data("Errors.log"));
  EXPECT_NE(log.find("Re2147483647"), std::string::npos);
  EXPECT_EQ(log.find("Re2147483647"), log.rfind("Re2147483647")) << "one entry for the opening";
  EXPECT_EQ(user->Results().Items().size(), 1u);
  EXPECT_EQ(user->Results().NextNumber(), 1);
  user->Results().AddResult(exercise(2, 1, 1, "STD", true));
  ASSERT_EQ(SaveUser(*user), 1);
  user.reset();
  auto again = OpenUser("Ann", -1, ulWrite, true);
  ASSERT_EQ(again->Results().Items().size(), 2u);
  EXPECT_EQ(again->Results().ResultsOfCourse("ENG1", false).back().Chapter, 2);
  EXPECT_NE(readFile(data("Ann.usr")).find("Re2147483647=BKM"), std::string::npos);
}

// Once the highest number is taken, new results fill the lowest free number, never one of a
// line that did not read.
TEST(BestAttempt, TheHighestNumberInUseLeavesTheLowestFreeOne) {
  test::TempDir dir;
  writeFile(dir / "u.usr",
            "Re0=BKM;ENG1;1;1;1;0;1;45292.5;30;0;0;30;STD\r\nRe1=garbage\r\n"
            "Re2147483646=BKM;ENG1;3;1;1;0;1;45292.5;30;0;0;30;STD\r\n");
  TDynamicSettings store;
  ASSERT_EQ(store.Open((dir / "u.usr").string(), omDenyWrite), 1);
  TResults results;
  results.LoadResults(store);
  EXPECT_EQ(results.HighestNumber(), TResults::kHighestNumber);
  EXPECT_EQ(results.NextNumber(), 2);
  results.AddResult(exercise(5, 1, 1, "STD", true));
  EXPECT_EQ(results.Items().back().Number, 2);
  EXPECT_EQ(results.NextNumber(), 3);
}

}  // namespace
}  // namespace ks
