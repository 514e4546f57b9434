#include <gtest/gtest.h>

#include "content/contents.h"
#include "content/courseviewmodel.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "studyfakes.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeStudyLearner;
using test::ScopedPolicy;

struct CourseViews : ::testing::Test {
  void SetUp() override { Localize().SetString(1875, "hours"); }
  void TearDown() override { Localize().Reset(); }
  std::unique_ptr<TContents> course(const std::string& text, const std::string& name = "c.cnt") {
    test::writeFile(dir / name, text);
    return std::make_unique<TContents>(TContents::PreviewTag{}, (dir / name).string(),
                                       CourseServices{&learner, nullptr});
  }
  test::TempDir dir;
  FakeStudyLearner learner;
  ScopedPolicy policy;
  test::RecordingDialogs boxes;
};

// Lesson 1: exercises of 5 and 15 minutes; lesson 2: one of 10 (a 20- and a 10-minute lesson).
const char* kTimed =
    "dynamicdurationmargin=2\r\n"
    "begin chapter\r\ndurationpercent=100\r\n"
    "begin exercise\r\ntype=Keys\r\nduration=1\r\nevent=KEY2;1\r\nend exercise\r\n"
    "begin exercise\r\ntype=Text\r\nduration=3\r\nevent=TEXT;1\r\nend exercise\r\nend chapter\r\n"
    "begin chapter\r\ndurationpercent=50\r\n"
    "begin exercise\r\ntype=Exam\r\nduration=1\r\nevent=EXAM;1\r\nend exercise\r\nend chapter\r\n";

TEST_F(CourseViews, ExerciseRowsNumberTheExercisesAndShowTheirMinutes) {
  learner.Settings().WriteInteger("C.StudyingTime", 20);
  auto c = course(kTimed);
  std::vector<ExerciseRow> rows = ExerciseRows(*c->Lessons[0], c->DynamicDurationMargin);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Number, "1.1");
  EXPECT_EQ(rows[0].Name, "Keys");
  EXPECT_EQ(rows[0].Duration, "5 min.");
  EXPECT_EQ(rows[1].Duration, "15 min.");
  // An exercise without a chosen study time shows the range its margin allows.
  c->Lessons[0]->Exercises[0]->DynamicDuration = true;
  EXPECT_EQ(ExerciseRows(*c->Lessons[0], 2)[0].Duration, "5 - 7 min.");
  c->Lessons[0]->Exercises[0]->Minutes = 0;
  EXPECT_EQ(ExerciseRows(*c->Lessons[0], 2)[0].Duration, "");
}

TEST_F(CourseViews, ProgressAndRemainingMinutesCountWhatIsPassedAndWhatIsLeft) {
  learner.Settings().WriteInteger("C.StudyingTime", 20);
  auto c = course(kTimed);
  const PassedFn passed = PassedIn(*c, &learner);
  EXPECT_EQ(CourseProgressPercent(*c, 1, passed), 0);
  EXPECT_EQ(RemainingMinutes(*c, 1, passed), 30);
  learner.passed = {{1, 2}};
  EXPECT_EQ(CourseProgressPercent(*c, 1, passed), 33);
  EXPECT_EQ(RemainingMinutes(*c, 1, passed), 15);
  // A later lesson counts the earlier ones as done.
  EXPECT_EQ(CourseProgressPercent(*c, 2, passed), 67);
  EXPECT_EQ(RemainingMinutes(*c, 2, passed), 10);
  c->Lessons[1]->Exercises[0]->DynamicDuration = true;
  EXPECT_EQ(RemainingMinutes(*c, 2, passed), 12);

  // Three exercises share a 20-minute lesson: 7 minutes each when shown alone, but the time left
  // of the lesson not begun is the 20 minutes it takes, not 21.
  learner.Settings().WriteInteger("T.StudyingTime", 20);
  auto thirds = course(
      "begin chapter\r\ndurationpercent=100\r\n"
      "begin exercise\r\nduration=1\r\nevent=TEXT;1\r\nend exercise\r\n"
      "begin exercise\r\nduration=1\r\nevent=TEXT;1\r\nend exercise\r\n"
      "begin exercise\r\nduration=1\r\nevent=TEXT;1\r\nend exercise\r\nend chapter\r\n",
      "t.cnt");
  learner.passed.clear();
  ASSERT_EQ(thirds->Lessons[0]->Exercises[0]->Minutes, 7);
  EXPECT_EQ(thirds->TotalMinutes(), 20);
  EXPECT_EQ(RemainingMinutes(*thirds, 1, PassedIn(*thirds, &learner)), 20);

  // A course without exercises is at 0, not a division by zero.
  auto empty = course("begin chapter\r\nend chapter\r\n", "e.cnt");
  EXPECT_EQ(CourseProgressPercent(*empty, 1, PassedIn(*empty, &learner)), 0);
  EXPECT_EQ(RemainingMinutes(*empty, 1, PassedIn(*empty, nullptr)), 0);
}

TEST_F(CourseViews, CourseLengthsRoundToTenMinutesAsHoursAndMinutes) {
  EXPECT_EQ(ClockText(125), "2:05");
  EXPECT_EQ(CourseLengthText(125), "2:00") << "12.5 tens round to even";
  EXPECT_EQ(CourseLengthText(55), "1:00") << "a rounding to 60 carries into the hours";
  EXPECT_EQ(CourseLengthText(-5), "0:00");

  std::string twelve;
  for (int i = 0; i < 12; ++i) twelve += "begin chapter\r\nend chapter\r\n";
  EXPECT_EQ(CourseLengthRange(*course(twelve)), "5:00 - 9:00 hours");

  // Static courses reach from the planned minutes to the third lesson length's share.
  auto s = course(
      "durationsystem=static\r\nlessondurations=10,15,20\r\n"
      "begin chapter\r\nbegin exercise\r\nevent=TEXT;30\r\nend exercise\r\nend chapter\r\n",
      "s.cnt");
  EXPECT_EQ(s->TotalMinutes(), 30);
  EXPECT_EQ(OptimisedCourseMinutes(*s), 60);
  EXPECT_EQ(StaticLessonMinutes(*s, 2), 15);
  EXPECT_EQ(StaticLessonMinutes(*s, 25), 25) << "above 4 it is minutes already";
  EXPECT_EQ(StaticLessonMinutes(*s, 4), 0);
  s->LessonDurations = {0};
  EXPECT_EQ(OptimisedCourseMinutes(*s), 30) << "too short a list keeps the planned minutes";
}

TEST_F(CourseViews, TheCourseListOffersTheDefaultTheSecondAndTheLearnersLanguage) {
  for (const char* name : {"eng.cnt", "fra.cnt", "deu.cnt", "dvorak.cnt"}) {
    test::writeFile(dir / name, "");
  }
  policy->WriteString("DefaultContents", "eng.cnt");
  policy->WriteString("SecondaryCourse", "dvorak.cnt");
  const std::vector<std::string> files = CourseFiles(dir.path());
  EXPECT_EQ(files, (std::vector<std::string>{"deu.cnt", "dvorak.cnt", "eng.cnt", "fra.cnt"}));
  const CourseLanguageFn language = [](const std::string& f) {
    return f == "fra.cnt" ? "FRA" : f == "deu.cnt" ? "deu" : "";
  };
  CourseChoices c = ChooseCourses(files, dir.path(), &learner, "ENG", "", language);
  EXPECT_EQ(c.DefaultFile, "eng.cnt");
  EXPECT_EQ(c.SecondaryFile, "dvorak.cnt");
  EXPECT_TRUE(c.OtherFiles.empty()) << "courses of other languages are left out";
  c = ChooseCourses(files, dir.path(), &learner, "ENG", "FRA.cnt", language);
  EXPECT_EQ(c.OtherFiles, (std::vector<std::string>{"fra.cnt"})) << "unless already chosen";
  c = ChooseCourses(files, dir.path(), &learner, "DEU", "", language);
  EXPECT_EQ(c.OtherFiles, (std::vector<std::string>{"deu.cnt"}));

  // Hidden courses and a second course equal to the first are not offered.
  policy->WriteBool("eng.Hidden", true);
  policy->WriteString("SecondaryCourse", "ENG.CNT");
  c = ChooseCourses(files, dir.path(), &learner, "ENG", "", language);
  EXPECT_EQ(c.DefaultFile, "");
  EXPECT_EQ(c.SecondaryFile, "");
  EXPECT_EQ(c.OtherFiles, (std::vector<std::string>{"dvorak.cnt"}));

  // The language's own default course wins when it exists.
  Localize().SetString(6, "Dvorak.cnt");
  EXPECT_EQ(ChooseCourses(files, dir.path(), &learner, "ENG", "", language).DefaultFile,
            "Dvorak.cnt");
  // The policy may list the courses itself.
  policy->WriteString("*.cnt", "eng, fra.cnt");
  EXPECT_EQ(CourseFiles(dir.path()), (std::vector<std::string>{"eng.cnt", "fra.cnt"}));
  EXPECT_EQ(CourseIdOf("lessons/eng1.cnt"), "ENG1");
}

}  // namespace
}  // namespace ks
