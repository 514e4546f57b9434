#include <gtest/gtest.h>

#include "engine/inplacechecker.h"
#include "typist.h"

namespace ks {
namespace {

struct InPlace : ::testing::Test, test::Typist {
  TextModel view;
  InPlaceChecker checker{services, host, view};

  void start(const std::string& text) {
    host.Reset();
    view.SetMode(TextModel::CharacterMode);
    checker.Setup(text);
  }
  void type(const std::string& keys, int ms = 200) { Typist::type(checker, keys, ms); }
  int errorMarks() const {
    int n = 0;
    for (const TWordInfo& w : view.Words()) n += w.ErrorMarks;
    return n;
  }
};

TEST_F(InPlace, WrongKeysAtOnePlaceCountOneError) {
  start("ab");
  type("xxx");
  EXPECT_EQ(view.ExpectedChar(), 'a');
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(sound.errors(), 1);
  EXPECT_EQ(errorMarks(), 3);
  EXPECT_EQ(host.wrong.size(), 3u);  // every wrong key is shown
  EXPECT_EQ(keys.CurrentDifficulties().figures('a').NewErrors, 1);
  type("a");
  EXPECT_EQ(view.ExpectedChar(), 'b');
  EXPECT_FALSE(checker.ErrorState);
  type("x");  // a new place counts again
  EXPECT_EQ(counters().Errors, 2);
  EXPECT_EQ(checker.WordErrors, 2);
}

TEST_F(InPlace, SpaceAndEnterStandForEachOtherUnlessTheLineSaysEnter) {
  start("ab\r\ncd ef");
  type("ab ");  // Space where Enter is expected
  EXPECT_EQ(view.ExpectedChar(), 'c');
  EXPECT_EQ(counters().Errors, 0);
  type("cd|");  // Enter where Space is expected
  EXPECT_EQ(view.ExpectedChar(), 'e');

  checker.EnterOnly = true;
  start("ab\r\ncd");
  type("ab ");
  EXPECT_EQ(view.ExpectedChar(), 13);
  EXPECT_EQ(counters().Errors, 1);
  type("|");
  EXPECT_EQ(view.ExpectedChar(), 'c');
}

TEST_F(InPlace, BackspaceIsAWrongKey) {
  start("ab");
  type("a<");
  EXPECT_EQ(view.ExpectedChar(), 'b');
  EXPECT_EQ(counters().Errors, 1);
}

TEST_F(InPlace, TheFirstKeyStartsTheDrillAndTheLastFinishesIt) {
  start("ab");
  EXPECT_EQ(host.State(), esReady);
  type("x");  // even a wrong first key starts it
  EXPECT_EQ(host.State(), esRunning);
  type("ab", 1000);
  EXPECT_EQ(view.ExpectedChar(), 13);  // the end of the text asks for Enter
  type("|", 1000);
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_EQ(measures.Timer.Seconds(), 3);
  // Keys after the end neither count nor start the timer again.
  const int keystrokes = counters().Keystrokes;
  type("abc", 5000);
  EXPECT_EQ(counters().Keystrokes, keystrokes);
  EXPECT_EQ(measures.Timer.Seconds(), 3);
  EXPECT_EQ(counters().Errors, 1);
}

TEST_F(InPlace, RightKeysFeedTheAnalyzerAndTheWordTable) {
  Analyzer_SetSource(analyzer, 2);
  start("house house\r\nhouse");
  type("house house|");
  EXPECT_EQ(counters().Words, 2);
  EXPECT_EQ(counters().Chars, 12);
  EXPECT_EQ(counters().Errors, 0);
  // Each word enters twice: graded by the analyzer and as the drill's finished word.
  const TWordList& list = analyzer.CurrentWord.List;
  const int n = list.Find("house");
  ASSERT_GT(n, 0);
  EXPECT_EQ(list.Entry(n).Repeats, 3);
  // A mistyped word enters the table with error weight 2; the wrong key never reaches the
  // analyzer.
  type("hoxuse|");
  EXPECT_EQ(checker.DrillWord, "");
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Words, 3);
  EXPECT_EQ(list.Entry(n).Repeats, 5);
  EXPECT_EQ(list.Entry(n).Scores[list.Entry(n).Slot - 1], 2);
  EXPECT_EQ(host.State(), esFinished);
  // Right keys were recorded as right presses of the expected character, wrong ones once.
  const TDifficultKeys& stats = keys.CurrentDifficulties();
  EXPECT_EQ(stats.figures('u').NewErrors, 1);  // x typed where u was due
  EXPECT_EQ(stats.figures('x').NewPresses, 0);
  EXPECT_EQ(stats.figures('o').NewErrors, 0);
}

TEST_F(InPlace, APauseRestartsTheRhythm) {
  start("abcdefghijklmnopqrstuvwxyz");
  for (char c : std::string("abcdefghijklmn")) type(std::string(1, c), c % 2 ? 100 : 900);
  EXPECT_LT(measures.DeviationMeter.Rhythm(), 70);
  type("o", 5000);
  type("pqrst", 250);
  EXPECT_EQ(measures.DeviationMeter.Rhythm(), 100);
  EXPECT_TRUE(host.lights.empty());  // the drills show no rhythm light
}

TEST_F(InPlace, TheOlderDrillsBeepAtEveryWrongKeyAndMeasureTimeOnly) {
  InPlaceChecker older{services, host, view, InPlaceChecker::Variant::Older};
  host.Reset();
  view.SetMode(TextModel::CharacterMode);
  older.Setup("ab\r\ncd");
  for (char c : std::string("xxab ")) {
    unsigned char key = static_cast<unsigned char>(c);
    clock.advance(300);
    older.KeyPress(key);
  }
  EXPECT_EQ(sound.errors(), 2);
  EXPECT_EQ(older.WordErrors, 0);  // the separator handed the word over
  EXPECT_EQ(counters().Errors, 0);
  EXPECT_EQ(counters().Keystrokes, 0);
  EXPECT_EQ(keys.CurrentDifficulties().figures('a').NewErrors, 2);
  EXPECT_EQ(view.ExpectedChar(), 'c');  // Space for Enter
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_EQ(measures.Timer.Seconds(), 1);  // started by the first key
  // With InPlaceTextMode they want Enter.
  older.InPlaceTextMode = true;
  older.Setup("a\r\nb");
  host.Reset();
  for (char c : std::string("a ")) {
    unsigned char key = static_cast<unsigned char>(c);
    older.KeyPress(key);
  }
  EXPECT_EQ(view.ExpectedChar(), 13);
}

TEST_F(InPlace, ATimeLimitedDrillStartsAgain) {
  checker.TimeLimited = true;
  start("ab");
  type("ab|");
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_EQ(view.ExpectedChar(), 'a');
}

}  // namespace
}  // namespace ks
