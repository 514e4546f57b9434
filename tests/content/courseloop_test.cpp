#include <gtest/gtest.h>

#include "content/contents.h"
#include "content/courseloop.h"
#include "content/studylearner.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "store/user.h"
#include "store/userfolders.h"
#include "studyfakes.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeStudyLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;
using test::ScriptedFactory;
using test::ScriptedLoopUi;

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Two lessons: the first with a one-event and a two-event exercise, the second with one.
const std::vector<std::string> kCourse = {
    "$description=Study course",
    "keyboardbase=QWERTY",
    "begin chapter",
    "  chapter name=1;First",
    "  new keys=fj",
    "  durationpercent=100",
    "  begin exercise",
    "    type=Text",
    "    event=TEXT;1",
    "  end exercise",
    "  begin exercise",
    "    type=Two parts",
    "    event=TEXT;1",
    "    event=MESSAGE;0",
    "  end exercise",
    "end chapter",
    "begin chapter",
    "  chapter name=2;Second",
    "  new keys=dk",
    "  begin exercise",
    "    type=Text",
    "    event=TEXT;1",
    "  end exercise",
    "end chapter",
};

void numberedMessages() {
  for (int id : {111, 112, 124, 218, 328, 330, 331, 332, 333, 334, 335, 336, 567, 712}) {
    Localize().SetString(id, "[" + std::to_string(id) + "]");
  }
}

struct CourseLoop : ::testing::Test {
  void SetUp() override { numberedMessages(); }
  void TearDown() override { Localize().Reset(); }

  std::string write(const std::string& name, const std::vector<std::string>& lines) {
    test::writeFile(dir / name, crlf(lines));
    return (dir / name).string();
  }
  std::unique_ptr<TContents> open(int mode = TBookMark::bmNormal,
                                  const std::vector<std::string>& lines = kCourse) {
    return std::make_unique<TContents>(write("STUDY.CNT", lines), -1, mode,
                                       CourseServices{&learner, nullptr});
  }
  int run(TContents& course, bool& finished, const std::string& material = "qwerty") {
    TCourseLoop loop(course, &learner, factory, nullptr, ui, material);
    return loop.RunCourse(finished);
  }

  test::TempDir dir;
  FakeStudyLearner learner;
  ScriptedFactory factory;
  ScriptedLoopUi ui;
  RecordingDialogs boxes;
  ScopedPolicy policy;
};

TEST_F(CourseLoop, LeadsTheLearnerThroughEveryExerciseAndLessonToTheEnd) {
  auto course = open();
  ui.listAnswers = {{1, 1}, {1, -1}, {1, 1}};
  ui.doneAnswers = {1, 1};
  bool finished = false;
  EXPECT_EQ(run(*course, finished), 1);
  EXPECT_TRUE(finished);
  EXPECT_EQ(factory.ran, (std::vector<std::string>{"TEXT", "TEXT", "MESSAGE", "TEXT"}));
  ASSERT_EQ(ui.lists.size(), 3u);
  EXPECT_EQ(ui.lists[0].status, "[334]1[712]2");
  EXPECT_EQ(ui.lists[1].selected, 2) << "the list moves on to the next exercise";
  EXPECT_FALSE(ui.lists[0].hasPrevious);
  EXPECT_TRUE(ui.lists[0].hasNext);
  EXPECT_EQ(ui.lists[2].chapter, 2);
  ASSERT_EQ(ui.done.size(), 2u);
  EXPECT_FALSE(ui.done[0].last);
  EXPECT_EQ(ui.done[0].next, "[124]2: Second");
  EXPECT_TRUE(ui.done[1].last);
  EXPECT_EQ(course->Bookmark.CompExc, 3);
  EXPECT_EQ(course->Bookmark.Time, 4 * 70);
  EXPECT_EQ(learner.base.keyLevel, 2) << "a completed exercise raises the key level";
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(CourseLoop, LessonButtonsAndViewAnswersMoveBetweenLessons) {
  auto course = open();
  course->Bookmark.Chapter = 2;
  course->Bookmark.Exercise = 1;
  ui.listAnswers = {{3, -1}, {4, -1}, {17, -1}, {5, -1}};
  ui.onList = [&](TBookMark& bm) {
    if (ui.lists.size() == 3) bm.Chapter = 1;  // a lesson button chose lesson 1
  };
  bool finished = true;
  EXPECT_EQ(run(*course, finished), 5);
  EXPECT_FALSE(finished);
  ASSERT_EQ(ui.lists.size(), 4u);
  EXPECT_EQ(ui.lists[0].chapter, 2);
  EXPECT_EQ(ui.lists[1].chapter, 1);
  EXPECT_EQ(ui.lists[2].chapter, 2);
  EXPECT_EQ(ui.lists[3].chapter, 1);
  EXPECT_TRUE(factory.ran.empty());

  // Leaving the list for another part stops the course where it is.
  ui.listAnswers = {{0, -1}};
  EXPECT_EQ(run(*course, finished), 0);
  EXPECT_EQ(course->Bookmark.Chapter, 1);
}

TEST_F(CourseLoop, ABookmarkPastTheLastLessonStartsTheCourseAgain) {
  auto course = open();
  course->Bookmark.Chapter = 7;
  bool finished = true;
  EXPECT_EQ(run(*course, finished), 1);
  EXPECT_FALSE(finished);
  EXPECT_EQ(course->Bookmark.Chapter, 1);
  EXPECT_TRUE(ui.lists.empty());

  // A course without lessons has nothing to study: it counts as finished, never loops.
  auto empty = open(TBookMark::bmNormal, {"$description=Empty"});
  EXPECT_EQ(run(*empty, finished), 1);
  EXPECT_TRUE(finished);
}

TEST_F(CourseLoop, AnotherKeyboardFamilyIsWarnedAboutButTheCourseRuns) {
  auto course = open();
  ui.listAnswers = {{0, -1}};
  bool finished = false;
  run(*course, finished, "qwertz");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "[330] QWERTZ[331] Study course[332]\r[333]");
  EXPECT_EQ(ui.lists.size(), 1u);
  boxes.boxes.clear();
  run(*course, finished, "qwerty");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CourseLoop, TheExerciseLoopStopsAndMovesOnAsTheEventsAnswer) {
  const std::vector<std::string> three = {"begin chapter", "begin exercise", "event=TEXT;1",
                                          "event=TEXT;1",  "event=TEXT;1",   "end exercise",
                                          "end chapter"};
  auto course = open(TBookMark::bmNormal, three);
  TExercise& ex = *course->Lessons[0]->Exercises[0];
  TCourseLoop loop(*course, &learner, factory, nullptr, ui, "qwerty");
  TBookMark& bm = course->Bookmark;
  bool completed = true;

  factory.results = {1, 4};  // next, then cancelled after the event
  bm.Event = 1;
  EXPECT_EQ(loop.RunExercise(ex, completed), 4);
  EXPECT_EQ(bm.Event, 2) << "a cancelled event is taken again";
  EXPECT_FALSE(completed);

  factory.results = {0};  // the view was closed from outside
  bm.Event = 1;
  EXPECT_EQ(loop.RunExercise(ex, completed), 0);
  EXPECT_EQ(bm.Event, 2);

  factory.results = {2};  // cancelled early
  bm.Event = 2;
  EXPECT_EQ(loop.RunExercise(ex, completed), 2);
  EXPECT_EQ(bm.Event, 2);

  factory.results = {3};
  bm.Event = 1;
  EXPECT_EQ(loop.RunExercise(ex, completed), 1);
  EXPECT_TRUE(completed);
  EXPECT_EQ(bm.Event, 4);

  // Without the result view nothing marks the last event passed: not completed.
  bm.ResultShowMode = 1;
  bm.Event = 3;
  factory.passes = false;
  EXPECT_EQ(loop.RunExercise(ex, completed), 1);
  EXPECT_FALSE(completed);

  bm.Event = 4;
  EXPECT_EQ(loop.RunExercise(ex, completed), -1301);
}

TEST_F(CourseLoop, TheLessonLockKeepsTheLearnerUntilEveryExerciseIsPassed) {
  policy->WriteBool("STUDY.chapter_lock", true);
  auto course = open();
  course->Bookmark.Chapter = 1;
  learner.passed = {{1, 1}};
  TCourseLoop loop(*course, &learner, factory, nullptr, ui, "qwerty");
  bool allDone = false;
  ui.listAnswers = {{4, -1}};
  EXPECT_EQ(loop.RunLesson(*course->Lessons[0], allDone), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "[111]");
  EXPECT_EQ(boxes.boxes[0].caption, "[112]");

  // A group that bypasses the lock is never locked.
  learner.group["bypass_chapter_lock"] = "1";
  ui.listAnswers = {{4, -1}};
  EXPECT_EQ(loop.RunLesson(*course->Lessons[0], allDone), 4);
  EXPECT_EQ(boxes.boxes.size(), 1u);

  // So is a learner of one's own.
  learner.group.clear();
  learner.Settings().WriteBool("bypass_chapter_lock", true);
  ui.listAnswers = {{4, -1}};
  EXPECT_EQ(loop.RunLesson(*course->Lessons[0], allDone), 4);
}

TEST_F(CourseLoop, ALessonWithoutItsListRunsItsFirstExerciseAndMovesOn) {
  const std::vector<std::string> hidden = {"begin chapter", "hideexercises=1", "begin exercise",
                                           "event=TEXT;1",  "end exercise",    "begin exercise",
                                           "event=TEXT;1",  "end exercise",    "end chapter"};
  auto course = open(TBookMark::bmNormal, hidden);
  TCourseLoop loop(*course, &learner, factory, nullptr, ui, "qwerty");
  bool allDone = false;
  EXPECT_EQ(loop.RunLesson(*course->Lessons[0], allDone), 4);
  EXPECT_TRUE(ui.lists.empty());
  EXPECT_EQ(factory.ran.size(), 1u);
}

TEST_F(CourseLoop, ABookmarkBeyondTheLessonsExercisesIsCorrected) {
  auto course = open();
  course->Bookmark.Exercise = 9;
  TCourseLoop loop(*course, &learner, factory, nullptr, ui, "qwerty");
  bool allDone = false;
  EXPECT_EQ(loop.RunLesson(*course->Lessons[0], allDone), -1202);
  EXPECT_EQ(course->Bookmark.Exercise, 3);
}

TEST_F(CourseLoop, AReviewCourseStoresNothingAndEndsWithItsList) {
  {
    auto course = open(TBookMark::bmReview);
    ui.listAnswers = {{1, 1}, {15, -1}};
    bool finished = false;
    EXPECT_EQ(run(*course, finished), 1);
    ASSERT_EQ(ui.lists.size(), 2u);
    EXPECT_TRUE(ui.lists[0].review);
    EXPECT_EQ(ui.lists[0].status, "[218]");
    EXPECT_EQ(ui.lists[1].selected, 2) << "a review exercise moves on once";
  }
  EXPECT_TRUE(learner.base.results.empty());
  EXPECT_EQ(learner.Settings().ReadString("Crs.STUDY.Chapter"), "");
}

// A learner closes the tutor in the middle of a lesson and comes back the next day: the course
// opens at the same lesson and exercise, with what was passed still passed.
struct Restart : test::UserFolders {
  void SetUp() override {
    test::UserFolders::SetUp();
    numberedMessages();
    test::writeFile(dir_ / "STUDY.CNT", crlf(kCourse));
  }
  int session(ScriptedLoopUi& ui) {
    std::unique_ptr<TUser> user = OpenUser("Ann Lee", -1, ulWrite, false);
    UserLearner learner(*user);
    ScriptedFactory factory;
    int result;
    {
      TContents course((dir_ / "STUDY.CNT").string(), -1, TBookMark::bmNormal,
                       CourseServices{&learner, nullptr});
      TCourseLoop loop(course, &learner, factory, nullptr, ui, "qwerty");
      bool finished = false;
      result = loop.RunCourse(finished);
    }
    EXPECT_EQ(SaveUser(*user), 1);
    return result;
  }
};

TEST_F(Restart, TheLearnerResumesAtTheExerciseWhereTheTutorWasClosed) {
  NewUser("Ann Lee").reset();
  ScriptedLoopUi first;
  first.listAnswers = {{1, 1}, {0, -1}};  // the first exercise, then the tutor is closed
  EXPECT_EQ(session(first), 0);
  ASSERT_EQ(first.lists.size(), 2u);

  ScriptedLoopUi second;
  second.listAnswers = {{0, -1}};
  EXPECT_EQ(session(second), 0);
  ASSERT_EQ(second.lists.size(), 1u);
  EXPECT_EQ(second.lists[0].chapter, 1);
  EXPECT_EQ(second.lists[0].selected, 2);

  std::unique_ptr<TUser> user = OpenUser("Ann Lee", -1, ulRead, false);
  EXPECT_TRUE(user->Results().ExercisePassed("STUDY", 1, 1));
  EXPECT_EQ(user->ReadInteger("Crs.STUDY.CompExc"), 1);
  EXPECT_EQ(user->ReadInteger("Crs.STUDY.TotalExc"), 3);
  EXPECT_EQ(user->ReadInteger("Crs.STUDY.CompPrc"), 33);
}

}  // namespace
}  // namespace ks
