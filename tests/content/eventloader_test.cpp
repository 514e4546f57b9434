#include <gtest/gtest.h>

#include <functional>

#include "content/contents.h"
#include "content/eventfactory.h"
#include "coursefakes.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::FakeLearner;
using test::ScopedPolicy;

// What an event was handed, kept after the run.
struct Handed {
  std::string ClassName, Line, EventType, CourseId, ActiveKeys;
  int PageIndex, PageCount, TimeLimit, BuilderTime, BuilderKeyLevel;
  bool Internal, DynamicDuration, HasGameWords;
};

class FakeFactory : public EventFactory {
 public:
  class Event : public LessonEvent {
   public:
    Event(FakeFactory& f, std::string cls, std::string line)
        : f_(f), cls_(std::move(cls)), line_(std::move(line)) {}
    int Execute(const EventHandover& h) override {
      f_.handed.push_back({cls_, line_, h.EventType, h.CourseId, h.ActiveKeys, h.PageIndex,
                           h.PageCount, h.TimeLimit, h.BuilderTime, h.BuilderKeyLevel, h.Internal,
                           h.DynamicDuration, h.GameWords != nullptr});
      if (f_.fill) f_.fill(*h.Result);
      return f_.closeResult;
    }
    EventGoals Goals() const override { return f_.goals; }

   private:
    FakeFactory& f_;
    std::string cls_, line_;
  };

  std::unique_ptr<LessonEvent> Create(const EventKeyword& kw, const std::string& line) override {
    return std::make_unique<Event>(*this, kw.ClassName, line);
  }

  std::vector<Handed> handed;
  std::function<void(TResultItem&)> fill;
  int closeResult = 3;
  EventGoals goals;
};

class FakePresenter : public ResultPresenter {
 public:
  void PrepareWizard(const std::string& keys) override { calls.push_back("prepare " + keys); }
  void CollectWizardResult() override { calls.push_back("collect"); }
  void SetExerciseGoals(const EventGoals& g, bool dynamic) override {
    goals = g;
    dynamicDuration = dynamic;
  }
  int ShowWizardResult(TResultItem&) override {
    calls.push_back("wizard");
    return answer;
  }
  int ShowExerciseInfo(TResultItem& item, int keyLevel) override {
    calls.push_back("info " + item.Kind + " " + std::to_string(keyLevel));
    return answer;
  }
  int ShowTopTen(TResultItem&, const std::string& player, const std::string& game) override {
    calls.push_back("topten " + player + " " + game);
    return answer;
  }
  std::vector<std::string> calls;
  EventGoals goals;
  bool dynamicDuration = false;
  int answer = 1;
};

TEST(EventLines, BothSpellingsOfALineGiveTheSameLoader) {
  const EventLine a = ParseEventLine("event=text2;2;");
  const EventLine b = ParseEventLine("event;TEXT2;2");
  EXPECT_EQ(a.Keyword, "TEXT2");
  EXPECT_EQ(b.Keyword, "TEXT2");
  EXPECT_EQ(a.Weight, 2);
  EXPECT_EQ(b.Weight, 2);
  EXPECT_EQ(a.Name, "EVENT");
  const EventLine zero = ParseEventLine("event;KEY2;0;");
  EXPECT_EQ(zero.Weight, 0);
  EXPECT_FALSE(zero.WeightMalformed);
  EXPECT_EQ(ParseEventLine("event;TEXT").Weight, 0);
  EXPECT_TRUE(ParseEventLine("event;TEXT;2 ").WeightMalformed);
}

TEST(EventLines, OnlyPlainTextFilesAreSourceFiles) {
  EXPECT_EQ(EventSourceFile("file:lesson5.txt"), "lesson5.txt");
  EXPECT_EQ(EventSourceFile("FILE:Texts/a.ex1"), "Texts/a.ex1");
  EXPECT_EQ(EventSourceFile("/tmp/review/words.int"), "/tmp/review/words.int");
  EXPECT_EQ(EventSourceFile("file:c:lesson5.txt"), "");
  EXPECT_EQ(EventSourceFile("none"), "");
  EXPECT_EQ(EventSourceFile("lesson5.doc"), "");
  EXPECT_EQ(ParseEventLine("event;TEXT;1;NIL").SourceFile, "");
}

TEST(EventLines, TheEventSplitsOnlyAtSemicolons) {
  TEventLoader loader("Event=EXAMINTERNAL;0;a=b c;False;8");
  EXPECT_EQ(loader.EventFields(),
            (std::vector<std::string>{"Event", "EXAMINTERNAL", "0", "a=b c", "False", "8"}));
  EXPECT_EQ(loader.Fields()[3], "a");  // the loader's own split also cuts at "="
  TEventLoader later("event;TEXT;1;x=1");
  EXPECT_EQ(later.EventFields()[0], "event");
  EXPECT_EQ(later.EventFields()[3], "x=1");
}

TEST(EventLines, TheKeywordTableNamesClassesFactorsAndGames) {
  EXPECT_STREQ(FindEventKeyword("WORDTRIS")->GameName, "Wordtris");
  EXPECT_STREQ(FindEventKeyword("ABC")->GameName, "ABCGame");
  EXPECT_TRUE(FindEventKeyword("TEXT2")->WordErrorFactor);
  EXPECT_FALSE(FindEventKeyword("KEY2")->WordErrorFactor);
  EXPECT_STREQ(FindEventKeyword("EXAMINTERNAL")->ClassName, "TExamEvent");
  EXPECT_FALSE(CreatesEvent("FINALTEST"));
  EXPECT_FALSE(CreatesEvent("DANCE"));
  EXPECT_EQ(FindEventKeyword("text"), nullptr);  // compared after upper-casing only
}

struct Loader : ::testing::Test {
  test::TempDir dir;
  FakeLearner learner;
  test::FakeKeyboard keyboard;
  test::RecordingDialogs boxes;
  ScopedPolicy policy;
  FakeFactory factory;
  FakePresenter views;
  std::unique_ptr<TContents> course;

  void SetUp() override {
    const std::string path = (dir / "ENG1.CNT").string();
    test::writeFile(path,
                    "begin chapter\r\nnew keys=asdf\r\nnew keys=jkl\r\nbegin exercise\r\n"
                    "type=Drill\r\nevent=HTMLMESSAGE;0;a.htm\r\nevent=HTMLMESSAGE;0;b.htm\r\n"
                    "event=TEXT;1;file:t.txt\r\nevent=EXAM;1\r\nend exercise\r\n"
                    "end chapter\r\n");
    course = std::make_unique<TContents>(path, -1, 0, CourseServices{&learner, &keyboard});
  }
  TEventLoader& event(int n) { return *course->Lessons[0]->Exercises[0]->Events[n - 1]; }
  EventRuntime rt() { return {factory, &views, &learner}; }
  int run(TEventLoader& loader) { return loader.Execute(rt()); }
  int runLine(const std::string& line) {
    TEventLoader loader(line);
    loader.ResultShowMode = 1;
    return run(loader);
  }
  static void typedText(TResultItem& r) {
    r.Kind = "TEXT";
    r.Valid = true;
    r.Passed = true;
    r.Complete = true;
    r.TypingSeconds = 60;
    r.StudySeconds = 70;
  }
};

TEST_F(Loader, EveryKeywordCreatesItsEvent) {
  for (const EventKeyword& kw : EventKeywords()) {
    factory.handed.clear();
    const int result = runLine(std::string("event;") + kw.Keyword + ";2;x");
    if (std::string(kw.ClassName).empty()) {
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(factory.handed.empty());
      continue;
    }
    ASSERT_EQ(factory.handed.size(), 1u) << kw.Keyword;
    EXPECT_EQ(factory.handed[0].ClassName, kw.ClassName);
    EXPECT_EQ(factory.handed[0].Line, std::string("event;") + kw.Keyword + ";2;x");
    EXPECT_EQ(factory.handed[0].TimeLimit, kw.Timed ? 2 : 0) << kw.Keyword;
  }
  factory.handed.clear();
  EXPECT_EQ(runLine("event;DANCE;1"), 1);
  EXPECT_TRUE(factory.handed.empty());
  // A line that runs nothing fails nothing: its exercise can be completed.
  TEventLoader dance("event;DANCE;1");
  EXPECT_EQ(run(dance), 1);
  EXPECT_TRUE(dance.Checked);
}

TEST_F(Loader, TheResultReachesTheLearnersResults) {
  factory.fill = typedText;
  learner.settings.WriteInteger("TimeStudied", 100);
  TEventLoader& text = event(3);
  text.CourseId = "ENG1";
  text.ExerciseTime = 30;
  EXPECT_EQ(run(text), 1);
  ASSERT_EQ(learner.results.size(), 1u);
  const TResultItem& r = learner.results[0];
  EXPECT_EQ(r.Source, "BKM");
  EXPECT_EQ(r.CourseId, "ENG1");
  EXPECT_EQ(r.Chapter, 1);
  EXPECT_EQ(r.Exercise, 1);
  EXPECT_EQ(r.Event, 3);
  EXPECT_EQ(r.ExerciseType, "Drill");
  EXPECT_EQ(r.ErrorFactor, 5);
  EXPECT_TRUE(r.Checked);
  EXPECT_EQ(r.ExerciseStudySeconds, 100);
  EXPECT_EQ(text.ExerciseTime, 100);
  EXPECT_EQ(text.TimeStudied, 70);
  EXPECT_TRUE(text.Checked);
  EXPECT_EQ(learner.settings.ReadInteger("TimeStudied"), 170);
  EXPECT_EQ(learner.saves, 1);
  EXPECT_TRUE(learner.demoted.empty());
  EXPECT_EQ(views.calls, (std::vector<std::string>{"info TEXT 2"}));

  // The event knows where it stands among the exercise's opening pages.
  const Handed& h = factory.handed[0];
  EXPECT_EQ(h.PageCount, 2);
  EXPECT_EQ(h.CourseId, "ENG1");
  EXPECT_EQ(h.ActiveKeys, "asdfjkl");
  EXPECT_EQ(learner.keyLevel, 2);

  // A message page counts 1 as its error factor; the next result gets the next number.
  factory.fill = [](TResultItem& r) { r.StudySeconds = 5; };
  run(event(1));
  EXPECT_EQ(learner.results[1].ErrorFactor, 1);
  EXPECT_EQ(learner.results[1].Number, 1);
}

TEST_F(Loader, ViewAnswersBecomeCloseResults) {
  factory.fill = typedText;
  const std::vector<std::pair<int, int>> answers = {{0, 0}, {1, 1}, {98, 5}, {97, 7}, {42, 4}};
  for (auto [answer, expected] : answers) {
    views.answer = answer;
    EXPECT_EQ(run(event(3)), expected) << answer;
  }
  views.calls.clear();
  event(3).ResultShowMode = 1;
  EXPECT_EQ(run(event(3)), 3);
  EXPECT_TRUE(views.calls.empty());
}

TEST_F(Loader, CancelledOrUnmeasuredEventsShowNoResult) {
  factory.fill = [](TResultItem& r) {
    r.Kind = "TIME";
    r.TypingSeconds = 30;
  };
  EXPECT_EQ(run(event(3)), 3);
  EXPECT_TRUE(views.calls.empty());
  EXPECT_TRUE(learner.results.back().Checked);

  factory.fill = typedText;
  factory.closeResult = 2;
  EXPECT_EQ(run(event(3)), 2);
  EXPECT_TRUE(views.calls.empty());
  EXPECT_FALSE(learner.results.back().Checked);
  EXPECT_EQ(learner.demoted.size(), 1u);  // an attempt not passed demotes an older one

  // Closed without a choice: the event's own verdict counts.
  factory.closeResult = 0;
  run(event(3));
  EXPECT_TRUE(learner.results.back().Checked);
}

TEST_F(Loader, CloseResultsOutsideTheKnownRangeBecomeZero) {
  for (auto [raw, expected] :
       std::vector<std::pair<int, int>>{{8, 0}, {-3, 0}, {599, 0}, {600, 600}, {7, 7}}) {
    factory.closeResult = raw;
    EXPECT_EQ(runLine("event;TEXT;1"), expected) << raw;
    EXPECT_EQ(ClampCloseResult(raw), expected);
  }
}

TEST_F(Loader, GamesGoToTheirHighScoreList) {
  factory.fill = [](TResultItem& r) {
    r.Kind = "GAME";
    r.GameScore = 900;
  };
  TEventLoader game("event;WORDTRIS;2");
  game.GameWordList = {"cat", "dog"};
  run(game);
  EXPECT_EQ(views.calls.back(), "topten Ann Wordtris");
  EXPECT_TRUE(factory.handed.back().HasGameWords);

  Localize().SetString(17, "Player");
  policy->WriteBool("hide_topten_names", true);
  run(game);
  EXPECT_EQ(views.calls.back(), "topten Player Wordtris");
  policy->WriteBool("hide_topten_names", false);
  learner.name = "Visitor%%";
  run(game);
  EXPECT_EQ(views.calls.back(), "topten Player Wordtris");

  TEventLoader text("event;TEXT;2");
  text.GameWordList = {"cat"};
  run(text);
  EXPECT_FALSE(factory.handed.back().HasGameWords);
}

TEST_F(Loader, TestsNeedMoreThanTenSecondsAndTheirEnd) {
  factory.fill = [](TResultItem& r) {
    r.Kind = "TEST";
    r.Valid = true;
    r.Complete = true;
    r.TypingSeconds = 10;
  };
  TEventLoader& exam = event(4);
  run(exam);
  EXPECT_TRUE(learner.results.empty());
  EXPECT_FALSE(exam.Checked);

  factory.fill = [](TResultItem& r) {
    r.Kind = "TEST";
    r.Valid = true;
    r.Complete = false;
    r.TypingSeconds = 60;
  };
  run(exam);
  ASSERT_EQ(learner.results.size(), 1u);
  EXPECT_FALSE(learner.results[0].Checked);
  EXPECT_EQ(learner.results[0].ExerciseType, "Drill (1.1)");

  // Too little typing to judge is never a pass.
  factory.fill = [](TResultItem& r) {
    r.Kind = "TEXT";
    r.Valid = false;
    r.TypingSeconds = 9;
  };
  run(event(3));
  EXPECT_FALSE(learner.results.back().Checked);
}

// An exam typed to the end counts as passed only when it met its criteria: the exercise it
// ends is then complete and the course moves on.
TEST_F(Loader, AnExamCountsAsPassedOnlyWhenItMetItsCriteria) {
  for (const bool passed : {false, true}) {
    factory.fill = [passed](TResultItem& r) {
      r.Kind = "TEST";
      r.Valid = true;
      r.Complete = true;
      r.Passed = passed;
      r.TypingSeconds = 60;
    };
    TEventLoader& exam = event(4);
    run(exam);
    EXPECT_EQ(learner.results.back().Checked, passed);
    EXPECT_EQ(exam.Checked, passed);
  }
}

TEST_F(Loader, ReviewCoursesKeepTheirResultsToThemselves) {
  factory.fill = typedText;
  TEventLoader& text = event(3);
  text.SaveResults = false;
  run(text);
  EXPECT_TRUE(learner.results.empty());
  EXPECT_EQ(learner.saves, 0);
  EXPECT_TRUE(text.Checked);
}

TEST_F(Loader, TheTypingTestsExamRunsAsAnInternalExam) {
  factory.fill = [](TResultItem& r) {
    r.Kind = "TEST";
    r.Complete = true;
    r.TypingSeconds = 120;
  };
  TEventLoader test("Event=EXAMINTERNAL;0;The text;False;20;90;0;18;1");
  test.ResultSource = "NAME";
  test.SourceName = "TEST4";
  test.TestName = "Fox";
  test.TimeLimit = 180;
  run(test);
  EXPECT_TRUE(factory.handed[0].Internal);
  EXPECT_EQ(factory.handed[0].EventType, "EXAM");
  EXPECT_EQ(factory.handed[0].TimeLimit, 180);
  EXPECT_EQ(test.Keyword(), "EXAM");
  ASSERT_EQ(learner.results.size(), 1u);
  EXPECT_EQ(learner.results[0].Source, "NAME");
  EXPECT_EQ(learner.results[0].Name, "TEST4");
  EXPECT_EQ(learner.results[0].TestName, "Fox");
  EXPECT_EQ(learner.results[0].CourseId, "");
  EXPECT_EQ(learner.results[0].ExerciseType, "");  // outside a lesson nothing is appended
}

TEST_F(Loader, BuilderEventsGoThroughTheWizardResult) {
  factory.fill = typedText;
  TEventLoader builder("Event=Builder;4;GUI;");
  builder.KeyLevel = 2;
  builder.KnownKeys = "fj";
  run(builder);
  EXPECT_EQ(factory.handed[0].BuilderTime, 4);
  EXPECT_EQ(factory.handed[0].BuilderKeyLevel, 2);
  EXPECT_EQ(factory.handed[0].ActiveKeys, "fj");
  EXPECT_EQ(views.calls, (std::vector<std::string>{"prepare fj", "collect", "wizard"}));
}

TEST_F(Loader, ActiveGoalsReachTheExerciseResult) {
  factory.fill = typedText;
  factory.goals = {true, 95, 97, 200, 180, 150, 120, 240};
  TEventLoader& text = event(3);
  text.DynamicDuration = true;
  run(text);
  EXPECT_TRUE(views.goals.Active);
  EXPECT_EQ(views.goals.GoalAccuracy, 95);
  EXPECT_EQ(views.goals.BaseTime, 240);
  EXPECT_TRUE(views.dynamicDuration);
  factory.goals.Active = false;
  run(text);
  EXPECT_FALSE(views.goals.Active);
  EXPECT_EQ(views.goals.GoalAccuracy, 0);
}

TEST_F(Loader, WithoutALearnerTheEventRunsAndNothingIsStored) {
  factory.fill = typedText;
  EventRuntime alone{factory, &views, nullptr};
  EXPECT_EQ(event(3).Execute(alone), 3);
  EXPECT_TRUE(learner.results.empty());
  EXPECT_TRUE(views.calls.empty());
}

}  // namespace
}  // namespace ks
