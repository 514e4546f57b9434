// Counters stored as signed 16-bit values saturate instead of wrapping into negatives.
#pragma once

#include <cstdint>

namespace ks {

inline int16_t saturate16(int64_t v) {
  return static_cast<int16_t>(v > INT16_MAX ? INT16_MAX : (v < INT16_MIN ? INT16_MIN : v));
}

}  // namespace ks
