// The live speed of the information window: the last four keystroke intervals give a target
// speed, which the plotted value follows damped, so the line moves smoothly and falls back to
// zero when typing stops.
#pragma once

#include "analysis/measures.h"

namespace ks {

class NervoGraphModel {
 public:
  static constexpr float Maximum = 600;

  // Before each keystroke: the first keystroke has no interval.
  void Start(double now) {
    if (lastKey_ == 0) lastKey_ = now;
  }
  // A keystroke at `now` (days).
  void Keystroke(double now);
  // One refresh while typing: moves the value towards the speed and returns it (0..Maximum).
  float Update(double now);
  float Value() const { return value_; }

 private:
  double lastKey_ = 0;
  IntervalRing<4> intervals_;  // in 1/100000 day
  float value_ = 0;
  float step_ = 0;
};

}  // namespace ks
