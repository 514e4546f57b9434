// Key introductions typed end to end under a fake clock.
#include <gtest/gtest.h>

#include "drilltest.h"
#include "engine/keyintrodrill.h"
#include "engine/resultfill.h"
#include "store/resultitem.h"

namespace ks {
namespace {

struct KeyIntro : ::testing::Test, test::DrillBench {
  std::unique_ptr<KeyIntroDrill> drill;

  void SetUp() override { loadLayout(); }
  void start(const std::string& keys, const std::string& press, const std::string& text = "") {
    drill = std::make_unique<KeyIntroDrill>(context());
    host.Reset();
    std::vector<std::string> fields{"Event", "KEYINTRO", "0", "text", keys};
    if (!press.empty()) fields.push_back(press);
    drill->Setup(test::drillLine(fields), text);
  }
  void type(const std::string& keys, int ms = 200) { DrillBench::type(*drill, keys, ms); }
  void wait(int ms) { DrillBench::wait(*drill, ms); }
};

TEST_F(KeyIntro, WithoutPressTheKeysAreShownAndEnterOrSpaceGoOn) {
  start("fj", "", "Your index fingers rest on F and J.");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(lit(), (std::set<std::string>{"f", "j"}));
  EXPECT_EQ(display.mask, (1u << 4) | (1u << 5));
  EXPECT_EQ(display.text, "Your index fingers rest on F and J.");
  type("x");
  EXPECT_TRUE(display.closes.empty());
  type("|");
  EXPECT_EQ(display.closes, std::vector<int>{3});
  start("fj", "");
  type(" ");
  EXPECT_EQ(display.closes, (std::vector<int>{3, 3}));
}

TEST_F(KeyIntro, WithPressEachKeyIsPresentedPraisedAndTheEndCloses) {
  random.values = {10, 70};
  start("fJ", "PRESS");
  EXPECT_TRUE(drill->Presenting());
  EXPECT_EQ(display.text, "Press \"f\" with your left index finger");
  EXPECT_EQ(lit(), std::set<std::string>{"f"});
  EXPECT_EQ(display.finger(), 4);
  EXPECT_EQ(drill->ProgressPercent(), 0);

  type("x");
  EXPECT_EQ(display.text, "Not quite.");
  EXPECT_EQ(sound.errors(), 1);
  EXPECT_EQ(lit(), std::set<std::string>{"f"});
  EXPECT_EQ(struck(), std::set<std::string>{"x"});
  wait(KeyIntroDrill::kRestoreMs);
  EXPECT_EQ(display.text, "Press \"f\" with your left index finger");

  type("f");
  EXPECT_EQ(display.text, "Well done!");  // random 10: below 30
  EXPECT_EQ(drill->ProgressPercent(), 50);
  wait(KeyIntroDrill::kRestoreMs);
  // A capital needs Shift: two lines, the Shift key's finger first.
  EXPECT_EQ(display.row1, "Hold down Shift with your left little finger");
  EXPECT_EQ(display.row2, "and press \"J\" with your right index finger");
  EXPECT_EQ(lit(), (std::set<std::string>{"j", "Shift"}));

  type("J");
  EXPECT_EQ(display.text, "Excellent!");  // random 70: 60 or more
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(host.progress.back(), 100);
  wait(KeyIntroDrill::kClearMs);
  EXPECT_TRUE(lit().empty());
  EXPECT_TRUE(display.closes.empty());
  wait(KeyIntroDrill::kCloseMs);
  EXPECT_EQ(display.closes, std::vector<int>{3});

  TResultItem r;
  const ResultSources src{measures, keys.CurrentDifficulties(), Localize(), 5};
  drill->FillResult(r, src);
  EXPECT_EQ(r.Kind, "STD");
  EXPECT_EQ(r.SubKind, "NK");
  EXPECT_TRUE(r.Valid);  // seen to the end: the exercise it ends can be completed
}

// Enter goes on at any time, except where it is the key to type.
TEST_F(KeyIntro, EnterClosesUnlessItIsTheKeyToType) {
  start("a\r ", "PRESS");
  type("a");
  EXPECT_EQ(display.text, "Well done!");
  wait(1000);
  EXPECT_EQ(display.text, "Now press Enter");
  type("|");
  EXPECT_TRUE(display.closes.empty());
  wait(1000);
  EXPECT_EQ(display.text, "Now press the Space bar");
  type("|");
  EXPECT_EQ(display.closes, std::vector<int>{3});
  // Left before the last key: not a passed introduction.
  TResultItem r;
  drill->FillResult(r, ResultSources{measures, keys.CurrentDifficulties(), Localize(), 5});
  EXPECT_FALSE(r.Valid);
}

TEST_F(KeyIntro, TheKeysOfTheLine) {
  DrillSetup s = test::drillLine({"Event", "KEYINTRO", "0", "t", "NewKeys"});
  s.LevelKeys = "ghty";
  EXPECT_EQ(KeyIntroDrill::IntroKeys(s, '\xF6'), "ghty\xF6");
  EXPECT_EQ(KeyIntroDrill::IntroKeys(test::drillLine({"E", "KEYINTRO", "0", "t"}), 0), " ");
  EXPECT_EQ(KeyIntroDrill::IntroKeys(test::drillLine({"E", "K", "0", "t", "a;b"}), '-'), "a-b");
}

TEST_F(KeyIntro, AnAccentedLetterIsIntroducedThroughItsDeadKey) {
  loadLayout("french.kbd");
  start("\xEA", "PRESS");
  EXPECT_EQ(display.text,
            "Press the accent key \"^\" and then \"e\" with your right little finger");
  EXPECT_EQ(lit(), std::set<std::string>{"^"});
  drill->DeadKeyTyped('^');  // the dead key: now the letter
  EXPECT_EQ(struck(), std::set<std::string>{"e"});
  EXPECT_EQ(display.finger(), 3);
}

// On the Brazilian keyboard the circumflex is the Shift level of the tilde key, and the capital
// of an accented letter is its accent followed by Shift and the letter.
TEST_F(KeyIntro, BrazilianAccentsBehindShiftAndAccentedCapitals) {
  loadLayout("brazil.kbd");
  start("\xEA", "PRESS");  // ê
  EXPECT_EQ(display.row1, "Hold down Shift with your left little finger");
  EXPECT_EQ(display.row2,
            "and press the accent key \"^\" and then \"e\" with your right little finger");
  EXPECT_EQ(lit(), (std::set<std::string>{"Shift", "~"}));
  drill->DeadKeyTyped('^');
  EXPECT_EQ(struck(), std::set<std::string>{"e"});
  start("\xC1", "PRESS");  // Á
  EXPECT_EQ(display.text,
            "Press the accent key \"\xB4\" and then \"A\" with your right little finger");
  EXPECT_EQ(lit(), std::set<std::string>{"\xB4"});
  drill->DeadKeyTyped('\xB4');
  EXPECT_EQ(struck(), (std::set<std::string>{"Shift", "a"}));
}

}  // namespace
}  // namespace ks
