// Accuracy and speed goals of a timed exercise: how far the learner has come towards the goal of
// their level, shown as a progress bar and used to interrupt a learner who has already made it.
#pragma once

namespace ks {

struct GoalInputs {
  double accuracy = 0;     // % so far
  double grossSpeed = 0;   // keystrokes per minute so far
  double typingTime = 0;   // seconds typed
  int timeLimit = 0;       // TL, seconds (base + extra)
  int baseTime = 0;        // TB, seconds
  int notifyMargin = 10;   // M, seconds
  int goalAccuracy = 0;    // GA, %
  int speedStartGoal = 0;  // keystrokes per minute
  int speedMidGoal = 0;
  int speedFinalGoal = 0;
  int completionSpeed = 0;
};

// The share of the time passed, 0-100.
int goalTimeShare(const GoalInputs& in);
// The share of the accuracy goal reached, 0-100.
int goalAccuracyShare(double accuracy, int goalAccuracy);
// The speed goal at the current typing time (never below 1).
double goalSpeedTarget(const GoalInputs& in);
// The overall progress, 0-100.
int goalProgress(const GoalInputs& in);

}  // namespace ks
