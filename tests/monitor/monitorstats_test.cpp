// The monitor's day figures and notifications under a fake clock, on a real learner's store.
#include <gtest/gtest.h>

#include "monitor/monitornotify.h"
#include "monitor/monitorstats.h"
#include "monitor/nervograph.h"
#include "store/user.h"
#include "store/userfolders.h"
#include "text/dates.h"

namespace ks {
namespace {

struct Balloons : Notifier {
  void ShowBalloon(const std::string& text, const std::string& title, int ms,
                   bool practice) override {
    shown.push_back({text, title, ms, practice});
  }
  struct Shown {
    std::string text, title;
    int ms;
    bool practice;
  };
  std::vector<Shown> shown;
};

struct FixedRandom : Random {
  int32_t next(int32_t) override { return 2; }
};

constexpr double kMon = 45292;  // Monday 2024-01-01

class MonitorFigures : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    Localize().SetString(1287, "Tapwatch");
    Localize().SetString(1333, "Practise!");
    Localize().SetString(1463, "Typing for %s.");
    Localize().SetString(1466, "Stretch.");
    Localize().SetString(1473, "Break");
    user_ = NewUser("Ann", {&keys_, &words_});
    stats_.attach(user_.get());
  }
  void TearDown() override {
    user_.reset();
    UserFolders::TearDown();
  }
  void at(double when) { clock_.setNow(when); }
  // Typing that the analyzer would have counted: keystrokes, words and running seconds.
  void typed(int keys, int words, int seconds) {
    measures_.Efficiency.Keystrokes += keys;
    measures_.Efficiency.Words += words;
    measures_.Timer.SetElapsed(measures_.Timer.Seconds() + seconds);
  }
  DayFigures day(int d) { return MonitorFiguresReader::Day(*user_, d); }
  void fillSlots(int value) {
    for (int d = 1; d <= 7; ++d)
      for (const char* k : {"TotalHits", "TypedWords", "TypingSeconds", "ProblemIndex"})
        user_->WriteInteger(std::string(k) + ".day" + std::to_string(d), value);
  }
  // Makes eight lower-case keys troublesome: the problem index goes well above 40.
  void troubleKeys() {
    for (unsigned char c : std::string("asdfjklq"))
      for (int i = 0; i < 20; ++i) keys_.MonitorDifficulties.recordKey(c, true);
  }

  FakeClock clock_{kMon + 0.5};
  Measures measures_{clock_};
  DifficultKeySets keys_{TDifficultKeys::Variant::Monitor};
  TWordList words_;
  std::unique_ptr<TUser> user_;
  MonitorStats stats_{measures_, keys_, clock_};
  FixedRandom random_;
  Balloons balloons_;
  MonitorNotices notices_{stats_, clock_, random_, balloons_};
};

TEST(MonitorWeeks, CountFromTheFirstOfJanuaryWithSundayStartingAWeek) {
  const auto week = [](int y, int m, int d) {
    return MonitorFiguresReader::WeekNumber(encodeDate(y, m, d) + 0.7);
  };
  EXPECT_EQ(week(2023, 1, 1), 1);  // a Sunday
  EXPECT_EQ(week(2023, 1, 2), 2);
  EXPECT_EQ(week(2023, 1, 8), 2);
  EXPECT_EQ(week(2024, 1, 1), 1);  // a Monday
  EXPECT_EQ(week(2024, 1, 7), 1);
  EXPECT_EQ(week(2024, 1, 8), 2);
  EXPECT_EQ(week(2000, 12, 31), 53);
  EXPECT_EQ(week(2012, 12, 31), 54);
}

TEST_F(MonitorFigures, LogonClearsTheDaysMissedSinceTheLastSave) {
  fillSlots(5);
  user_->WriteFloat("Lastdate", kMon);
  at(kMon + 1.3);  // the next day: nothing missed
  stats_.DailyLoad();
  for (int d = 1; d <= 7; ++d) EXPECT_EQ(day(d).hits, 5) << d;

  at(kMon + 3.3);  // Thursday: Tuesday (3) and Wednesday (4) were missed
  stats_.DailyLoad();
  EXPECT_EQ(day(3).hits, 0);
  EXPECT_EQ(day(4).words, 0);
  EXPECT_EQ(day(2).hits, 5);
  EXPECT_EQ(day(5).hits, 5);
  EXPECT_EQ(stats_.CurrentDay(), 5);

  fillSlots(5);
  at(kMon + 10.3);  // more than a week: every slot
  stats_.DailyLoad();
  for (int d = 1; d <= 7; ++d) EXPECT_EQ(day(d), DayFigures{}) << d;
}

TEST_F(MonitorFigures, ALogonOnTheSameDayTakesUpTheDaysFigures) {
  stats_.DailyLoad();
  typed(900, 150, 600);
  stats_.DailySave(2);
  EXPECT_EQ(measures_.Efficiency.Keystrokes, 0);
  EXPECT_EQ(day(2).hits, 900);
  EXPECT_EQ(MonitorFiguresReader::Days(*user_), 1);

  at(kMon + 0.8);
  stats_.DailyLoad();
  EXPECT_EQ(measures_.Efficiency.Keystrokes, 900);
  EXPECT_EQ(measures_.Efficiency.Words, 150);
  EXPECT_EQ(measures_.Timer.Seconds(), 600);
  stats_.DailySave(2);
  EXPECT_EQ(MonitorFiguresReader::Days(*user_), 1);  // the same day counts once
}

// Typing through midnight at the end of a year: the old day's figures are filed under the old
// weekday, week and day of the month, the new day starts from zero and counts once.
TEST_F(MonitorFigures, TypingAcrossMidnightFilesTheOldDayUnderItsOwnDate) {
  const double sunday = encodeDate(2023, 12, 31);
  at(sunday + 0.9);
  stats_.DailyLoad();
  fillSlots(7);
  typed(1200, 200, 900);
  stats_.DailySave(1);  // same day: nothing yet
  EXPECT_EQ(day(1).hits, 7);

  at(sunday + 1.01);  // Monday 2024-01-01, 00:14
  troubleKeys();
  stats_.DailySave(1);
  EXPECT_EQ(day(1), (DayFigures{1200, 200, 900, stats_.ProblemIndexNow()}));
  const int week = MonitorFiguresReader::WeekNumber(sunday);
  EXPECT_EQ(MonitorFiguresReader::Week(*user_, week).hits, 1200);
  EXPECT_EQ(MonitorFiguresReader::MonthDay(*user_, 31).seconds, 900);
  EXPECT_EQ(MonitorFiguresReader::MonthDay(*user_, 1).hits, 0);
  EXPECT_EQ(day(2).problemIndex, stats_.ProblemIndexNow());
  EXPECT_EQ(stats_.CurrentDay(), 2);
  EXPECT_EQ(measures_.Efficiency.Keystrokes, 0);
  EXPECT_EQ(MonitorFiguresReader::LastDate(*user_), sunday + 1);
  const int days = MonitorFiguresReader::Days(*user_);
  stats_.DailySave(1);
  stats_.DailySave(2);
  EXPECT_EQ(MonitorFiguresReader::Days(*user_), days);

  // Through the end of a month after a suspended weekend: the skipped days are cleared.
  fillSlots(3);
  user_->WriteFloat("Lastdate", encodeDate(2024, 1, 30));
  at(encodeDate(2024, 1, 31) + 0.5);  // Wednesday
  stats_.DailyLoad();
  typed(100, 10, 60);
  at(encodeDate(2024, 2, 3) + 0.2);  // Saturday
  stats_.DailySave(1);
  EXPECT_EQ(day(4).hits, 100);
  EXPECT_EQ(MonitorFiguresReader::MonthDay(*user_, 31).hits, 100);
  EXPECT_EQ(day(5).hits, 0);  // Thursday and Friday were not typed on
  EXPECT_EQ(day(6).hits, 0);
  EXPECT_EQ(day(3).hits, 3);
}

// The samples per week and per day of the month belong to the last year and month until their
// week or day comes round again: then they are cleared, typed in or not.
TEST_F(MonitorFigures, SamplesOfAWeekOrDayThatComesRoundAgainAreCleared) {
  for (int w = 1; w <= 54; ++w) {
    user_->WriteInteger("SaSp" + std::to_string(w), 100);
    user_->WriteInteger("SaTi" + std::to_string(w), 60);
  }
  for (int m = 1; m <= 31; ++m) {
    user_->WriteInteger("SaWSp" + std::to_string(m), 100);
    user_->WriteInteger("SaWTi" + std::to_string(m), 60);
  }
  const auto week = [&](int w) { return MonitorFiguresReader::Week(*user_, w).seconds; };
  const auto monthDay = [&](int m) { return MonitorFiguresReader::MonthDay(*user_, m).seconds; };
  // Last saved on Monday 2024-01-01 (week 1); back on Friday 2024-01-19 (week 3).
  user_->WriteFloat("Lastdate", kMon);
  at(kMon + 18.3);
  stats_.DailyLoad();
  EXPECT_EQ(week(1), 60);  // the last save's
  EXPECT_EQ(week(2), 0);
  EXPECT_EQ(week(3), 0);   // a year old: filed anew at the next save
  EXPECT_EQ(week(4), 60);  // last year's, still to come round
  EXPECT_EQ(monthDay(1), 60);
  for (int m = 2; m <= 19; ++m) EXPECT_EQ(monthDay(m), 0) << m;
  EXPECT_EQ(monthDay(20), 60);

  // Typing into the next day files the old day and clears the new one's samples.
  typed(600, 100, 120);
  at(kMon + 19.2);
  stats_.DailySave(1);
  EXPECT_EQ(monthDay(19), 120);
  EXPECT_EQ(week(3), 120);
  EXPECT_EQ(monthDay(20), 0);
  EXPECT_EQ(monthDay(21), 60);
}

TEST_F(MonitorFigures, ABestDayIsReplacedOnlyByAGreaterOne) {
  stats_.DailyLoad();
  typed(0, 40, 300);
  stats_.DailySave(2);
  EXPECT_EQ(MonitorFiguresReader::Best(*user_, "TypedWords").value, 40);
  EXPECT_FLOAT_EQ(MonitorFiguresReader::Best(*user_, "TypedWords").date, kMon + 0.5);

  at(kMon + 0.75);
  stats_.DailyLoad();  // 40 words again
  stats_.DailySave(2);
  EXPECT_FLOAT_EQ(MonitorFiguresReader::Best(*user_, "TypedWords").date, kMon + 0.5);
  stats_.DailyLoad();
  typed(0, 1, 0);
  stats_.DailySave(2);
  EXPECT_EQ(MonitorFiguresReader::Best(*user_, "TypedWords").value, 41);
  EXPECT_FLOAT_EQ(MonitorFiguresReader::Best(*user_, "TypedWords").date, kMon + 0.75);
}

// An hour's interval: checks every 5 minutes; the reminder comes once the stretch is longer
// than an hour, then after each further hour; a pause of 8 minutes starts a new stretch.
TEST_F(MonitorFigures, TheBreakReminderComesAfterEachFullIntervalOfTyping) {
  user_->WriteBool("NotifyWhenBreak", true);
  user_->WriteInteger("BreakTrackBar.position", 4);
  notices_.loadSettings(*user_);
  const double start = clock_.now();
  const double minute = 1.0 / 1440;
  for (double m : {5.0, 10.0, 15.0, 20.0, 25.0, 30.0, 35.0, 40.0, 45.0, 50.0, 55.0, 59.9}) {
    at(start + m * minute);
    notices_.NotifyCheck(1, 0);
  }
  EXPECT_TRUE(balloons_.shown.empty());
  at(start + 60.1 * minute);
  notices_.NotifyCheck(1, 0);
  ASSERT_EQ(balloons_.shown.size(), 1u);
  EXPECT_EQ(balloons_.shown[0].text, "Typing for 01:00.\rStretch.");
  EXPECT_EQ(balloons_.shown[0].title, "Break");
  EXPECT_FALSE(balloons_.shown[0].practice);

  for (int m = 65; m <= 120; m += 5) {  // the last one 59.9 minutes after the reminder
    at(start + m * minute);
    notices_.NotifyCheck(1, 0);
  }
  EXPECT_EQ(balloons_.shown.size(), 1u);  // not again too soon
  at(start + 128 * minute);               // 8 minutes without a check: a new stretch
  notices_.NotifyCheck(1, 0);
  for (int m = 133; m <= 183; m += 5) {
    at(start + m * minute);
    notices_.NotifyCheck(1, 0);
  }
  at(start + 187.9 * minute);
  notices_.NotifyCheck(1, 0);
  EXPECT_EQ(balloons_.shown.size(), 1u);
  at(start + 188.2 * minute);
  notices_.NotifyCheck(1, 0);
  EXPECT_EQ(balloons_.shown.size(), 2u);

  user_->WriteBool("NotifyWhenBreak", false);  // off: the stored interval does not count
  notices_.loadSettings(*user_);
  for (int m = 190; m <= 400; m += 5) {
    at(start + m * minute);
    notices_.NotifyCheck(1, 0);
  }
  notices_.NotifyCheck(1, 0);
  EXPECT_EQ(balloons_.shown.size(), 2u);
}

TEST_F(MonitorFigures, PracticeIsSuggestedOnceADayAfterEnoughTypingWithTroublesomeKeys) {
  user_->WriteBool("NotifyWhenDifficulties", true);
  user_->WriteInteger("PagesTrackBar.position", 2);
  notices_.loadSettings(*user_);
  stats_.DailyLoad();
  troubleKeys();
  notices_.NotifyCheck(1, 5000);  // only the end of a burst suggests
  notices_.NotifyCheck(2, 4000);  // exactly 2 x 2000: not more
  EXPECT_TRUE(balloons_.shown.empty());
  notices_.NotifyCheck(2, 4001);
  ASSERT_EQ(balloons_.shown.size(), 1u);
  EXPECT_EQ(balloons_.shown[0].text, "Practise!");
  EXPECT_EQ(balloons_.shown[0].ms, 15000);
  EXPECT_TRUE(balloons_.shown[0].practice);
  EXPECT_EQ(user_->ReadInt64("LastMonitoredDif"), 4001);

  notices_.NotifyCheck(2, 9000);  // the same day
  EXPECT_EQ(balloons_.shown.size(), 1u);
  at(kMon + 1.5);
  notices_.NotifyCheck(2, 8001);  // the next day, but not enough typing since
  EXPECT_EQ(balloons_.shown.size(), 1u);

  // Enough typing with nothing troublesome: no suggestion, and none again that day.
  keys_.MonitorDifficulties.clearStatistics();
  at(kMon + 2.5);
  notices_.NotifyCheck(2, 9000);
  EXPECT_EQ(balloons_.shown.size(), 1u);
  EXPECT_EQ(user_->ReadInt64("LastMonitoredDif"), 9000);

  // Counters past 2^31 still compare.
  at(kMon + 3.5);
  troubleKeys();
  user_->WriteInt64("LastMonitoredDif", int64_t{3} << 31);
  notices_.NotifyCheck(2, (int64_t{3} << 31) + 4001);
  EXPECT_EQ(balloons_.shown.size(), 2u);
}

// Keys 0.2 s apart aim at 60 / (0.2 / 0.864) = 259; the line gets there in damped steps that
// change by at most 3 from one refresh to the next, and falls back once typing stops.
TEST(SpeedGraph, FollowsTheTypingSpeedInDampedSteps) {
  NervoGraphModel graph;
  const double key = 0.2 / 86400, refresh = 0.15 / 86400;
  double now = kMon, keyAt = kMon;
  float previous = 0, previousStep = 0;
  for (int i = 0; i < 200; ++i) {
    if (now >= keyAt) {
      graph.Start(now);
      graph.Keystroke(now);
      keyAt += key;
    }
    const float value = graph.Update(now);
    EXPECT_LE(std::abs((value - previous) - previousStep), 3.0f + 1e-3f) << i;
    previousStep = value - previous;
    previous = value;
    now += refresh;
  }
  EXPECT_NEAR(graph.Value(), 259, 25);
  for (int i = 0; i < 200; ++i) graph.Update(now += refresh);  // stopped
  EXPECT_LT(graph.Value(), 1);
  EXPECT_GE(graph.Value(), 0);
}

}  // namespace
}  // namespace ks
