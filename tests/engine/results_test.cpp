#include <gtest/gtest.h>

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "analysis/wordlist.h"
#include "engine/indexes.h"
#include "engine/resultfill.h"
#include "engine/studyingtip.h"
#include "store/langres.h"

namespace ks {
namespace {

// Gives key `c` ten or more presses with the wanted share of errors, committed at once.
void give(TDifficultKeys& keys, unsigned char c, int presses, int errors) {
  for (int i = 0; i < presses; ++i) keys.recordKey(c, i < errors);
}

// Difficulties 100, 80, 60, 40, 30, 20, 10 on a..g (400 x errors / presses).
TDifficultKeys lowerLadder() {
  TDifficultKeys keys(8);
  give(keys, 'a', 12, 3);
  give(keys, 'b', 10, 2);
  give(keys, 'c', 20, 3);
  give(keys, 'd', 10, 1);
  give(keys, 'e', 40, 3);
  give(keys, 'f', 20, 1);
  give(keys, 'g', 40, 1);
  keys.updateStatistics();
  return keys;
}

TEST(Indexes, DifficultyIndexWeighsTheFirstFourKeys) {
  TDifficultKeys keys = lowerLadder();
  ASSERT_FLOAT_EQ(keys.getDifficultyAtRank(1), 100);
  ASSERT_FLOAT_EQ(keys.getDifficultyAtRank(7), 10);
  EXPECT_EQ(DifficultyIndex(keys), 52);  // (1.35 x 280 + 0.65 x 60) / 8
  EXPECT_EQ(DifficultyIndex(TDifficultKeys(8)), 0);
}

TEST(Indexes, ProblemIndexBlendsLowerUpperKeysAndWords) {
  TDifficultKeys keys = lowerLadder();
  give(keys, 'A', 12, 3);  // 100
  give(keys, 'B', 20, 3);  // 60
  keys.updateStatistics();
  // K8 = 52 (the ladder), K6 = Round(1.35 x 160 / 6) = 36.
  EXPECT_EQ(ProblemIndex(keys, nullptr), 47);  // Round(0.7 x 52 + 0.3 x 36)
  TWordList words;
  EXPECT_EQ(ProblemIndex(keys, &words), 31);  // Round(0.35 x 0 + 0.45 x 52 + 0.2 x 36)
  for (int i = 0; i < 3; ++i) words.AddOccurrence("house", 3, wsMonitor, false);
  ASSERT_EQ(words.WordIndex(5), 6);  // Round(64 x 1.35 / 15)
  EXPECT_EQ(ProblemIndex(keys, &words), 33);
  EXPECT_EQ(ProblemIndex(keys, &words, true), 72);
  EXPECT_EQ(ProblemIndex(TDifficultKeys(8), nullptr), 0);
}

TEST(Indexes, LabelsCoverTheirScales) {
  EXPECT_EQ(IndexLabel(-3), 315);
  EXPECT_EQ(IndexLabel(24), 315);
  EXPECT_EQ(IndexLabel(25), 316);
  EXPECT_EQ(IndexLabel(49), 316);
  EXPECT_EQ(IndexLabel(69), 317);
  EXPECT_EQ(IndexLabel(70), 318);
  EXPECT_EQ(IndexLabel(100), 318);
  EXPECT_EQ(IndexLabel(101), 0);
  EXPECT_EQ(IndexLabel2(0), 319);
  EXPECT_EQ(IndexLabel2(-1), 0);
  EXPECT_EQ(IndexLabel2(1), 320);
  EXPECT_EQ(IndexLabel2(24), 320);
  EXPECT_EQ(IndexLabel2(25), 321);
  EXPECT_EQ(IndexLabel2(50), 322);
  EXPECT_EQ(IndexLabel2(100), 323);
  EXPECT_EQ(IndexLabel2(101), 0);
}

TEST(Indexes, SpeedsShowInWordsOrKeystrokes) {
  EXPECT_EQ(DisplaySpeed(300, false, 5), 60);
  EXPECT_EQ(DisplaySpeed(285, false, 5), 57);
  EXPECT_EQ(DisplaySpeed(285, true, 5), 285);
  EXPECT_EQ(DisplaySpeed(289, false, 6), 48);
  EXPECT_EQ(SpeedUnitMessage(true), 209);
  EXPECT_EQ(SpeedUnitMessage(false), 208);
}

using Ids = std::vector<int>;

TEST(StudyingTip, NamesTheWeakestArea) {
  // Accuracy weakest, speed strong / speed weak too.
  EXPECT_EQ(TStudyingTip::TipMessages(0.5f, 4, 4), (Ids{50, 51, 53, 55, 56}));
  EXPECT_EQ(TStudyingTip::TipMessages(0.5f, 4, 0.6f), (Ids{54, 55, 56}));
  EXPECT_EQ(TStudyingTip::TipMessages(0.5f, 4, 1.9f), (Ids{50, 52, 53, 55, 56}));
  // Difficult keys weakest.
  EXPECT_EQ(TStudyingTip::TipMessages(4, 0.4f, 4), (Ids{64, 65, 67, 69}));
  EXPECT_EQ(TStudyingTip::TipMessages(2.5f, 0.4f, 4), (Ids{64, 67, 69}));
  // Speed weakest, high and middling mean.
  EXPECT_EQ(TStudyingTip::TipMessages(4, 4, 0.5f), (Ids{70, 71, 72, 74, 75}));
  EXPECT_EQ(TStudyingTip::TipMessages(2, 2.5f, 0.5f), (Ids{70, 72, 74, 75}));
  // Speed ranks below accuracy without being weak.
  EXPECT_EQ(TStudyingTip::TipMessages(3.5f, 4, 3), (Ids{80, 81, 83}));
  // Otherwise: praise the speed.
  EXPECT_EQ(TStudyingTip::TipMessages(3, 4, 4), (Ids{76, 77, 79}));
}

struct ResultFixture : ::testing::Test {
  FakeClock clock;
  Measures m{clock};
  TDifficultKeys keys{8};
  TLocalize lang;

  void typed(int chars, int errors, int words, int seconds) {
    ResetMeasures(m);
    m.Timer.StartOrResume();
    clock.advance(seconds * 1000);
    m.Timer.Pause();
    m.Efficiency.Chars = chars;
    m.Efficiency.Errors = errors;
    m.Efficiency.Words = words;
    m.Efficiency.TotalHits = chars + words;
  }
  TResultItem fill(CheckingModel model, int errorFactor = 0) {
    TResultItem r;
    r.Kind = "TIME";
    r.TypingSeconds = m.Timer.Seconds();
    r.ErrorFactor = errorFactor;
    FillTypingResult(r, model, ResultSources{m, keys, lang, 5});
    return r;
  }
};

TEST_F(ResultFixture, AValidExerciseCarriesItsMeasures) {
  for (int id : {76, 77, 79}) lang.SetString(id, "<" + std::to_string(id) + ">");
  give(keys, 'q', 10, 1);  // pending presses are folded in first
  typed(300, 3, 60, 60);
  const TResultItem r = fill(CheckingModel::InputLine);
  EXPECT_EQ(r.Kind, "TEXT");
  EXPECT_EQ(r.SubKind, "CT");
  EXPECT_TRUE(r.Valid);
  EXPECT_EQ(r.TypingSeconds, 60);
  EXPECT_EQ(r.GrossSpeed, 300);
  EXPECT_EQ(r.NetSpeed, 285);
  EXPECT_EQ(r.Accuracy, 95);
  EXPECT_EQ(r.Efficiency, 86);
  EXPECT_EQ(r.Rhythm, 100);
  EXPECT_EQ(r.DiffIndex, 7);  // q at 40: Round(1.35 x 40 / 8)
  EXPECT_EQ(r.TotalHits, 360);
  EXPECT_EQ(r.ErrorHits, 3);
  EXPECT_EQ(r.Tip, "<76><77><79>");
  // The result's own error factor wins over W.
  EXPECT_EQ(fill(CheckingModel::InPlace, 1).NetSpeed, 297);
  EXPECT_EQ(fill(CheckingModel::InPlace, 1).SubKind, "C2");
}

TEST_F(ResultFixture, TooLittleTypingHasNoMeasures) {
  typed(300, 3, 4, 60);  // four words
  TResultItem r = fill(CheckingModel::InputLine);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.TypingSeconds, 1);
  EXPECT_EQ(r.GrossSpeed, 0);
  typed(300, 3, 60, 10);  // ten seconds
  r = fill(CheckingModel::InputLine);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.Accuracy, 0);
  // In-place drills keep their typing time.
  r = fill(CheckingModel::InPlace);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.TypingSeconds, 10);
  typed(300, 3, 60, 11);
  EXPECT_TRUE(fill(CheckingModel::InPlace).Valid);
}

TEST_F(ResultFixture, ExamsReportToTheLearningManagementKeys) {
  typed(300, 3, 60, 60);
  m.Efficiency.Chars = 7;
  m.Efficiency.Errors = 1;
  TResultItem r;
  r.ErrorFactor = 1;
  const auto entries = LmsEntries(r, m, 5);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"qslms.netspeed", "int: 6"}));
  EXPECT_EQ(entries[2].second, "double: 85.7142857142857");
  EXPECT_EQ(entries[3].second, "int: 60");
  EXPECT_EQ(entries[5].second, "int: 360");
  EXPECT_TRUE(IsLmsEventType("exam2"));
  EXPECT_FALSE(IsLmsEventType("TEXT"));
}

}  // namespace
}  // namespace ks
