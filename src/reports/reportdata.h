// What the printed reports say, gathered from a learner's files as ready texts (1252): the
// progress report over all courses, the figures of one typing test and its typed text marked
// word by word. The pages only place these texts.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "reports/coursegraphs.h"
#include "store/resultitem.h"

namespace ks {

class TUser;
class TTypedTexts;

struct LabelValue {
  std::string Label;
  std::string Value;
};

// A learner's speed unit (the "cpm" setting and the policy's word length).
SpeedUnit LearnerSpeedUnit(TUser& user);
// A speed in the unit, followed by a blank and the unit's caption.
std::string SpeedText(int keystrokesPerMinute, const SpeedUnit& unit);
// "<h> h <m> min", the hours only from one hour on.
std::string HoursMinutesText(int64_t seconds);
// "m:ss".
std::string MinutesSecondsText(int seconds);
// The date and the time of day ("-" for 0).
std::string DateTimeText(double dateTime);

// The nine figures of a typing test in the report's reading order: date, gross speed, errors;
// time used, accuracy, error weight; time limit, net speed, efficiency.
std::array<LabelValue, 9> TestFigures(const TResultItem& test, const SpeedUnit& unit);
// The test's name followed by " - " and passed or not passed.
std::string TestHeading(const TResultItem& test);

struct ProgressReportData {
  std::string UserName;
  std::vector<LabelValue> Header;  // group, course, time studied; last visit, times, created
  static constexpr int kColumns = 8;
  using Row = std::array<std::string, kColumns>;
  static const std::array<int, kColumns>& ColumnOffsets();  // logical units from the margin
  Row Headings;
  struct Section {
    std::string Title;
    bool Course = true;     // false: the typing tests
    std::vector<Row> Rows;  // courses
    std::vector<TResultItem> Tests;
    std::string Footer;  // courses: completion
  };
  std::vector<Section> Sections;
};

// Every course of `lessonsFolder` (by name) with results, then the typing tests.
ProgressReportData GatherProgress(TUser& user, const std::filesystem::path& lessonsFolder);

// The title of a course file ("eng.cnt"): its description, else the file's title.
std::string CourseTitle(const std::filesystem::path& lessonsFolder, const std::string& file);

// A course the learner has started, as the statistics page lists it.
struct CourseProgress {
  std::string File;
  std::string Id;
  std::string Title;
  int Completion = 0;  // %
  int PlannedMinutes = 0;
  int64_t SecondsUsed = 0;
  int GoalAccuracy = 0;      // the goal of the learner's goal level; 0: none
  std::string LimitedChars;  // the keys of the course so far
};
// The courses of `lessonsFolder` (by name) that the learner has started.
std::vector<CourseProgress> StartedCourses(TUser& user, const std::filesystem::path& lessonsFolder);
// The second line of a course's row: the time planned and the time used (rounded to minutes).
std::string CourseTimesText(const CourseProgress& c);

// One run of the typed text: words with their marks, blanks, and line ends.
struct TextRun {
  enum Style { Plain, Wrong, Expected, Missing, ReturnMark };
  std::string Text;
  Style Kind = Plain;
  bool LineBreak = false;  // starts a new line before the text
};
// The typed text against the text to be copied, line by line: a word typed wrongly is followed
// by the expected one in brackets, a word left out is struck out.
std::vector<TextRun> MarkTypedText(const TTypedTexts& texts);

}  // namespace ks
