// A course: the contents file read into lessons, exercises and event lines, with the layout it
// runs on, the learner's bookmark in it and the planned minutes of every part.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "content/bookmark.h"
#include "content/chapter.h"
#include "content/coursereader.h"

namespace ks {

class CourseLearner;
class CourseKeyboard;

struct CourseServices {
  CourseLearner* Learner = nullptr;    // none: nobody logged in; must outlive the course
  CourseKeyboard* Keyboard = nullptr;  // none: the layout is left as it is
};

// How lesson titles begin.
enum class TitlePrefix { LessonWord, Number, None };

class TContents {
 public:
  struct PreviewTag {};

  // A course to study. Status() is 0, or the reader's status when the file was not readable.
  TContents(const std::string& path, int chosenDuration, int bookmarkMode,
            const CourseServices& services);
  // A course only shown in lists: nothing is written to the learner, no layout is loaded and
  // the bookmark is not saved.
  // `duration`: the learner's chosen time per lesson ("Crs.<id>.Duration"), which the preview
  // plans the lessons with; 0 leaves the course's own.
  TContents(PreviewTag, const std::string& path, const CourseServices& services, int duration = 0);
  // Saves the bookmark for the learner unless previewing or the bookmark says not to.
  ~TContents();
  TContents(const TContents&) = delete;
  TContents& operator=(const TContents&) = delete;

  int Status() const { return status_; }
  // The layout the course needs could not be loaded: the tutor cannot go on.
  bool LayoutFailed() const { return layoutFailed_; }
  const std::vector<CourseProblem>& Problems() const { return problems_; }

  std::vector<std::string> LessonTitles(TitlePrefix prefix) const;
  int TotalMinutes() const;

  // Line names that hold events, and the layout family's own "new keys" name.
  std::vector<std::string> EventLineNames() const;
  std::string NewKeysVariantName() const;
  CourseLearner* Learner() const { return services_.Learner; }

  std::string CourseId;
  std::string FileName;
  std::vector<std::unique_ptr<TChapter>> Lessons;
  TBookMark Bookmark;
  std::string Description;
  std::string LongDescription;
  std::string CourseLanguage;
  bool Preview = false;
  std::string Keyboard = "ALL";
  std::string KeyboardBase;
  std::string LayoutFile;  // the layout file chosen for the course
  bool NoSemicolonReplacement = false;
  bool AlternateKeyboards = false;
  bool CustomCourse = false;
  std::string CourseIcon;
  std::string WizardName;
  std::string ShortName;
  std::string GoalInfo;
  std::string OverrideFile;
  int DefaultTime = -1;
  int ChosenDuration = -1;
  bool StaticDurations = false;
  bool OptimalDuration = false;
  int DefaultDuration = 0;
  std::vector<int> LessonDurations;
  std::vector<int> AccuracyGoals;
  int EventDurationMargin = 0;
  int DynamicDurationMargin = 0;
  int SpeedBarMax = 0;
  int AccuracyBarMin = 0;
  int NewKeysLoops = 0;
  int WordLoop = 0;
  int WordMaxLoop = 0;

 private:
  void Load(const std::string& path, int bookmarkMode);
  void ReadBody(CourseReader& reader);
  void ReadCourseKey(CourseReader& reader, const CourseLine& line);
  void ChooseLayout(const std::string& value);
  void ReportFieldProblems() const;

  CourseServices services_;
  int previewDuration_ = 0;
  int status_ = 0;
  bool layoutFailed_ = false;
  std::vector<CourseProblem> problems_;
};

// The repetitions of new-key drills the running course asks for (0: the drills' own).
int& CourseNewKeysLoops();

// The language a course file names in its header ("ENG"), upper case as a course read whole
// has it; "" when the file cannot be read. Reads the header only.
std::string CourseFileLanguage(const std::string& path);

}  // namespace ks
