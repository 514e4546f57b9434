#include "reports/reportdata.h"

#include <algorithm>
#include <cstdio>

#include "content/contents.h"
#include "content/courseviewmodel.h"
#include "engine/indexes.h"
#include "platform/paths.h"
#include "store/filelists.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "text/dates.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

std::string msg(int id) {
  return Localize().GetString(id);
}

std::string percent(int value) {
  return intToStr(value) + "%";
}

// The message that names the kind of an exercise.
int KindMessage(const TResultItem& r) {
  if (r.SubKind == "REV") return 562;
  if (r.Kind == "GAME") {
    const std::string name = upperCase(r.ExerciseType + " " + r.Name);
    if (name.find("BUBBLE") != std::string::npos) return 1736;
    if (name.find("TRIS") != std::string::npos) return 1737;
    if (name.find("CLOUD") != std::string::npos) return 1738;
    if (name.find("ABC") != std::string::npos) return 1739;
    return 1137;
  }
  if (r.Kind == "TIME") return 1136;
  if (r.Kind == "TEST") return 1138;
  if (r.Kind == "TEXT") return 1139;
  return 1135;
}

ProgressReportData::Row CourseRow(const TResultItem& r, const SpeedUnit& unit) {
  const bool measured = r.HasMeasures;
  const bool timed = r.Kind != "STD" && r.TimeLimit > 0;
  return {intToStr(r.Chapter) + "." + intToStr(r.Exercise),
          msg(KindMessage(r)),
          MinutesSecondsText(measured ? r.TypingSeconds : r.ExerciseStudySeconds),
          timed ? MinutesSecondsText(r.TimeLimit) : "-",
          measured ? SpeedText(r.GrossSpeed, unit) : "-",
          measured ? SpeedText(r.NetSpeed, unit) : "-",
          measured ? percent(r.Accuracy) : "-",
          DateTimeText(r.Date)};
}

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

void addWrong(std::vector<TextRun>& runs, const std::string& typed, const std::string* expected) {
  const size_t cut = typed.find_first_of("\r\n");
  runs.push_back({typed.empty() ? "_" : typed.substr(0, cut), TextRun::Wrong});
  if (cut != std::string::npos) runs.push_back({"", TextRun::ReturnMark});
  if (expected) runs.push_back({"[" + *expected + "]", TextRun::Expected});
}

// One line: the words of both aligned by their longest common run.
void markLine(std::vector<TextRun>& runs, const std::string& target, const std::string& typed) {
  const std::vector<std::string> t = splitWords(target), p = splitWords(typed);
  const size_t n = t.size(), m = p.size();
  std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      lcs[i][j] = t[i] == p[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
  size_t i = 0, j = 0;
  std::vector<std::string> missed, extra;
  const auto flush = [&] {
    const size_t pairs = std::min(missed.size(), extra.size());
    for (size_t k = 0; k < pairs; ++k) addWrong(runs, extra[k], &missed[k]);
    for (size_t k = pairs; k < missed.size(); ++k) runs.push_back({missed[k], TextRun::Missing});
    for (size_t k = pairs; k < extra.size(); ++k) addWrong(runs, extra[k], nullptr);
    missed.clear();
    extra.clear();
  };
  while (i < n || j < m) {
    if (i < n && j < m && t[i] == p[j]) {
      flush();
      runs.push_back({t[i], TextRun::Plain});
      ++i;
      ++j;
    } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
      extra.push_back(p[j++]);
    } else {
      missed.push_back(t[i++]);
    }
  }
  flush();
}

// The course files by name, whatever order the folder lists them in.
std::vector<std::string> sortedCourseFiles(const std::filesystem::path& lessonsFolder) {
  std::vector<std::string> files = ListFiles((lessonsFolder / "*.cnt").string());
  std::sort(files.begin(), files.end(),
            [](const std::string& a, const std::string& b) { return compareText(a, b) < 0; });
  return files;
}

}  // namespace

SpeedUnit LearnerSpeedUnit(TUser& user) {
  return SpeedUnit{user.ReadBool("cpm"), lessonOptions().wordLength};
}

std::string SpeedText(int keystrokesPerMinute, const SpeedUnit& unit) {
  return intToStr(DisplaySpeed(keystrokesPerMinute, unit.Cpm, unit.WordLength)) + " " +
         msg(SpeedUnitMessage(unit.Cpm));
}

std::string HoursMinutesText(int64_t seconds) {
  const int64_t minutes = std::max<int64_t>(0, seconds) / 60;
  std::string text;
  if (minutes >= 60) text = intToStr(minutes / 60) + msg(273);
  return text + intToStr(minutes % 60) + msg(272);
}

std::string CourseTimesText(const CourseProgress& c) {
  // Whole minutes rounded, as the lesson page counts the time studied.
  const int64_t used = roundHalfEvenDiv(std::max<int64_t>(0, c.SecondsUsed), 60) * 60;
  return msg(370) + HoursMinutesText(int64_t{c.PlannedMinutes} * 60) + "     " + msg(371) +
         HoursMinutesText(used);
}

std::string MinutesSecondsText(int seconds) {
  char buf[32];
  seconds = std::max(0, seconds);
  std::snprintf(buf, sizeof buf, "%d:%02d", seconds / 60, seconds % 60);
  return buf;
}

std::string DateTimeText(double dateTime) {
  if (dateTime <= 0) return "-";
  const CivilTime t = decodeTime(dateTime);
  char buf[16];
  std::snprintf(buf, sizeof buf, " %02d:%02d", t.hour, t.minute);
  return shortDateText(dateTime) + buf;
}

std::string TestHeading(const TResultItem& test) {
  return test.TestName + " - " + msg(test.Passed ? 1672 : 1673);
}

std::array<LabelValue, 9> TestFigures(const TResultItem& r, const SpeedUnit& unit) {
  const bool errors = r.ErrorHits >= 0;
  std::string weight = "-";
  if (errors && r.ErrorFactor >= 0) {
    weight = intToStr(int64_t{r.ErrorHits} * r.ErrorFactor) + " (" + intToStr(r.ErrorHits) + " " +
             msg(1393) + " * " + intToStr(r.ErrorFactor) + ")";
  }
  const bool efficiency = r.HasMeasures && r.TotalHits >= 0 && errors;
  return {{{msg(1380), DateTimeText(r.Date)},
           {msg(1381), SpeedText(r.GrossSpeed, unit)},
           {msg(1382), errors ? intToStr(r.ErrorHits) : "-"},
           {msg(1383), MinutesSecondsText(r.TypingSeconds)},
           {msg(1384), percent(r.Accuracy)},
           {msg(1385), weight},
           {msg(1386), r.TimeLimit > 0 ? MinutesSecondsText(r.TimeLimit) : msg(1242)},
           {msg(1387), SpeedText(r.NetSpeed, unit)},
           {msg(1388), efficiency ? percent(r.Efficiency) : "-"}}};
}

const std::array<int, ProgressReportData::kColumns>& ProgressReportData::ColumnOffsets() {
  static const std::array<int, kColumns> offsets = {0, 108, 355, 560, 815, 1140, 1475, 1800};
  return offsets;
}

std::string CourseTitle(const std::filesystem::path& lessonsFolder, const std::string& file) {
  TContents course(TContents::PreviewTag{}, pathTo1252(joinResolved(lessonsFolder, file)),
                   CourseServices{});
  if (course.Status() == 0 && !course.Description.empty()) return course.Description;
  return FileTitle(file);
}

ProgressReportData GatherProgress(TUser& user, const std::filesystem::path& lessonsFolder) {
  ProgressReportData rep;
  const SpeedUnit unit = LearnerSpeedUnit(user);
  rep.UserName = user.UserName();
  const std::string current = user.ReadString("ContentsFile");
  const double lastAccess = user.ReadFloat("Time.LastAccess");
  const int timesUsed = user.ReadInteger("TimesUsed");
  rep.Header = {
      {msg(1144), user.GroupName()},
      {msg(1118), current.empty() ? "-" : CourseTitle(lessonsFolder, current)},
      {msg(1119), user.StudiedTimeText()},
      {msg(1120), user.ReadInteger("Date.LastAccess") > 0 ? DateTimeText(lastAccess) : "-"},
      {msg(1121), intToStr(timesUsed) + " " + msg(timesUsed == 1 ? 2652 : 1422)},
      {msg(1122), shortDateText(user.ReadFloat("Date.Created"))},
  };
  // The column beside the time used holds the time limit, and says so.
  rep.Headings = {"#", msg(1128), msg(1130), msg(2653), msg(1131), msg(1132), msg(1133), msg(1134)};

  for (const std::string& file : sortedCourseFiles(lessonsFolder)) {
    const std::string id = CourseIdOf(file);
    const std::vector<TResultItem> results = user.Results().ResultsOfCourse(id, false);
    if (results.empty()) continue;
    ProgressReportData::Section s;
    s.Title = CourseTitle(lessonsFolder, file);
    if (s.Title.empty()) s.Title = msg(1124);
    for (const TResultItem& r : results) s.Rows.push_back(CourseRow(r, unit));
    s.Footer = msg(1125) + " " + intToStr(user.ReadInteger("Crs." + id + ".CompPrc")) + "%";
    rep.Sections.push_back(std::move(s));
  }
  ProgressReportData::Section tests;
  tests.Title = msg(1123);
  tests.Course = false;
  tests.Tests = user.Results().Tests(true);
  if (!tests.Tests.empty()) rep.Sections.push_back(std::move(tests));
  return rep;
}

std::vector<CourseProgress> StartedCourses(TUser& user,
                                           const std::filesystem::path& lessonsFolder) {
  std::vector<CourseProgress> out;
  for (const std::string& file : sortedCourseFiles(lessonsFolder)) {
    CourseProgress c;
    c.File = file;
    c.Id = CourseIdOf(file);
    if (user.ReadString("Crs." + c.Id + ".Chapter").empty()) continue;
    // Planned with the learner's time per lesson, as the lesson page plans it.
    TContents course(TContents::PreviewTag{}, pathTo1252(joinResolved(lessonsFolder, file)),
                     CourseServices{}, user.ReadInteger("Crs." + c.Id + ".Duration"));
    c.Title =
        course.Status() == 0 && !course.Description.empty() ? course.Description : FileTitle(file);
    c.Completion = std::clamp(user.ReadInteger("Crs." + c.Id + ".CompPrc"), 0, 100);
    c.PlannedMinutes = course.Status() == 0 ? course.TotalMinutes() : 0;
    c.SecondsUsed = user.ReadInt64("Crs." + c.Id + ".Time");
    const int level = user.ReadInteger(c.Id + ".GoalLevel");
    if (level > 0 && level <= static_cast<int>(course.AccuracyGoals.size()))
      c.GoalAccuracy = course.AccuracyGoals[static_cast<size_t>(level - 1)];
    c.LimitedChars = user.ReadString(c.Id + ".LimitedChars");
    out.push_back(std::move(c));
  }
  return out;
}

std::vector<TextRun> MarkTypedText(const TTypedTexts& texts) {
  std::vector<TextRun> runs;
  for (int k = 0; k < texts.Count(); ++k) {
    const size_t first = runs.size();
    const TTypedTexts::Pair& pair = texts.Pairs()[static_cast<size_t>(k)];
    if (pair.Typed.size() == 1 && pair.Typed[0] == TTypedTexts::SameAsTarget) {
      for (const std::string& w : splitWords(pair.Target)) runs.push_back({w, TextRun::Plain});
    } else {
      markLine(runs, pair.Target, pair.Typed);
    }
    if (k > 0) {
      if (runs.size() == first) runs.push_back({"", TextRun::Plain});
      runs[first].LineBreak = true;
    }
  }
  return runs;
}

}  // namespace ks
