#include <gtest/gtest.h>

#include "analysis/keydataext.h"
#include "content/contents.h"
#include "content/layoutkeyboard.h"
#include "coursefakes.h"
#include "store/fileobj.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeKeyboard;
using test::FakeLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;

std::string crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

struct Courses : ::testing::Test {
  test::TempDir dir;
  FakeLearner learner;
  FakeKeyboard keyboard;
  RecordingDialogs boxes;
  ScopedPolicy policy;
  CourseServices services{&learner, &keyboard};

  std::string write(const std::string& name, const std::vector<std::string>& lines) {
    test::writeFile(dir / name, crlf(lines));
    return (dir / name).string();
  }
  std::unique_ptr<TContents> open(const std::string& path, int chosen = -1, int mode = 0) {
    return std::make_unique<TContents>(path, chosen, mode, services);
  }
  int boxesWith(const std::string& text) const {
    int n = 0;
    for (const auto& b : boxes.boxes) n += b.text.find(text) != std::string::npos;
    return n;
  }
};

const std::vector<std::string> kCourse = {
    "$description=English for beginners",
    "$language=eng",
    "$version=2.0",
    "$longdesc=From the home row to all letters",
    "' a comment",
    "",
    "keyboard=qwerty.kbd",
    "keyboardbase=qwerty",
    "wizardname;eng",
    "short name==ENG",
    "default time = 4",
    "   'indented comment",
    "accuracygoals=90;94,97",
    "newkeysloops=3",
    "wordloop=1",
    "wordmaxloop=2",
    "begin chapter",
    "  chapter name=1;Home row",
    "  picture=ch1.gif",
    "  new keys=asdf",
    "  new keys=SEMICOLON",
    "  new keys_azerty=qsdf",
    "  extradesc=Left hand first",
    "  durationpercent=50",
    "  begin exercise",
    "    type=Drill",
    "    duration=1",
    "    notes=Warm up",
    "    event;KEY2;2;",
    "    event_qwerty=text2;2;file:home.txt",
    "    event_azerty;TEXT2;2",
    "    event_00000409;SENTENCE;1",
    "    event_pri;MESSAGE;0",
    "  end exercise",
    "  begin exercise",
    "    type=Text",
    "    duration=3",
    "    event=TEXT;1",
    "  end exercise",
    "end chapter",
    "begin chapter",
    "  chapter name=Without title",
    "  hideexercises=true",
    "  new keys=jkl",
    "  begin exercise",
    "    event=HTMLMESSAGE;1;intro.htm",
    "  end exercise",
    "end chapter",
    "end contents",
};

TEST_F(Courses, ACourseReadsIntoLessonsExercisesAndEvents) {
  learner.settings.WriteInteger("ENG1.StudyingTime", 25);
  auto course = open(write("ENG1.CNT", kCourse));
  ASSERT_EQ(course->Status(), 0);
  EXPECT_EQ(course->CourseId, "ENG1");
  EXPECT_EQ(course->FileName, "ENG1.CNT");
  EXPECT_EQ(course->Description, "English for beginners");
  EXPECT_EQ(course->LongDescription, "From the home row to all letters");
  EXPECT_EQ(course->CourseLanguage, "ENG");
  EXPECT_EQ(course->KeyboardBase, "QWERTY");
  EXPECT_EQ(course->WizardName, "eng");
  EXPECT_EQ(course->ShortName, "ENG");
  EXPECT_EQ(course->DefaultTime, -1);  // "default time " with a blank is another name
  EXPECT_EQ(course->AccuracyGoals, (std::vector<int>{90, 94, 97}));
  EXPECT_EQ(course->NewKeysLoops, 3);
  EXPECT_EQ(CourseNewKeysLoops(), 3);
  EXPECT_EQ(course->Bookmark.WordMaxLoop, 2);
  EXPECT_EQ(learner.settings.ReadString("DefaultWizard"), "eng");

  ASSERT_EQ(course->Lessons.size(), 2u);
  const TChapter& one = *course->Lessons[0];
  EXPECT_EQ(one.Number, 1);
  EXPECT_EQ(one.Name, "Home row");
  EXPECT_EQ(one.Picture, "ch1.gif");
  EXPECT_EQ(one.ExtraDesc, "Left hand first");
  EXPECT_EQ(one.NewKeys, "asdf;");
  EXPECT_EQ(one.NewKeysLines, (std::vector<std::string>{"new keys=asdf", "new keys=SEMICOLON",
                                                        "new keys_azerty=qsdf"}));
  EXPECT_EQ(one.StudyTime, 25);
  EXPECT_EQ(one.Minutes, 12);  // 12.5 goes to the even neighbour
  EXPECT_EQ(one.KeyLevel, 2);
  ASSERT_EQ(one.Exercises.size(), 2u);

  const TExercise& drill = *one.Exercises[0];
  EXPECT_EQ(drill.Number, 1);
  EXPECT_EQ(drill.Type, "Drill");
  EXPECT_EQ(drill.Notes, "Warm up");
  EXPECT_EQ(drill.KeyLevel, 2);
  EXPECT_EQ(drill.NewKeysLines.size(), 3u);
  ASSERT_EQ(drill.Events.size(), 4u);  // the azerty line is for another layout
  EXPECT_EQ(drill.Events[0]->Keyword(), "KEY2");
  EXPECT_EQ(drill.Events[1]->Keyword(), "TEXT2");
  EXPECT_EQ(drill.Events[1]->SourceFile(), "home.txt");
  EXPECT_EQ(drill.Events[2]->Keyword(), "SENTENCE");
  EXPECT_EQ(drill.Events[3]->Keyword(), "MESSAGE");
  EXPECT_EQ(drill.Events[3]->Number, 4);
  EXPECT_EQ(drill.Events[3]->KeyLevel, 2);
  EXPECT_EQ(drill.Events[1]->ChapterNumber(), 1);
  EXPECT_EQ(drill.Events[1]->ExerciseNumber(), 1);

  const TChapter& two = *course->Lessons[1];
  EXPECT_EQ(two.Name, "");
  EXPECT_TRUE(two.HideExercises);
  EXPECT_EQ(two.KeyLevel, 3);
  EXPECT_EQ(learner.keyOrder, (std::vector<std::string>{"asdf", ";", "jkl"}));
  EXPECT_EQ(course->Bookmark.TotalExc, 3);

  EXPECT_EQ(keyboard.loaded, (std::vector<std::string>{"qwerty.kbd"}));
  EXPECT_EQ(learner.layoutMode, "pri");
  EXPECT_EQ(keyboard.activations, 1);
  // The first lesson lifts the learner to its first exercise's keys.
  EXPECT_EQ(learner.keyLevel, 2);
  // The lesson without a title is a field problem, reported once for the whole course.
  EXPECT_EQ(boxesWith("#-11"), 1);
}

TEST_F(Courses, SeparatorsCommentsAndBlanksFollowTheLineRules) {
  for (const char* line : {"keyboard=uk.kbd", "keyboard;uk.kbd", "keyboard==uk.kbd"}) {
    keyboard.loaded.clear();
    auto course = open(write("A.CNT", {line}));
    EXPECT_EQ(course->Keyboard, "uk.kbd") << line;
    EXPECT_EQ(keyboard.loaded, (std::vector<std::string>{"uk.kbd"})) << line;
  }
  keyboard.loaded.clear();
  auto blank = open(write("B.CNT", {"keyboard = uk.kbd", "  ' keyboard=uk.kbd"}));
  EXPECT_EQ(blank->Keyboard, "ALL");
  EXPECT_TRUE(keyboard.loaded.empty());
}

TEST_F(Courses, LessonTitlesTakeTheChosenPrefix) {
  Localize().SetString(124, "Lesson ");
  auto course = open(write("ENG1.CNT", kCourse));
  EXPECT_EQ(course->LessonTitles(TitlePrefix::LessonWord),
            (std::vector<std::string>{"Lesson 1: Home row", "Lesson 2: "}));
  EXPECT_EQ(course->LessonTitles(TitlePrefix::Number),
            (std::vector<std::string>{"1. Home row", "2. "}));
  EXPECT_EQ(course->LessonTitles(TitlePrefix::None), (std::vector<std::string>{"Home row", ""}));
}

TEST_F(Courses, DynamicDurationsSpreadTheLessonOverExercisesAndEvents) {
  learner.settings.WriteInteger("D.StudyingTime", 20);
  auto course = open(
      write("D.CNT", {"begin chapter", "durationpercent=100", "begin exercise", "duration=1",
                      "event;KEY2;0;", "event=TEXT;1", "end exercise", "begin exercise",
                      "duration=3", "event=TEXT;2", "event=TEXT;2", "end exercise", "end chapter"}),
      20);
  const TChapter& lesson = *course->Lessons[0];
  EXPECT_EQ(lesson.Minutes, 20);
  EXPECT_EQ(lesson.Exercises[0]->Minutes, 5);
  EXPECT_EQ(lesson.Exercises[0]->Events[0]->TimeLimit, 0);  // weight 0: no time at all
  EXPECT_EQ(lesson.Exercises[0]->Events[1]->TimeLimit, 300);
  EXPECT_EQ(lesson.Exercises[1]->Minutes, 15);
  EXPECT_EQ(lesson.Exercises[1]->Events[0]->TimeLimit, 450);
  EXPECT_EQ(lesson.Exercises[1]->Events[1]->TimeLimit, 450);
  EXPECT_EQ(course->Bookmark.Duration, 20);
  EXPECT_EQ(course->Bookmark.TotalSeconds, 1200);
  EXPECT_EQ(course->TotalMinutes(), 20);

  learner.settings.WriteInteger("E.StudyingTime", 5);
  auto small =
      open(write("E.CNT", {"begin chapter", "durationpercent=100", "begin exercise", "duration=1",
                           "event=TEXT;2", "event=SENTENCE;2", "end exercise", "end chapter"}));
  const TExercise& ex = *small->Lessons[0]->Exercises[0];
  EXPECT_EQ(ex.Minutes, 5);
  EXPECT_EQ(ex.Events[0]->TimeLimit, 150);
  EXPECT_EQ(ex.Events[1]->TimeLimit, 150);
}

TEST_F(Courses, MessagePagesTakeTheCoursesDefaultTime) {
  learner.settings.WriteInteger("P.StudyingTime", 20);
  const std::vector<std::string> body = {
      "begin chapter",       "durationpercent=100", "begin exercise", "duration=1",
      "event=TEXT;1",        "end exercise",        "begin exercise", "duration=1",
      "event=HTMLMESSAGE;1", "end exercise",        "end chapter"};
  std::vector<std::string> lines = {"default time=3"};
  lines.insert(lines.end(), body.begin(), body.end());
  auto course = open(write("P.CNT", lines));
  EXPECT_EQ(course->Lessons[0]->Exercises[0]->Minutes, 10);
  EXPECT_EQ(course->Lessons[0]->Exercises[1]->Minutes, 2);  // 3 x 1/2 = 1.5, to even
  // Without a default time the pages get none, not minus one minute.
  auto bare = open(write("P.CNT", body));
  EXPECT_EQ(bare->Lessons[0]->Exercises[1]->Minutes, 0);
}

TEST_F(Courses, APolicyExamDurationOverridesTheLessonShare) {
  policy->WriteInteger("X.chapter_exam_duration", 7);
  learner.settings.WriteInteger("X.StudyingTime", 10);
  auto course =
      open(write("X.CNT", {"begin chapter", "durationpercent=100", "begin exercise",
                           "event=HTMLMESSAGE;0", "event=EXAM2;1", "end exercise", "end chapter"}));
  const TChapter& lesson = *course->Lessons[0];
  EXPECT_EQ(lesson.Minutes, 7);
  EXPECT_EQ(lesson.Exercises[0]->Minutes, 7);
  EXPECT_EQ(lesson.Exercises[0]->Events[1]->TimeLimit, 420);
}

TEST_F(Courses, StaticDurationsAddTheMarginToEachEventsOwnMinutes) {
  learner.settings.WriteInteger("S.StudyingTime", 3);
  const std::vector<std::string> lines = {"durationsystem=static", "lessondurations=10,20,30",
                                          "defaultduration=2",     "begin chapter",
                                          "begin exercise",        "event=TEXT;4",
                                          "event=SENTENCE;0",      "end exercise",
                                          "begin exercise",        "event=HTMLMESSAGE;2",
                                          "end exercise",          "end chapter",
                                          "begin chapter",         "end chapter"};
  auto course = open(write("S.CNT", lines), 2);
  EXPECT_EQ(course->DefaultTime, 20);
  EXPECT_EQ(course->ChosenDuration, 20);
  EXPECT_EQ(course->Bookmark.TotalSeconds, 2 * 20 * 60);
  const TChapter& lesson = *course->Lessons[0];
  EXPECT_FALSE(lesson.DynamicDuration);
  EXPECT_EQ(lesson.Exercises[0]->Events[0]->TimeLimit, (2 + 4) * 60);
  EXPECT_EQ(lesson.Exercises[0]->Events[1]->TimeLimit, 0);
  EXPECT_EQ(lesson.Exercises[0]->Minutes, 6);
  EXPECT_EQ(lesson.Exercises[1]->Events[0]->TimeLimit, (2 + 2) * 60);
  EXPECT_EQ(lesson.Exercises[1]->Minutes, 2);  // message pages count their own minutes only
  EXPECT_EQ(lesson.Minutes, 8);
  EXPECT_EQ(course->TotalMinutes(), 8);

  // No study time: no margin, and the lesson runs on the dynamic flag except for its pages.
  learner.settings.WriteInteger("S.StudyingTime", 0);
  auto optimal = open(write("S.CNT", lines), -2);
  EXPECT_TRUE(optimal->OptimalDuration);
  EXPECT_EQ(optimal->Bookmark.TotalSeconds, 2 * 30 * 60);
  const TChapter& bare = *optimal->Lessons[0];
  EXPECT_TRUE(bare.DynamicDuration);
  EXPECT_TRUE(bare.Exercises[0]->DynamicDuration);
  EXPECT_TRUE(bare.Exercises[0]->Events[0]->DynamicDuration);
  EXPECT_FALSE(bare.Exercises[1]->DynamicDuration);
  EXPECT_EQ(bare.Exercises[0]->Events[0]->TimeLimit, 4 * 60);
}

TEST_F(Courses, StaticDurationsBeyondTheListCountNothing) {
  auto course = open(write("T.CNT", {"durationsystem=static", "lessondurations=10",
                                     "defaultduration=1", "begin chapter", "end chapter"}),
                     -2);
  EXPECT_EQ(course->DefaultTime, 10);
  EXPECT_EQ(course->Bookmark.TotalSeconds, 0);  // entry 2 does not exist
}

TEST_F(Courses, TheLayoutFollowsTheCourseThePolicyOrTheLearner) {
  learner.layoutFile = "dvorak.kbd";
  open(write("A.CNT", {"keyboard=all"}));
  EXPECT_EQ(keyboard.loaded.back(), "dvorak.kbd");
  EXPECT_EQ(learner.layoutMode, "pri");

  open(write("B.CNT", {"alternatekeyboards=1", "keyboard=qwerty.kbd"}));
  EXPECT_EQ(keyboard.loaded.back(), "dvorak.kbd");
  EXPECT_EQ(learner.layoutMode, "alt");

  policy->WriteString("keyboardlayout", "uk.kbd");
  policy->WriteBool("DisableWindowsLayouts", true);
  const int activations = keyboard.activations;
  open(write("C.CNT", {"nosemicolonreplacement=1", "keyboard=POLICY"}));
  EXPECT_EQ(keyboard.loaded.back(), "uk.kbd");
  EXPECT_TRUE(keyboard.semicolonOff);
  EXPECT_EQ(keyboard.activations, activations);
}

TEST_F(Courses, EventAndNewKeyLinesFollowTheLayoutAndTheLayoutMode) {
  keyboard.material = "azerty";
  keyboard.code = "0000040C";  // a code with a capital never matches a lower-cased name
  learner.layoutMode = "alt";
  auto course = open(write(
      "F.CNT", {"begin chapter", "new keys_azerty=qsdf", "new keys_qwerty=asdf", "begin exercise",
                "event_azerty;TEXT;1", "event_qwerty;TEXT;1", "event_0000040c;TEXT;1",
                "event_alt;WORD;1", "event_pri;WORD;1", "end exercise", "end chapter"}));
  EXPECT_EQ(course->Lessons[0]->NewKeys, "qsdf");
  const auto& events = course->Lessons[0]->Exercises[0]->Events;
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]->Keyword(), "TEXT");
  EXPECT_EQ(events[1]->Keyword(), "WORD");
}

TEST_F(Courses, AMissingLayoutStopsTheTutor) {
  auto course = open(write("M.CNT", {"keyboard=missing.kbd", "begin chapter", "end chapter"}));
  EXPECT_TRUE(course->LayoutFailed());
  EXPECT_EQ(boxesWith("#-1 File not found"), 1);
  EXPECT_EQ(boxesWith("missing.kbd not found!"), 1);
  EXPECT_TRUE(course->Lessons.empty());
}

TEST_F(Courses, APreviewChangesNothingButTheKeyOrder) {
  const std::string path = write("ENG1.CNT", kCourse);
  learner.settings.WriteInteger("Crs.ENG1.TotalExc", 9);
  {
    TContents course(TContents::PreviewTag{}, path, services);
    EXPECT_TRUE(course.Preview);
    EXPECT_EQ(course.Lessons.size(), 2u);
    EXPECT_EQ(course.Bookmark.TotalExc, 9);
  }
  EXPECT_TRUE(keyboard.loaded.empty());
  EXPECT_EQ(learner.settings.ReadString("DefaultWizard"), "");
  EXPECT_EQ(learner.settings.ReadInteger("Crs.ENG1.TotalExc"), 9);
  EXPECT_EQ(learner.keyOrder.size(), 3u);
  EXPECT_TRUE(boxes.boxes.empty());  // field problems are not reported for lists
}

TEST_F(Courses, TheBookmarkIsReadAtTheStartAndSavedAtTheEnd) {
  learner.settings.WriteInteger("Crs.ENG1.Chapter", 2);
  learner.settings.WriteInteger("Crs.ENG1.CompExc", 1);
  learner.settings.WriteInteger("Crs.ENG1.KeyLevel", 3);
  {
    auto course = open(write("ENG1.CNT", kCourse), 15);
    EXPECT_EQ(course->Bookmark.Chapter, 2);
    EXPECT_EQ(learner.highest, 3);
    EXPECT_EQ(course->Bookmark.Duration, 15);
    course->Bookmark.Exercise = 2;
  }
  EXPECT_EQ(learner.settings.ReadInteger("Crs.ENG1.Exercise"), 2);
  EXPECT_EQ(learner.settings.ReadInteger("Crs.ENG1.TotalExc"), 3);
  EXPECT_EQ(learner.settings.ReadInteger("Crs.ENG1.CompPrc"), 33);
  EXPECT_EQ(learner.settings.ReadInteger("Crs.ENG1.Duration"), 15);

  // A review course leaves the learner's place alone.
  open(write("REV.CNT", kCourse), 5, TBookMark::bmReview).reset();
  EXPECT_EQ(learner.settings.ReadString("Crs.REV.Chapter"), "");
}

TEST_F(Courses, BookmarkFiguresRoundToEven) {
  TBookMark b;
  b.CompExc = 3;
  b.TotalExc = 8;
  b.TotalSeconds = 3600;
  b.Time = 1000;
  EXPECT_EQ(b.CompletionPercent(), 38);
  EXPECT_EQ(b.RemainingSeconds(), 2600);
  b.CompExc = 6;
  b.TotalExc = 10;
  b.Time = 1200;
  EXPECT_EQ(b.RemainingSeconds(), 800);
  b.TotalExc = 0;
  EXPECT_EQ(b.CompletionPercent(), 0);
}

TEST_F(Courses, AnUnreadableCourseReportsTheReaderStatusAndKeepsTheBookmark) {
  learner.settings.WriteInteger("Crs.GONE.TotalExc", 12);
  {
    auto course = open((dir / "GONE.CNT").string());
    EXPECT_EQ(course->Status(), fsNotFound);
    EXPECT_TRUE(course->Lessons.empty());
  }
  EXPECT_EQ(learner.settings.ReadInteger("Crs.GONE.TotalExc"), 12);
}

TEST_F(Courses, AFileEndingInsideALessonKeepsWhatWasRead) {
  auto course = open(
      write("EOF.CNT", {"begin chapter", "chapter name=1;One", "begin exercise", "event=TEXT;1",
                        "end exercise", "end chapter", "begin chapter", "chapter name=2;Two",
                        "begin exercise", "event=TEXT;1", "end exercise"}));
  ASSERT_EQ(course->Lessons.size(), 2u);
  EXPECT_EQ(course->Lessons[1]->Exercises.size(), 1u);
  EXPECT_EQ(boxesWith("Chapter object: eof in middle of chapter"), 1);

  boxes.boxes.clear();
  auto cut = open(write("CUT.CNT", {"begin chapter", "begin exercise", "event=TEXT;1"}));
  ASSERT_EQ(cut->Lessons.size(), 1u);
  EXPECT_EQ(cut->Lessons[0]->Exercises[0]->Events.size(), 1u);
  EXPECT_EQ(boxesWith("Exercise object: eof in middle of exercise"), 1);
  EXPECT_EQ(boxesWith("Chapter object: eof in middle of chapter"), 1);
}

TEST_F(Courses, BrokenFieldsLoadWhatIsValidAndAreReportedOnce) {
  auto course =
      open(write("BAD.CNT", {"default time=soon", "lessondurations=10,x,30", "begin chapter",
                             "durationpercent=lots", "new keys=", "begin exercise",
                             "duration=heavy", "event;TEXT;two", "event;DANCE;1", "event",
                             "event=TEXT;1", "end exercise", "end chapter"}));
  EXPECT_EQ(course->Status(), 0);
  EXPECT_EQ(course->DefaultTime, -1);
  EXPECT_EQ(course->LessonDurations, (std::vector<int>{10, 0, 30}));
  const TExercise& ex = *course->Lessons[0]->Exercises[0];
  EXPECT_EQ(ex.Weight, 0);
  ASSERT_EQ(ex.Events.size(), 3u);  // a bare "event" has no value
  EXPECT_EQ(ex.Events[0]->Weight(), 0);
  EXPECT_FALSE(ex.Events[1]->KnownKeyword());
  EXPECT_EQ(boxesWith("Contents/Chapter: missing new keys entry"), 1);
  int fieldProblems = 0;
  for (const CourseProblem& p : course->Problems()) fieldProblems += p.Code == -11;
  EXPECT_EQ(fieldProblems, 6);
  EXPECT_EQ(boxesWith("#-11 textfile field error"), 1);
  EXPECT_EQ(boxesWith("(and 5 more)"), 1);
}

TEST_F(Courses, ALessonHoldsAtMost200ExercisesAndWarnsAboutManyEvents) {
  std::vector<std::string> lines = {"begin chapter"};
  for (int i = 0; i < 205; ++i) {
    lines.insert(lines.end(), {"begin exercise", "event=TEXT;1", "end exercise"});
  }
  lines.insert(lines.end(), {"begin exercise"});
  for (int i = 0; i < 21; ++i) lines.push_back("event=TEXT;1");
  lines.insert(lines.end(), {"end exercise", "end chapter", "begin chapter", "begin exercise",
                             "event=WORD;1", "end exercise", "end chapter"});
  auto course = open(write("BIG.CNT", lines));
  ASSERT_EQ(course->Lessons.size(), 2u);
  EXPECT_EQ(course->Lessons[0]->Exercises.size(), 200u);
  EXPECT_EQ(boxesWith("Chapter object: overflow max 200 Exercises"), 1);
  EXPECT_EQ(boxesWith("Exercise object: overflow max 20 events"), 3);  // events 19, 20, 21
  // The file stays in step after the dropped exercises.
  EXPECT_EQ(course->Lessons[1]->Exercises[0]->Events[0]->Keyword(), "WORD");
  EXPECT_EQ(course->Bookmark.TotalExc, 201);
}

// The course list sorts out other languages' courses by their headers alone.
TEST_F(Courses, AHeaderNamesTheLanguageAsTheWholeCourseDoes) {
  const std::string path = write("ENG1.CNT", kCourse);
  EXPECT_EQ(CourseFileLanguage(path), "ENG");
  EXPECT_TRUE(learner.keyOrder.empty());  // nothing read beyond the header
  EXPECT_EQ(CourseFileLanguage(path),
            TContents(TContents::PreviewTag{}, path, services).CourseLanguage);
  EXPECT_EQ(CourseFileLanguage(write("NONE.CNT", {"$description=No language", "begin chapter"})),
            "");
  EXPECT_EQ(CourseFileLanguage((dir / "MISSING.CNT").string()), "");
}

TEST_F(Courses, AScrambledCourseReadsLikeThePlainOne) {
  std::string text = "$description=Secret\r\n$fileformat=crypted\r\n";
  for (const char* line : {"begin chapter", "chapter name=1;Home row", "begin exercise",
                           "event=TEXT;1", "end exercise", "end chapter"}) {
    ASSERT_TRUE(scramblable(line));
    text += scrambleText(line) + "\r\n";
  }
  test::writeFile(dir / "SEC.CNT", text);
  auto course = open((dir / "SEC.CNT").string());
  ASSERT_EQ(course->Lessons.size(), 1u);
  EXPECT_EQ(course->Lessons[0]->Name, "Home row");
  EXPECT_EQ(course->Lessons[0]->Exercises[0]->Events[0]->Keyword(), "TEXT");
}

TEST_F(Courses, AnOldVersionIsMarkedInTheDescription) {
  Localize().SetString(1691, " (old)");
  auto course = open(
      write("OLD.CNT", {"$description=Course", "$version=1.10", "begin chapter", "end chapter"}));
  EXPECT_EQ(course->Description, "Course (old)");
}

TEST_F(Courses, TheTutorsLayoutIsLoadedFromTheKeyboardsFolder) {
  test::TempDir keyboards;
  test::writeFile(keyboards / "de.kbd",
                  "$version=6\r\nlayoutcode;00000407\r\nmaterialbased;QWERTZ\r\n"
                  "homerow;asdfjkl%;\r\nkey;1;0;0;0;0;-;a\r\n");
  test::writeFile(keyboards / "bad.kbd", "$version=6\r\nlayoutcode;00000407\r\n");
  TKeyDataExt layout;
  LayoutKeyboard real(layout, keyboards.path());
  services.Keyboard = &real;
  auto course = open(write(
      "DE.CNT", {"nosemicolonreplacement=1", "keyboard=DE.KBD", "begin chapter", "begin exercise",
                 "event_qwertz;TEXT;1", "event_00000407;WORD;1", "end exercise", "end chapter"}));
  EXPECT_FALSE(course->LayoutFailed());
  EXPECT_EQ(layout.MaterialName, "qwertz");
  EXPECT_EQ(layout.SemicolonKey, '\0');
  EXPECT_EQ(course->Lessons[0]->Exercises[0]->Events.size(), 2u);

  auto missing = open(write("M.CNT", {"keyboard=none.kbd"}));
  EXPECT_TRUE(missing->LayoutFailed());
  EXPECT_EQ(boxesWith("none.kbd not found!"), 1);
  boxes.boxes.clear();
  auto broken = open(write("B.CNT", {"keyboard=bad.kbd"}));
  EXPECT_TRUE(broken->LayoutFailed());
  EXPECT_EQ(boxesWith("not found!"), 0);  // the layout reader has said what is wrong
}

TEST_F(Courses, ScrambledLineOrdersNeverBreakTheReader) {
  // Lines of every kind in random order and random damage: whatever loads must be consistent.
  const std::vector<std::string> pieces = {"begin chapter",
                                           "end chapter",
                                           "begin exercise",
                                           "end exercise",
                                           "event;TEXT;%",
                                           "event=;;",
                                           "new keys=%;",
                                           "durationpercent=-2147483648",
                                           "duration=2147483647",
                                           "durationpercent=2147483647",
                                           "chapter name=;;",
                                           "event;EXAM2;99999999",
                                           "$fileformat=crypted",
                                           "keyboard=",
                                           "lessondurations=,,",
                                           "durationsystem=static",
                                           "defaultduration=99",
                                           "'",
                                           "=",
                                           ";;;"};
  learner.settings.WriteInteger("R.StudyingTime", 100000);
  auto huge =
      open(write("R.CNT", {"begin chapter", "durationpercent=2147483647", "begin exercise",
                           "duration=1", "event;EXAM2;99999999", "end exercise", "end chapter"}));
  EXPECT_EQ(huge->Lessons[0]->Exercises[0]->Events[0]->TimeLimit, INT32_MAX);
  uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(next() % 40);
    for (int i = 0; i < count; ++i) lines.push_back(pieces[next() % pieces.size()]);
    auto course = open(write("R.CNT", lines), static_cast<int>(next() % 5) - 2);
    for (const auto& lesson : course->Lessons) {
      EXPECT_LE(lesson->Exercises.size(), 200u);
      for (const auto& ex : lesson->Exercises) {
        for (const auto& e : ex->Events) EXPECT_EQ(e->Exercise, ex.get());
      }
    }
    course->TotalMinutes();
    course->LessonTitles(TitlePrefix::Number);
  }
}

}  // namespace
}  // namespace ks
