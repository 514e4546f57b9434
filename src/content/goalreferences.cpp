#include "content/goalreferences.h"

#include <cctype>

#include "content/contents.h"
#include "text/fields.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr size_t kFirstGoalField = 10;
constexpr size_t kLastGoalField = 14;

// "L.E" with both parts numbers: the lesson and the exercise.
bool parseReference(const std::string& field, int& lesson, int& exercise) {
  const size_t dot = field.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 >= field.size()) return false;
  for (size_t i = 0; i < field.size(); ++i) {
    if (i != dot && !std::isdigit(static_cast<unsigned char>(field[i]))) return false;
  }
  return tryStrToInt(field.substr(0, dot), lesson) && tryStrToInt(field.substr(dot + 1), exercise);
}

const TExercise* findExercise(const TContents& course, int lesson, int exercise) {
  if (lesson < 1 || static_cast<size_t>(lesson) > course.Lessons.size()) return nullptr;
  const TChapter& chapter = *course.Lessons[static_cast<size_t>(lesson - 1)];
  if (exercise < 1 || static_cast<size_t>(exercise) > chapter.Exercises.size()) return nullptr;
  return chapter.Exercises[static_cast<size_t>(exercise - 1)].get();
}

}  // namespace

void ResolveGoalReferences(std::vector<std::string>& fields, const TContents& course) {
  if (fields.size() <= kLastGoalField) return;
  for (size_t i = kFirstGoalField; i <= kLastGoalField; ++i) {
    int lesson = 0, number = 0;
    if (!parseReference(fields[i], lesson, number)) continue;
    const TExercise* exercise = findExercise(course, lesson, number);
    if (exercise == nullptr) continue;
    for (const auto& event : exercise->Events) {
      const std::vector<std::string> other = event->EventFields();
      // The referenced line must hold field i itself (a line of exactly i fields has none).
      if (other.size() <= kFirstGoalField || other.size() <= i) continue;
      if (other.size() > 11 && other[11] == "0") continue;
      fields[i] = other[i];
    }
  }
}

}  // namespace ks
