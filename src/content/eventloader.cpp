#include "content/eventloader.h"

#include <algorithm>

#include "content/contents.h"
#include "content/courseservices.h"
#include "content/eventfactory.h"
#include "content/policy.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

int ClampCloseResult(int result) {
  if (result < 0 || (result > 7 && result < 600)) return 0;
  return result;
}

TEventLoader::TEventLoader(const std::string& line, TExercise* exercise)
    : Exercise(exercise), line_(ParseEventLine(line)), keyword_(line_.Keyword) {
  TimeLimit = line_.Weight;
}

int TEventLoader::ChapterNumber() const {
  return Exercise != nullptr ? Exercise->ChapterNumber() : 0;
}

int TEventLoader::ExerciseNumber() const {
  return Exercise != nullptr ? Exercise->Number : 0;
}

std::vector<std::string> TEventLoader::EventFields() const {
  return splitEventFields(line_.Line);
}

const TBookMark* TEventLoader::Bookmark() const {
  if (Exercise == nullptr || Exercise->Owner == nullptr || Exercise->Owner->Owner == nullptr) {
    return nullptr;
  }
  return &Exercise->Owner->Owner->Bookmark;
}

void TEventLoader::InitResult(TResultItem& item, const EventKeyword& kw) {
  item.Source = ResultSource;
  item.ExerciseType = ExerciseType;
  item.ErrorFactor = kw.WordErrorFactor ? lessonOptions().wordLength : 1;
  if (ResultSource == "BKM") {
    item.CourseId = CourseId;
    item.Chapter = ChapterNumber();
    item.Exercise = ExerciseNumber();
    item.Event = Number;
  } else {
    item.Name = SourceName;
  }
  if (!TestName.empty()) item.TestName = TestName;
}

int TEventLoader::Execute(const EventRuntime& rt) {
  CourseLearner* learner = rt.Learner;
  if (Exercise != nullptr) ExerciseType = Exercise->Type;

  std::string activeKeys = KnownKeys;
  if (learner != nullptr) {
    if (activeKeys.empty() && KeyLevel > 0) activeKeys = learner->KeysUpTo(KeyLevel);
    learner->ResetKeyLevel();
    learner->RaiseKeyLevel(KeyLevel);
  }

  const EventKeyword* kw = FindEventKeyword(keyword_);
  std::unique_ptr<LessonEvent> event;
  if (kw != nullptr && kw->ClassName[0] != '\0') event = rt.Factory.Create(*kw, line_.Line);
  if (event == nullptr) {
    // Nothing ran, so nothing failed: an exercise ending with such a line can still be completed
    // (else a learner would be held at it for good).
    Checked = true;
    CloseResult = 1;
    return CloseResult;
  }
  EventHandover h;
  if (keyword_ == "EXAMINTERNAL") {
    h.Internal = true;
    keyword_ = "EXAM";
  }
  const bool builder = keyword_ == "BUILDER";
  if (kw->GameName[0] != '\0' && !GameWordList.empty()) h.GameWords = &GameWordList;
  if (!TextFiles.empty()) h.TextFiles = &TextFiles;

  TResultItem item;
  item.Number = learner != nullptr ? learner->NextResultNumber() : 0;
  InitResult(item, *kw);

  h.Result = &item;
  h.EventType = keyword_;
  h.CourseId = CourseId;
  if (const TBookMark* bm = Bookmark()) {
    h.PageIndex = bm->Event;
    h.PageCount = Exercise->LeadingMessagePages();
    h.Course = Exercise->Owner->Owner;
  }
  if (Exercise != nullptr && ResultSource == "BKM") {
    h.Lesson = ChapterNumber();
    h.Exercise = ExerciseNumber();
    if (Exercise->Owner != nullptr) h.LessonName = Exercise->Owner->Name;
    h.ExerciseTitle = Exercise->Type;
  }
  h.DynamicDuration = DynamicDuration;
  h.CancelVisible = CancelVisible;
  h.MenuVisible = MenuVisible;
  if (kw->Timed) h.TimeLimit = TimeLimit;
  h.ActiveKeys = activeKeys;
  if (builder) {
    h.BuilderTime = TimeLimit;
    h.BuilderKeyLevel = KeyLevel;
    if (rt.Presenter != nullptr) rt.Presenter->PrepareWizard(activeKeys);
  }

  CloseResult = event->Execute(h);

  if (item.Kind == "TEST" && ChapterNumber() != 0) {
    item.ExerciseType += " (" + intToStr(ChapterNumber()) + "." + intToStr(ExerciseNumber()) + ")";
  }
  if (learner != nullptr) {
    if (builder && rt.Presenter != nullptr) rt.Presenter->CollectWizardResult();
    TimeStudied = item.StudySeconds;
    TDynamicSettings& settings = learner->Settings();
    const int64_t studied = int64_t{settings.ReadInteger("TimeStudied")} + TimeStudied;
    settings.WriteInteger("TimeStudied",
                          static_cast<int32_t>(std::clamp<int64_t>(studied, 0, INT32_MAX)));
    item.ExerciseStudySeconds = item.StudySeconds + ExerciseTime;
    ExerciseTime = item.ExerciseStudySeconds;
    const EventGoals goals = event->Goals();
    if (rt.Presenter != nullptr) {
      rt.Presenter->SetExerciseGoals(goals.Active ? goals : EventGoals{}, DynamicDuration);
    }
    event.reset();

    if (CloseResult == 0) item.Checked = item.Passed;
    if (ResultShowMode != 1 && (CloseResult == 1 || CloseResult == 3)) {
      // An exam or test counts as passed only when it met its criteria.
      item.Checked = item.Kind == "TEST" ? item.Passed : true;
      CloseResult = ShowResult(rt, item, *kw, builder);
    }
    if (SaveResults) {
      StoreResult(*learner, item);
    } else {
      Checked = item.Checked;
    }
    if (!item.Checked) learner->DemoteOlder(item);
  }
  if (Outcome != nullptr) *Outcome = item;
  event.reset();
  CloseResult = ClampCloseResult(CloseResult);
  return CloseResult;
}

int TEventLoader::ShowResult(const EventRuntime& rt, TResultItem& item, const EventKeyword& kw,
                             bool builder) {
  ResultPresenter* views = rt.Presenter;
  if (views == nullptr) return CloseResult;
  const bool game = item.Kind == "GAME";
  int answer;
  if (builder && ResultShowMode == 0 && !game) {
    answer = views->ShowWizardResult(item);
  } else if (!game) {
    if (ResultShowMode != 0 || item.Kind == "STD" || item.Kind == "TIME") return CloseResult;
    answer = views->ShowExerciseInfo(item, KeyLevel);
  } else {
    std::string player = rt.Learner->UserName();
    if (policyBool("hide_topten_names") || upperCase(player) == "VISITOR%%") {
      player = Localize().GetStringDefault(17);
    }
    answer = views->ShowTopTen(item, player, kw.GameName);
  }
  switch (answer) {
    case 0:
    case 1:
      return answer;
    case 98:
      return 5;
    case 97:
      return 7;
    default:
      return 4;
  }
}

void TEventLoader::StoreResult(CourseLearner& learner, TResultItem& item) {
  if (!item.Valid && item.TypingSeconds < 10) item.Checked = false;
  bool store = true;
  if (item.Kind == "TEST") {
    if (!item.Complete) item.Checked = false;
    // A test of ten seconds or less is no test.
    if (item.TypingSeconds <= 10) {
      store = false;
      item.Checked = false;
    }
  }
  if (store) {
    if (ProgramSettings) ProgramSettings->resultsChanged = true;
    learner.AddResult(item);
    learner.SaveUser();
  }
  Checked = item.Checked;
}

}  // namespace ks
