#include "content/courseviewmodel.h"

#include <algorithm>
#include <cstdio>

#include "content/contents.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "platform/paths.h"
#include "store/filelists.h"
#include "store/langres.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

std::string msg(int id) {
  return Localize().GetString(id);
}

bool fileExists(const std::filesystem::path& folder, const std::string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(joinResolved(folder, name), ec);
}

// The file named by message `first` or `second` when it exists, else `fallback`.
std::string languageCourse(const std::filesystem::path& folder, int first, int second,
                           const std::string& fallback) {
  for (int id : {first, second}) {
    const std::string name = msg(id);
    if (fileExists(folder, name)) return name;
  }
  return fallback;
}

// The name without its extension, as the policy's ".Hidden" keys use it.
std::string withoutExtension(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? file : file.substr(0, dot);
}

bool hidden(const std::string& file) {
  return !file.empty() && policyBool(withoutExtension(file) + ".Hidden");
}

// The course of `def`'s language written for `layout`, when `def` is written for any keyboard:
// a British learner is better served by the British course than by the US one the policy names.
std::string courseForLayout(const std::vector<std::string>& files, const std::string& def,
                            const std::string& layout, const CourseLanguageFn& languageOf,
                            const CourseLanguageFn& keyboardOf) {
  if (def.empty() || layout.empty() || !sameText(keyboardOf(def), "ALL")) return def;
  const std::string language = upperCase(languageOf(def));
  if (language.empty()) return def;
  for (const std::string& file : files) {
    if (hidden(file) || !sameText(keyboardOf(file), layout)) continue;
    if (upperCase(languageOf(file)) == language) return file;
  }
  return def;
}

}  // namespace

PassedFn PassedIn(const TContents& course, StudyLearner* learner) {
  const std::string id = course.CourseId;
  return [id, learner](int chapter, int exercise) {
    return learner != nullptr && learner->ExercisePassed(id, chapter, exercise);
  };
}

std::vector<ExerciseRow> ExerciseRows(const TChapter& lesson, int margin) {
  std::vector<ExerciseRow> rows;
  for (const auto& ex : lesson.Exercises) {
    ExerciseRow row;
    row.Number = intToStr(lesson.Number) + "." + intToStr(ex->Number);
    row.Name = ex->Type;
    const int n = ex->Minutes;
    if (n > 0) {
      row.Duration = ex->DynamicDuration
                         ? intToStr(n) + " - " + intToStr(int64_t{n} + margin) + " min."
                         : intToStr(n) + " min.";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ClockText(int minutes) {
  if (minutes < 0) minutes = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%1.1d:%2.2d", minutes / 60, minutes % 60);
  return text;
}

std::string CourseLengthText(int minutes) {
  if (minutes < 0) minutes = 0;
  return ClockText(static_cast<int>(roundHalfEvenDiv(minutes, 10) * 10));
}

int CourseProgressPercent(const TContents& course, int chapter, const PassedFn& passed) {
  int64_t total = 0;
  int64_t done = 0;
  for (const auto& lesson : course.Lessons) {
    for (const auto& ex : lesson->Exercises) {
      ++total;
      if (lesson->Number < chapter || passed(lesson->Number, ex->Number)) ++done;
    }
  }
  return total == 0 ? 0 : static_cast<int>(roundHalfEvenDiv(done * 100, total));
}

int RemainingMinutes(const TContents& course, int chapter, const PassedFn& passed) {
  // Summed to the second and rounded once, so that a course not begun has as much time left as
  // its lessons take, not that plus the roundings of every exercise.
  int64_t seconds = 0;
  for (const auto& lesson : course.Lessons) {
    if (lesson->Number < chapter) continue;
    for (const auto& ex : lesson->Exercises) {
      if (passed(lesson->Number, ex->Number)) continue;
      seconds += ex->PlannedSeconds != 0 ? ex->PlannedSeconds : int64_t{ex->Minutes} * 60;
      if (ex->DynamicDuration) seconds += int64_t{course.DynamicDurationMargin} * 60;
    }
  }
  return static_cast<int>(std::min<int64_t>(roundHalfEvenDiv(seconds, 60), INT32_MAX));
}

int StaticLessonMinutes(const TContents& course, int c) {
  if (c > 4) return c;
  if (c >= 1 && c <= static_cast<int>(course.LessonDurations.size())) {
    return course.LessonDurations[static_cast<size_t>(c - 1)];
  }
  return 0;
}

int OptimisedCourseMinutes(const TContents& course) {
  const int planned = course.TotalMinutes();
  const std::vector<int>& d = course.LessonDurations;
  if (d.size() < 3 || d[0] <= 0) return planned;
  return static_cast<int>(roundHalfEvenDiv(int64_t{planned} * d[2], d[0]));
}

std::string CourseLengthRange(const TContents& course) {
  const int64_t lessons = static_cast<int64_t>(course.Lessons.size());
  int from, to;
  if (course.StaticDurations) {
    from = course.TotalMinutes();
    to = OptimisedCourseMinutes(course);
  } else {
    from = static_cast<int>(lessons * 25);
    to = static_cast<int>(lessons * 45);
  }
  return CourseLengthText(from) + " - " + CourseLengthText(to) + " " + msg(1875);
}

std::vector<std::string> CourseFiles(const std::filesystem::path& lessonsFolder) {
  const std::string own = policyString("*.cnt");
  if (own.empty()) return ListFiles((lessonsFolder / "*.cnt").string());
  std::vector<std::string> files;
  for (const std::string& item : ListPolicyOrFiles("*.cnt", lessonsFolder)) {
    const std::string name(trimBlanks(item));
    if (name.empty()) continue;
    files.push_back(name.find('.') == std::string::npos ? name + ".cnt" : name);
  }
  return files;
}

std::string CourseIdOf(const std::string& file) {
  const size_t slash = file.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  return upperCase(name.size() > 4 ? name.substr(0, name.size() - 4) : std::string());
}

CourseChoices ChooseCourses(const std::vector<std::string>& files,
                            const std::filesystem::path& lessonsFolder, StudyLearner* learner,
                            const std::string& languageCode, const std::string& chosenFile,
                            const CourseLanguageFn& languageOf,
                            const CourseLanguageFn& keyboardOf) {
  CourseChoices c;
  std::string def = languageCourse(lessonsFolder, 6, 5, policyString("DefaultContents"));
  bool locked = false;
  if (learner != nullptr && learner->IsLocked("ContentsFile")) {
    const std::string file = learner->GetSetting("ContentsFile", 1);
    if (!file.empty()) def = file;
    locked = !file.empty();
  }
  if (!locked && learner != nullptr && keyboardOf) {
    def = courseForLayout(files, def, learner->LayoutFile(), languageOf, keyboardOf);
  }
  const std::string second = languageCourse(lessonsFolder, 8, 7, policyString("SecondaryCourse"));
  if (!hidden(def)) c.DefaultFile = def;
  if (!second.empty() && !hidden(second) && !sameText(second, def)) c.SecondaryFile = second;
  for (const std::string& file : files) {
    if (hidden(file) || sameText(file, def) || sameText(file, second)) continue;
    const std::string language = upperCase(languageOf(file));
    if (!language.empty() && language != upperCase(languageCode) && !sameText(file, chosenFile)) {
      continue;
    }
    c.OtherFiles.push_back(file);
  }
  return c;
}

}  // namespace ks
