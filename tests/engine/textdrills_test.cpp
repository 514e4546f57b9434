// Row, sentence and word drills typed end to end under a fake clock.
#include <gtest/gtest.h>

#include "drilltest.h"
#include "engine/resultfill.h"
#include "engine/textdrill.h"
#include "engine/textmodel.h"
#include "platform/systemkeyboard.h"
#include "store/dynamicsettings.h"
#include "store/resultitem.h"

namespace ks {
namespace {

struct TextDrills : ::testing::Test, test::DrillBench {
  TextModel view;
  std::unique_ptr<TextDrill> drill;

  void SetUp() override { loadLayout(); }
  void start(TextDrill::Variant v, const std::string& text,
             std::vector<std::string> fields = {"Event", "SENTENCE2", "0", "text"}) {
    view.SetMode(TextModel::CharacterMode);
    drill = std::make_unique<TextDrill>(context(), view, v);
    host.Reset();
    drill->Setup(test::drillLine(fields), text);
  }
  void type(const std::string& keys, int ms = 200) { DrillBench::type(*drill, keys, ms); }
  void wait(int ms) { DrillBench::wait(*drill, ms); }
  TResultItem result() {
    TResultItem r;
    const ResultSources src{measures, keys.CurrentDifficulties(), Localize(), 5};
    drill->FillResult(r, src);
    return r;
  }
};

// A sentence drill wants Enter at its line ends unless the line says "NOENTER".
TEST_F(TextDrills, ASentenceDrillWantsEnterAtLineEnds) {
  start(TextDrill::Variant::Sentence, "Ab cd.\r\nEf.");
  EXPECT_TRUE(drill->EnterOnly);
  type("Ab cd. ");  // Space for Enter: wrong
  EXPECT_EQ(view.ExpectedChar(), 13);
  EXPECT_EQ(counters().Errors, 1);
  type("|Ef.|");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(drill->ProgressPercent(), 100);
  const TResultItem r = result();
  EXPECT_EQ(r.SubKind, "KS");
  EXPECT_TRUE(r.HasMeasures);

  start(TextDrill::Variant::Sentence, "Ab\r\ncd", {"Event", "SENTENCE2", "0", "t", "NOENTER"});
  EXPECT_FALSE(drill->EnterOnly);
  type("Ab cd ");
  EXPECT_EQ(host.State(), esFinished);
}

// The next key lights up after the learner's delay (2500 ms unless set), with its finger even
// on a layout without finger guidance; a wrong key shows at once beside the expected one.
TEST_F(TextDrills, TheNextKeyAndItsFingerShowAfterTheDelay) {
  layout.FingerGuide = false;
  start(TextDrill::Variant::Row, "sun\r\nsea", {"Event", "WORD2", "0", "t"});
  EXPECT_EQ(drill->KeyDelay, 2500);
  wait(2499);
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(display.finger(), 0);
  wait(1);
  EXPECT_EQ(lit(), std::set<std::string>{"s"});
  EXPECT_EQ(display.finger(), 2);
  type("s", 100);
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(display.finger(), 0);
  type("x", 100);
  EXPECT_EQ(lit(), std::set<std::string>{"u"});
  EXPECT_EQ(struck(), std::set<std::string>{"x"});
  EXPECT_EQ(display.finger(), 5);
  // A row drill's line end shows the space bar, and Space does for Enter.
  type("un", 100);
  wait(2500);
  EXPECT_EQ(view.ExpectedChar(), 13);
  EXPECT_EQ(lit(), std::set<std::string>{"Space"});
  type(" sea ", 100);
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(result().SubKind, "KR");
}

TEST_F(TextDrills, ALearnersDelayAndThePressedKey) {
  TDynamicSettings settings;
  settings.Open("", omMemory);
  settings.WriteInteger("WordDrillKeyboardDelay", 300);
  DrillSetup setup = test::drillLine({"Event", "WORD2", "0", "t"});
  setup.UserSettings = &settings;
  view.SetMode(TextModel::CharacterMode);
  drill = std::make_unique<TextDrill>(context(), view, TextDrill::Variant::Row);
  drill->Setup(setup, "ab");
  EXPECT_EQ(drill->KeyDelay, 300);
  type("a", 100);
  EXPECT_EQ(keyboard->PressedKey(), keyboard->KeyIndexOf('a'));
  drill->KeyUp();
  EXPECT_EQ(keyboard->PressedKey(), -1);
  wait(300);
  EXPECT_EQ(lit(), std::set<std::string>{"b"});
  // The drill shows which keys have been taught.
  setup.ActiveKeys = "ab";
  drill->Setup(setup, "ab");
  EXPECT_EQ(keysWith(&KeyDisplay::Marked), (std::set<std::string>{"a", "b"}));
}

// Caps Lock would turn every letter into a wrong key: a drill switches it off.
TEST_F(TextDrills, CapsLockIsSwitchedOff) {
  struct CapsKeyboard : NullSystemKeyboard {
    bool on = true;
    bool capsLockOn() override { return on; }
    void setCapsLock(bool value) override { on = value; }
  } system;
  setSystemKeyboard(&system);
  start(TextDrill::Variant::Sentence, "ab");
  type("A");
  EXPECT_FALSE(system.on);
  setSystemKeyboard(nullptr);
}

TEST_F(TextDrills, AnEmptyTextFinishesCleanlyWithoutProgress) {
  start(TextDrill::Variant::Sentence, "");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(host.progress.back(), 0);
  EXPECT_EQ(drill->ProgressPercent(), 0);
}

TEST_F(TextDrills, TheOlderDrillsBeepAtEveryWrongKeyAndKeepTimeOnly) {
  start(TextDrill::Variant::OlderRow, "ab", {"Event", "KEYBROW", "0", "t"});
  type("xxab|");
  EXPECT_EQ(sound.errors(), 2);
  EXPECT_EQ(counters().Errors, 0);
  EXPECT_EQ(host.State(), esFinished);
  const TResultItem r = result();
  EXPECT_EQ(r.SubKind, "KB");
  EXPECT_FALSE(r.HasMeasures);
}

// A dead key typed in a drill shows what follows it and its finger.
TEST_F(TextDrills, ADeadKeyShowsWhatFollowsIt) {
  start(TextDrill::Variant::Sentence, "ab");
  drill->DeadKeyTyped('\xB4');
  EXPECT_EQ(struck(), std::set<std::string>{"Space"});
  EXPECT_EQ(display.finger(), 9);
}

// The older word drill: one word at a time, offered again until typed without a wrong key
// often enough or tried often enough.
struct WordDrills : ::testing::Test, test::DrillBench {
  SingleWordModel word;
  std::unique_ptr<WordDrill> drill;
  void SetUp() override { loadLayout(); }
  void type(const std::string& keys, int ms = 200) { DrillBench::type(*drill, keys, ms); }
};

TEST_F(WordDrills, AWordIsRepeatedUntilTypedCleanlyEnough) {
  drill = std::make_unique<WordDrill>(context(), word);
  drill->Setup(test::drillLine({"Event", "WORD", "0", "t", "x", "2", "3"}), "sea\r\nsun");
  EXPECT_EQ(word.Word(), "sea");
  EXPECT_EQ(word.Terminator, ' ');
  type("sea ");
  EXPECT_EQ(word.Word(), "sea");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  type("sxea ");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  type("sea ");
  EXPECT_EQ(word.Word(), "sun");
  EXPECT_EQ(drill->Counter.Tries, 0);
  // Three tries with wrong keys move on too.
  type("xsun xsun xsun ");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(sound.errors(), 4);

  drill = std::make_unique<WordDrill>(context(), word);
  host.Reset();
  drill->Setup(test::drillLine({"Event", "WORD", "0", "t"}), "");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(drill->ProgressPercent(), 0);
}

}  // namespace
}  // namespace ks
