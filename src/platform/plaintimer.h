// A window timer without a window, for the plain models: they start and stop it and say what
// happens when it fires. Whoever drives time fires it: a QTimer that follows it in the programs,
// a fake clock in the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/clock.h"

namespace ks {

class PlainTimer {
 public:
  explicit PlainTimer(const Clock& clock, std::function<void()> onTimer = {})
      : clock_(&clock), onTimer_(std::move(onTimer)) {}
  PlainTimer(const PlainTimer&) = delete;
  PlainTimer& operator=(const PlainTimer&) = delete;

  void SetOnTimer(std::function<void()> onTimer) { onTimer_ = std::move(onTimer); }

  // Starts (or restarts) the timer: it fires every `intervalMs` until stopped.
  void Start(int intervalMs) {
    interval_ = std::max(1, intervalMs);
    enabled_ = true;
    due_ = clock_->tickMs() + interval_;
    if (Changed) Changed(true, interval_);
  }
  void Stop() {
    if (!enabled_) return;
    enabled_ = false;
    if (Changed) Changed(false, interval_);
  }
  bool Enabled() const { return enabled_; }
  int Interval() const { return interval_; }
  int64_t Due() const { return due_; }

  // One tick, as a window timer delivers it; nothing when the timer was stopped meanwhile.
  void Fire() {
    if (!enabled_) return;
    due_ = clock_->tickMs() + interval_;
    if (onTimer_) onTimer_();
  }
  // Fires once when the clock has reached the due time.
  bool FireIfDue() {
    if (!enabled_ || clock_->tickMs() < due_) return false;
    Fire();
    return true;
  }

  // The drawn side follows the timer with a real one: told of every start and stop.
  std::function<void(bool enabled, int intervalMs)> Changed;

 private:
  const Clock* clock_;
  std::function<void()> onTimer_;
  bool enabled_ = false;
  int interval_ = 1;
  int64_t due_ = 0;
};

// Moves a fake clock on by `ms`, firing the timers in the order they fall due, each at its own
// moment: what the timers of a running program would do in that time.
inline void RunTimers(FakeClock& clock, const std::vector<PlainTimer*>& timers, int64_t ms) {
  const int64_t end = clock.tickMs() + ms;
  for (;;) {
    PlainTimer* next = nullptr;
    for (PlainTimer* t : timers) {
      if (t->Enabled() && t->Due() <= end && (!next || t->Due() < next->Due())) next = t;
    }
    if (!next) break;
    if (next->Due() > clock.tickMs()) clock.advance(next->Due() - clock.tickMs());
    next->Fire();
  }
  if (end > clock.tickMs()) clock.advance(end - clock.tickMs());
}

}  // namespace ks
