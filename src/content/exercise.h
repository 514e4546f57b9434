// One exercise of a lesson: its type, notes, weight and planned minutes, and its event lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "content/eventloader.h"

namespace ks {

class TChapter;
class CourseReader;

class TExercise {
 public:
  static constexpr int kEventWarnAt = 19;  // from this event on every further one is warned about

  explicit TExercise(TChapter* owner = nullptr) : Owner(owner) {}

  // Reads the exercise's lines up to "end exercise". `eventNames` are the line names (lower
  // case) that hold an event for the current layout and learner.
  void Read(CourseReader& reader, const std::vector<std::string>& eventNames);

  // Appends an event line and numbers it.
  TEventLoader& AddEvent(const std::string& line);
  // The exercise and all its events take `level`.
  void SetKeyLevel(int level);

  // The sum of the events' weights.
  int EventWeightTotal() const;
  // True when the exercise has events and all are "HTMLMESSAGE".
  bool OnlyMessagePages() const;
  // "HTMLMESSAGE" events from the first one up to the first other keyword.
  int LeadingMessagePages() const;
  int ChapterNumber() const;

  int Number = 0;
  std::string Type;
  std::string Notes;
  int Weight = 0;
  int Minutes = 0;
  // The exercise's share of its lesson's time to the second; Minutes is it rounded, and
  // rounded minutes of many exercises add up to more or less than the lessons take.
  int PlannedSeconds = 0;
  int KeyLevel = 0;
  std::vector<std::unique_ptr<TEventLoader>> Events;
  std::vector<std::string> NewKeysLines;
  bool StaticDurations = false;
  bool DynamicDuration = false;
  TChapter* Owner = nullptr;
};

}  // namespace ks
