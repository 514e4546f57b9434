// Randomness comes in through this interface so that tests can seed it.
#pragma once

#include <cstdint>
#include <random>

namespace ks {

class Random {
 public:
  virtual ~Random() = default;
  // A whole number in [0, n) (0 when n <= 0), like Delphi's Random(n).
  virtual int32_t next(int32_t n) = 0;
};

class SeededRandom final : public Random {
 public:
  explicit SeededRandom(uint32_t seed = std::random_device{}()) : engine_(seed) {}
  int32_t next(int32_t n) override {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int32_t>(0, n - 1)(engine_);
  }

 private:
  std::mt19937 engine_;
};

}  // namespace ks
