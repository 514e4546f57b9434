#include "engine/goals.h"

#include <algorithm>
#include <cmath>

#include "text/numbers.h"

namespace ks {
namespace {

double clampShare(double v) {
  return std::clamp(v, 0.0, 100.0);
}

bool hasExtraTime(const GoalInputs& in) {
  return in.timeLimit > in.baseTime;
}

double lerp(double from, double to, double t0, double t1, double t) {
  if (t1 <= t0) return to;
  return from + (to - from) * (t - t0) / (t1 - t0);
}

// The shares unrounded: the progress combines them before it truncates once.
double timeShare(const GoalInputs& in) {
  // A goal without a time to measure against cannot be partly reached.
  if (!hasExtraTime(in)) {
    if (in.timeLimit <= 0) return 0;
    return clampShare(in.typingTime * 100 / in.timeLimit);
  }
  if (in.typingTime >= in.baseTime) return 100;
  return clampShare(in.typingTime * 100 / in.baseTime);
}

double accuracyShare(double accuracy, int goalAccuracy) {
  const int floor = goalAccuracy >= 75 ? 50 : std::max(0, goalAccuracy - 30);
  // A goal at or below the floor is met by any accuracy.
  if (goalAccuracy - floor <= 0) return 100;
  return clampShare((accuracy - floor) * 100 / (goalAccuracy - floor));
}

}  // namespace

int goalTimeShare(const GoalInputs& in) {
  return static_cast<int>(timeShare(in));
}

int goalAccuracyShare(double accuracy, int goalAccuracy) {
  return static_cast<int>(accuracyShare(accuracy, goalAccuracy));
}

double goalSpeedTarget(const GoalInputs& in) {
  double goal;
  if (!hasExtraTime(in)) {
    goal = in.speedFinalGoal;
  } else if (in.completionSpeed <= 0 || in.speedStartGoal <= 0 || in.speedMidGoal <= 0 ||
             in.speedFinalGoal <= 0) {
    goal = 1;
  } else {
    const double t = in.typingTime;
    const double tb = in.baseTime;
    const double mid = tb + static_cast<double>(roundHalfEven((in.timeLimit - tb) / 2.0));
    const double end = in.timeLimit - in.notifyMargin;
    if (t < tb) {
      goal = in.speedStartGoal;
    } else if (t < mid) {
      goal = lerp(in.speedStartGoal, in.speedMidGoal, tb, mid, t);
    } else if (t <= end) {
      goal = lerp(in.speedMidGoal, in.speedFinalGoal, mid, end, t);
    } else {
      goal = in.speedFinalGoal;
    }
  }
  return goal <= 0 ? 1 : goal;
}

int goalProgress(const GoalInputs& in) {
  const double accuracy = accuracyShare(in.accuracy, in.goalAccuracy);
  const double speed = clampShare(in.grossSpeed * 100 / goalSpeedTarget(in));
  const double both = std::min((accuracy + speed) / 2, accuracy);
  return static_cast<int>(std::trunc(both * timeShare(in) / 100));
}

}  // namespace ks
