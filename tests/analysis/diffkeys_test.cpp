#include <gtest/gtest.h>

#include "analysis/diffkeys.h"

namespace ks {
namespace {

void press(TDifficultKeys& keys, unsigned char c, int presses, int errors) {
  for (int i = 0; i < presses; ++i) keys.recordKey(c, i < errors);
}

std::string le16(int v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// A record with one key's figures set.
std::string recordWith(unsigned char c, int total, int presses, int errors) {
  std::string bytes(TDifficultKeys::RecordSize, '\0');
  const size_t at = 2 * static_cast<size_t>(c - 33);
  bytes.replace(at, 2, le16(total));
  bytes.replace(446 + at, 2, le16(presses));
  bytes.replace(892 + at, 2, le16(errors));
  return bytes;
}

TEST(DifficultKeys, FewPressesWeighLess) {
  TDifficultKeys keys(8);
  press(keys, 'a', 4, 1);
  EXPECT_FLOAT_EQ(keys.getDifficulty('a'), 0);  // nothing counts before an update
  keys.updateStatistics();
  EXPECT_FLOAT_EQ(keys.getDifficulty('a'), 40);  // 25 % scaled by 4/10
  EXPECT_EQ(keys.getKeyAtRank(1), 'a');
  EXPECT_EQ(keys.getSessionPressesAtRank(1), 4);
  EXPECT_FLOAT_EQ(keys.getLevel(), 2.4f);
  EXPECT_EQ(keys.getDifficultyColour(keys.getDifficulty('a')), 0xFFD21Du);
}

TEST(DifficultKeys, NewPressesReplaceTheHistoryByTheWindow) {
  TDifficultKeys keys(8);
  press(keys, 'e', 9, 0);
  keys.updateStatistics();  // 9 > 8: committed
  auto f = keys.figures('e');
  EXPECT_EQ(f.SavedPresses, 9);
  EXPECT_EQ(f.NewPresses, 0);
  press(keys, 'e', 5, 1);
  keys.updateStatistics();  // decay 3/8: 9 x 3/8 = 3.375 -> 3, plus 5
  f = keys.figures('e');
  EXPECT_EQ(f.Presses, 8);
  EXPECT_EQ(f.Errors, 1);
  EXPECT_EQ(f.Total, 14);
  EXPECT_EQ(f.NewPresses, 5);  // still pending
  EXPECT_EQ(f.SavedPresses, 9);
  EXPECT_FLOAT_EQ(keys.getDifficulty('e'), 50);
  press(keys, 'e', 4, 0);
  keys.updateStatistics();  // 9 pending presses replace the history entirely
  f = keys.figures('e');
  EXPECT_EQ(f.Presses, 9);
  EXPECT_EQ(f.Errors, 1);
  EXPECT_EQ(f.Total, 18);
  EXPECT_EQ(f.NewPresses, 0);
  EXPECT_EQ(f.SavedTotal, 18);
  EXPECT_EQ(keys.getSessionPressesAtRank(1), 9);
}

TEST(DifficultKeys, DecayRoundsHalvesToEven) {
  TDifficultKeys keys(20);
  size_t pos = 0;
  ASSERT_TRUE(keys.loadRecord(recordWith('k', 30, 10, 3), pos));
  press(keys, 'k', 3, 0);
  keys.updateStatistics();  // 10 x 17/20 = 8.5 -> 8, 3 x 17/20 = 2.55 -> 3
  EXPECT_EQ(keys.figures('k').Presses, 8 + 3);
  EXPECT_EQ(keys.figures('k').Errors, 3);
}

TEST(DifficultKeys, TotalsAndDifficultiesAreCapped) {
  TDifficultKeys keys(8);
  size_t pos = 0;
  ASSERT_TRUE(keys.loadRecord(recordWith('t', 28990, 100, 0), pos));
  press(keys, 't', 11, 0);
  keys.updateStatistics();
  EXPECT_EQ(keys.figures('t').Total, 25000);  // 29001
  // All nine presses wrong: 360, cut back by lowering the errors to Round(2.5) = 2.
  press(keys, 'w', 9, 9);
  keys.updateStatistics();
  EXPECT_EQ(keys.figures('w').Errors, 2);
  EXPECT_FLOAT_EQ(keys.getDifficulty('w'), 80);
  press(keys, 'v', 20, 20);
  keys.updateStatistics();
  EXPECT_EQ(keys.figures('v').Errors, 5);
  EXPECT_FLOAT_EQ(keys.getDifficulty('v'), 100);
}

TEST(DifficultKeys, RanksWithTheExchangeSortsOrderOfEqualKeys) {
  TDifficultKeys keys(8);
  press(keys, 'a', 10, 1);  // 40
  press(keys, 'b', 10, 1);  // 40
  press(keys, 'c', 10, 2);  // 80
  keys.updateStatistics();
  EXPECT_EQ(keys.getTopKeys(3, TDifficultKeys::CaseFilter::Any), "cba");
  EXPECT_EQ(keys.getTopKeys(5, TDifficultKeys::CaseFilter::Any), "cba");  // stops at 0
  TDifficultKeys even(8);
  for (unsigned char c : {'a', 'b', 'c'}) press(even, c, 10, 1);
  even.updateStatistics();
  EXPECT_EQ(even.getTopKeys(3, TDifficultKeys::CaseFilter::Any), "abc");
  EXPECT_EQ(even.getKeyAtRank(0), 0);
  EXPECT_EQ(even.getKeyAtRank(224), 0);
  EXPECT_FLOAT_EQ(even.getDifficultyAtRank(200), 0);  // past the keys of the set
  EXPECT_EQ(even.getKeyAtRank(200), 0);
  EXPECT_EQ(even.getSessionPressesAtRank(0), 0);
  EXPECT_FLOAT_EQ(TDifficultKeys(8).getLevel(), 4);
}

TEST(DifficultKeys, CaseFiltersFollowWindows1252) {
  TDifficultKeys keys(8);
  press(keys, 'a', 10, 1);      // 40
  press(keys, 'A', 20, 3);      // 60
  press(keys, '1', 40, 5);      // 50
  press(keys, '\x9A', 80, 9);   // 45, s with caron
  press(keys, '\x8A', 80, 11);  // 55, its capital
  keys.updateStatistics();
  EXPECT_EQ(keys.getTopLowerKeys(8),
            "1\x9A"
            "a");
  EXPECT_EQ(keys.getTopUpperKeys(6),
            "A\x8A"
            "1");
  EXPECT_EQ(keys.getTopUpperKeys(2), "A\x8A");
}

TEST(DifficultKeys, TheKeySetDecidesWhatRanks) {
  TDifficultKeys keys(8);
  EXPECT_EQ(TDifficultKeys::DefaultKeySet().size(), 136u);
  press(keys, ' ', 10, 10);
  press(keys, '\r', 10, 10);
  press(keys, '#', 10, 5);
  press(keys, '.', 10, 2);
  keys.updateStatistics();
  EXPECT_EQ(keys.figures(' ').NewPresses + keys.figures(' ').Presses, 0);
  EXPECT_FLOAT_EQ(keys.getDifficulty('#'), 0);   // not in the set
  EXPECT_FLOAT_EQ(keys.getDifficulty('.'), 80);  // "," and "." always have a difficulty
  EXPECT_EQ(keys.getTopKeys(3, TDifficultKeys::CaseFilter::Any), "");  // but never rank
  keys.setKeySet("");
  EXPECT_FALSE(keys.KeySetActive());
  EXPECT_EQ(keys.getTopKeys(3, TDifficultKeys::CaseFilter::Any), "#.");
  keys.setKeySet(std::string(300, 'x'));
  EXPECT_EQ(keys.KeySet().size(), 255u);
  TDifficultKeys monitor(20, TDifficultKeys::Variant::Monitor);
  monitor.setKeySet(std::string(300, 'x'));
  EXPECT_EQ(monitor.KeySet().size(), 300u);
}

TEST(DifficultKeys, ColoursFollowTheBands) {
  TDifficultKeys keys(8);
  EXPECT_EQ(keys.getDifficultyColour(66), 0xFF014Fu);
  EXPECT_EQ(keys.getDifficultyColour(65.9f), 0xFFD21Du);
  EXPECT_EQ(keys.getDifficultyColour(33), 0xFFD21Du);
  EXPECT_EQ(keys.getDifficultyColour(32.9f), 0xA7B4F7u);
}

TEST(DifficultKeys, TheRecordIsThreeBlocksOfSixteenBitFigures) {
  TDifficultKeys keys(8);
  press(keys, 'a', 12, 3);
  press(keys, '!', 5, 0);  // pending presses are folded in before saving
  std::string bytes = "HDR";
  keys.saveRecord(bytes);
  ASSERT_EQ(bytes.size(), 3 + TDifficultKeys::RecordSize);
  const std::string record = bytes.substr(3);
  std::string expected = recordWith('a', 12, 12, 3);
  expected.replace(0, 2, le16(5));
  expected.replace(446, 2, le16(5));
  EXPECT_EQ(record, expected);
  EXPECT_EQ(record.substr(128, 2), le16(12));  // 'a' is the 65th code
  EXPECT_EQ(record.substr(446 + 128, 2), le16(12));
  EXPECT_EQ(record.substr(892 + 128, 2), le16(3));
}

TEST(DifficultKeys, LoadingMakesTheRecordTheHistory) {
  TDifficultKeys keys(8);
  press(keys, 'z', 3, 3);
  std::string bytes = recordWith('a', 12, 12, 3) + "tail";
  size_t pos = 0;
  ASSERT_TRUE(keys.loadRecord(bytes, pos));
  EXPECT_EQ(pos, TDifficultKeys::RecordSize);
  const auto f = keys.figures('a');
  EXPECT_EQ(f.Total + f.SavedTotal, 24);
  EXPECT_EQ(f.Presses + f.SavedPresses, 24);
  EXPECT_EQ(f.Errors + f.SavedErrors, 6);
  EXPECT_EQ(keys.figures('z').NewPresses, 0);
  EXPECT_FLOAT_EQ(keys.getDifficulty('a'), 100);
  // A record cut short changes nothing.
  pos = 5;
  EXPECT_FALSE(keys.loadRecord(bytes, pos));
  EXPECT_EQ(pos, 5u);
  EXPECT_FLOAT_EQ(keys.getDifficulty('a'), 100);
}

TEST(DifficultKeys, StoredFiguresStayInRange) {
  TDifficultKeys keys(20, TDifficultKeys::Variant::Monitor);
  press(keys, 'm', 40000, 0);
  std::string bytes;
  keys.saveRecord(bytes);
  const size_t at = 2 * ('m' - 33);
  EXPECT_EQ(bytes.substr(at, 2), le16(25000));
  EXPECT_EQ(bytes.substr(446 + at, 2), le16(32767));  // saturated, not wrapped
  // Negative figures from a damaged file count as none; errors beyond presses stay at 100.
  std::string damaged = recordWith('n', -4, -7, 0);
  damaged.replace(892 + 2 * ('p' - 33), 2, le16(50));
  damaged.replace(446 + 2 * ('p' - 33), 2, le16(10));
  damaged.replace(2 * ('p' - 33), 2, le16(10));
  size_t pos = 0;
  ASSERT_TRUE(keys.loadRecord(damaged, pos));
  EXPECT_EQ(keys.figures('n').Presses, 0);
  EXPECT_FLOAT_EQ(keys.getDifficulty('p'), 100);
  keys.clearStatistics();
  EXPECT_FLOAT_EQ(keys.getDifficulty('p'), 0);
}

TEST(DifficultKeys, ALearnerHasALessonAndAMonitorSet) {
  DifficultKeySets sets;
  EXPECT_EQ(&sets.CurrentDifficulties(), &sets.LessonDifficulties);
  EXPECT_EQ(sets.LessonDifficulties.Window(), 8);
  EXPECT_EQ(sets.MonitorDifficulties.Window(), 20);
  sets.SelectDifficulties(1);
  EXPECT_EQ(&sets.CurrentDifficulties(), &sets.MonitorDifficulties);
  sets.SelectDifficulties(2);
  EXPECT_EQ(&sets.CurrentDifficulties(), &sets.LessonDifficulties);
}

}  // namespace
}  // namespace ks
