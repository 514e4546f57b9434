// What the game model tests share: a random source that plays back chosen fractions.
#pragma once

#include <cmath>
#include <deque>

#include "platform/random.h"

namespace ks::test {

// Plays back fractions in [0, 1): next(n) gives the fraction of n; then falls back to a seeded
// source, so a test scripts only the draws it cares about.
class ScriptedFractions : public Random {
 public:
  int32_t next(int32_t n) override {
    if (n <= 0) return 0;
    if (fractions.empty()) return rest.next(n);
    const double f = fractions.front();
    fractions.pop_front();
    return static_cast<int32_t>(std::floor(f * n));
  }
  std::deque<double> fractions;
  SeededRandom rest{7};
};

}  // namespace ks::test
