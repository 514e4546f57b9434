// Time comes in through this interface so that every timed algorithm runs under a fake clock.
#pragma once

#include <cstdint>

namespace ks {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic milliseconds; only differences mean anything.
  virtual int64_t tickMs() const = 0;
  // Local date and time as days from 1899-12-30 with the time as fraction.
  virtual double now() const = 0;
};

class SystemClock final : public Clock {
 public:
  int64_t tickMs() const override;
  double now() const override;
};

// A clock that moves only when told to.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(double now = 45292.5, int64_t tick = 1000) : now_(now), tick_(tick) {}
  int64_t tickMs() const override { return tick_; }
  double now() const override { return now_; }
  void advance(int64_t ms) {
    tick_ += ms;
    now_ += static_cast<double>(ms) / 86400000.0;
  }
  void setNow(double now) { now_ = now; }

 private:
  double now_;
  int64_t tick_;
};

// The clock the programs use unless a test installs another.
Clock& systemClock();

}  // namespace ks
