// What lesson events need from the running tutor: the clock, the learner's analysis and settings,
// the course's goal settings and where texts come from. The shell fills it for each exercise.
#pragma once

#include <string>
#include <vector>

#include "engine/eventtext.h"
#include "platform/clock.h"

namespace ks {

class Analyzer;
class CourseLearner;
class TDynamicSettings;

struct EventEnvironment {
  const Clock* clock = &systemClock();
  Analyzer* analyzer = nullptr;              // measures and key statistics; none: not measured
  TDynamicSettings* userSettings = nullptr;  // the learner's settings; none: nobody logged in
  CourseLearner* learner = nullptr;          // results and exam logs; none: nothing stored
  std::vector<int> accuracyGoals;            // the course's goal list, levels 1..n
  int dynamicDurationMargin = 0;             // minutes of extra time of dynamic durations
  EventTextContext text;                     // folders and builders for event texts
};

// The environment of the events that run now.
EventEnvironment& eventEnvironment();

}  // namespace ks
