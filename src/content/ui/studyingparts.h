// The tutor's "Studying", "Courses" and "Review" parts: guided studying with its screens, the
// course loop with the lesson pages and the result views, for the learner who is logged on.
#pragma once

#include <memory>
#include <string>

#include "content/builderevent.h"
#include "content/courseloop.h"
#include "content/guidedstudying.h"
#include "content/layoutkeyboard.h"
#include "content/studylearner.h"
#include "content/ui/resultviews.h"
#include "engine/ui/viewfactory.h"
#include "platform/random.h"

namespace ks {

class TPartHost;
class TUser;

// The screens of guided studying and of the course loop as views of the book window.
class StudyingScreensQt : public StudyingScreens, public CourseLoopUi {
 public:
  StudyingScreensQt(TPartHost& frame, TUser& user);
  ~StudyingScreensQt() override;

  TGuidedStudying& Guide() { return guide_; }
  UserLearner& Learner() { return learner_; }

  // StudyingScreens
  void MarkStudyingTab() override;
  int RunCourseList() override;
  int RunCourseContents() override;
  int RunWrongKeyboard(const std::string& missing) override;
  int RunCourse(TContents& course, bool& finished) override;
  int RunReview() override;
  void StopProgram() override;

  // CourseLoopUi
  int ShowExerciseList(const ExerciseListRequest& request, int& chosen) override;
  int ShowLessonDone(TBookMark& bookmark, bool lastLesson, const std::string& nextTitle) override;
  void SetBusy(bool busy) override;
  bool LeaveRequested() override;
  ReviewCounters ReadReviewCounters() override;

  // What the review builder's events work with: this learner, the views and the running course.
  BuilderEventServices BuilderServices();
  // Gives lesson events this learner's texts, drill builders and error reports; every course
  // and review run installs them.
  void InstallEventServices();

 private:
  std::string layoutName();

  TPartHost& frame_;
  TUser& user_;
  UserLearner learner_;
  LayoutKeyboard keyboard_;
  ViewEventFactory factory_;
  StudyResultPresenter presenter_;
  TGuidedStudying guide_;
  SeededRandom random_;
  const TContents* course_ = nullptr;  // the course running now
  int busy_ = 0;
};

// Registers the three parts with the frame; they run for the learner the frame logs on.
void registerStudyingParts(TPartHost& frame);

}  // namespace ks
