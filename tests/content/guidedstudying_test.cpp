#include <gtest/gtest.h>

#include "analysis/keydataext.h"
#include "content/guidedstudying.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "studyfakes.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeKeyboard;
using test::FakeStudyLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;
using test::ScriptedFactory;
using test::ScriptedScreens;
using Steps = std::vector<std::string>;

struct Guided : ::testing::Test {
  void SetUp() override {
    test::writeFile(
        dir / "study.cnt",
        "begin chapter\r\nnew keys=fj\r\nbegin exercise\r\nevent=TEXT;1\r\n"
        "end exercise\r\nend chapter\r\nbegin chapter\r\nnew keys=dk\r\nend chapter\r\n");
    layout.CharacterSet = "abcdefghijklmnopqrstuvwxyz";
    layout.HomeRow = "asdfjkl;";
  }
  TGuidedStudying guide() {
    return TGuidedStudying(StudyingContext{&learner, &keyboard, &layout, dir.path()}, screens);
  }
  TDynamicSettings& settings() { return learner.Settings(); }
  void chosen(const std::string& step) {
    settings().WriteString("ContentsFile", "study.cnt");
    settings().WriteString("NextView", step);
  }

  test::TempDir dir;
  FakeStudyLearner learner;
  FakeKeyboard keyboard;
  TKeyDataExt layout;
  ScriptedScreens screens{learner};
  RecordingDialogs boxes;
  ScopedPolicy policy;
};

TEST_F(Guided, AFirstStartWelcomesTheLearnerAtTheCourseList) {
  EXPECT_EQ(guide().Run(0), 0);
  EXPECT_EQ(screens.steps, (Steps{"mark", "list:ChooseCourse"}));
  EXPECT_EQ(settings().ReadString("NextView"), "ChooseCourse");
}

TEST_F(Guided, AChosenCourseIsShownThenStudiedAndTheNextViewFollows) {
  screens.chooseFile = "study.cnt";
  screens.listAnswers = {1, 0};
  screens.contentsAnswers = {1};
  screens.courseAnswers = {8};        // another course
  learner.base.keyOrder = {"stale"};  // the course list empties the key order
  EXPECT_EQ(guide().Run(1), 0);
  EXPECT_EQ(screens.steps, (Steps{"list:ChooseCourse", "contents:CourseContents", "mark",
                                  "course:Studying", "list:ChooseCourse"}));
  EXPECT_EQ(settings().ReadString("STUDY.LimitedChars"), "fj")
      << "the course rebuilt the key order and studies at the first level";
  EXPECT_GE(learner.base.saves, 1);
}

TEST_F(Guided, BackFromTheContentsReturnsToWhereTheLearnerCameFrom) {
  // From the course list: back to it.
  screens.chooseFile = "study.cnt";
  screens.listAnswers = {1, 0};
  screens.contentsAnswers = {2};
  guide().Run(1);
  EXPECT_EQ(screens.steps,
            (Steps{"list:ChooseCourse", "contents:CourseContents", "list:ChooseCourse"}));

  // From the course run: back to it.
  screens.steps.clear();
  chosen("Studying");
  screens.courseAnswers = {5, 0};
  screens.contentsAnswers = {2};
  guide().Run(0);
  EXPECT_EQ(screens.steps, (Steps{"mark", "course:Studying", "contents:CourseContents", "mark",
                                  "course:Studying"}));

  // Opened at the contents: back goes to the course list.
  screens.steps.clear();
  chosen("CourseContents");
  screens.contentsAnswers = {2};
  screens.listAnswers = {0};
  guide().Run(0);
  EXPECT_EQ(screens.steps, (Steps{"contents:CourseContents", "list:ChooseCourse"}));
}

TEST_F(Guided, TheCourseRunsAnswerLeadsToReviewStatisticsOrTheCourseList) {
  chosen("Studying");
  screens.courseAnswers = {6};
  EXPECT_EQ(guide().Run(0), 4);

  screens.steps.clear();
  screens.courseAnswers = {7, 0};
  screens.reviewAnswers = {1};
  EXPECT_EQ(guide().Run(0), 0);
  EXPECT_EQ(screens.steps, (Steps{"mark", "course:Studying", "review", "mark", "course:Studying"}));

  screens.steps.clear();
  screens.finishes = true;
  screens.courseAnswers = {1};
  screens.listAnswers = {1002};
  EXPECT_EQ(guide().Run(0), 55);
  EXPECT_EQ(screens.steps, (Steps{"mark", "course:Studying", "list:ChooseCourse"}));
}

TEST_F(Guided, ACourseThatCannotBeReadIsForgottenSoTheNextFlowOffersTheList) {
  chosen("Studying");
  settings().WriteString("ContentsFile", "gone.cnt");
  EXPECT_EQ(guide().Run(0), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("-5633"), std::string::npos);
  EXPECT_NE(boxes.boxes[0].text.find("gone.cnt"), std::string::npos);
  EXPECT_EQ(settings().ReadString("ContentsFile"), "");
  screens.steps.clear();
  guide().Run(0);
  EXPECT_EQ(screens.steps, (Steps{"mark", "list:ChooseCourse"}));
}

// On a desktop that keeps the layout switch to itself the learner switches there while the view
// shows; the check runs again on the layout that goes with the new one, as often as needed.
TEST_F(Guided, KeysAreCheckedAgainAfterTheLearnerSwitchedTheDesktopsLayout) {
  layout.CharacterSet = "abcdefghij";  // no "k"
  chosen("CourseContents");
  int switches = 0;
  screens.onLayoutSwitched = [&] {
    if (++switches == 2) layout.CharacterSet = "abcdefghijkl";
  };
  screens.wrongAnswers = {9, 9};
  screens.contentsAnswers = {0};
  EXPECT_EQ(guide().Run(0), 0);
  EXPECT_EQ(screens.steps, (Steps{"wrong:k", "wrong:k", "contents:CourseContents"}));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Guided, KeysTheLayoutLacksAreShownAndTheLearnerDecides) {
  layout.CharacterSet = "abcdefghij";  // no "k"
  chosen("CourseContents");
  screens.wrongAnswers = {0};
  EXPECT_EQ(guide().Run(0), 0);
  EXPECT_EQ(screens.steps, (Steps{"wrong:k"}));

  screens.wrongAnswers = {3};
  EXPECT_EQ(guide().Run(0), 3);

  settings().WriteInteger("NextStep", 1);
  screens.wrongAnswers = {8};
  EXPECT_EQ(guide().Run(0), 8);
  EXPECT_EQ(settings().ReadString("NextView"), "ChooseCourse");
  EXPECT_EQ(settings().ReadInteger("NextStep"), 3);

  // Going on, and switching to US International on the learner's yes.
  screens.steps.clear();
  chosen("CourseContents");
  screens.wrongAnswers = {2, 4};
  screens.contentsAnswers = {0, 0};
  guide().Run(0);
  guide().Run(0);
  EXPECT_EQ(screens.steps,
            (Steps{"wrong:k", "contents:CourseContents", "wrong:k", "contents:CourseContents"}));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, UsInternationalQuestion());
  EXPECT_EQ(keyboard.loaded, (std::vector<std::string>{"usint2.kbd"}));
  EXPECT_EQ(keyboard.activations, 1);
  EXPECT_EQ(settings().ReadString("KeyboardLayout"), "English US International");
  EXPECT_FALSE(settings().ReadBool("KeyboardAutoDetect"));

  // The numeric keypad layout never complains.
  screens.steps.clear();
  layout.HomeRow = "456+";
  screens.contentsAnswers = {0};
  guide().Run(0);
  EXPECT_EQ(screens.steps, (Steps{"contents:CourseContents"}));
}

TEST(MissingKeys, AccentedLettersTheLayoutComposesAreNotMissing) {
  EXPECT_EQ(MissingKeys("a\xE9z", "ae\xB4"), "z");              // é from ´ and e
  EXPECT_EQ(MissingKeys("a\xE9z", "ae"), "\xE9z");              // no acute accent key
  EXPECT_EQ(MissingKeys("\xC7\xF1\xFF", "Cc\xB8n~y\xA8"), "");  // Ç, ñ, ÿ
  EXPECT_EQ(MissingKeys("\xC7", "c\xB8"), "\xC7") << "the capital needs its own base letter";
  EXPECT_EQ(MissingKeys("\x80!", "!"), "\x80");
  EXPECT_EQ(MissingKeys("", "abc"), "");
}

struct Review : Guided {
  ScriptedFactory factory;
  int unavailable = 0;
  int run() {
    TReview review(&learner, factory, nullptr);
    review.OnUnavailable = [this] { ++unavailable; };
    return review.Run();
  }
};

TEST_F(Review, KeysChosenInAResultAreReviewedOnceOtherwiseUntilTheBuilderSaysEnough) {
  settings().WriteString("CustomReviewKeysOnce", "qz");
  factory.results = {3};
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(factory.ran, (std::vector<std::string>{"BUILDER"}));
  EXPECT_EQ(settings().ReadString("CustomReviewKeysOnce"), "");
  EXPECT_TRUE(learner.base.results.empty()) << "review results are not stored";

  factory.ran.clear();
  factory.results = {3, 3, 0};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(factory.ran.size(), 3u);

  // Cancelling the choice ends the review instead of offering it again.
  factory.ran.clear();
  factory.results = {3, 2};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(factory.ran.size(), 2u);

  // A program without the review builder says so instead of spinning.
  factory.missing = {"BUILDER"};
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(unavailable, 1);
}

}  // namespace
}  // namespace ks
