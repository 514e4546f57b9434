#include "content/durations.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "content/contents.h"
#include "content/policy.h"
#include "text/numbers.h"

namespace ks {
namespace {

// Entry `index` (0-based) of the lesson lengths; 0 when the list has no such entry.
int lessonLength(const TContents& course, int index) {
  if (index < 0 || index >= static_cast<int>(course.LessonDurations.size())) return 0;
  return course.LessonDurations[index];
}

bool opensWithExam(const TExercise& ex) {
  for (size_t i = 0; i < ex.Events.size() && i < 2; ++i) {
    if (ex.Events[i]->Keyword().rfind("EXAM", 0) == 0) return true;
  }
  return false;
}

int toInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Round(minutes x weight x 60 / total) in seconds; absurd figures saturate instead of wrapping.
int eventSeconds(int minutes, int weight, int64_t total) {
  int64_t product = 0;
  if (__builtin_mul_overflow(int64_t{minutes} * 60, int64_t{weight}, &product)) {
    return ((minutes < 0) != (weight < 0)) != (total < 0) ? INT32_MIN : INT32_MAX;
  }
  return toInt(roundHalfEvenDiv(product, total));
}

void distributeDynamic(TContents& course) {
  const int examMinutes = policyInt(course.CourseId + ".chapter_exam_duration");
  for (auto& lesson : course.Lessons) {
    int64_t weights = 0;
    for (const auto& ex : lesson->Exercises) weights += ex->Weight;
    if (weights == 0) weights = 1;
    for (auto& ex : lesson->Exercises) {
      int64_t base = lesson->Minutes;
      // Message pages take the course's default time; -1 means it has none.
      if (ex->OnlyMessagePages() && lesson->Minutes > 0) base = std::max(course.DefaultTime, 0);
      if (examMinutes != 0 && opensWithExam(*ex)) {
        lesson->Minutes = examMinutes;
        ex->Minutes = examMinutes;
        ex->PlannedSeconds = eventSeconds(examMinutes, 1, 1);
      } else {
        ex->Minutes = toInt(roundHalfEvenDiv(base * ex->Weight, weights));
        ex->PlannedSeconds = eventSeconds(toInt(base), ex->Weight, weights);
      }
      int64_t total = ex->EventWeightTotal();
      if (total == 0) total = 1;
      for (auto& e : ex->Events) {
        e->TimeLimit = eventSeconds(ex->Minutes, e->Weight(), total);
      }
    }
  }
  if (course.Bookmark.Duration > 0) {
    course.Bookmark.TotalSeconds =
        toInt(int64_t{course.Bookmark.Duration} * 60 * static_cast<int64_t>(course.Lessons.size()));
  }
}

void distributeStatic(TContents& course) {
  course.DefaultTime = course.DefaultDuration >= 1
                           ? lessonLength(course, course.DefaultDuration - 1)
                           : course.DefaultDuration;
  if (course.DefaultTime > 0) course.ChosenDuration = course.DefaultTime;
  const int64_t lessons = static_cast<int64_t>(course.Lessons.size());
  const int d = course.Bookmark.Duration;
  if (d > 0 && d <= static_cast<int>(course.LessonDurations.size())) {
    course.Bookmark.TotalSeconds = toInt(lessons * lessonLength(course, d - 1) * 60);
  } else if (d == -2) {
    course.OptimalDuration = true;
    course.Bookmark.TotalSeconds =
        toInt(lessons * lessonLength(course, course.DefaultDuration) * 60);
  }

  for (auto& lesson : course.Lessons) {
    int margin = lesson->StudyTime - 1;
    lesson->DynamicDuration = margin < 0;
    if (margin < 0) margin = 0;
    int64_t lessonMinutes = 0;
    for (auto& ex : lesson->Exercises) {
      const bool pages = ex->OnlyMessagePages();
      ex->DynamicDuration = pages ? false : lesson->DynamicDuration;
      int64_t minutes = 0;
      for (auto& e : ex->Events) {
        e->DynamicDuration = ex->DynamicDuration;
        const int own = e->Weight();
        if (own <= 0) continue;
        e->TimeLimit = toInt((int64_t{margin} + own) * 60);
        minutes += pages ? own : int64_t{margin} + own;
      }
      ex->Minutes = toInt(minutes);
      ex->PlannedSeconds = eventSeconds(ex->Minutes, 1, 1);
      lessonMinutes += ex->Minutes;
    }
    lesson->Minutes = toInt(lessonMinutes);
  }
}

}  // namespace

void DistributeDurations(TContents& course) {
  if (course.StaticDurations) {
    distributeStatic(course);
  } else {
    distributeDynamic(course);
  }
}

}  // namespace ks
