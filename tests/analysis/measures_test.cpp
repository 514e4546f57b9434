#include <gtest/gtest.h>

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "text/numbers.h"

namespace ks {
namespace {

using Info = TEfficiencyInfo;

TEST(Rounding, ExactRatiosRoundTiesToEven) {
  EXPECT_EQ(roundHalfEvenDiv(25, 2), 12);  // 12.5
  EXPECT_EQ(roundHalfEvenDiv(27, 2), 14);  // 13.5
  EXPECT_EQ(roundHalfEvenDiv(-5, 2), -2);
  EXPECT_EQ(roundHalfEvenDiv(-7, 2), -4);
  EXPECT_EQ(roundHalfEvenDiv(10, 3), 3);
  EXPECT_EQ(roundHalfEvenDiv(20, 3), 7);
  EXPECT_EQ(roundHalfEvenDiv(7, -2), -4);
}

TEST(Speeds, FollowTheCountersAndTheFactor) {
  // 300 characters with 3 errors in 60 seconds, F = 5.
  EXPECT_EQ(Info::GrossSpeedOf(300, 60), 300);
  EXPECT_EQ(Info::NetSpeedOf(300, 3, 5, 60), 285);
  EXPECT_EQ(Info::AccuracyOf(300, 3, 5), 95);
  // Errors x F beyond the characters: nothing left, never negative.
  EXPECT_EQ(Info::NetSpeedOf(10, 3, 5, 60), 0);
  EXPECT_EQ(Info::AccuracyOf(10, 3, 5), 0);
  // No time, no characters.
  EXPECT_EQ(Info::GrossSpeedOf(300, 0), 0);
  EXPECT_EQ(Info::NetSpeedOf(300, 0, 5, 0), 0);
  EXPECT_EQ(Info::AccuracyOf(0, 0, 5), 0);
}

TEST(Speeds, TruncateExactlyWhereDoublesWouldNot) {
  EXPECT_EQ(Info::AccuracyOf(50, 21, 1), 58);  // 29/50 x 100; 57 in double arithmetic
  EXPECT_EQ(Info::GrossSpeedOf(1449, 23), 3780);
}

TEST(Speeds, ReadTheTypingTimer) {
  FakeClock clock;
  Measures m(clock);
  m.Timer.StartOrResume();
  clock.advance(60000);
  m.Efficiency.Chars = 300;
  m.Efficiency.Errors = 3;
  EXPECT_EQ(m.Efficiency.GrossSpeed(), 300);
  EXPECT_EQ(m.Efficiency.NetSpeed(5), 285);
  EXPECT_EQ(m.Efficiency.Accuracy(5), 95);
  EXPECT_DOUBLE_EQ(m.Efficiency.AccuracyExact(5), 95.0);
  m.Efficiency.Chars = 7;
  m.Efficiency.Errors = 1;
  EXPECT_NEAR(m.Efficiency.AccuracyExact(1), 600.0 / 7, 1e-12);
  m.Efficiency.Keystrokes = 150;
  EXPECT_EQ(m.Efficiency.KeystrokeSpeed(), 150);
}

TEST(Efficiency, IsTheHarmonicMeanOfTheScores) {
  EXPECT_FLOAT_EQ(Info::AccuracyScore(95), 3.0f);
  EXPECT_FLOAT_EQ(Info::AccuracyScore(60), 1.0f);
  EXPECT_FLOAT_EQ(Info::AccuracyScore(30), 0.5f);
  EXPECT_FLOAT_EQ(Info::AccuracyScore(90), 2.5f);
  EXPECT_FLOAT_EQ(Info::AccuracyScore(100), 4.0f);
  EXPECT_FLOAT_EQ(Info::SpeedScore(30), 0.0f);
  EXPECT_FLOAT_EQ(Info::SpeedScore(10), 0.0f);
  EXPECT_FLOAT_EQ(Info::SpeedScore(270), 4.0f);
  EXPECT_FLOAT_EQ(Info::SpeedScore(900), 4.0f);
  EXPECT_EQ(Info::EfficiencyOf(95, 270), 86);  // Round(0.75 x 1 / 1.75 x 200)
  EXPECT_EQ(Info::EfficiencyOf(100, 270), 100);
  EXPECT_EQ(Info::EfficiencyOf(0, 20), 0);  // both scores 0
  EXPECT_EQ(Info::EfficiencyOf(100, 20), 0);
}

TEST(Counters, MissedAndExtraWordsMoveTheHits) {
  FakeClock clock;
  Measures m(clock);
  m.Efficiency.AddMissedWord("three");
  EXPECT_EQ(m.Efficiency.Errors, 1);
  EXPECT_EQ(m.Efficiency.TotalHits, 6);
  EXPECT_EQ(m.Efficiency.Chars, 5);
  m.Efficiency.AddExtraWord("one");
  EXPECT_EQ(m.Efficiency.Errors, 2);
  EXPECT_EQ(m.Efficiency.TotalHits, 2);
  EXPECT_EQ(m.Efficiency.Chars, 2);
  ResetMeasures(m);
  EXPECT_EQ(m.Efficiency.Errors + m.Efficiency.TotalHits + m.Efficiency.Chars, 0);
}

TEST(ErrorFinder, GradesTheExamples) {
  TErrorFinder f;
  EXPECT_EQ(f.ErrorPercent("house", "house"), 0);
  EXPECT_EQ(f.ErrorPercent("house", "housE"), 10);   // case only: half an error
  EXPECT_EQ(f.ErrorPercent("house", "huose"), 20);   // swapped pair
  EXPECT_EQ(f.ErrorPercent("house", "hoouse"), 20);  // one extra character
  EXPECT_EQ(f.ErrorPercent("house", "hose"), 20);    // one missing character
  EXPECT_EQ(f.ErrorPercent("house", "hpuse"), 20);   // one wrong character
  EXPECT_EQ(f.ErrorPercent("abc", "xyz"), 100);
  EXPECT_EQ(f.ErrorPercent("text", "texT"), 12);  // 12.5 rounds to even
  EXPECT_EQ(f.ErrorPercent("the", "teh"), 33);
  EXPECT_EQ(f.ErrorPercent("", "x"), 100);
  EXPECT_EQ(f.ErrorPercent("x", ""), 100);
}

TEST(ErrorFinder, RealignsOverTwoCharacters) {
  TErrorFinder f;
  // Two extra characters cost one and a half errors, and so do two missing ones.
  EXPECT_EQ(f.ErrorPercent("keyboards", "kexxyboards"), 17);  // 1.5 / 9
  EXPECT_EQ(f.ErrorPercent("keyboards", "kboards"), 17);
  // The threshold turns a bad word into a different one.
  EXPECT_EQ(f.ErrorPercent("house", "hxxse"), 40);
  EXPECT_EQ(f.ErrorPercent("house", "hxxxe"), 100);
  f.Threshold = 60;
  EXPECT_EQ(f.ErrorPercent("house", "hxxxe"), 60);
}

TEST(ErrorFinder, FoldsCaseByWindows1252) {
  TErrorFinder f;
  // An accented capital is the same letter, costing half an error.
  EXPECT_EQ(f.ErrorPercent("\xE9t\xE9", "\xC9t\xE9"), 17);
  EXPECT_EQ(f.ErrorPercent("\x9A\x9A", "\x8A\x9A"), 25);
}

TEST(ErrorFinder, RecordsTheAlignedKeys) {
  TErrorFinder f;
  TDifficultKeys keys(8);
  // "hoouse": the doubled o is the typed key's fault; the rest were right.
  EXPECT_EQ(f.ErrorPercentWithKeys("house", "hoouse", &keys), 20);
  EXPECT_EQ(keys.figures('o').NewPresses, 2);
  EXPECT_EQ(keys.figures('o').NewErrors, 1);
  EXPECT_EQ(keys.figures('h').NewPresses, 1);
  EXPECT_EQ(keys.figures('e').NewErrors, 0);
  // A wrong character is the expected key's fault; a missing one too.
  keys.clearStatistics();
  f.ErrorPercentWithKeys("house", "hpuse", &keys);
  EXPECT_EQ(keys.figures('o').NewErrors, 1);
  EXPECT_EQ(keys.figures('p').NewPresses, 0);
  keys.clearStatistics();
  f.ErrorPercentWithKeys("house", "hose", &keys);
  EXPECT_EQ(keys.figures('u').NewErrors, 1);
  // An extra character that is not a repeat is nobody's fault.
  keys.clearStatistics();
  f.ErrorPercentWithKeys("house", "hoxuse", &keys);
  EXPECT_EQ(keys.figures('x').NewPresses, 0);
  EXPECT_EQ(keys.figures('u').NewErrors, 0);
  // A different word records nothing.
  keys.clearStatistics();
  EXPECT_EQ(f.ErrorPercentWithKeys("house", "xyz", &keys), 100);
  EXPECT_EQ(keys.figures('h').NewPresses, 0);
}

TEST(TypingTimer, CountsRoundedSecondsOfRunningTime) {
  FakeClock clock;
  TTypingTimer t(clock);
  EXPECT_EQ(t.Seconds(), 0);
  EXPECT_FALSE(t.IsRunning());
  t.StartOrResume();
  clock.advance(10500);
  EXPECT_EQ(t.Seconds(), 10);  // 10.5 rounds to even
  clock.advance(1000);
  EXPECT_EQ(t.Seconds(), 12);  // 11.5
  t.Pause();
  clock.advance(30000);
  EXPECT_EQ(t.Seconds(), 12);  // a paused timer does not grow
  t.StartOrResume();
  EXPECT_TRUE(t.IsRunning());
  clock.advance(500);
  EXPECT_EQ(t.Seconds(), 12);  // 12.0 continues from the paused value
  t.Reset();
  EXPECT_EQ(t.Seconds(), 0);
}

TEST(TypingTimer, ShowsAndRestoresTheMonitorsDayFigure) {
  FakeClock clock(45292.5, 1000);  // a tick just after boot
  TTypingTimer t(clock);
  t.SetElapsed(3725);
  EXPECT_EQ(t.Seconds(), 3725);
  EXPECT_EQ(t.FormatHMS(), "01:02:05");
  EXPECT_FALSE(t.IsRunning());
  t.StartOrResume();
  clock.advance(2000);
  EXPECT_EQ(t.Seconds(), 3727);
  t.SetElapsed(-5);
  EXPECT_EQ(t.FormatHMS(), "00:00:00");
}

TEST(Hesitation, StandsOutAgainstTheLastTen) {
  TDeviationCalc tutor;
  TDeviationCalc monitor;
  monitor.Mode = 1;
  for (int i = 0; i < 4; ++i) {
    EXPECT_FALSE(tutor.IsHesitation(5.0));  // fewer than five values: never
    tutor.Reset();
  }
  for (int i = 0; i < 9; ++i) {
    tutor.IsHesitation(0.2);
    monitor.IsHesitation(0.2);
  }
  // Average with the new value (1.8 + x) / 10: the tutor's line needs x >= 0.97, the
  // monitor's x >= 0.70.
  TDeviationCalc tutor2 = tutor;
  EXPECT_FALSE(tutor.IsHesitation(0.8));
  EXPECT_TRUE(monitor.IsHesitation(0.8));
  EXPECT_TRUE(tutor2.IsHesitation(1.0));
}

TEST(Rhythm, EvenTypingIsFullRhythm) {
  TDeviationMeter meter;
  EXPECT_EQ(meter.Rhythm(), 100);
  for (int i = 0; i < 60; ++i) meter.AddInterval(0.25);
  EXPECT_EQ(meter.Rhythm(), 100);
  EXPECT_EQ(meter.DeviationPercent, 0);
  EXPECT_EQ(meter.Light, 1);
}

TEST(Rhythm, IrregularTypingTurnsTheLightAfterAWhile) {
  TDeviationMeter meter;
  std::vector<int> lights;
  for (int i = 0; i < 40; ++i) {
    meter.AddInterval(i % 2 ? 0.1 : 0.9);
    lights.push_back(meter.Light);
  }
  // The deviation percent exists from the 14th interval (10 intervals, then 5 deviations);
  // from then on the counter climbs by one per key: amber at 6, red at 18.
  EXPECT_EQ(lights[17], 1);
  EXPECT_EQ(lights[18], 2);
  EXPECT_EQ(lights[29], 2);
  EXPECT_EQ(lights[30], 3);
  EXPECT_GE(meter.DeviationPercent, 45);
  EXPECT_LT(meter.Rhythm(), 50);
  // A reset starts the measurement afresh but the light keeps its memory.
  meter.Reset();
  EXPECT_EQ(meter.Rhythm(), 100);
  EXPECT_EQ(meter.Light, 0);
  meter.AddInterval(0.3);
  // At its top of 22 the counter steps back and forth (22, 21, ...): 21 after the 40th key.
  EXPECT_EQ(meter.Hysteresis(), 20);
  EXPECT_EQ(meter.Light, 3);
}

TEST(Measures, PauseStopsTheTimerAndRestartsTheAnalysers) {
  FakeClock clock;
  Measures m(clock);
  m.Timer.StartOrResume();
  m.Efficiency.Chars = 12;
  for (int i = 0; i < 12; ++i) m.DeviationMeter.AddInterval(i % 2 ? 0.1 : 0.9);
  clock.advance(3000);
  PauseMeasures(m);
  EXPECT_FALSE(m.Timer.IsRunning());
  EXPECT_EQ(m.DeviationMeter.Rhythm(), 100);
  EXPECT_EQ(m.Efficiency.Chars, 12);  // the counters stay
  clock.advance(3000);
  EXPECT_EQ(m.Timer.Seconds(), 3);
}

}  // namespace
}  // namespace ks
