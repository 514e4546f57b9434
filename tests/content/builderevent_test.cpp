// The builder event: which keys it settles on, the drills and games it runs on built texts, and
// the ways it ends without practice material.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "analysis/diffkeys.h"
#include "content/builderevent.h"
#include "content/eventline.h"
#include "platform/random.h"
#include "reviewfixtures.h"
#include "store/langres.h"
#include "store/resultitem.h"

namespace ks {
namespace {

using test::FakeKeyboard;
using test::FakeLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;
using test::TempDir;

struct EventRun {
  std::string Keyword, Line, ActiveKeys, Text;
  int TimeLimit = 0;
  std::vector<std::string> GameWords;
};

class FakeFactory : public EventFactory {
 public:
  class Event : public LessonEvent {
   public:
    Event(FakeFactory& f, std::string kw, std::string line)
        : f_(f), kw_(std::move(kw)), line_(std::move(line)) {}
    int Execute(const EventHandover& h) override {
      EventRun run{kw_,         line_, h.ActiveKeys, h.TextOverride ? *h.TextOverride : "",
                   h.TimeLimit, {}};
      if (h.GameWords) run.GameWords = *h.GameWords;
      f_.runs.push_back(run);
      auto it = f_.results.find(kw_);
      return it == f_.results.end() ? 3 : it->second;
    }

   private:
    FakeFactory& f_;
    std::string kw_, line_;
  };
  std::unique_ptr<LessonEvent> Create(const EventKeyword& kw, const std::string& line) override {
    return std::make_unique<Event>(*this, kw.Keyword, line);
  }
  std::vector<EventRun> runs;
  std::map<std::string, int> results;
};

class FakePresenter : public ResultPresenter {
 public:
  void PrepareWizard(const std::string& keys) override { prepared.push_back(keys); }
  void CollectWizardResult() override {}
  void SetExerciseGoals(const EventGoals&, bool) override {}
  int ShowWizardResult(TResultItem&) override { return 1; }
  int ShowExerciseInfo(TResultItem&, int) override { return 1; }
  int ShowTopTen(TResultItem&, const std::string&, const std::string&) override { return 1; }
  std::vector<std::string> prepared;
};

struct Choice {
  int answer = 1;
  int source = 3;
  std::string keys;
  int method = 1;
  // What the event told the view.
  int shown = 0;
  std::string studied, difficult;
  const TDifficultKeys* difficulties = nullptr;
  bool textAndGames = true;
};

class ScriptedChoice : public BuilderChoice {
 public:
  explicit ScriptedChoice(Choice& c) : c_(c) {}
  int RunModal() override {
    ++c_.shown;
    c_.studied = StudiedKeysText;
    c_.difficult = DifficultKeysText;
    c_.difficulties = Difficulties;
    c_.textAndGames = TextAndGamesAllowed;
    KeySource = c_.source;
    ChosenKeys = c_.keys;
    ReviewMethod = c_.method;
    return c_.answer;
  }

 private:
  Choice& c_;
};

class BuilderEvent : public ::testing::Test {
 protected:
  BuilderEvent() {
    for (int id : {97, 98, 325}) Localize().SetString(id, "<" + std::to_string(id) + ">");
    test::SmallWordData().writeTo(dir.path());
    policy->WriteString("DefaultWizard", "eng");
    test::addKeyOrder(learner);
    learner.keyLevel = 2;
    services.Factory = &factory;
    services.Presenter = &presenter;
    services.Env.Learner = &learner;
    services.Env.LessonsPath = dir.path();
    services.Keyboard = &keyboard;
    services.Rng = &random;
    services.MakeChoice = [this] { return std::make_unique<ScriptedChoice>(choice); };
    handover.Result = &item;
    handover.BuilderTime = 120;
  }
  int run(const std::string& line = "Event=Builder;0;GUI;") {
    event = std::make_unique<TBuilderEvent>(line, services);
    return event->Execute(handover);
  }

  ScopedPolicy policy;
  RecordingDialogs boxes;
  TempDir dir;
  FakeLearner learner;
  FakeKeyboard keyboard;
  FakeFactory factory;
  FakePresenter presenter;
  SeededRandom random{5};
  BuilderEventServices services;
  Choice choice;
  TResultItem item;
  EventHandover handover;
  std::unique_ptr<TBuilderEvent> event;
};

TEST_F(BuilderEvent, AKeyDrillOfTheChosenKeysLeadsToAWordDrill) {
  choice.keys = "fjf";
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(event->Keys, "fj");
  EXPECT_EQ(event->KeyLevel, 2);
  EXPECT_EQ(presenter.prepared, (std::vector<std::string>{"fj"}));
  ASSERT_EQ(factory.runs.size(), 2u);
  const EventRun& keys = factory.runs[0];
  EXPECT_EQ(keys.Keyword, "KEY2");
  EXPECT_EQ(keys.Line.rfind("Event;KEY2;0;", 0), 0u);
  EXPECT_EQ(keys.TimeLimit, 60) << "half the builder's time";
  const EventRun& words = factory.runs[1];
  EXPECT_EQ(words.Keyword, "WORD2");
  EXPECT_EQ(words.Line, "Event;Word2;0;NIL;True");
  EXPECT_NE(words.Text.find("flask flask flask"), std::string::npos);
  EXPECT_EQ(words.Text.find("field"), std::string::npos) << "level 3 is not reached";
  EXPECT_EQ(words.ActiveKeys, "fjdksla;");
  EXPECT_EQ(words.TimeLimit, 180) << "2 + 2/3 minutes, rounded";
  EXPECT_TRUE(item.Checked);
  EXPECT_TRUE(item.Valid);
  EXPECT_TRUE(item.Complete);
  EXPECT_EQ(item.SubKind, "REV");
}

TEST_F(BuilderEvent, ACancelledKeyDrillEndsTheEvent) {
  choice.keys = "fj";
  factory.results["KEY2"] = 2;
  EXPECT_EQ(run(), 2);
  EXPECT_EQ(factory.runs.size(), 1u);
  EXPECT_FALSE(item.Checked);
  EXPECT_EQ(item.SubKind, "REV");
}

TEST_F(BuilderEvent, WordDrillTimeFollowsTheKeyCountOnlyWithGui) {
  choice.keys = "fjdk";
  choice.method = 2;
  EXPECT_EQ(run(), 3);
  ASSERT_EQ(factory.runs.size(), 1u);
  EXPECT_EQ(factory.runs[0].TimeLimit, 240);
  factory.runs.clear();
  EXPECT_EQ(run("Event=Builder;2;"), 3);
  ASSERT_EQ(factory.runs.size(), 1u);
  EXPECT_EQ(factory.runs[0].TimeLimit, 120);
}

TEST_F(BuilderEvent, NoKeysEndTheEventWithAMessageInsteadOfACrash) {
  // Difficult keys asked for, but there are none.
  choice.source = 1;
  for (int method : {1, 2, 5, 6}) {
    choice.method = method;
    boxes.boxes.clear();
    EXPECT_EQ(run(), 2) << method;
    ASSERT_EQ(boxes.boxes.size(), 1u) << method;
    EXPECT_EQ(boxes.boxes[0].text, method == 1 ? "<325>" : "<97>");
  }
  EXPECT_TRUE(factory.runs.empty());
}

TEST_F(BuilderEvent, KeysWithoutWordsEndTheWordDrillButNotAKeyDrill) {
  choice.keys = "zq";
  choice.method = 2;
  EXPECT_EQ(run(), 2);
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"<97>"}));
  boxes.boxes.clear();
  choice.method = 1;
  EXPECT_EQ(run(), 3) << "the key drill's result stands";
  EXPECT_TRUE(boxes.boxes.empty());
  ASSERT_EQ(factory.runs.size(), 1u);
}

TEST_F(BuilderEvent, KeysChosenInAResultViewSkipTheChoice) {
  learner.settings.WriteString("CustomReviewKeysOnce", "jf");
  choice.method = 2;  // would be a word drill if the choice were shown
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(choice.shown, 0);
  EXPECT_EQ(event->Keys, "jf");
  EXPECT_EQ(event->ReviewMethod, 1);
  ASSERT_FALSE(factory.runs.empty());
  EXPECT_EQ(factory.runs[0].Keyword, "KEY2");
}

TEST_F(BuilderEvent, UnusableTypedKeysFallBackToTheDifficultOnes) {
  TDifficultKeys keys(8);
  for (int i = 0; i < 20; ++i) {
    keys.recordKey('j', i % 2 == 0);
    keys.recordKey('f', false);
  }
  keys.updateStatistics();
  services.Difficulties = &keys;
  choice.keys = "!?";
  choice.method = 2;
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"<97>\r<98>"}));
  EXPECT_EQ(choice.difficult, "j");
  EXPECT_EQ(choice.difficulties, &keys);  // for the view's chart of them
  EXPECT_EQ(event->Keys, "j");
}

TEST_F(BuilderEvent, TheChoiceSeesTheLessonKeysAndAnswersOtherThanOneEndTheEvent) {
  handover.BuilderKeyLevel = 2;
  services.Env.CourseLoaded = true;  // a course without word data of its own
  choice.answer = 2;
  EXPECT_EQ(run(), 2);
  EXPECT_EQ(choice.studied, "sla;");
  EXPECT_FALSE(choice.textAndGames);
  EXPECT_TRUE(factory.runs.empty());
  EXPECT_EQ(item.SubKind, "REV");
}

TEST_F(BuilderEvent, GamesPlayTheBuiltWords) {
  choice.keys = "j";
  choice.method = 6;
  learner.keyLevel = 4;
  EXPECT_EQ(run(), 3);
  ASSERT_EQ(factory.runs.size(), 1u);
  EXPECT_EQ(factory.runs[0].Keyword, "WORDTRIS");
  EXPECT_EQ(factory.runs[0].Line, "Tris;Tris;0;-none-.vcb." + ActiveLanguage);
  std::vector<std::string> words = factory.runs[0].GameWords;
  std::sort(words.begin(), words.end());
  EXPECT_EQ(words, (std::vector<std::string>{"jalj", "jeff", "juries"}));
  EXPECT_EQ(factory.runs[0].TimeLimit, 120);
}

TEST_F(BuilderEvent, KeysTheLayoutLacksBringTheLearnersLayoutBack) {
  TKeyDataExt layout;
  ASSERT_EQ(test::loadShippedLayout(layout, dir, "qwerty.kbd"), 1);
  EXPECT_TRUE(layoutTypes(layout, "fj;.'"));
  EXPECT_FALSE(layoutTypes(layout, "f\xFC"));
  services.Env.Layout = &layout;
  learner.layoutFile = "missing.kbd";
  choice.keys = "f\xFC";
  run();
  EXPECT_EQ(keyboard.loaded, (std::vector<std::string>{"missing.kbd"}));
  ASSERT_FALSE(boxes.boxes.empty());
  EXPECT_NE(boxes.boxes[0].text.find("missing.kbd"), std::string::npos);
}

TEST(BuilderLevels, TheLevelRisesToCoverEachKey) {
  FakeLearner learner;
  test::addKeyOrder(learner);  // fjdk, sla;, ei, ru
  EXPECT_EQ(levelCovering(learner, "e", 1), 3);
  EXPECT_EQ(levelCovering(learner, "eu", 1), 4);
  EXPECT_EQ(levelCovering(learner, "f", 2), 2) << "keys of earlier groups leave the level";
  EXPECT_EQ(levelCovering(learner, "z", 1), 99);
  EXPECT_EQ(levelCovering(learner, "z", 3), 3);
  EXPECT_EQ(builderDrillMinutes(4), 4);
  EXPECT_EQ(builderDrillMinutes(1), 2);
}

TEST(BuilderLevels, StudiedKeysLeaveOutCapitalsUnlessThatLeavesNothing) {
  FakeLearner learner;
  learner.keyOrder = {"fjdk", "FJDK", "ABCDE,", ""};
  EXPECT_EQ(studiedKeysText(learner, 1), "fjdk");
  EXPECT_EQ(studiedKeysText(learner, 2), "FJDK");
  EXPECT_EQ(studiedKeysText(learner, 3), ",") << "the comma is no capital";
  EXPECT_EQ(studiedKeysText(learner, 4), ",") << "an empty group offers the one before";
  learner.keyOrder = {"ABCDE"};
  EXPECT_EQ(studiedKeysText(learner, 1), "ABC");
  EXPECT_EQ(withoutCapitals("aBc;D"), "ac;");
}

}  // namespace
}  // namespace ks
