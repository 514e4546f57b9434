#include "content/exercise.h"

#include <algorithm>

#include "content/chapter.h"
#include "content/coursereader.h"
#include "text/numbers.h"

namespace ks {

void TExercise::Read(CourseReader& reader, const std::vector<std::string>& eventNames) {
  if (!reader.Ready()) {
    reader.Warn("Exercise object: File error");
    return;
  }
  CourseLine line;
  while (true) {
    if (!reader.Next(line)) {
      reader.Warn("Exercise object: eof in middle of exercise");
      return;
    }
    if (line.Name == "end exercise") return;
    if (line.Value.empty()) continue;  // a key without a value means nothing
    if (line.Name == "type") {
      Type = line.Value;
    } else if (line.Name == "notes") {
      Notes = line.Value;
    } else if (line.Name == "duration") {
      reader.IntValue(line, Weight);
    } else if (std::find(eventNames.begin(), eventNames.end(), line.Name) != eventNames.end()) {
      if (static_cast<int>(Events.size()) + 1 >= kEventWarnAt) {
        reader.Warn("Exercise object: overflow max 20 events");
      }
      const TEventLoader& e = AddEvent(line.Text);
      if (e.Keyword().empty()) {
        reader.FieldProblem(line, "event without a keyword");
      } else if (!e.KnownKeyword()) {
        reader.FieldProblem(line, "unknown event keyword");
      }
      if (e.WeightMalformed()) reader.FieldProblem(line, "event weight is not a number");
    }
  }
}

TEventLoader& TExercise::AddEvent(const std::string& line) {
  Events.push_back(std::make_unique<TEventLoader>(line, this));
  TEventLoader& e = *Events.back();
  e.Number = static_cast<int>(Events.size());
  e.KeyLevel = KeyLevel;
  return e;
}

void TExercise::SetKeyLevel(int level) {
  KeyLevel = level;
  for (auto& e : Events) e->KeyLevel = level;
}

int TExercise::EventWeightTotal() const {
  int64_t total = 0;
  for (const auto& e : Events) total += e->Weight();
  return static_cast<int>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

bool TExercise::OnlyMessagePages() const {
  if (Events.empty()) return false;
  return std::all_of(Events.begin(), Events.end(),
                     [](const auto& e) { return e->Keyword() == "HTMLMESSAGE"; });
}

int TExercise::LeadingMessagePages() const {
  int n = 0;
  for (const auto& e : Events) {
    if (e->Keyword() != "HTMLMESSAGE") break;
    ++n;
  }
  return n;
}

int TExercise::ChapterNumber() const {
  return Owner != nullptr ? Owner->Number : 0;
}

}  // namespace ks
