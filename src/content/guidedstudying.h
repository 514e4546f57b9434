// Guided studying: the chain of screens a learner goes through (choose a course, look at its
// contents, study it, review keys, and back), remembered in "NextView" so that the tutor opens
// on the same step next time; the key check of a course against the keyboard layout; and the
// review loop. The screens come in through StudyingScreens.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace ks {

class CourseKeyboard;
class EventFactory;
class ResultPresenter;
class StudyLearner;
class TContents;
class TKeyDataExt;

class StudyingScreens {
 public:
  virtual ~StudyingScreens() = default;
  virtual void MarkStudyingTab() = 0;
  // The course list; its close result (1 chosen, 0 left, 1002 the monitor).
  virtual int RunCourseList() = 0;
  // The course contents view; 1 start, 2 back, 8 change the course, 0 left.
  virtual int RunCourseContents() = 0;
  // The wrong-keyboard view for the keys the layout lacks; 9 when the learner switched the
  // desktop's layout meanwhile (the layout that goes with it is loaded: check again).
  virtual int RunWrongKeyboard(const std::string& missing) = 0;
  // The course loop over a course loaded for study.
  virtual int RunCourse(TContents& course, bool& finished) = 0;
  virtual int RunReview() = 0;
  // The layout a course needs could not be loaded: the tutor cannot go on.
  virtual void StopProgram() = 0;
};

struct StudyingContext {
  StudyLearner* Learner = nullptr;
  CourseKeyboard* Keyboard = nullptr;  // loads the layouts courses and the US choice need
  TKeyDataExt* Layout = nullptr;       // the current layout, for the key check
  std::filesystem::path LessonsFolder;
};

class TGuidedStudying {
 public:
  TGuidedStudying(StudyingContext context, StudyingScreens& screens);

  // Runs one flow; `mode` 0 studying, 1 course choice. Returns the flow result: 0, 3 settings,
  // 4 statistics, 8 another course chosen from the wrong-keyboard view, 55 the monitor view.
  int Run(int mode);

  std::string CurrentStep;
  std::string PreviousStep;

  // The course file a flow works with: "ContentsFile", else the policy's "DefaultContents".
  std::string CourseFile();
  // Its path in the lessons folder, found whatever the letter case.
  std::string CoursePath(const std::string& file) const;

 private:
  void chooseCourse();
  void courseContents();
  void studying();
  bool keyCheck();
  void switchToUsInternational();
  void setNextView(const std::string& step);
  void end(int result);

  StudyingContext ctx_;
  StudyingScreens& screens_;
  int result_ = 0;
};

// The characters of `keys` that `characterSet` lacks, in order, leaving out the accented letters
// the layout can type with a dead accent and the base letter.
std::string MissingKeys(const std::string& keys, const std::string& characterSet);

// The question asked before the layout is switched to US International.
std::string UsInternationalQuestion();

// The review loop: the review builder runs until it answers 0, or once for keys chosen in a
// result view. Without a review builder in this program `OnUnavailable` is told and nothing runs.
class TReview {
 public:
  TReview(StudyLearner* learner, EventFactory& factory, ResultPresenter* presenter)
      : learner_(learner), factory_(factory), presenter_(presenter) {}

  // 1 after a review of chosen keys whose run returned a non-zero result, else 0.
  int Run();

  std::function<void()> OnUnavailable;

 private:
  StudyLearner* learner_;
  EventFactory& factory_;
  ResultPresenter* presenter_;
};

}  // namespace ks
