// The charts of a learner's course: speed and accuracy per exercise from the stored results,
// and the most difficult keys from the key statistics.
#pragma once

#include <string>
#include <string_view>

#include "reports/graphmodel.h"

namespace ks {

class TResults;
class TDifficultKeys;

// How speeds are shown: keystrokes per minute, or words of `WordLength` keystrokes.
struct SpeedUnit {
  bool Cpm = false;
  int WordLength = 5;
  double Convert(double keystrokesPerMinute) const {
    return Cpm || WordLength <= 0 ? keystrokesPerMinute : keystrokesPerMinute / WordLength;
  }
};

struct TCourseGraphs {
  static constexpr int kMinBars = 16;

  // "NetSpeed", "GrossSpeed" (any case) of the course's results. With `goalLine` the scale
  // carries the captioned speed bands; `switchesOff` leaves out labels and ticks.
  static GraphModel SpeedGraph(const TResults& results, std::string_view measure,
                               std::string_view courseId, bool goalLine, bool switchesOff,
                               const SpeedUnit& unit);
  // Accuracy per exercise; a goal above 0 captions the line at 100 and marks lessons under it.
  static GraphModel AccuracyGraph(const TResults& results, std::string_view courseId,
                                  int goalAccuracy);
  // The `n` most difficult keys (each once, those of `allowed` only when it is not empty, with
  // at least `minPresses` recent presses); keys of `highlight` are labelled bold. `shown` gets
  // the keys that have a bar.
  static GraphModel DifficultKeysGraph(const TDifficultKeys& keys, int n, int minPresses,
                                       const std::string& highlight, const std::string& allowed,
                                       std::string* shown = nullptr);
};

}  // namespace ks
