#include "content/ui/studyingparts.h"

#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "book/formview.h"
#include "book/parthost.h"
#include "book/placeholderview.h"
#include "content/contents.h"
#include "content/revisionbuilder.h"
#include "content/ui/contentsviews.h"
#include "content/ui/coursecontentsview.h"
#include "content/ui/courselistview.h"
#include "content/ui/lessondone.h"
#include "content/ui/studystyle.h"
#include "content/ui/wrongkeyboardview.h"
#include "engine/indexes.h"
#include "engine/ui/builderview.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "platform/systemkeyboard.h"
#include "store/errors.h"
#include "store/programsetup.h"
#include "store/user.h"

namespace ks {

StudyingScreensQt::StudyingScreensQt(TPartHost& frame, TUser& user)
    : frame_(frame),
      user_(user),
      learner_(user),
      keyboard_(CurrentLayout()),
      presenter_(&learner_),
      guide_(StudyingContext{&learner_, &keyboard_, &CurrentLayout(),
                             ProgramSettings ? ProgramSettings->lessonsPath()
                                             : std::filesystem::path()},
             *this) {}

StudyingScreensQt::~StudyingScreensQt() {
  EventEnvironment& env = eventEnvironment();
  if (env.learner == &learner_) env.learner = nullptr;
  // The builders refer to this learner's randomness.
  env.text.keyBuilder = nullptr;
  env.text.wordBuilder = nullptr;
}

void StudyingScreensQt::InstallEventServices() {
  EventEnvironment& env = eventEnvironment();
  env.learner = &learner_;
  if (ProgramSettings) env.text.coursesFolder = ProgramSettings->lessonsPath();
  env.text.homeRow = CurrentLayout().HomeRow;
  DrillBuilders builders = makeDrillBuilders(BuilderServices().Env, random_);
  env.text.keyBuilder = std::move(builders.keyBuilder);
  env.text.wordBuilder = std::move(builders.wordBuilder);
  env.text.report = [](int code, const std::string& text) { ReportError(code, text); };
}

void StudyingScreensQt::MarkStudyingTab() {
  frame_.Window().MarkTab("Studying");
}

int StudyingScreensQt::RunCourseList() {
  TCourseListView view(&learner_, ProgramSettings->lessonsPath());
  const int r = view.RunModal();
  if (view.NoCourses()) frame_.ExitRequested = true;
  return r;
}

int StudyingScreensQt::RunCourseContents() {
  TCourseContentsView view(&learner_, ProgramSettings->lessonsPath());
  return view.RunModal();
}

std::string StudyingScreensQt::layoutName() {
  const std::string system = systemKeyboard().activeLayoutName();
  if (CurrentLayout().DynamicLayout && !system.empty()) return system;
  if (user_.GetSettingBool("KeyboardAutoDetect", 1) && ProgramSettings) {
    return ProgramSettings->UserLayoutFile("", true, user_.LayoutSettings());
  }
  return user_.GetSetting("KeyboardLayout", 1);
}

int StudyingScreensQt::RunWrongKeyboard(const std::string& missing) {
  TWrongKeyboardView view(missing, layoutName());
  const int result = view.RunModal();
  if (result == TWrongKeyboardView::kLayoutSwitched && ProgramSettings) {
    // Detection now goes by the layout the learner switched to.
    ProgramSettings->SetSystemLayoutId(systemLayoutId());
    user_.LoadUserLayout();
  }
  return result;
}

int StudyingScreensQt::RunCourse(TContents& course, bool& finished) {
  course_ = &course;
  InstallEventServices();
  EventEnvironment& env = eventEnvironment();
  env.accuracyGoals = course.AccuracyGoals;
  env.dynamicDurationMargin = course.DynamicDurationMargin;
  TCourseLoop loop(course, &learner_, factory_, &presenter_, *this, CurrentLayout().MaterialName);
  const int r = loop.RunCourse(finished);
  course_ = nullptr;
  return r;
}

int StudyingScreensQt::RunReview() {
  InstallEventServices();
  TReview review(&learner_, factory_, &presenter_);
  review.OnUnavailable = [this] {
    const std::string keys =
        user_.Difficulties().CurrentDifficulties().getTopKeys(8, TDifficultKeys::CaseFilter::Any);
    QString text = msgText(1934);
    if (!keys.empty()) text += "\n\n" + msgText(1933) + toQString(keys);
    TPlaceholderView view(msgText(562), text, TPlaceholderView::Sign::Info);
    view.RunModal();
  };
  return review.Run();
}

void StudyingScreensQt::StopProgram() {
  frame_.ExitRequested = true;
}

int StudyingScreensQt::ShowExerciseList(const ExerciseListRequest& request, int& chosen) {
  std::unique_ptr<TCustomContentsView> view;
  if (request.Review) {
    view = std::make_unique<TReviewContentsView>(request, &learner_);
  } else {
    view = std::make_unique<TChpContentsView>(request, &learner_);
  }
  view->Chosen = chosen;
  const int r = view->RunModal();
  chosen = view->Chosen;
  return r;
}

int StudyingScreensQt::ShowLessonDone(TBookMark& bookmark, bool lastLesson,
                                      const std::string& nextTitle) {
  TLessonDone view(bookmark, lastLesson, nextTitle, learner_.KeysUpTo(learner_.KeyLevel()));
  return view.RunModal();
}

void StudyingScreensQt::SetBusy(bool busy) {
  // The views run modally while the loops are busy; the count only keeps the nesting.
  busy_ += busy ? 1 : -1;
}

bool StudyingScreensQt::LeaveRequested() {
  return !frame_.ActiveTab.isEmpty() || frame_.ExitRequested || appTerminating();
}

ReviewCounters StudyingScreensQt::ReadReviewCounters() {
  const TDifficultKeys& keys = user_.Difficulties().CurrentDifficulties();
  ReviewCounters c;
  c.KeyIndex = KeyIndex(keys);
  c.CapitalIndex = CapitalIndex(keys);
  c.WordIndex = user_.Words().WordIndex(5);
  c.ProblemIndex = ProblemIndex(keys, &user_.Words());
  return c;
}

BuilderEventServices StudyingScreensQt::BuilderServices() {
  BuilderEventServices s;
  s.Factory = &factory_;
  s.Presenter = &presenter_;
  s.Env.Learner = &learner_;
  s.Env.Layout = &CurrentLayout();
  if (ProgramSettings) s.Env.LessonsPath = ProgramSettings->lessonsPath();
  s.Env.CourseLoaded = course_ != nullptr;
  if (course_ != nullptr) s.Env.CourseWizard = course_->WizardName;
  s.Keyboard = &keyboard_;
  s.Difficulties = &user_.Difficulties().CurrentDifficulties();
  s.Rng = &random_;
  return s;
}

void registerStudyingParts(TPartHost& frame) {
  auto screens = std::make_shared<std::unique_ptr<StudyingScreensQt>>();
  const auto get = [screens](TPartHost& f) -> StudyingScreensQt* {
    if (!*screens && f.User() != nullptr) {
      *screens = std::make_unique<StudyingScreensQt>(f, *f.User());
    }
    return screens->get();
  };
  frame.SetPart("Studying", [get](TPartHost& f) {
    StudyingScreensQt* s = get(f);
    return s != nullptr ? s->Guide().Run(0) : 0;
  });
  frame.SetPart("Courses", [get](TPartHost& f) {
    StudyingScreensQt* s = get(f);
    return s != nullptr ? s->Guide().Run(1) : 0;
  });
  frame.SetPart("Review", [get](TPartHost& f) {
    if (StudyingScreensQt* s = get(f)) s->RunReview();
    return 0;
  });
  // Review events in courses and in the review part build their drills for this learner.
  registerBuilderEvent([screens]() -> BuilderEventServices {
    if (*screens) return (*screens)->BuilderServices();
    static SeededRandom random;  // nobody logged on: the event still has its randomness
    BuilderEventServices none;
    none.Rng = &random;
    return none;
  });
}

}  // namespace ks
