// One lesson of a course: its name, picture, the keys it introduces, its study time and its
// exercises.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "content/exercise.h"

namespace ks {

class TContents;
class CourseReader;
class CourseLearner;

class TChapter {
 public:
  static constexpr int kMaxExercises = 200;

  TChapter(TContents* owner, int number) : Number(number), Owner(owner) {}

  // Reads the lesson's lines up to "end chapter".
  void Read(CourseReader& reader, CourseLearner* learner);

  int Number = 0;
  std::string Name;
  std::string Picture;
  std::string ExtraDesc;
  std::string NewKeys;
  std::vector<std::string> NewKeysLines;
  bool HideExercises = false;
  int StudyTime = 0;
  int Minutes = 0;
  int KeyLevel = 0;
  bool DynamicDuration = false;
  std::vector<std::unique_ptr<TExercise>> Exercises;
  TContents* Owner = nullptr;

 private:
  int ReadStudyTime(CourseLearner* learner) const;
  void ReadNewKeys(CourseReader& reader, CourseLearner* learner, const std::string& value);
  void ReadExercise(CourseReader& reader, CourseLearner* learner);
};

}  // namespace ks
