#include "content/courseloop.h"

#include <algorithm>

#include "analysis/diffkeys.h"
#include "content/contents.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "platform/dialogs.h"
#include "platform/systemkeyboard.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

std::string msg(int id) {
  return Localize().GetString(id);
}

// Marks the window busy for the lifetime of the object.
class Busy {
 public:
  explicit Busy(CourseLoopUi& ui) : ui_(ui) { ui_.SetBusy(true); }
  ~Busy() { ui_.SetBusy(false); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  CourseLoopUi& ui_;
};

}  // namespace

bool ChapterLockApplies(const std::string& courseId, StudyLearner* learner) {
  if (!policyBool(courseId + ".chapter_lock")) return false;
  if (learner == nullptr) return true;
  if (learner->GetSetting("bypass_chapter_lock", 2) == "1") return false;
  return !learner->Settings().ReadBool("bypass_chapter_lock");
}

TCourseLoop::TCourseLoop(TContents& course, StudyLearner* learner, EventFactory& factory,
                         ResultPresenter* presenter, CourseLoopUi& ui, std::string materialName)
    : course_(course),
      bm_(course.Bookmark),
      learner_(learner),
      runtime_{factory, presenter, learner},
      ui_(ui),
      material_(std::move(materialName)) {}

bool TCourseLoop::LessonLocked(const TChapter& lesson) {
  if (!bm_.Save || !ChapterLockApplies(course_.CourseId, learner_)) return false;
  for (const auto& ex : lesson.Exercises) {
    const bool passed = learner_ != nullptr &&
                        learner_->ExercisePassed(course_.CourseId, lesson.Number, ex->Number);
    if (!passed) {
      dialogs().messageBox(msg(111), msg(112), BoxKind::Warning);
      return true;
    }
  }
  return false;
}

int TCourseLoop::lessonDone(const TChapter& lesson) {
  if (LessonLocked(lesson)) return 0;
  const int lessons = static_cast<int>(course_.Lessons.size());
  const bool last = bm_.Chapter >= lessons;
  std::string next;
  if (!last) next = course_.LessonTitles(TitlePrefix::LessonWord)[bm_.Chapter];
  return ui_.ShowLessonDone(bm_, last, next);
}

int TCourseLoop::RunCourse(bool& finished) {
  finished = false;
  if (findText(course_.LayoutFile, "numpad") != std::string::npos)
    systemKeyboard().setNumLock(true);
  if (!course_.KeyboardBase.empty() &&
      findText(upperCase(course_.KeyboardBase), upperCase(material_)) == std::string::npos) {
    dialogs().messageBox(msg(330) + " " + upperCase(material_) + msg(331) + " " +
                             course_.Description + msg(332) + "\r" + msg(333),
                         Localize().GetStringDefault(1), BoxKind::Warning);
  }
  const int lessons = static_cast<int>(course_.Lessons.size());
  // A course without lessons has nothing left to study; it must not send the flow round again.
  if (lessons == 0) {
    finished = true;
    return 1;
  }
  if (bm_.Chapter <= 0) bm_.Chapter = 1;
  if (bm_.Chapter > lessons) {
    bm_.Chapter = 1;
    return 1;
  }
  int result = 0;
  {
    Busy busy(ui_);
    while (bm_.Chapter >= 1 && bm_.Chapter <= lessons) {
      bm_.StatusText = bm_.Mode == TBookMark::bmNormal
                           ? msg(334) + intToStr(bm_.Chapter) + msg(712) + intToStr(lessons)
                           : msg(218);
      bool allDone = false;
      result = RunLesson(*course_.Lessons[static_cast<size_t>(bm_.Chapter - 1)], allDone);
      if (bm_.Mode != TBookMark::bmNormal) break;
      if (ui_.LeaveRequested()) result = 0;
      if (result == 2) result = 0;
      if (result == 0) break;
      if (result == 3) {
        bm_.Chapter = std::max(1, bm_.Chapter - 1);
        bm_.Exercise = 1;
        bm_.Event = 1;
      } else if (result == 4) {
        ++bm_.Chapter;
        bm_.Exercise = 1;
        bm_.Event = 1;
      } else if (result >= 5 && result <= 8) {
        return result;
      }
    }
  }
  if (bm_.Chapter > lessons) {
    finished = true;
    return 1;
  }
  if (result < 0) ReportError2(-1052, result);
  return result;
}

int TCourseLoop::listAnswer(TChapter& lesson, bool review, const ReviewCounters& before,
                            bool& hiddenShown, int& chosen) {
  chosen = bm_.Exercise;
  if (lesson.HideExercises) {
    // A lesson without a list starts at its first exercise, and goes on once it has run.
    if (!hiddenShown) {
      hiddenShown = true;
      chosen = 1;
      return 1;
    }
    return 4;
  }
  ExerciseListRequest req;
  req.Course = &course_;
  req.Lesson = &lesson;
  req.Bookmark = &bm_;
  req.Review = review;
  const int lessons = static_cast<int>(course_.Lessons.size());
  req.HasPrevious = bm_.Chapter > 1;
  req.HasNext = bm_.Chapter < lessons;
  req.NextStepCaption = msg(bm_.Chapter >= lessons ? 335 : 336);
  if (review) {
    req.Title = msg(567);
    req.Caption = msg(328);
    req.Before = before;
    req.Now = ui_.ReadReviewCounters();
  }
  return ui_.ShowExerciseList(req, chosen);
}

int TCourseLoop::RunLesson(TChapter& lesson, bool& allDone) {
  allDone = false;
  const bool review = bm_.Mode == TBookMark::bmReview;
  const int count = static_cast<int>(lesson.Exercises.size());
  if (bm_.Exercise <= 0) bm_.Exercise = 1;
  bm_.LessonName = lesson.Name;
  const ReviewCounters before = ui_.ReadReviewCounters();
  if (bm_.Exercise > count + 1) {
    bm_.Exercise = count + 1;
    return -1202;
  }
  bool hiddenShown = false;
  for (;;) {
    int chosen = 0;
    int result = listAnswer(lesson, review, before, hiddenShown, chosen);
    if (chosen >= 1 && chosen <= count) {
      bm_.Exercise = chosen;
    } else if (result == 1) {
      result = 3;  // nothing to start
    }
    switch (result) {
      case 0:
        return 0;
      case 15:
        if (review) return 1;
        if (LessonLocked(lesson)) continue;
        bm_.Exercise = count;
        {
          const int answer = lessonDone(lesson);
          return answer == 1 ? 4 : answer;
        }
      case 2:
      case 3:
      case 5:
      case 6:
      case 7:
      case 8:
      case 17:
        return result;
      case 4:
        return LessonLocked(lesson) ? 0 : 4;
      default:
        break;
    }
    if (bm_.Exercise > count) {
      allDone = true;
      if (LessonLocked(lesson)) {
        allDone = false;
        continue;
      }
      return review ? 2 : 4;
    }
    bm_.Event = 1;
    TExercise& exercise = *lesson.Exercises[static_cast<size_t>(bm_.Exercise - 1)];
    bool completed = false;
    result = RunExercise(exercise, completed);
    if (ui_.LeaveRequested()) return 0;
    if (result != 0 && review) ++bm_.Exercise;
    if (result != 0 && completed) {
      if (!review && learner_ != nullptr) {
        learner_->RaiseKeyLevel(exercise.KeyLevel);
        learner_->Difficulties().CurrentDifficulties().setKeySet(
            learner_->KeysUpTo(learner_->KeyLevel()));
      }
      if (review) {
        // A review exercise has already moved on.
      } else if (bm_.Exercise < count) {
        ++bm_.Exercise;
      } else if (result < 7) {
        const int answer = lessonDone(lesson);
        if (answer == 0) return 0;
        if (answer == 1) return 4;
        if (answer != 2) return answer;  // the view's own ways on: lessons, durations, courses
      }
    }
    if (result > 4) return result;
  }
}

int TCourseLoop::RunExercise(TExercise& exercise, bool& completed) {
  completed = false;
  const int count = static_cast<int>(exercise.Events.size());
  if (bm_.Event <= 0) bm_.Event = 1;
  if (bm_.Event > count) return -1301;
  int result = 99;
  {
    Busy busy(ui_);
    int exerciseTime = 0;
    while (bm_.Event <= count) {
      TEventLoader& loader = *exercise.Events[static_cast<size_t>(bm_.Event - 1)];
      loader.ExerciseTime = exerciseTime;
      loader.ResultSource = "BKM";
      loader.CourseId = course_.CourseId;
      loader.ResultShowMode = bm_.ResultShowMode;
      loader.SaveResults = bm_.Save;
      result = loader.Execute(runtime_);
      exerciseTime = loader.ExerciseTime;
      bm_.Time = static_cast<int>(
          std::min<int64_t>(int64_t{bm_.Time} + std::max(0, loader.TimeStudied), INT32_MAX));
      if (learner_ != nullptr) bm_.CompExc = learner_->PassedCount(course_.CourseId);
      if (result == 0) {
        ++bm_.Event;
        break;
      }
      if (result == 2) break;
      if (learner_ != nullptr) {
        learner_->SetHighestKeyLevel(std::max(learner_->HighestKeyLevel(), learner_->KeyLevel()));
      }
      if (result == 4) break;
      ++bm_.Event;
      if (result > 4) break;
      // An event may send the learner elsewhere (a message page's button opens another part).
      if (ui_.LeaveRequested()) break;
    }
  }
  if (bm_.Event > count) {
    completed = exercise.Events.back()->Checked;
    if (result >= 1 && result <= 4) result = 1;
  }
  return result;
}

}  // namespace ks
