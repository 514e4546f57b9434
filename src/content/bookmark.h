// Where a learner stands in a course: lesson, exercise, event, passed exercises and time spent,
// kept as "Crs.<course id>.<field>" keys in the learner's settings.
#pragma once

#include <string>

namespace ks {

class CourseLearner;

class TBookMark {
 public:
  enum : int { bmNormal = 0, bmReview = 2 };

  void Reset();

  // Review courses (mode 2) neither read nor write; without a course id an error is reported.
  void LoadBookmark(CourseLearner& learner);
  void SaveBookmark(CourseLearner& learner);

  // CompExc of TotalExc in percent, rounded; 0 without exercises.
  int CompletionPercent() const;
  // Estimated seconds left in the course, never below 0.
  int RemainingSeconds() const;

  std::string CourseId;
  int Chapter = 0;
  int Exercise = 0;
  int Event = 0;
  int CompExc = 0;
  int TotalExc = 0;
  int TotalSeconds = 0;
  int Time = 0;
  int Duration = 0;  // minutes, a position in the course's lesson lengths, or -2 for optimal
  bool DurationSet = false;
  int Mode = bmNormal;
  int ResultShowMode = 0;
  bool Save = true;
  int WordLoop = 0;
  int WordMaxLoop = 0;
  std::string CourseDescription;
  std::string LessonName;
  std::string StatusText;

 private:
  std::string key(const char* field) const { return "Crs." + CourseId + "." + field; }
};

}  // namespace ks
