// The three nested loops that take a learner through a loaded course: lesson after lesson,
// exercise after exercise from the lesson's list, event after event of an exercise, moving the
// bookmark as they go. The screens come in through CourseLoopUi so that the routing of the
// views' answers can be driven by a script.
#pragma once

#include <string>

#include "content/eventloader.h"

namespace ks {

class TBookMark;
class TChapter;
class TContents;
class TExercise;
class StudyLearner;

// The figures of the active key statistics that the review list shows before and after.
struct ReviewCounters {
  int KeyIndex = 0;
  int CapitalIndex = 0;
  int WordIndex = 0;
  int ProblemIndex = 0;
};

struct ExerciseListRequest {
  TContents* Course = nullptr;
  TChapter* Lesson = nullptr;
  TBookMark* Bookmark = nullptr;
  bool Review = false;
  bool HasPrevious = false;
  bool HasNext = false;
  std::string NextStepCaption;  // what the list's way on is called (next lesson, finish)
  // Review lists: their title and caption, and the counters when the lesson began and now.
  std::string Title;
  std::string Caption;
  ReviewCounters Before;
  ReviewCounters Now;
};

class CourseLoopUi {
 public:
  virtual ~CourseLoopUi() = default;
  // The lesson's exercise list with `chosen` selected; returns the list's answer and leaves the
  // chosen exercise in `chosen` (0: none).
  virtual int ShowExerciseList(const ExerciseListRequest& request, int& chosen) = 0;
  // The lesson-done view; `nextTitle` is empty for the last lesson.
  virtual int ShowLessonDone(TBookMark& bookmark, bool lastLesson,
                             const std::string& nextTitle) = 0;
  virtual void SetBusy(bool busy) = 0;
  // The learner asked for another part of the tutor, or to leave: the loops unwind.
  virtual bool LeaveRequested() = 0;
  virtual ReviewCounters ReadReviewCounters() = 0;
};

class TCourseLoop {
 public:
  // `learner` may be null (nobody logged in: nothing is stored or locked). `materialName` is
  // the current layout's material family ("qwerty").
  TCourseLoop(TContents& course, StudyLearner* learner, EventFactory& factory,
              ResultPresenter* presenter, CourseLoopUi& ui, std::string materialName);

  // Runs the course from the bookmark; `finished` tells whether the learner went past the last
  // lesson.
  int RunCourse(bool& finished);
  // The lesson of the bookmark's `Chapter`; `allDone` when its list was left past the end.
  int RunLesson(TChapter& lesson, bool& allDone);
  // The exercise's events from the bookmark's `Event` on.
  int RunExercise(TExercise& exercise, bool& completed);
  // Whether the course's lesson lock keeps the learner in `lesson` (and says so).
  bool LessonLocked(const TChapter& lesson);

 private:
  int lessonDone(const TChapter& lesson);
  int listAnswer(TChapter& lesson, bool review, const ReviewCounters& before, bool& hiddenShown,
                 int& chosen);

  TContents& course_;
  TBookMark& bm_;
  StudyLearner* learner_;
  EventRuntime runtime_;
  CourseLoopUi& ui_;
  std::string material_;
};

// Whether the learner's own or the group's "bypass_chapter_lock" lifts the course's lesson lock
// ("<course id>.chapter_lock" in the policy).
bool ChapterLockApplies(const std::string& courseId, StudyLearner* learner);

}  // namespace ks
