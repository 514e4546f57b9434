#include "monitor/nervograph.h"

#include <algorithm>

namespace ks {

void NervoGraphModel::Keystroke(double now) {
  intervals_.Add(static_cast<float>((now - lastKey_) * 100000.0));
  lastKey_ = now;
}

float NervoGraphModel::Update(double now) {
  float average = intervals_.Count < 1 ? 0 : intervals_.Sum / static_cast<float>(intervals_.Count);
  // A pause twice as long as the usual interval means the typing has stopped.
  if ((now - lastKey_) * 100000.0 > 2.0 * average) average = 0;
  const float target = average > 0 ? 60 / average : 0;
  const float step = std::clamp((target - value_) * 0.2f, step_ - 3, step_ + 3);
  step_ = step;
  value_ = std::clamp(value_ + step, 0.0f, Maximum);
  return value_;
}

}  // namespace ks
