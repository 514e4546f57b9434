#include <gtest/gtest.h>

#include "engine/inputlinechecker.h"
#include "engine/resultfill.h"
#include "store/langres.h"
#include "typist.h"

namespace ks {
namespace {

using test::RecordingLog;

struct InputLine : ::testing::Test, test::Typist {
  TextModel view;
  InputLineModel line;
  InputLineChecker checker{services, host, view, line};

  void start(const std::string& text) {
    host.Reset();
    checker.Setup(text);
  }
  void type(const std::string& keys, int ms = 200) { Typist::type(checker, keys, ms); }
};

TEST_F(InputLine, ASwappedPairIsOneMistypedWordAndTheCursorMovesOn) {
  start("the cat sat");
  type("teh ");
  EXPECT_EQ(view.WordAt(0), "cat");
  EXPECT_EQ(counters().Words, 1);
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Chars, 4);
  EXPECT_EQ(counters().TotalHits, 4);
  ASSERT_EQ(line.Items().size(), 2u);
  EXPECT_TRUE(line.Items()[0].ErrorMark);
  EXPECT_EQ(line.Items()[1].Row, 1);  // Space continues on the same row
  type("cat ");
  EXPECT_FALSE(line.Items()[1].ErrorMark);
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Chars, 8);
}

TEST_F(InputLine, ASkippedWordIsMissedAndTheTextCatchesUp) {
  start("one two three four");
  type("two ");
  EXPECT_EQ(view.WordAt(0), "three");
  EXPECT_EQ(counters().Words, 1);
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Chars, 7);      // "two" + 1, and the missed "one"
  EXPECT_EQ(counters().TotalHits, 8);  // "two" + 1, and "one" + 1
  EXPECT_FALSE(line.Items()[0].ErrorMark);
}

TEST_F(InputLine, TwoSkippedWordsAreBothMissedAndLogged) {
  RecordingLog log;
  checker.SetTypedLog(&log);
  start("alpha bravo charlie delta echo");
  type("charlie ");
  EXPECT_EQ(view.WordAt(0), "delta");
  EXPECT_EQ(counters().Errors, 2);
  EXPECT_EQ(counters().Chars, 8 + 5 + 5);
  EXPECT_EQ(counters().TotalHits, 8 + 6 + 6);
  EXPECT_EQ(log.entries, (std::vector<RecordingLog::Entry>{
                             {"alpha", "", 0}, {"bravo", "", 0}, {"charlie", "charlie", 32}}));
}

TEST_F(InputLine, ARepeatedWordIsExtraAndTheCursorStays) {
  RecordingLog log;
  checker.SetTypedLog(&log);
  start("one two three");
  type("one one ");
  EXPECT_EQ(view.WordAt(0), "two");
  EXPECT_EQ(counters().Words, 2);
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Chars, 5);  // 4 + 4 - 3
  EXPECT_EQ(counters().TotalHits, 4);
  EXPECT_EQ(log.entries.back(), (RecordingLog::Entry{"", "one", 32}));
}

TEST_F(InputLine, LineEndsInPlaceTextModeWantEnter) {
  checker.InPlaceTextMode = true;
  RecordingLog log;
  checker.SetTypedLog(&log);
  start("big house\r\nsmall mouse");
  // Enter on an empty word at a line end only beeps; Enter inside a line beeps but compares.
  type("big|");
  EXPECT_EQ(sound.errors(), 1);
  EXPECT_EQ(counters().Errors, 0);
  EXPECT_EQ(line.Items().back().Row, 2);
  type("|");
  EXPECT_EQ(sound.errors(), 2);
  EXPECT_EQ(counters().Words, 1);
  // Space at the line end beeps, and the line-break mark makes the word wrong.
  type("house ");
  EXPECT_EQ(sound.errors(), 3);
  EXPECT_EQ(counters().Errors, 1);
  EXPECT_EQ(counters().Chars, 4 + 6);
  EXPECT_EQ(log.entries.back(), (RecordingLog::Entry{"house", "house\xAB", 32}));
  // The next logged word follows a line break.
  type("small ");
  EXPECT_EQ(log.entries[log.entries.size() - 2], (RecordingLog::Entry{"\r", "\r", 13}));
  EXPECT_EQ(log.entries.back(), (RecordingLog::Entry{"small", "small", 32}));
}

TEST_F(InputLine, SpaceEndsALineWhenTheModeDoesNotAskForEnter) {
  start("big house\r\nsmall mouse");
  type("big house small ");
  EXPECT_EQ(sound.errors(), 0);
  EXPECT_EQ(counters().Errors, 0);
  EXPECT_EQ(view.WordAt(0), "mouse");
}

TEST_F(InputLine, BackspaceEditsOnlyTheTypedWord) {
  start("house mouse");
  type("hoi<use ");
  EXPECT_EQ(counters().Errors, 0);
  type("<");  // nothing typed in this word: a beep
  EXPECT_EQ(sound.errors(), 1);
  EXPECT_EQ(view.WordAt(-1), "house");
  EXPECT_EQ(line.Items()[0].Text, "house");
}

TEST_F(InputLine, PreventBackspaceOnlyBeeps) {
  options.preventBackspace = true;
  start("house mouse");
  type("hoi<use ");
  EXPECT_EQ(sound.errors(), 1);
  EXPECT_EQ(line.Items()[0].Text, "hoiuse");
  EXPECT_EQ(counters().Errors, 1);
}

TEST_F(InputLine, APauseRestartsTheRhythmInsteadOfCountingAsIrregular) {
  start("abcdefghijklmnopqrstuvwxyz abcdefghijklmnopqrstuvwxyz");
  // Irregular typing first: the rhythm suffers.
  for (int i = 0; i < 14; ++i) type("a", i % 2 ? 100 : 900);
  EXPECT_LT(measures.DeviationMeter.Rhythm(), 70);
  // 4.4 s (5.09 units) later the measurement starts again; steady typing then is full rhythm.
  type("b", 4400);
  EXPECT_EQ(measures.DeviationMeter.Rhythm(), 100);
  type("cdefghij", 250);
  EXPECT_EQ(measures.DeviationMeter.Rhythm(), 100);
  EXPECT_EQ(host.lights.back(), 1);
  // 4.3 s (4.98 units) is an interval like any other.
  type("k", 4300);
  EXPECT_LT(measures.DeviationMeter.Rhythm(), 100);
}

TEST_F(InputLine, TheFirstKeyStartsAndTheLastWordFinishes) {
  start("ab cd");
  EXPECT_EQ(host.State(), esReady);
  type("a");
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_TRUE(measures.Timer.IsRunning());
  type("b cd");
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_EQ(host.progress.back(), 40);  // "cd" is scanned from offset 2 of 5
  type(" ");
  EXPECT_EQ(host.State(), esFinished);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_FALSE(measures.Timer.IsRunning());
  // Keys after the finish are dropped.
  const int keystrokes = counters().Keystrokes;
  type("x ");
  EXPECT_EQ(counters().Keystrokes, keystrokes);
}

TEST_F(InputLine, APausedEventResumesWithTheNextKey) {
  start("ab cd");
  type("a");
  host.PauseTyping();
  type("b", 8000);
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_EQ(measures.Timer.Seconds(), 0);  // the pause is not typing time
  type("c", 2000);
  EXPECT_EQ(measures.Timer.Seconds(), 2);
}

TEST_F(InputLine, ASwallowedKeyIsTimedButNotTyped) {
  start("ab cd");
  host.swallow = true;
  type("a");
  EXPECT_EQ(host.State(), esReady);
  EXPECT_EQ(counters().Keystrokes, 0);
  EXPECT_EQ(line.TypedWord(), "");
}

TEST_F(InputLine, ATimeLimitedTextStartsAgainWithoutMeasuringTheJump) {
  checker.TimeLimited = true;
  start("ab cd");
  type("ab cd ");
  EXPECT_EQ(host.State(), esRunning);
  EXPECT_EQ(view.WordAt(0), "ab");
  EXPECT_TRUE(checker.SkipNextInterval);
  const int lightsBefore = static_cast<int>(host.lights.size());
  type("a");
  EXPECT_EQ(static_cast<int>(host.lights.size()), lightsBefore);  // not measured
  type("b");
  EXPECT_EQ(static_cast<int>(host.lights.size()), lightsBefore + 1);
}

TEST_F(InputLine, AWholeExerciseGivesItsMeasures) {
  Analyzer_SetSource(analyzer, 2);
  start("the quick brown fox jumps over the lazy dog");
  type("the quick brown fox jumps over the lazy dog ", 250);
  ASSERT_EQ(host.State(), esFinished);
  // 44 keys, 250 ms apart: 10.75 s from the first to the last.
  EXPECT_EQ(measures.Timer.Seconds(), 11);
  EXPECT_EQ(counters().Words, 9);
  EXPECT_EQ(counters().Chars, 44);
  EXPECT_EQ(counters().Keystrokes, 44);
  TLocalize lang;
  TResultItem r;
  r.TypingSeconds = measures.Timer.Seconds();
  FillTypingResult(r, CheckingModel::InputLine,
                   ResultSources{measures, keys.CurrentDifficulties(), lang, 5});
  EXPECT_TRUE(r.Valid);
  EXPECT_EQ(r.GrossSpeed, 240);
  EXPECT_EQ(r.NetSpeed, 240);
  EXPECT_EQ(r.Accuracy, 100);
  EXPECT_EQ(r.Rhythm, 100);
  EXPECT_EQ(r.Efficiency, 93);  // scores 4 and 3.5
  EXPECT_EQ(r.DiffIndex, 0);
  // Every letter was recorded as a right press, twice: as typed and when its word was graded.
  EXPECT_EQ(keys.CurrentDifficulties().figures('q').Presses, 2);
  EXPECT_EQ(keys.CurrentDifficulties().figures('o').Presses, 8);
  // The words of four letters and more entered the word table.
  EXPECT_GT(analyzer.CurrentWord.List.Find("quick"), 0);
  EXPECT_EQ(analyzer.CurrentWord.List.Find("the"), 0);
}

TEST_F(InputLine, AMistypedWordEntersTheTableAsItShouldBeSpelled) {
  Analyzer_SetSource(analyzer, 2);
  start("house mouse");
  type("huose ");
  const TWordList& list = analyzer.CurrentWord.List;
  ASSERT_EQ(list.Find("huose"), 0);
  const int n = list.Find("house");
  ASSERT_GT(n, 0);
  EXPECT_EQ(list.Entry(n).Scores[0], 3);  // 20 %: error weight 3
}

TEST_F(InputLine, ARefusedBackspaceDoesNotEnterAMisspelling) {
  options.preventBackspace = true;
  Analyzer_SetSource(analyzer, 2);
  start("hoiuse mouse");
  type("hoi<use ");
  EXPECT_EQ(counters().Errors, 0);
  // The analyzer saw "hoi", a deletion and "use"; the word that was typed is still "hoiuse".
  EXPECT_GT(analyzer.CurrentWord.List.Find("hoiuse"), 0);
  EXPECT_EQ(analyzer.CurrentWord.List.Find("house"), 0);
}

}  // namespace
}  // namespace ks
