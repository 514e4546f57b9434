// The "TEST" event: a typing test on a text the learner chooses ("ASK:") or on a named text. It
// becomes the typing test's own exam, run by an event loader of its own that stores the result
// under the text's name and shows it. Inside a course the exam's result is also the course
// exercise's: the course's loader shows and stores it there, so it counts as passed when the
// test passes.
#pragma once

#include <filesystem>
#include <string>

#include "content/eventfactory.h"

namespace ks {

class CourseLearner;

// The texts folder of the installation (the policy's "CustomStoryPath", else "Texts/").
std::filesystem::path testTextsFolder();

class TTestEvent : public LessonEvent {
 public:
  explicit TTestEvent(const std::string& line);
  int Execute(const EventHandover& handover) override;

 private:
  std::string line_;
};

}  // namespace ks
