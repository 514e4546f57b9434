// The lesson events' environment as a test sets it up: fresh, on the test's clock and analyzer,
// with course files taken from the test's folder.
#pragma once

#include <filesystem>

#include "engine/ui/eventenv.h"

namespace ks::test {

inline EventEnvironment& freshEventEnvironment(const Clock& clock, Analyzer* analyzer,
                                               const std::filesystem::path& coursesFolder = {}) {
  EventEnvironment& env = eventEnvironment();
  env = EventEnvironment{};
  env.clock = &clock;
  env.analyzer = analyzer;
  env.text.coursesFolder = coursesFolder;
  return env;
}

}  // namespace ks::test
