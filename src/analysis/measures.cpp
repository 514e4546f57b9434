#include "analysis/measures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/numbers.h"

namespace ks {

// --- TTypingTimer ---

void TTypingTimer::Reset() {
  started_ = paused_ = false;
  startTick_ = pausedTick_ = 0;
}

void TTypingTimer::StartOrResume() {
  const int64_t now = clock_->tickMs();
  if (!started_) {
    started_ = true;
    startTick_ = now;
  } else if (paused_) {
    startTick_ += now - pausedTick_;
  }
  paused_ = false;
  pausedTick_ = 0;
}

void TTypingTimer::Pause() {
  if (IsRunning()) {
    paused_ = true;
    pausedTick_ = clock_->tickMs();
  }
}

int TTypingTimer::Seconds() const {
  if (!started_) return 0;
  const int64_t end = paused_ ? pausedTick_ : clock_->tickMs();
  const int64_t ms = end - startTick_;
  if (ms <= 0) return 0;
  return static_cast<int>(roundHalfEvenDiv(ms, 1000));
}

std::string TTypingTimer::FormatHMS() const {
  const int s = Seconds();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

void TTypingTimer::SetElapsed(int seconds) {
  if (seconds < 0) seconds = 0;
  const int64_t now = clock_->tickMs();
  started_ = true;
  paused_ = true;
  startTick_ = now - 1000 * static_cast<int64_t>(seconds);
  pausedTick_ = now;
}

// --- TEfficiencyInfo ---

void TEfficiencyInfo::Reset() {
  TotalHits = Chars = Words = Errors = 0;
  Keystrokes = NetChars = 0;
}

void TEfficiencyInfo::AddMissedWord(std::string_view word) {
  const auto n = static_cast<int32_t>(word.size());
  Errors += 1;
  TotalHits += n + 1;
  Chars += n;
}

void TEfficiencyInfo::AddExtraWord(std::string_view word) {
  const auto n = static_cast<int32_t>(word.size());
  Errors += 1;
  TotalHits -= n + 1;
  Chars -= n;
}

// Trunc formulas in integers: in double, 29/50*100 comes out as 57.99... and truncates wrongly.
int TEfficiencyInfo::GrossSpeedOf(int64_t chars, int seconds) {
  if (seconds <= 0) return 0;
  return static_cast<int>(60 * chars / seconds);
}

int TEfficiencyInfo::NetSpeedOf(int64_t chars, int64_t errors, int factor, int seconds) {
  if (seconds <= 0) return 0;
  const int64_t net = 60 * (chars - errors * factor) / seconds;
  return net < 0 ? 0 : static_cast<int>(net);
}

int TEfficiencyInfo::AccuracyOf(int64_t chars, int64_t errors, int factor) {
  if (chars <= 0) return 0;
  const int64_t a = 100 * (chars - errors * factor) / chars;
  return static_cast<int>(std::clamp<int64_t>(a, 0, 100));
}

double TEfficiencyInfo::AccuracyExact(int factor) const {
  if (Chars <= 0) return 0;
  const double a =
      static_cast<double>(static_cast<int64_t>(Chars) - static_cast<int64_t>(Errors) * factor) /
      Chars * 100.0;
  return std::clamp(a, 0.0, 100.0);
}

float TEfficiencyInfo::SpeedScore(int grossSpeed) {
  const float s = (static_cast<float>(grossSpeed) - 30.0f) / 60.0f;
  return std::clamp(s, 0.0f, 4.0f);
}

float TEfficiencyInfo::AccuracyScore(int accuracy) {
  const auto a = static_cast<float>(accuracy);
  float s;
  if (a < 60) {
    s = a / 60.0f;
  } else if (a < 85) {
    s = 1.0f + (a - 60.0f) / 25.0f;
  } else if (a < 95) {
    s = 2.0f + (a - 85.0f) / 10.0f;
  } else {
    s = 3.0f + (a - 95.0f) / 5.0f;
  }
  return std::clamp(s, 0.0f, 4.0f);
}

int TEfficiencyInfo::EfficiencyOf(int accuracy, int grossSpeed) {
  // The harmonic mean of the two scores, in percent.
  const float a = AccuracyScore(accuracy) / 4.0f;
  const float s = SpeedScore(grossSpeed) / 4.0f;
  if (a + s == 0) return 0;
  const double e = static_cast<double>(a) * s / (static_cast<double>(a) + s) * 2.0 * 100.0;
  return static_cast<int>(std::clamp<int64_t>(roundHalfEven(e), 0, 100));
}

// --- TDeviationCalc ---

bool TDeviationCalc::IsHesitation(double interval) {
  ring_.Add(static_cast<float>(interval));
  if (ring_.Count < 5) return false;
  // A straight line through (0.2, y0) and (0.6, y1), scaled by the average.
  const double y0 = Mode == 1 ? 0.35 : 0.45;
  const double y1 = Mode == 1 ? 0.9 : 1.2;
  return interval >= y0 + (y1 - y0) / 0.4 * ring_.Average;
}

// --- TDeviationMeter ---

void TDeviationMeter::Reset() {
  DeviationPercent = 0;
  Light = 0;
  intervals_.Reset();
  deviations_.Reset();
  total_ = 0;
  summed_ = 0;
}

void TDeviationMeter::AddInterval(double interval) {
  const auto value = static_cast<float>(interval);
  intervals_.Add(value);
  const float average = intervals_.Average;
  const float e = average == 0 ? 0.0f : std::fabs((average - value) / average);
  total_ += e;
  ++summed_;
  if (intervals_.Count >= 10) {
    deviations_.Add(e);
    if (deviations_.Count >= 5) {
      DeviationPercent = static_cast<int>(roundHalfEven(deviations_.Average * 100.0));
    }
  }
  if (DeviationPercent >= 45 && hysteresis_ < 22) {
    ++hysteresis_;
  } else if (hysteresis_ > 0) {
    --hysteresis_;
  }
  Light = 1;
  if (hysteresis_ >= 6) Light = hysteresis_ < 18 ? 2 : 3;
}

int TDeviationMeter::Rhythm() const {
  if (summed_ == 0) return 100;
  const int64_t r = roundHalfEven(100.0 - static_cast<double>(total_) / summed_ * 100.0);
  return r < 0 ? 0 : static_cast<int>(r);
}

// --- the set ---

void ResetMeasures(Measures& m) {
  m.Timer.Reset();
  m.Efficiency.Reset();
  m.DeviationCalc.Reset();
  m.DeviationMeter.Reset();
}

void PauseMeasures(Measures& m) {
  m.Timer.Pause();
  m.DeviationCalc.Reset();
  m.DeviationMeter.Reset();
}

}  // namespace ks
