// The figures and texts of the course views: a lesson's exercise rows, the course's progress and
// remaining time, course lengths for the duration choices, and which courses the course list
// offers where.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ks {

class StudyLearner;
class TChapter;
class TContents;

// Whether the learner has passed exercise `exercise` of lesson `chapter`.
using PassedFn = std::function<bool(int chapter, int exercise)>;
// The passed test for `course` from the learner's results (none: nothing passed).
PassedFn PassedIn(const TContents& course, StudyLearner* learner);

// One row of a lesson's exercise list: "3.2", the exercise's type, its planned minutes.
struct ExerciseRow {
  std::string Number;
  std::string Name;
  std::string Duration;
};
// `margin`: the course's "dynamicdurationmargin", added for exercises without a chosen time.
std::vector<ExerciseRow> ExerciseRows(const TChapter& lesson, int margin);

// Minutes as hours and minutes, "%1.1d:%2.2d".
std::string ClockText(int minutes);
// Minutes rounded to the nearest 10 (a 60 carries into the hours), as ClockText.
std::string CourseLengthText(int minutes);

// Exercises passed or in a lesson before `chapter`, of all the course's, in percent; 0 for a
// course without exercises.
int CourseProgressPercent(const TContents& course, int chapter, const PassedFn& passed);
// Planned minutes of the exercises not passed in `chapter` and later lessons; exercises without
// a chosen time add the course's margin.
int RemainingMinutes(const TContents& course, int chapter, const PassedFn& passed);

// Static courses: the lesson length of study time `c` (a position in "lessondurations", or
// minutes when above 4); 0 when it names none.
int StaticLessonMinutes(const TContents& course, int c);
// The longest course length the optimised durations lead to: the planned minutes scaled by the
// third to the first lesson length; the planned minutes when the list is too short for that.
int OptimisedCourseMinutes(const TContents& course);
// "<from> - <to> hours" as the course list shows the length of a course.
std::string CourseLengthRange(const TContents& course);

// What the course list offers: the default course as the first step, the secondary course as
// the third, and the others in the choice list.
struct CourseChoices {
  std::string DefaultFile;    // empty when hidden or none
  std::string SecondaryFile;  // empty when hidden, none or the same as the default
  std::vector<std::string> OtherFiles;
};
// A course file's "$language" (upper case; empty when it names none); also used for a course's
// "keyboard=" value.
using CourseLanguageFn = std::function<std::string(const std::string& file)>;
// The course files of the lessons folder, or the policy's own list.
std::vector<std::string> CourseFiles(const std::filesystem::path& lessonsFolder);
// A default course written for any keyboard ("keyboard=ALL") gives way to a course of its language
// written for the learner's layout (`keyboardOf` gives a file's "keyboard="), unless the learner's
// course is locked.
CourseChoices ChooseCourses(const std::vector<std::string>& files,
                            const std::filesystem::path& lessonsFolder, StudyLearner* learner,
                            const std::string& languageCode, const std::string& chosenFile,
                            const CourseLanguageFn& languageOf,
                            const CourseLanguageFn& keyboardOf = {});
// The course id of a course file name ("ENG" for "eng.cnt").
std::string CourseIdOf(const std::string& file);

}  // namespace ks
