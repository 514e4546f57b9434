// The new-key drills typed end to end under a fake clock: group cutting, repetitions, the
// one-second reset, the pause between groups, cap states and the finish.
#include <gtest/gtest.h>

#include "drilltest.h"
#include "engine/keygroupdrill.h"
#include "engine/resultfill.h"
#include "store/resultitem.h"

namespace ks {
namespace {

std::vector<std::string> groupsOf(const std::string& text, unsigned char sep, bool older = false) {
  std::vector<std::string> out;
  size_t pos = 0;
  for (;;) {
    std::string g = older ? TakeOlderKeyGroup(text, pos, sep) : TakeKeyGroup(text, pos, sep);
    if (g.empty()) return out;
    out.push_back(g);
  }
}

using Groups = std::vector<std::string>;

TEST(KeyGroupCutting, AtTheFourthBlankAndAtLineEnds) {
  EXPECT_EQ(groupsOf("abc def ghi jkl mno", ' '), (Groups{"abc def ghi jkl ", "mno"}));
  // A line break after keys ends the group and is not typed.
  EXPECT_EQ(groupsOf("fj fj\r\njf\nkd\r\n", ' '), (Groups{"fj fj", "jf", "kd"}));
  // With Enter as the separator the blanks become Enter.
  EXPECT_EQ(groupsOf("ab cd ef gh ij", 13), (Groups{"ab\rcd\ref\rgh\r", "ij"}));
  // Leading breaks and blank-only lines are skipped rather than typed.
  EXPECT_EQ(groupsOf("\r\n\r\nab \r\ncd", ' '), (Groups{"ab ", "cd"}));
  // The older drill: four keys, no blanks or breaks, and the separator.
  EXPECT_EQ(groupsOf("as df\r\njkl; g", ' ', true), (Groups{"asdf ", "jkl; ", "g "}));
  EXPECT_TRUE(groupsOf("", ' ').empty());
  EXPECT_TRUE(groupsOf(" \r\n ", ' ', true).empty());
}

struct KeyGroups : ::testing::Test, test::DrillBench {
  std::unique_ptr<KeyGroupDrill> drill;

  void SetUp() override { loadLayout(); }
  void start(const std::string& text, std::vector<std::string> fields = {},
             KeyGroupDrill::Generation g = KeyGroupDrill::Generation::Current) {
    drill = std::make_unique<KeyGroupDrill>(context(), g);
    host.Reset();
    if (fields.empty()) fields = {"Event", "KEY2", "0", "text"};
    drill->Setup(test::drillLine(fields), text);
  }
  void type(const std::string& keys, int ms = 200) { DrillBench::type(*drill, keys, ms); }
  void wait(int ms) { DrillBench::wait(*drill, ms); }
  const std::string& group() const { return drill->Groups().Group(); }
};

// Repetitions count groups typed without a wrong key; a group is offered until the target is
// reached or the tries are used up, and the count falls back to 0 a second after the target.
TEST_F(KeyGroups, AGroupIsOfferedUntilItsRepetitionsOrTriesAreDone) {
  start("fj fj\r\njf\r\nkd", {"Event", "KEY2", "0", "text", "x", "3", "5"});
  EXPECT_EQ(drill->Counter.RepeatTarget(), 3);
  EXPECT_EQ(drill->Counter.MaxTries, 5);
  EXPECT_TRUE(display.visible);
  EXPECT_EQ(group(), "fj fj");
  type("fj fj");
  EXPECT_TRUE(drill->Pausing());
  wait(KeyGroupDrill::kGroupPauseMs);
  EXPECT_EQ(group(), "fj fj");  // once more
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  type("fxj fj");  // a wrong key: tried, not counted
  wait(400);
  EXPECT_EQ(drill->Counter.Tries, 2);
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  type("fj fj");
  wait(400);
  type("fj fj");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 3);
  EXPECT_EQ(display.correct, 3);
  wait(400);
  EXPECT_EQ(group(), "jf");  // the target is reached
  EXPECT_EQ(drill->Counter.Tries, 0);
  EXPECT_EQ(drill->Counter.CorrectInRow(), 3);  // still on show
  wait(600);
  EXPECT_EQ(drill->Counter.CorrectInRow(), 0);  // a second after the target
  EXPECT_EQ(display.correct, 0);

  // Five tries with errors are enough too; the next group counts from 0.
  for (int i = 0; i < 4; ++i) {
    type(i == 0 ? "jf" : "xjf");
    wait(400);
  }
  EXPECT_EQ(group(), "jf");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  type("jxf");
  wait(400);
  EXPECT_EQ(group(), "kd");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 0);
  EXPECT_EQ(host.State(), esRunning);
  type("kd");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
  wait(400);
  type("kd");
  wait(400);
  type("kd");
  wait(400);
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(drill->ProgressPercent(), 100);
  EXPECT_EQ(host.progress.back(), 100);
  // The end lights Enter and its finger.
  EXPECT_EQ(lit(), std::set<std::string>{"Enter"});
  EXPECT_EQ(display.finger(), 8);
  EXPECT_EQ(counters().Errors, 5);
}

// A learner who types on within the second after the target must not carry the full count into
// the next group.
TEST_F(KeyGroups, TypingOnClearsAFullCountAtOnce) {
  start("fj\r\njf", {"Event", "KEY2", "0", "text", "x", "2", "4"});
  type("fj");
  wait(400);
  type("fj");
  wait(400);
  EXPECT_EQ(group(), "jf");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 2);
  type("j");
  EXPECT_EQ(drill->Counter.CorrectInRow(), 0);
  type("f");
  wait(400);
  EXPECT_EQ(group(), "jf");  // one repetition is not two
  EXPECT_EQ(drill->Counter.CorrectInRow(), 1);
}

TEST_F(KeyGroups, KeysTypedDuringThePauseGoToTheNextGroup) {
  start("fj\r\njf");
  type("fj");
  EXPECT_TRUE(drill->Pausing());
  type("jf", 100);  // before the next group shows
  EXPECT_EQ(group(), "fj");
  wait(200);
  EXPECT_EQ(group(), "jf");
  EXPECT_TRUE(drill->Groups().Typed());
  EXPECT_EQ(host.State(), esRunning);
  wait(400);
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(counters().Errors, 0);
}

TEST_F(KeyGroups, CapsShowHowEachKeyWasTypedAndEachPartHowItWent) {
  start("ab cd ef gh ij");
  EXPECT_EQ(group(), "ab cd ef gh ");
  const KeyGroupModel& g = drill->Groups();
  EXPECT_EQ(g.PartCount(), 4);
  const std::vector<CapPlace> places = g.Places();
  EXPECT_EQ(places[3].Row, 0);  // "c": the second part of the first row
  EXPECT_EQ(places[3].Column, 3);
  EXPECT_EQ(places[6].Row, 1);  // "e" starts the second row
  EXPECT_EQ(places[6].Column, 0);
  type("a");
  type("x");
  type("xb ");
  EXPECT_EQ(g.StateOf(0), CapState::Right);
  EXPECT_EQ(g.StateOf(1), CapState::Corrected);
  EXPECT_EQ(g.StateOf(2), CapState::Right);
  EXPECT_EQ(g.StateOf(3), CapState::Current);
  EXPECT_EQ(g.StateOf(4), CapState::Pending);
  EXPECT_EQ(g.ResultOf(0), PartResult::Fail);
  EXPECT_EQ(g.ResultOf(1), PartResult::Open);
  EXPECT_EQ(counters().Errors, 1);  // two wrong keys at one place count once
  EXPECT_EQ(sound.errors(), 1);
  type("cd ");
  EXPECT_EQ(g.ResultOf(1), PartResult::Ok);
  EXPECT_GT(display.groupChanges, 5);
}

// The next key lights after the learner's delay, with its finger; a wrong key shows at once
// beside the expected one.
TEST_F(KeyGroups, TheNextKeyLightsAfterTheDelayAndTheLabelNamesItsFinger) {
  start("fF");
  EXPECT_EQ(drill->KeyDelay, 1800);
  EXPECT_EQ(display.label, "left index finger");
  EXPECT_TRUE(lit().empty());
  wait(1799);
  EXPECT_TRUE(lit().empty());
  wait(1);
  EXPECT_EQ(lit(), std::set<std::string>{"f"});
  EXPECT_EQ(display.finger(), 4);
  type("f", 100);
  EXPECT_TRUE(lit().empty());
  EXPECT_EQ(display.finger(), 0);
  EXPECT_EQ(display.label, "Shift + left index finger");
  type("g", 100);
  EXPECT_EQ(lit(), (std::set<std::string>{"f", "Shift"}));
  EXPECT_EQ(struck(), std::set<std::string>{"g"});
  EXPECT_EQ(display.mask, (1u << 4) | (1u << 8));
}

TEST_F(KeyGroups, AnEmptyDrillFinishesCleanlyWithoutProgress) {
  start("");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(drill->ProgressPercent(), 0);
  EXPECT_EQ(host.progress.back(), 0);
  type("a|");
  EXPECT_EQ(counters().Errors, 0);
}

TEST_F(KeyGroups, TheSemicolonOptionAndTheOlderDrill) {
  const DrillSetup six = test::drillLine({"Event", "KEY2", "0", "t", "x", "NOSEMI"});
  EXPECT_EQ(KeyGroupDrill::SemicolonCharFor(six, layout), ';');  // field 6 does not exist
  const DrillSetup seven = test::drillLine({"Event", "KEY2", "0", "t", "x", "2", "nosemi"});
  EXPECT_EQ(KeyGroupDrill::SemicolonCharFor(seven, layout), '\0');

  // The older drill: four keys and the separator, every wrong key beeps, time-only result.
  DrillSetup older = test::drillLine({"Event", "NEWKEYS", "0", "t", "ENTER", "2", "2"});
  older.NewKeysLoops = 1;
  drill = std::make_unique<KeyGroupDrill>(context(), KeyGroupDrill::Generation::Older);
  host.Reset();
  drill->Setup(older, "as df gh");
  EXPECT_EQ(group(), "asdf\r");
  EXPECT_EQ(drill->Counter.RepeatTarget(), 1);
  type("xxas<df ");  // the older drills take Space for Enter
  EXPECT_EQ(sound.errors(), 3);
  EXPECT_EQ(counters().Errors, 0);
  wait(400);
  EXPECT_EQ(group(), "gh\r");  // tried once: the loops allow no more
  TResultItem r;
  r.Kind = "TIME";
  const ResultSources src{measures, keys.CurrentDifficulties(), Localize(), 5};
  drill->FillResult(r, src);
  EXPECT_EQ(r.Kind, "TIME");
  EXPECT_EQ(r.SubKind, "NK");
  EXPECT_FALSE(r.HasMeasures);
}

TEST_F(KeyGroups, TheCurrentDrillFillsAMeasuredResult) {
  start("fj fj\r\njf");
  type("fj fj");
  wait(400);
  type("jf");
  wait(400);
  TResultItem r;
  const ResultSources src{measures, keys.CurrentDifficulties(), Localize(), 5};
  drill->FillResult(r, src);
  EXPECT_EQ(r.SubKind, "NK");
  EXPECT_TRUE(r.HasMeasures);
}

}  // namespace
}  // namespace ks
