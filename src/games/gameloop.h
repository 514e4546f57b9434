// The pieces every game model shares: the fixed step schedule, the bubble object, the time unit
// of the games' intervals and a uniform random fraction.
#pragma once

#include <cstdint>

namespace ks {

class Random;

// The games measure their spawn and reveal intervals in hundred-thousandths of a day.
constexpr double kGameTimeUnitMs = 864.0;

// Whether more than `interval` game time units have passed from `since` to `now` (ms ticks).
inline bool gameIntervalPassed(int64_t now, int64_t since, double interval) {
  return static_cast<double>(now - since) / kGameTimeUnitMs > interval;
}

// A uniform fraction in [0, 1) from the injected random source.
double randomFraction(Random& random);

// Steps at a fixed cadence: step k is due at start + k * interval, so late polls never push the
// later steps back (the loop does not drift). A loop that falls far behind (a stalled machine,
// a pause) starts its cadence again instead of racing through the missed steps.
class GameLoop {
 public:
  static constexpr int kMaxCatchUp = 5;

  explicit GameLoop(int intervalMs = 100) : interval_(intervalMs > 0 ? intervalMs : 1) {}

  // A new interval counts from the last step: the step already due moves with it.
  void SetInterval(int intervalMs);
  int Interval() const { return interval_; }
  // (Re)starts the cadence: the first step is due at once, or after one interval.
  void Start(int64_t now, bool stepAtOnce = true) {
    next_ = stepAtOnce ? now : now + interval_;
    running_ = true;
  }
  void Stop() { running_ = false; }
  bool Running() const { return running_; }
  // The number of steps due at `now`; they count as run.
  int DueSteps(int64_t now);

 private:
  int interval_;
  int64_t next_ = 0;
  bool running_ = false;
};

// One bubble: a letter bubble, a background bubble or a spark.
struct Tbubble {
  bool Active = false;
  char Letter = 0;  // 0: none
  int Kind = 1;     // 1 to 3 (4: the ABC game's target)
  int Direction = 1;
  int Wobble = 0;  // 0 to 3
  bool Decoration = false;
  int Diameter = 40;
  double X = 0, Y = 0;  // top left in the field
  double Speed = 0;
  int VelocityX = 0, VelocityY = 0;  // sparks
};

}  // namespace ks
