// The studying pages driven like a learner drives them: keys, clicks and the answers they give.
// With $KS_SCREENSHOT_DIR set every page is saved there for a look.
#include <gtest/gtest.h>

#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "analysis/shippedkbd.h"
#include "book/bookwindow.h"
#include "content/contents.h"
#include "content/ui/contentsviews.h"
#include "content/ui/coursecontentsview.h"
#include "content/ui/courselistview.h"
#include "content/ui/exerciseinfoview.h"
#include "content/ui/exerciselist.h"
#include "content/ui/lessondone.h"
#include "content/ui/studystyle.h"
#include "content/ui/wrongkeyboardview.h"
#include "platform/desktop/qtext.h"
#include "platform/systemkeyboard.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/recordingdialogs.h"
#include "studyfakes.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeStudyLearner;

const char* kCourse =
    "$description=Touch typing for beginners\r\n"
    "$longdesc=From the home row to every letter, with drills, texts and an exam each lesson.\r\n"
    "dynamicdurationmargin=2\r\n"
    "begin chapter\r\nchapter name=1;F, J, D and K\r\nnew keys=fjdk\r\ndurationpercent=100\r\n"
    "begin exercise\r\ntype=Introduction\r\nduration=1\r\nevent=MESSAGE;0\r\nend exercise\r\n"
    "begin exercise\r\ntype=Key drill\r\nduration=2\r\nevent=TEXT;1\r\nend exercise\r\n"
    "begin exercise\r\ntype=Exam\r\nduration=2\r\nevent=EXAM;1\r\nend exercise\r\n"
    "end chapter\r\n"
    "begin chapter\r\nchapter name=2;A, S, L and ;\r\nnew keys=asl\r\ndurationpercent=100\r\n"
    "begin exercise\r\ntype=Text\r\nduration=1\r\nevent=TEXT;1\r\nend exercise\r\nend chapter\r\n";

class StudyViews : public ::testing::Test {
 protected:
  void SetUp() override {
    Localize().SetFolder(std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar");
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    ASSERT_EQ(test::loadShippedLayout(CurrentLayout(), dir, "qwerty.kbd"), 1);
    test::writeFile(dir / "study.cnt", kCourse);
    std::filesystem::create_directories(dir / "lessons");
    test::writeFile(dir / "lessons" / "study.cnt", kCourse);
    window_.resize(1048, 770);
    window_.show();
    learner.Settings().WriteInteger("STUDY.StudyingTime", 25);
    course = std::make_unique<TContents>((dir / "study.cnt").string(), -1, 0,
                                         CourseServices{&learner, nullptr});
  }
  void TearDown() override {
    course.reset();
    Localize().Reset();
  }
  static void later(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }
  template <class T>
  T* find(const QString& name) {
    return window_.Book()->findChild<T*>(name);
  }
  void click(const QString& name) {
    QAbstractButton* b = find<QAbstractButton>(name);
    ASSERT_NE(b, nullptr) << name.toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
  }
  void key(int k) { QTest::keyClick(&window_, static_cast<Qt::Key>(k)); }
  void shot(const QString& name) { saveScreenshot(&window_, name); }
  ExerciseListRequest lessonRequest() {
    ExerciseListRequest req;
    req.Course = course.get();
    req.Lesson = course->Lessons[0].get();
    req.Bookmark = &course->Bookmark;
    req.HasNext = true;
    course->Bookmark.Chapter = 1;
    course->Bookmark.Exercise = 2;
    course->Bookmark.StatusText = "Lesson 1 of 2";
    course->Bookmark.Duration = 25;
    course->Bookmark.Time = 600;
    return req;
  }

  test::TempDir dir;
  FakeStudyLearner learner;
  test::ScopedPolicy policy;
  test::RecordingDialogs boxes;
  std::unique_ptr<TContents> course;
  TBookFormEx window_;
};

TEST_F(StudyViews, TheExerciseListShowsAtMostItsRowsAndKeepsTheSelectionInside) {
  TExerciseList list;
  std::vector<ExerciseRow> rows(15, ExerciseRow{"1.1", "Drill", "5 min."});
  list.SetRows(rows);
  list.SetMaxRows(12);
  EXPECT_EQ(list.height(), 0) << "no rows without a row height";
  QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(5, 5));  // and no division by zero
  list.SetRowHeight(20);
  EXPECT_EQ(list.RowCount(), 12);
  EXPECT_EQ(list.height(), 240);
  list.SelectRow(0);
  EXPECT_EQ(list.Selected(), 1);
  list.SelectRow(99);
  EXPECT_EQ(list.Selected(), 12);
  list.SetDone(3, true);
  list.SetDone(13, true);
  EXPECT_TRUE(list.IsDone(3));
  EXPECT_FALSE(list.IsDone(13));
  int clicked = 0;
  QObject::connect(&list, &TExerciseList::rowClicked, [&](int r) { clicked = r; });
  list.resize(350, list.height());
  QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(100, 45));
  EXPECT_EQ(clicked, 3);
  EXPECT_EQ(list.Selected(), 3);
}

TEST_F(StudyViews, TheLessonPageChoosesExercisesByKeyClickOrLessonButton) {
  learner.passed = {{1, 1}};
  const ExerciseListRequest req = lessonRequest();
  {
    TChpContentsView view(req, &learner);
    view.Chosen = 2;
    later([&] {
      EXPECT_EQ(window_.NextBtn()->text(), msgText(413));
      EXPECT_TRUE(view.List()->IsDone(1));
      EXPECT_FALSE(view.List()->IsDone(2));
      EXPECT_EQ(find<QLabel>("ProgressLbl")->text(), "25%");
      EXPECT_EQ(view.LeftMinutes(), 45) << "the drill, the exam and the next lesson";
      EXPECT_EQ(find<QLabel>("DoneLbl")->text(), msgText(1922) + "0:10 h");
      EXPECT_TRUE(find<QLabel>("DoneLbl")->isVisible());
      EXPECT_FALSE(find<QPushButton>("PrevLessonBtn")->isVisible());
      EXPECT_FALSE(find<QPushButton>("LESSONNAVI1")->isEnabled());
      shot("lesson-page");
      key(Qt::Key_Down);
      key(Qt::Key_3);
    });
    EXPECT_EQ(view.RunModal(), 1);
    EXPECT_EQ(view.Chosen, 3);
  }
  EXPECT_NE(window_.NextBtn()->text(), msgText(413)) << "the caption goes back";
  {
    TChpContentsView view(req, &learner);
    later([&] { click("LESSONNAVI2"); });
    EXPECT_EQ(view.RunModal(), 17);
    EXPECT_EQ(course->Bookmark.Chapter, 2);
    EXPECT_EQ(course->Bookmark.Exercise, 1);
  }
  // The lesson lock keeps lessons ahead closed.
  policy->WriteBool("STUDY.chapter_lock", true);
  const ExerciseListRequest locked = lessonRequest();
  {
    TChpContentsView view(locked, &learner);
    later([&] {
      click("LESSONNAVI2");
      later([&] {
        EXPECT_TRUE(view.Active());
        click("NextLessonBtn");
      });
    });
    EXPECT_EQ(view.RunModal(), 4);
    EXPECT_EQ(course->Bookmark.Chapter, 1);
  }
}

TEST_F(StudyViews, TheResultPageJudgesTheExerciseAndOffersAReview) {
  TDifficultKeys& keys = learner.keys.CurrentDifficulties();
  for (int i = 0; i < 20; ++i) {
    keys.recordKey('k', i < 8);
    keys.recordKey('d', i < 3);
    keys.recordKey('f', i < 1);
  }
  keys.updateStatistics();
  learner.base.keyOrder = {"fj", "dk"};
  TResultItem item;
  item.Kind = "TEXT";
  item.CourseId = "STUDY";
  item.HasMeasures = item.Valid = item.Complete = item.Passed = true;
  item.TypingSeconds = 150;
  item.TimeLimit = 180;
  item.GrossSpeed = 160;
  item.NetSpeed = 140;
  item.Accuracy = 96;
  TExercInfoView view(&learner);
  view.Item = &item;
  view.KeyLevel = 2;
  view.GoalMode = true;
  view.Goals = EventGoals{true, 95, 97, 60, 100, 140, 180, 120};
  later([&] {
    EXPECT_EQ(view.Model().Grade, "3.4");
    EXPECT_EQ(find<QLabel>("SpeedLbl")->text(), "32 " + msgText(208));
    EXPECT_EQ(find<QLabel>("ErrorsLbl")->text(), "96%");
    EXPECT_TRUE(find<QWidget>("ReviewBtn")->isVisible());
    shot("result-page");
    click("ReviewBtn");
  });
  EXPECT_EQ(view.RunModal(), 97);
  EXPECT_EQ(learner.Settings().ReadString("CustomReviewKeysOnce"), "kdf");

  // A typing test with the calculator.
  policy->WriteBool("ShowTouchTypingCalc", true);
  item.Kind = "TEST";
  view.GoalMode = false;
  later([&] {
    auto* list = find<QComboBox>("TypingTimeList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_FALSE(find<QLabel>("SavedTimesLbl")->text().isEmpty());
    shot("result-page-test");
    key(Qt::Key_Return);
  });
  EXPECT_EQ(view.RunModal(), 1);
}

TEST_F(StudyViews, TheContentsPageSetsTheStudyTimeAndStartsTheCourse) {
  learner.Settings().WriteString("ContentsFile", "study.cnt");
  learner.Settings().WriteInteger("Crs.STUDY.Chapter", 2);
  {
    TCourseContentsView view(&learner, dir.path() / "lessons");
    later([&] {
      EXPECT_EQ(view.StudyTime(), 25);
      EXPECT_EQ(find<QPushButton>("StartLessonBtn")->text(), msgText(1698) + " 2");
      auto* combo = find<QComboBox>("DurationCombo");
      ASSERT_NE(combo, nullptr);
      EXPECT_EQ(combo->currentIndex(), 1);
      view.ChooseDynamicMinutes(45);
      EXPECT_EQ(view.LengthText(), msgText(1704) + "1:30");
      shot("contents-page");
      key(Qt::Key_Escape);
    });
    EXPECT_EQ(view.RunModal(), 2);
  }
  EXPECT_EQ(learner.Settings().ReadString("STUDY.StudyingTime"), "25") << "nothing kept";
  {
    TCourseContentsView view(&learner, dir.path() / "lessons");
    later([&] {
      view.ChooseDynamicMinutes(35);
      click("Lesson1");
    });
    EXPECT_EQ(view.RunModal(), 1);
  }
  TDynamicSettings& s = learner.Settings();
  EXPECT_EQ(s.ReadString("ContentsFile"), "STUDY.cnt");
  EXPECT_EQ(s.ReadInteger("STUDY.StudyingTime"), 35);
  EXPECT_EQ(s.ReadInteger("Crs.STUDY.Chapter"), 1);
  EXPECT_EQ(s.ReadInteger("Crs.STUDY.Exercise"), 1);
  EXPECT_TRUE(s.ReadBool("Crs.STUDY.DurationSet"));
}

TEST_F(StudyViews, TheCourseListStartsTheChosenCourse) {
  const std::filesystem::path lessons = dir.path() / "lessons";
  test::writeFile(lessons / "second.cnt",
                  "$description=Numbers and symbols\r\nbegin chapter\r\nend chapter\r\n");
  test::writeFile(
      lessons / "other.cnt",
      "$description=Another course\r\n$language=ENG\r\nbegin chapter\r\nend chapter\r\n");
  policy->WriteString("DefaultContents", "study.cnt");
  policy->WriteString("SecondaryCourse", "second.cnt");
  learner.Settings().WriteInteger("Crs.STUDY.CompExc", 1);
  learner.Settings().WriteInteger("Crs.STUDY.TotalExc", 4);
  {
    TCourseListView view(&learner, lessons);
    later([&] {
      EXPECT_EQ(view.Choices().OtherFiles, (std::vector<std::string>{"other.cnt"}));
      EXPECT_EQ(find<QPushButton>("Start1")->text(), msgText(1697)) << "begun at 25%";
      shot("course-list");
      click("Start1");
    });
    EXPECT_EQ(view.RunModal(), 1);
  }
  TDynamicSettings& s = learner.Settings();
  EXPECT_EQ(s.ReadString("ContentsFile"), "study.cnt");
  EXPECT_EQ(s.ReadInteger("STUDY.GoalLevel"), 2);
  EXPECT_EQ(s.ReadInteger("NextStep"), 1);
  s.WriteInteger("STUDY.GoalLevel", 3);
  {
    TCourseListView view(&learner, lessons);
    later([&] { click("Start3"); });
    EXPECT_EQ(view.RunModal(), 1);
  }
  EXPECT_EQ(s.ReadString("ContentsFile"), "second.cnt");
  EXPECT_EQ(s.ReadInteger("NextStep"), 4);
  EXPECT_EQ(s.ReadInteger("STUDY.GoalLevel"), 3) << "a goal level once set stays";

  // Without any course the tutor cannot go on.
  TCourseListView none(&learner, dir.path() / "nothing");
  EXPECT_EQ(none.RunModal(), 0);
  EXPECT_TRUE(none.NoCourses());
  ASSERT_FALSE(boxes.boxes.empty());
  EXPECT_NE(boxes.boxes.back().text.find("6123"), std::string::npos);
}

// On the shipped courses the recommended first course follows the learner's layout: the British
// course on a British keyboard, the Dvorak and Colemak courses on theirs, the US course on a US
// one; another language's own course and a locked course stay as they are.
TEST_F(StudyViews, TheCourseListRecommendsTheShippedCourseOfTheLearnersLayout) {
  const std::filesystem::path lessons =
      std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar" / "lessons";
  policy->WriteString("DefaultContents", "eng.cnt");
  const auto recommended = [&](const std::string& layout) {
    learner.base.layoutFile = layout;
    TCourseListView view(&learner, lessons);
    later([&] { key(Qt::Key_Escape); });
    view.RunModal();
    return view.Choices();
  };
  const CourseChoices uk = recommended("uk.kbd");
  EXPECT_EQ(uk.DefaultFile, "enguk.cnt");
  EXPECT_NE(std::find(uk.OtherFiles.begin(), uk.OtherFiles.end(), "eng.cnt"), uk.OtherFiles.end())
      << "the US course stays on offer";
  EXPECT_EQ(recommended("qwerty.kbd").DefaultFile, "eng.cnt");
  EXPECT_EQ(recommended("usint2.kbd").DefaultFile, "eng.cnt");
  EXPECT_EQ(recommended("dvorak.kbd").DefaultFile, "engdvorak.cnt");
  EXPECT_EQ(recommended("colemak.kbd").DefaultFile, "engcolemak.cnt");

  // Enter takes the recommendation, as a first start does.
  learner.base.layoutFile = "uk.kbd";
  {
    TCourseListView view(&learner, lessons);
    later([&] {
      shot("course-list-uk");
      key(Qt::Key_Return);
    });
    EXPECT_EQ(view.RunModal(), 1);
  }
  EXPECT_EQ(learner.Settings().ReadString("ContentsFile"), "enguk.cnt");

  Localize().SetLanguage("DEU");
  EXPECT_EQ(recommended("uk.kbd").DefaultFile, "deu.cnt") << "no German course for this keyboard";
  Localize().SetLanguage("ENG");
  policy->WriteBool("enguk.Hidden", true);
  EXPECT_EQ(recommended("uk.kbd").DefaultFile, "eng.cnt") << "nor is a hidden course offered";
  policy->WriteBool("enguk.Hidden", false);
  learner.locked.insert("ContentsFile");
  learner.Settings().WriteString("ContentsFile", "eng.cnt");
  EXPECT_EQ(recommended("uk.kbd").DefaultFile, "eng.cnt") << "a locked course is not replaced";
}

// After the learner file was found damaged, a course that shows no progress says where the
// earlier progress may be, as long as the copy is there.
TEST_F(StudyViews, TheCourseListPointsToTheDamagedCopyWhereItShowsNoProgress) {
  const std::filesystem::path lessons = dir.path() / "lessons";
  policy->WriteString("DefaultContents", "study.cnt");
  std::filesystem::create_directories(dir / "Database");
  test::writeFile(dir / "Database" / "Ann.usr.damaged", "UserName=Ann\r\nCrs.STUDY.CompExc=3");
  ProgramSettings = std::make_unique<TProgramSettings>(dir.path());
  learner.Settings().WriteString("DamagedCopy", "Ann.usr.damaged");
  for (const char* language : {"ENG", "DEU", "SPA", "FRA", "ITA", "POR"}) {
    Localize().SetLanguage(language);
    TCourseListView view(&learner, lessons);
    later([&] {
      const QString text = find<QLabel>("SummaryStart1")->text();
      EXPECT_TRUE(text.endsWith("\n" + msgText(2615) + "\"Ann.usr.damaged\"."))
          << text.toStdString();
      shot(QString("course-list-damaged-") + language);
      key(Qt::Key_Escape);
    });
    view.RunModal();
  }
  Localize().SetLanguage("ENG");
  std::filesystem::remove(dir / "Database" / "Ann.usr.damaged");
  {
    TCourseListView view(&learner, lessons);
    later([&] {
      EXPECT_TRUE(find<QLabel>("SummaryStart1")->text().endsWith("\n" + msgText(1696)));
      key(Qt::Key_Escape);
    });
    view.RunModal();
  }
  ProgramSettings.reset();
}

TEST_F(StudyViews, TheWrongKeyboardPageAndTheLessonDonePageAnswerWithTheirButtons) {
  {
    TWrongKeyboardView view("\xE9\xE8\xE0\xE7\xF9\xEA\xEE\xF4\xFB\xEB\xEF", "English (US)");
    later([&] {
      EXPECT_EQ(find<QLabel>("Missing")->text(),
                msgText(1443) + ": " + toQString("\xE9\xE8\xE0\xE7\xF9\xEA\xEE\xF4\xFB\xEB"));
      EXPECT_TRUE(find<QPushButton>("SwitchLayout")->isVisible());
      shot("wrong-keyboard");
      click("changecrs");
    });
    EXPECT_EQ(view.RunModal(), 8);
    later([&] { key(Qt::Key_Escape); });
    EXPECT_EQ(view.RunModal(), 2);
  }
  TLessonDone done(course->Bookmark, false, "Lesson 2: A, S, L and ;", "fjdk");
  later([&] {
    EXPECT_NE(find<QWidget>("Keyboard"), nullptr);
    shot("lesson-done");
    click("NextLessonBtn");
  });
  EXPECT_EQ(done.RunModal(), 4);
}

// Where the desktop keeps the layout switch to itself, the page says where to switch and closes
// for a new check once the learner has; a desktop the tutor can switch gets no such line.
TEST_F(StudyViews, TheWrongKeyboardPageWaitsForTheLearnerToSwitchOnTheDesktop) {
  struct DesktopKeyboard : NullSystemKeyboard {
    std::string active = "00000409";
    bool switches = false;
    std::string activeLayoutId() override { return active; }
    std::vector<std::string> configuredLayoutIds() override { return {"00000409", "00000407"}; }
    bool switchesLayouts() override { return switches; }
  } desktop;
  setSystemKeyboard(&desktop);
  {
    TWrongKeyboardView view("\xE4\xF6\xFC", "English (US)");
    later([&] {
      ASSERT_NE(find<QLabel>("DesktopSwitch"), nullptr);
      EXPECT_EQ(find<QLabel>("DesktopSwitch")->text(), msgText(2850));
      shot("wrong-keyboard-desktop");
      desktop.active = "00000407";  // chosen in the desktop's own settings
    });
    QTimer::singleShot(3000, [&] { key(Qt::Key_Escape); });  // fails instead of waiting for ever
    EXPECT_EQ(view.RunModal(), TWrongKeyboardView::kLayoutSwitched);
  }
  desktop.switches = true;
  {
    TWrongKeyboardView view("\xE4\xF6\xFC", "English (US)");
    later([&] {
      EXPECT_EQ(find<QLabel>("DesktopSwitch"), nullptr);
      key(Qt::Key_Escape);
    });
    EXPECT_EQ(view.RunModal(), 2);
  }
  setSystemKeyboard(nullptr);
}

// Under the exercise lock the exercises after the learner's place wait; asking for one (digit,
// click, Enter) says why and keeps the page.
TEST_F(StudyViews, LockedExercisesSayWhyAndDoNotStart) {
  policy->WriteBool("STUDY.Exercise_Lock", true);
  const ExerciseListRequest req = lessonRequest();  // at exercise 2 of 3
  TChpContentsView view(req, &learner);
  later([&] {
    EXPECT_FALSE(view.List()->IsLocked(2));
    EXPECT_TRUE(view.List()->IsLocked(3));
    key(Qt::Key_3);
    later([&] {
      EXPECT_TRUE(view.Active());
      EXPECT_EQ(find<QLabel>("NotesLbl")->text(), msgText(2114));
      shot("lesson-page-locked");
      key(Qt::Key_2);
    });
  });
  EXPECT_EQ(view.RunModal(), 1);
  EXPECT_EQ(view.Chosen, 2);
}

// A course of fixed lesson lengths opens with its length plainly, and answers a choice in a
// sentence.
TEST_F(StudyViews, AStaticCourseShowsItsLengthThenAnswersTheChoice) {
  test::writeFile(dir / "lessons" / "fixed.cnt",
                  "$description=Fixed lessons\r\ndurationsystem=static\r\n"
                  "lessondurations=10,20,30\r\ndefaultduration=2\r\n"
                  "begin chapter\r\nchapter name=1;One\r\nbegin exercise\r\ntype=Text\r\n"
                  "duration=10\r\nevent=TEXT;1\r\nend exercise\r\nend chapter\r\n");
  learner.Settings().WriteString("ContentsFile", "fixed.cnt");
  TCourseContentsView view(&learner, dir.path() / "lessons");
  later([&] {
    const QString first = find<QLabel>("LengthLbl")->text();
    EXPECT_TRUE(first.startsWith(msgText(1868) + " ")) << first.toStdString();
    EXPECT_TRUE(first.endsWith(" " + msgText(1875))) << first.toStdString();
    view.ChooseStaticEntry(3);
    EXPECT_EQ(find<QLabel>("LengthLbl")->text(), msgText(1700) + "0:30" + msgText(1701));
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(view.RunModal(), 2);
}

}  // namespace
}  // namespace ks
