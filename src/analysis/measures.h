// The measures of typing performance: the typing stopwatch, the counters behind speed and
// accuracy, the hesitation detector and the rhythm meter. The word analyzer and the keystroke
// checkers feed them; results, tips and both programs' figures read them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/errorfinder.h"
#include "platform/clock.h"

namespace ks {

// A pausable stopwatch over the monotonic tick.
class TTypingTimer {
 public:
  explicit TTypingTimer(const Clock& clock) : clock_(&clock) {}

  void Reset();
  void StartOrResume();
  void Pause();
  bool IsRunning() const { return started_ && !paused_; }
  // Whole seconds (rounded) of running time; 0 before the start.
  int Seconds() const;
  // The seconds as "hh:mm:ss" (the monitor's day figure).
  std::string FormatHMS() const;
  // Makes the timer a paused one showing `seconds` (the monitor restores its day figure).
  void SetElapsed(int seconds);

 private:
  const Clock* clock_;
  // Ticks in ms. Flags rather than "0 = unset", so that a start computed back from a large
  // elapsed time on a freshly booted machine (a tick below zero) still counts.
  bool started_ = false;
  bool paused_ = false;
  int64_t startTick_ = 0;
  int64_t pausedTick_ = 0;
};

// Counters of the current exercise and the speed, accuracy and efficiency derived from them.
class TEfficiencyInfo {
 public:
  explicit TEfficiencyInfo(const TTypingTimer& timer) : timer_(&timer) {}

  int32_t TotalHits = 0;  // characters of compared words + 1 per word + missed - extra words
  int32_t Chars = 0;      // characters counted for speed and accuracy
  int32_t Words = 0;      // compared (non-empty) typed words
  int32_t Errors = 0;
  // Fed by the analyzer's character step and read only by the monitor: every keystroke, and
  // the characters typed minus backspaces.
  int32_t Keystrokes = 0;
  int32_t NetChars = 0;

  void Reset();
  void AddMissedWord(std::string_view word);
  void AddExtraWord(std::string_view word);

  // Keystrokes per minute over the typing timer's seconds.
  int GrossSpeed() const { return GrossSpeedOf(Chars, timer_->Seconds()); }
  int NetSpeed(int factor) const { return NetSpeedOf(Chars, Errors, factor, timer_->Seconds()); }
  int Accuracy(int factor) const { return AccuracyOf(Chars, Errors, factor); }
  double AccuracyExact(int factor) const;
  int Efficiency(int factor) const { return EfficiencyOf(Accuracy(factor), GrossSpeed()); }
  // The monitor's speed: every keystroke counts.
  int KeystrokeSpeed() const { return GrossSpeedOf(Keystrokes, timer_->Seconds()); }

  // The formulas on plain numbers, integer-exact where they truncate.
  static int GrossSpeedOf(int64_t chars, int seconds);
  static int NetSpeedOf(int64_t chars, int64_t errors, int factor, int seconds);
  static int AccuracyOf(int64_t chars, int64_t errors, int factor);
  static float SpeedScore(int grossSpeed);
  static float AccuracyScore(int accuracy);
  static int EfficiencyOf(int accuracy, int grossSpeed);

 private:
  const TTypingTimer* timer_;
};

// A ring of the last N single-precision values with their running sum and average.
template <int N>
struct IntervalRing {
  std::array<float, N> Values{};
  int Position = 0;  // 1..N of the newest value; 0 when empty
  int Count = 0;
  float Sum = 0;
  float Average = 0;

  void Reset() { *this = IntervalRing{}; }
  void Add(float value) {
    Position = Position >= N ? 1 : Position + 1;
    if (Count >= N) {
      Sum -= Values[Position - 1];
    } else {
      ++Count;
    }
    Values[Position - 1] = value;
    Sum += value;
    Average = Sum / static_cast<float>(Count);
  }
};

// Hesitation detector: a keystroke is hesitant when its interval stands out against the
// average of the last ten. Mode 0 is the tutor, mode 1 the monitor (other line constants).
class TDeviationCalc {
 public:
  uint8_t Mode = 0;

  void Reset() { ring_.Reset(); }
  // `interval` in units of 1/100000 day.
  bool IsHesitation(double interval);

 private:
  IntervalRing<10> ring_;
};

// Rhythm meter over the last 40 intervals, with a traffic light that changes only after a
// run of irregular keystrokes (hysteresis).
class TDeviationMeter {
 public:
  int DeviationPercent = 0;
  int Light = 0;  // 1 steady, 2 amber, 3 red; 0 after a reset

  void Reset();
  // `interval` in units of 1/100000 day.
  void AddInterval(double interval);
  int Rhythm() const;
  int Hysteresis() const { return hysteresis_; }

 private:
  IntervalRing<40> intervals_;
  IntervalRing<10> deviations_;
  int hysteresis_ = 0;  // survives Reset
  float total_ = 0;
  int summed_ = 0;
};

// The measure objects of one program run.
struct Measures {
  explicit Measures(const Clock& clock) : Timer(clock), Efficiency(Timer) {}
  Measures(const Measures&) = delete;
  Measures& operator=(const Measures&) = delete;

  TErrorFinder ErrorFinder;
  TTypingTimer Timer;
  TEfficiencyInfo Efficiency;
  TDeviationCalc DeviationCalc;
  TDeviationMeter DeviationMeter;
};

// Every typing event's setup: timer, counters, hesitation detector and rhythm meter from zero.
void ResetMeasures(Measures& m);
// A pause: the timer stops, and the two interval analysers start afresh afterwards.
void PauseMeasures(Measures& m);

}  // namespace ks
