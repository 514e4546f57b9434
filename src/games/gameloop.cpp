#include "games/gameloop.h"

#include "platform/random.h"

namespace ks {

double randomFraction(Random& random) {
  constexpr int32_t kSteps = 1 << 24;
  return static_cast<double>(random.next(kSteps)) / kSteps;
}

void GameLoop::SetInterval(int intervalMs) {
  const int interval = intervalMs > 0 ? intervalMs : 1;
  if (running_) next_ += interval - interval_;
  interval_ = interval;
}

int GameLoop::DueSteps(int64_t now) {
  if (!running_ || now < next_) return 0;
  const int64_t due = (now - next_) / interval_ + 1;
  if (due > kMaxCatchUp) {
    next_ = now + interval_;
    return 1;
  }
  next_ += due * interval_;
  return static_cast<int>(due);
}

}  // namespace ks
