#include "analysis/ui/timerfollower.h"

namespace ks {

TimerFollower::TimerFollower(PlainTimer& timer, QObject* parent) : QObject(parent), timer_(&timer) {
  connect(&qtimer_, &QTimer::timeout, this, [this] { timer_->Fire(); });
  timer_->Changed = [this](bool enabled, int intervalMs) {
    if (enabled) {
      qtimer_.start(intervalMs);
    } else {
      qtimer_.stop();
    }
  };
  if (timer_->Enabled()) qtimer_.start(timer_->Interval());
}

TimerFollower::~TimerFollower() {
  timer_->Changed = nullptr;
}

}  // namespace ks
