// The monitor page's charts and figures from a learner store filled with the keys the monitor
// writes, on Tuesday 2024-03-05 (weekday 3, week 10, the day after a leap February).
#include <gtest/gtest.h>

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "monitorview/sidewatchfigures.h"
#include "monitorview/sidewatchsetup.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "text/dates.h"

namespace ks {
namespace {

using Fig = TSidewatchFigures;

class SidewatchFiguresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(user_.Open("", omMemory), 1);
    TLocalize& l = Localize();
    l.SetString(15, "SuMoTuWeThFrSa");
    l.SetString(208, "wpm");
    l.SetString(272, " min");
    l.SetString(273, " h ");
    for (int id : {489, 490, 491}) l.SetString(id, " words");
    l.SetString(502, "Never practised.");
    l.SetString(503, " day ago");
    l.SetString(504, " days ago");
    l.SetString(1759, "difficult keys");
    for (int id : {1760, 1761, 1762, 1763, 1764, 1765, 1766, 1767})
      l.SetString(id, "m" + std::to_string(id));
  }
  void TearDown() override { Localize().Reset(); }

  void day(int weekday, int hits, int seconds, int words) {
    const std::string d = std::to_string(weekday);
    user_.WriteInteger("TotalHits.day" + d, hits);
    user_.WriteInteger("TypingSeconds.day" + d, seconds);
    user_.WriteInteger("TypedWords.day" + d, words);
  }
  static std::string labels(const GraphModel& g) {
    std::string out;
    for (const GraphBar& b : g.Bars) out += (b.Highlighted ? "*" : "") + b.Label + ",";
    return out;
  }
  static std::vector<double> values(const GraphModel& g) {
    std::vector<double> out;
    for (const GraphBar& b : g.Bars) out.push_back(b.Value);
    return out;
  }
  Fig compute(const TWordList* words = nullptr) {
    Fig f;
    f.Compute(user_, keys_, words, now_, SpeedUnit{false, 5});
    return f;
  }

  const double now_ = encodeDate(2024, 3, 5) + 0.5;
  TDynamicSettings user_;
  TDifficultKeys keys_{20, TDifficultKeys::Variant::Monitor};
};

TEST_F(SidewatchFiguresTest, TheLastSevenDaysAverageOnlyDaysWithTypingTime) {
  day(3, 3000, 600, 120);  // today: 300 keystrokes a minute
  day(2, 1000, 300, 30);   // yesterday: 200
  day(6, 500, 0, 0);       // keystrokes without time give no speed
  user_.WriteInteger("Speed.TopTen", 410);
  user_.WriteInteger("TypedWords.TopTen", 900);
  const Fig f = compute();

  const GraphModel& speed = f.Graphs[Fig::SpeedWeek];
  EXPECT_EQ(labels(speed), "We,Th,Fr,Sa,Su,Mo,*Tu,");
  EXPECT_EQ(values(speed), (std::vector<double>{-1, -1, -1, -1, -1, 40, 60}));
  EXPECT_EQ(speed.Maximum, 80);  // 300 down to a hundred, plus 100, in words a minute
  EXPECT_EQ(speed.Step, 40);
  EXPECT_EQ(f.SpeedToday.Value, "60 wpm");
  EXPECT_EQ(f.SpeedAverage.Value, "50 wpm");
  EXPECT_EQ(f.SpeedHighest.Value, "82 wpm");

  const GraphModel& words = f.Graphs[Fig::WordsWeek];
  EXPECT_EQ(words.Maximum, 500);
  EXPECT_EQ(words.Bars.back().Value, 120);
  EXPECT_EQ(f.WordsAverage.Value, "75 words");
  EXPECT_EQ(f.WordsHighest.Value, "900 words");
  EXPECT_EQ(f.Graphs[Fig::TimeWeek].Maximum, 1);
  EXPECT_EQ(f.TimeToday.Value, "10 min");
  EXPECT_EQ(f.TimeAverage.Value, "7 min");
  EXPECT_EQ(f.LastPractice, "Never practised.");
}

TEST_F(SidewatchFiguresTest,
       TheMonthSkipsDaysTheLastMonthDidNotHaveAndTheYearStartsAtItsFirstWeek) {
  user_.WriteInteger("SaWSp5", 1200);
  user_.WriteInteger("SaWTi5", 240);
  user_.WriteInteger("SaWSp29", 500);
  user_.WriteInteger("SaWTi29", 60);
  user_.WriteInteger("SaSp10", 12000);
  user_.WriteInteger("SaTi10", 3600);
  const Fig f = compute();

  const GraphModel& month = f.Graphs[Fig::SpeedMonth];
  ASSERT_EQ(month.Bars.size(), 29u);  // 6 to 29 February, 1 to 5 March
  EXPECT_EQ(month.Bars[0].Label, "2/6");
  EXPECT_EQ(month.Bars[23].Label, "");  // 29 February
  EXPECT_EQ(month.Bars[23].Value, 100);
  EXPECT_EQ(month.Bars[26].Label, "3/3");
  EXPECT_TRUE(month.Bars[28].Highlighted);
  EXPECT_EQ(month.Bars[28].Value, 60);
  EXPECT_EQ(month.Bars[27].Value, -1);

  const GraphModel& year = f.Graphs[Fig::SpeedYear];
  ASSERT_EQ(year.Bars.size(), 44u);  // weeks 10 to 53: 2024 ends on a Tuesday of week 53
  EXPECT_EQ(year.Bars[0].Label, "10");
  EXPECT_TRUE(year.Bars[0].Highlighted);
  EXPECT_EQ(year.Bars[1].Label, "");
  EXPECT_EQ(year.Bars[0].Value, 40);
  // Both calendars share the year's scale: 200 keystrokes a minute up to 300, in steps of 50.
  EXPECT_EQ(year.Maximum, 60);
  EXPECT_EQ(month.Maximum, 60);
  EXPECT_EQ(month.Step, 10);
  EXPECT_EQ(f.Graphs[Fig::TimeYear].Maximum, 2);
  EXPECT_EQ(f.Graphs[Fig::TimeYear].Bars[0].Value, 1);
}

TEST_F(SidewatchFiguresTest, ALearnerWithoutFiguresSeesEmptyChartsAndNoDifficulties) {
  TWordList words;
  const Fig f = compute(&words);
  EXPECT_EQ(f.Graphs[Fig::Keys].Bars.size(), 10u);
  EXPECT_EQ(values(f.Graphs[Fig::Keys]), std::vector<double>(10, -1));
  EXPECT_EQ(f.Graphs[Fig::SpeedYear].Bars.size(), 54u);  // weeks 0 to 53
  EXPECT_TRUE(f.NothingTyped);
  EXPECT_EQ(f.KeySummary, "m1761");
  EXPECT_EQ(f.CapitalSummary, "m1764");
  EXPECT_EQ(f.WordSummary, "m1767");
  EXPECT_EQ(f.SpeedAverage.Value, "0 wpm");
  EXPECT_EQ(f.WordsAverage.Value, "0 words");
  EXPECT_EQ(f.ProblemToday.Value, "0%");
}

TEST_F(SidewatchFiguresTest, KeysAndWordsTypedWithoutTroubleAreWellDoneNotMissing) {
  for (int i = 0; i < 20; ++i) keys_.recordKey('a', false);
  keys_.updateStatistics();
  TWordList words;
  words.AddOccurrence("hello", 0, wsMonitor, false);
  const Fig f = compute(&words);
  EXPECT_EQ(f.KeySummary, "m1760");
  EXPECT_EQ(f.CapitalSummary, "m1764");  // no capital typed yet
  EXPECT_EQ(f.WordSummary, "m1766");
  EXPECT_FALSE(f.NothingTyped);
}

// The last days of a year fall in week 53, or 54 in a leap year that starts on a Saturday: the
// year's chart goes on to them.
TEST_F(SidewatchFiguresTest, TheYearsLastWeeksAreCharted) {
  user_.WriteInteger("SaSp53", 3000);
  user_.WriteInteger("SaTi53", 600);
  const Fig f2024 = compute();
  const GraphModel& year = f2024.Graphs[Fig::SpeedYear];
  EXPECT_EQ(year.Bars.back().Label, "53");  // labelled: the chart starts after week 25
  EXPECT_EQ(year.Bars.back().Value, 60);

  Fig f;
  f.Compute(user_, keys_, nullptr, encodeDate(2012, 6, 1) + 0.5, SpeedUnit{false, 5});
  EXPECT_EQ(f.Graphs[Fig::SpeedYear].Bars.back().Label, "54");
}

TEST_F(SidewatchFiguresTest, DifficultKeysAreCountedChartedAndRecordedAsTodaysProblemIndex) {
  for (int i = 0; i < 20; ++i) {
    keys_.recordKey('k', i % 2 == 0);
    keys_.recordKey('j', false);
    keys_.recordKey('K', i == 0);
  }
  keys_.updateStatistics();
  user_.WriteInteger("ProblemIndex.TopTen", 1);
  user_.WriteFloat("Sidewatch.LastpracticeDate", static_cast<float>(encodeDate(2024, 3, 3) + 0.9));
  const Fig f = compute();

  const GraphModel& g = f.Graphs[Fig::Keys];
  EXPECT_EQ(g.Bars[0].Label, "k");
  EXPECT_EQ(g.Bars[0].Value, 100);
  EXPECT_EQ(g.Step, 0);
  ASSERT_EQ(g.Lines.size(), 3u);
  EXPECT_FLOAT_EQ(g.Lines[0].Value, 32.99f);
  EXPECT_EQ(f.Graphs[Fig::Capitals].Bars[0].Label, "K");
  EXPECT_EQ(f.DifficultKeys, 1);
  EXPECT_EQ(f.KeySummary, "1 difficult keys");
  EXPECT_EQ(f.CapitalSummary, "m1763");  // capitals measured, none difficult enough
  EXPECT_GT(f.ProblemIndex, 1);
  EXPECT_EQ(f.ProblemHighest.Value, std::to_string(f.ProblemIndex) + "%");
  EXPECT_EQ(user_.ReadInteger("ProblemIndex.day3"), f.ProblemIndex);
  EXPECT_EQ(f.Graphs[Fig::ProblemWeek].Bars.back().Value, f.ProblemIndex);
  EXPECT_EQ(f.LastPractice, "2 days ago");
}

TEST(SidewatchCalendar, WeeksStartOnSundayFromTheFirstOfJanuary) {
  EXPECT_EQ(weekOfYear(encodeDate(2024, 3, 5)), 10);
  EXPECT_EQ(weekOfYear(encodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(weekOfYear(encodeDate(2012, 12, 31)), 54);
}

TEST(SidewatchPractice, WordPracticeTypesTheWordsThriceWithoutFieldSeparators) {
  EXPECT_EQ(WordPracticeLine("teh"), "Event;Word;0;teh teh teh;space;5;10;");
  EXPECT_EQ(WordPracticeLine("one two "), "Event;Word;0;one two one two one two;space;5;10;");
  EXPECT_EQ(WordPracticeLine("a;b=c\r\n"), "Event;Word;0;a b c a b c a b c;space;5;10;");
  EXPECT_EQ(WordPracticeLine(" ;\t "), "");
  const std::string line = WordPracticeLine(std::string(60, 'w') + " " + std::string(60, 'x'));
  EXPECT_LE(line.size(), 255u);
  EXPECT_EQ(line.find('x'), std::string::npos);
}

}  // namespace
}  // namespace ks
