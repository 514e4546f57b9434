#include <gtest/gtest.h>

#include "analysis/analyzer.h"

namespace ks {
namespace {

using Words = std::vector<std::string>;

struct AnalyzerTest : ::testing::Test {
  FakeClock clock;
  Measures measures{clock};
  DifficultKeySets keys;
  Analyzer a{measures, keys};
  TWordList& list = a.CurrentWord.List;

  AnalyzerTest() { Analyzer_SetSource(a, 2); }

  // Types `text` with steady intervals; "<" is Backspace. Returns the last end-of-word flag.
  bool type(const std::string& text, bool tutor = true, int interval = 20000) {
    bool end = false;
    for (char ch : text) {
      const unsigned char c = ch == '<' ? 8 : static_cast<unsigned char>(ch);
      end = Analyzer_CharPressed(a, c, interval, tutor);
    }
    return end;
  }
  int scoreOf(const std::string& word) {
    const int n = list.Find(word);
    return n > 0 ? list.Entry(n).Scores[list.Entry(n).Slot - 1] : -1;
  }
  TDifficultKeys& stats() { return keys.CurrentDifficulties(); }
};

TEST_F(AnalyzerTest, EntersOnlyWordsOfLettersAndApostrophes) {
  for (const char* w : {"the", "don't", "x-ray", "abc1", "\xE9t\xE9s", "Haus"}) {
    a.CurrentWord.Text = w;
    a.CurrentWord.Notify(2);
  }
  EXPECT_EQ(list.Find("the"), 0);
  EXPECT_GT(list.Find("don't"), 0);
  EXPECT_EQ(list.Find("x-ray"), 0);
  EXPECT_EQ(list.Find("abc1"), 0);
  EXPECT_GT(list.Find("\xE9t\xE9s"), 0);
  EXPECT_GT(list.Find("Haus"), 0);
}

TEST_F(AnalyzerTest, TheTutorAndTheMonitorEndWordsDifferently) {
  EXPECT_FALSE(type("ends."));  // the tutor keeps the full stop in the word
  EXPECT_TRUE(type(" "));
  Analyzer_EndWord(a, "", "ends.");
  EXPECT_EQ(list.Find("ends."), 0);
  EXPECT_EQ(list.Find("ends"), 0);
  EXPECT_TRUE(type("ends.", false));  // the monitor ends it there
  Analyzer_EndWord(a, "", "ends");
  EXPECT_GT(list.Find("ends"), 0);
  for (unsigned char c : {'\t', '\n', '\r', ' '}) EXPECT_TRUE(Analyzer_CharPressed(a, c, 0, true));
  for (unsigned char c : {'\'', '1', '+', '.'}) EXPECT_FALSE(Analyzer_CharPressed(a, c, 0, true));
  for (unsigned char c : {'\'', '1', '+'}) EXPECT_FALSE(Analyzer_CharPressed(a, c, 0, false));
  for (unsigned char c : {'!', '"', '(', ')', '*', ',', '-', '/', ':', ';', '?', '@', '\\', '_'}) {
    EXPECT_TRUE(Analyzer_CharPressed(a, c, 0, false)) << c;
  }
}

TEST_F(AnalyzerTest, CountsKeystrokesAndStartsTheTimer) {
  type("ab<c ");
  EXPECT_TRUE(measures.Timer.IsRunning());
  EXPECT_EQ(measures.Efficiency.Keystrokes, 5);
  EXPECT_EQ(measures.Efficiency.NetChars, 3);
  EXPECT_EQ(a.CurrentWord.Text, "ac");
}

TEST_F(AnalyzerTest, ACorrectionIsAWrongPressAndScoresTwo) {
  type("word<<<ord");
  EXPECT_EQ(a.CurrentWord.Text, "word");
  EXPECT_EQ(a.CurrentWord.Corrections, 1);
  EXPECT_EQ(stats().figures('o').NewErrors, 1);
  EXPECT_EQ(stats().figures('r').NewErrors, 0);
  type(" ");
  EXPECT_EQ(Analyzer_EndWord(a, "word", "word"), 0);
  EXPECT_EQ(scoreOf("word"), 2);
  // Four backspaces and more are a new start, not a correction of one key.
  type("abcde<<<<bcde");
  EXPECT_EQ(stats().figures('b').NewErrors, 0);
  // A word deleted to nothing with more than two backspaces starts afresh.
  a.CurrentWord.Clear();
  type("ab<<");
  EXPECT_EQ(a.CurrentWord.Deletions, 2);
  type("abc<<<");
  EXPECT_EQ(a.CurrentWord.Deletions, 0);
  EXPECT_EQ(a.CurrentWord.Corrections, 0);
}

TEST_F(AnalyzerTest, AHesitationInsideAWordBlamesALowerCaseLetter) {
  // Ten steady keys, then a long one inside the word.
  type("abcdefghij", true, 200);
  stats().clearStatistics();
  type("k", true, 2000);
  EXPECT_EQ(a.CurrentWord.Hesitations, 1);
  EXPECT_EQ(stats().figures('k').NewErrors, 1);
  type("K", true, 2000);
  EXPECT_EQ(a.CurrentWord.Hesitations, 2);
  EXPECT_EQ(stats().figures('K').NewPresses, 0);  // nothing at all for an upper-case letter
  // No interval, no press; a negative one counts as none.
  type("m", true, 0);
  type("n", true, -5);
  EXPECT_EQ(stats().figures('m').NewPresses + stats().figures('n').NewPresses, 0);
  // Steady typing records right presses.
  type("p", true, 200);
  EXPECT_EQ(stats().figures('p').NewPresses, 1);
  EXPECT_EQ(stats().figures('p').NewErrors, 0);
  // Three hesitations and two corrections score the most.
  a.CurrentWord.Clear();
  a.CurrentWord.Text = "word";
  a.CurrentWord.Hesitations = 3;
  a.CurrentWord.Corrections = 2;
  a.CurrentWord.ErrorWeight = 9;
  a.CurrentWord.Notify(2);
  EXPECT_EQ(scoreOf("word"), 10);
}

TEST_F(AnalyzerTest, TheErrorWeightGradesTheWord) {
  const std::string fifty(50, 'a');
  EXPECT_EQ(Analyzer_EndWord(a, fifty, fifty.substr(0, 49) + "A"), 1);
  EXPECT_EQ(scoreOf(fifty), 2);
  EXPECT_EQ(Analyzer_EndWord(a, "abcdefghi", "abcdefghx"), 11);
  EXPECT_EQ(scoreOf("abcdefghi"), 3);  // exactly 3, where single precision falls to 2
  EXPECT_EQ(Analyzer_EndWord(a, "house", "huose"), 20);
  EXPECT_EQ(scoreOf("house"), 3);
  EXPECT_EQ(Analyzer_EndWord(a, "mouse", "mxxse"), 40);
  EXPECT_EQ(scoreOf("mouse"), 5);
  // Beyond the threshold it is another word: counted, but not entered.
  EXPECT_EQ(Analyzer_EndWord(a, "table", "txxxe"), 100);
  EXPECT_EQ(list.Find("table"), 0);
  EXPECT_EQ(list.Find("txxxe"), 0);
  EXPECT_EQ(measures.Efficiency.Errors, 5);
  EXPECT_EQ(measures.Efficiency.Words, 5);
}

TEST_F(AnalyzerTest, EndWordCountsCharactersOnlyAgainstAnExpectedWord) {
  Analyzer_EndWord(a, "", "monitored");
  EXPECT_EQ(measures.Efficiency.Words, 1);
  EXPECT_EQ(measures.Efficiency.Chars, 0);
  Analyzer_EndWord(a, "house", "hous");
  EXPECT_EQ(measures.Efficiency.Chars, 5);  // the shorter word + 1
  EXPECT_EQ(measures.Efficiency.TotalHits, 5);
  Analyzer_EndWord(a, "", "");
  EXPECT_EQ(measures.Efficiency.Words, 2);
}

TEST_F(AnalyzerTest, NothingIsEnteredWhileCollectionIsOff) {
  Analyzer_SetSource(a, 100);
  EXPECT_FALSE(a.CollectWords);
  EXPECT_EQ(a.WordSource, 2);
  Analyzer_EndWord(a, "house", "house");
  Analyzer_AddWord(a, "mouse", 2);
  EXPECT_EQ(list.Find("house") + list.Find("mouse"), 0);
  Analyzer_SetSource(a, 4);
  Analyzer_AddUserWord(a, "table", 50, true);
  EXPECT_EQ(list.Entry(list.Find("table")).Flags, 4);
}

TEST_F(AnalyzerTest, ListsTheMostDifficultWordsFirst) {
  auto add = [&](const char* w, int times) {
    for (int i = 0; i < times; ++i) Analyzer_AddWord(a, w, 3);
  };
  add("house", 3);
  add("Mouse", 3);
  add("table", 7);
  add("chair", 2);
  EXPECT_EQ(TWordList::Difficulty(list.Entry(list.Find("house"))), 64);
  EXPECT_EQ(TWordList::Difficulty(list.Entry(list.Find("table"))), 100);
  EXPECT_EQ(TWordList::Difficulty(list.Entry(list.Find("chair"))), 46);
  EXPECT_EQ(a.CurrentWord.ListWords(2, 0), (Words{"table", "Mouse", "house"}));
  EXPECT_EQ(a.CurrentWord.ListWords(6, 1), (Words{"table;100", "Mouse;64", "house;64"}));
  EXPECT_EQ(a.CurrentWord.ListWords(2, 2), (Words{"100", "64", "64"}));
  EXPECT_TRUE(a.CurrentWord.ListWords(5, 0).empty());
  EXPECT_EQ(a.CurrentWord.WordIndex(2), 21);  // Round(228 x 1.35 / 15)
  // Right words (score 0) are not difficult.
  for (int i = 0; i < 3; ++i) Analyzer_AddWord(a, "right", 0);
  EXPECT_EQ(a.CurrentWord.ListWords(2, 0).size(), 3u);
}

TEST_F(AnalyzerTest, TheWordIndexWeighsTheFirstTenMore) {
  for (int w = 0; w < 16; ++w) {
    const std::string word = "word" + std::string(1, static_cast<char>('a' + w));
    for (int i = 0; i < 7; ++i) Analyzer_AddWord(a, word, 3);
  }
  EXPECT_EQ(a.CurrentWord.WordIndex(2), 100);  // (10 x 1.35 + 5 x 0.65) x 100 / 15 = 111.7
  EXPECT_EQ(a.CurrentWord.WordIndex(1), 0);
}

TEST_F(AnalyzerTest, UserWordsAndHiddenWords) {
  Analyzer_SetSource(a, 4);
  for (int i = 0; i < 5; ++i) Analyzer_AddUserWord(a, "rhythm", 50, true);
  EXPECT_EQ(TWordList::Difficulty(list.Entry(list.Find("rhythm"))), 100);
  EXPECT_EQ(a.CurrentWord.ListWords(5, 0), (Words{"rhythm"}));
  a.CurrentWord.HideWord("rhythm");
  EXPECT_TRUE(a.CurrentWord.ListWords(5, 0).empty());
  EXPECT_EQ(list.Entry(list.Find("rhythm")).Repeats, 4);  // hiding is no occurrence
  Analyzer_AddUserWord(a, "rhythm", 50, false);
  EXPECT_TRUE(a.CurrentWord.ListWords(5, 0).empty());
  Analyzer_AddUserWord(a, "rhythm", 50, true);
  EXPECT_EQ(a.CurrentWord.ListWords(5, 0), (Words{"rhythm"}));
  // Hiding a new word makes a hidden entry for it.
  a.CurrentWord.HideWord("secret");
  EXPECT_EQ(list.Entry(list.Find("secret")).Flags, wsHidden);
  EXPECT_TRUE(a.CurrentWord.Text.empty());  // a user word leaves no half word behind
}

TEST_F(AnalyzerTest, AFullTableReusesEntriesOfRareWords) {
  for (int i = 0; i < 3; ++i) list.AddOccurrence("frequent", 1, 2, false);  // entry 1, 2 repeats
  for (int i = 2; i <= TWordList::Capacity; ++i) {
    list.AddOccurrence("w" + std::to_string(i), 1, 2, false);
  }
  EXPECT_EQ(list.NextEntry, 2000);
  EXPECT_EQ(list.Pass, 0);
  EXPECT_EQ(list.AddOccurrence("newcomer", 1, 2, false), 2);
  EXPECT_EQ(list.NextEntry, 2);
  EXPECT_EQ(list.Pass, 1);
  EXPECT_EQ(list.Entry(1).Word, "frequent");
  EXPECT_EQ(list.Find("w2"), 0);
  // When every entry is seen more often than the pass allows, the pass goes up.
  for (int n = 1; n <= TWordList::Capacity; ++n) list.Entry(n).Repeats = 5;
  list.AddOccurrence("late", 1, 2, false);
  EXPECT_EQ(list.Pass, 5);
  EXPECT_EQ(list.NextEntry, 1);
}

TEST_F(AnalyzerTest, RenamingMergesTheHistory) {
  for (int i = 0; i < 3; ++i) list.AddOccurrence("tehh", 3, wsMonitor | wsHidden, false);
  for (int i = 0; i < 2; ++i) list.AddOccurrence("then", 1, wsTutor, false);
  const int n = a.CurrentWord.RenameWord("tehh", "then", wsUser);
  ASSERT_EQ(n, 2);
  const WordEntry& e = list.Entry(n);
  EXPECT_EQ(e.Flags, wsMonitor | wsTutor | wsUser);  // not hidden any more
  EXPECT_EQ(e.Repeats, 2 + 2);                       // its own and the rename's, and the old word's
  EXPECT_EQ(e.Slot, 3);
  EXPECT_EQ(e.Scores[0], 1 + 3);
  EXPECT_EQ(e.Scores[1], 1 + 3);
  EXPECT_EQ(e.Scores[2], 0 + 3);
  EXPECT_EQ(list.Entry(1).Word, "-");
  EXPECT_EQ(list.Entry(1).Repeats, 0);
  EXPECT_EQ(list.Find("tehh"), 0);
  // Renaming onto itself or to nothing keeps the word as it is.
  EXPECT_EQ(a.CurrentWord.RenameWord("then", "then", wsUser), n);
  EXPECT_EQ(list.Entry(n).Repeats, 4);
  EXPECT_EQ(a.CurrentWord.RenameWord("then", "", wsUser), -1);
  EXPECT_EQ(list.Find("then"), n);
  EXPECT_EQ(a.CurrentWord.RenameWord("absent", "then", wsUser), -1);
  EXPECT_EQ(list.Entry(n).Repeats, 4);
}

TEST_F(AnalyzerTest, CountersSaturateInsteadOfWrapping) {
  list.AddOccurrence("often", 1, wsTutor, false);
  list.Entry(1).Repeats = 32767;
  list.AddOccurrence("often", 1, wsTutor, false);
  EXPECT_EQ(list.Entry(1).Repeats, 32767);
  EXPECT_EQ(list.Entry(1).Repeats, 32767);
  list.AddOccurrence("other", 30000, wsTutor, false);
  list.AddOccurrence("again", 30000, wsTutor, false);
  EXPECT_EQ(list.RenameWord("other", "again", wsTutor), 3);
  EXPECT_EQ(list.Entry(3).Scores[0], 32767);
}

TEST_F(AnalyzerTest, CancelDropsTheWordAndTheHesitationHistory) {
  type("abcdefghij", false, 200);
  Analyzer_Cancel(a);
  EXPECT_TRUE(a.CurrentWord.Text.empty());
  stats().clearStatistics();
  type("k", false, 2000);  // a fresh detector has no average yet
  EXPECT_EQ(a.CurrentWord.Hesitations, 0);
}

}  // namespace
}  // namespace ks
