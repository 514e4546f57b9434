#include "content/chapter.h"

#include <algorithm>
#include <climits>

#include "content/contents.h"
#include "content/coursereader.h"
#include "content/courseservices.h"
#include "store/dynamicsettings.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

int TChapter::ReadStudyTime(CourseLearner* learner) const {
  const TBookMark& bm = Owner->Bookmark;
  if (Owner->CourseId.empty()) {
    return learner != nullptr ? learner->Settings().ReadInteger("StudyingTime") : bm.Duration;
  }
  if (learner == nullptr || bm.Mode == TBookMark::bmReview) return bm.Duration;
  const std::string name = Owner->CourseId + ".StudyingTime";
  TDynamicSettings& s = learner->Settings();
  // An empty value is no entry at all in the store.
  if (s.ReadString(name).empty()) return bm.Duration;
  return s.ReadInteger(name);
}

void TChapter::Read(CourseReader& reader, CourseLearner* learner) {
  StudyTime = ReadStudyTime(learner);
  if (!reader.Ready()) {
    reader.Warn("Chapter object: File error #" + intToStr(reader.Status()));
    return;
  }
  const std::string variant = Owner->NewKeysVariantName();
  CourseLine line;
  while (true) {
    if (!reader.Next(line)) {
      reader.Warn("Chapter object: eof in middle of chapter");
      return;
    }
    const std::string& name = line.Name;
    if (name == "end chapter") return;
    if (name == "begin exercise") {
      ReadExercise(reader, learner);
      continue;
    }
    if (startsWithText(name, "new keys")) {
      const std::string value(trimBlanks(line.Value));
      if (!value.empty()) NewKeysLines.push_back(name + "=" + value);
      if (name == "new keys" || name == variant) ReadNewKeys(reader, learner, value);
      continue;
    }
    if (line.Value.empty()) continue;
    if (name == "chapter name") {
      if (line.Fields.size() > 2) {
        Name = line.Fields[2].substr(0, 255);
      } else {
        Name.clear();
        reader.FieldProblem(line, "no lesson title");
      }
    } else if (name == "picture") {
      Picture = line.Value;
    } else if (name == "extradesc") {
      ExtraDesc = line.Value;
    } else if (name == "durationpercent") {
      int percent = 0;
      if (reader.IntValue(line, percent)) {
        const int64_t minutes = roundHalfEvenDiv(int64_t{percent} * StudyTime, 100);
        Minutes = static_cast<int>(std::clamp<int64_t>(minutes, INT32_MIN, INT32_MAX));
      }
    } else if (name == "hideexercises") {
      HideExercises = line.Value == "1" || sameText(line.Value, "true");
    }
  }
}

void TChapter::ReadNewKeys(CourseReader& reader, CourseLearner* learner, const std::string& value) {
  if (value.empty()) {
    reader.Warn("Contents/Chapter: missing new keys entry");
    return;
  }
  NewKeys += value == "SEMICOLON" ? std::string(";") : value;
  if (NewKeys.size() > 255) NewKeys.resize(255);
  if (learner != nullptr) KeyLevel = learner->AddKeyGroup(value);
}

void TChapter::ReadExercise(CourseReader& reader, CourseLearner* learner) {
  auto exercise = std::make_unique<TExercise>(this);
  exercise->Read(reader, Owner->EventLineNames());
  if (static_cast<int>(Exercises.size()) >= kMaxExercises) {
    // The lesson's tables end here: the exercise was read to keep the file in step, and dropped.
    reader.Problem(kCourseStructureError, "Chapter object: exercise beyond 200 dropped");
    return;
  }
  exercise->NewKeysLines = NewKeysLines;
  exercise->StaticDurations = Owner->StaticDurations;
  exercise->Number = static_cast<int>(Exercises.size()) + 1;
  if (KeyLevel == 0 && exercise->KeyLevel == 0 && learner != nullptr) {
    KeyLevel = learner->KeyGroupCount();
  }
  if (KeyLevel >= exercise->KeyLevel) exercise->SetKeyLevel(KeyLevel);
  Exercises.push_back(std::move(exercise));
  if (!Owner->Preview) ++Owner->Bookmark.TotalExc;
  if (Exercises.size() == kMaxExercises - 1) {
    reader.Warn("Chapter object: overflow max 200 Exercises");
  }
}

}  // namespace ks
