#include "typingtest/ui/testevent.h"

#include <algorithm>

#include "content/eventloader.h"
#include "content/studylearner.h"
#include "content/ui/resultviews.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/viewfactory.h"
#include "platform/paths.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/user.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"
#include "typingtest/testtexts.h"
#include "typingtest/ui/choosetextview.h"

namespace ks {
namespace {

// Names go into result lines and event lines, whose fields ";" separates.
std::string sanitised(std::string name) {
  std::replace(name.begin(), name.end(), ';', ',');
  return name;
}

// The exam's figures become the outer event's, which keeps its own place among the results.
void takeOutcome(TResultItem& outer, const TResultItem& exam) {
  TResultItem copy = exam;
  copy.Number = outer.Number;
  copy.Source = outer.Source;
  copy.CourseId = outer.CourseId;
  copy.Chapter = outer.Chapter;
  copy.Exercise = outer.Exercise;
  copy.Event = outer.Event;
  copy.Name = outer.Name;
  copy.ExerciseType = outer.ExerciseType;
  copy.ErrorFactor = outer.ErrorFactor;
  copy.StudySeconds = outer.StudySeconds;
  copy.ExerciseStudySeconds = outer.ExerciseStudySeconds;
  outer = copy;
}

}  // namespace

std::filesystem::path testTextsFolder() {
  if (!ProgramSettings) return {};
  if (ProgramSettings->storyPath().empty()) ProgramSettings->InitStoryPath();
  return ProgramSettings->storyPath();
}

TTestEvent::TTestEvent(const std::string& line) : line_(line) {}

int TTestEvent::Execute(const EventHandover& h) {
  const std::vector<std::string> fields = splitEventFields(line_);
  int seconds = fields.size() > 2 ? strToIntDef(fields[2], 0) : 0;
  const std::string reference = fields.size() > 3 ? fields[3] : std::string();
  EventEnvironment& env = eventEnvironment();
  CourseLearner* learner = env.learner;
  TDynamicSettings* user = learner ? &learner->Settings() : env.userSettings;
  const std::filesystem::path folder = testTextsFolder();

  std::string base;
  if (startsWithText(reference, "ASK:")) {
    std::vector<TResultItem> tests;
    std::string userName;
    if (auto* u = dynamic_cast<UserLearner*>(learner)) {
      tests = u->User().Results().Tests(false);
      userName = u->UserName();
    }
    TChooseTextView view(user, std::move(tests), folder);
    view.CancelVisible = h.CancelVisible;
    view.UserName = userName;
    const int r = view.RunModal();
    if (r != 1) return r;
    base = view.ChosenBase;
    seconds = view.ChosenMinutes * 60;
    if (user) user->WriteString("StoryFile", base);
  } else {
    base = TestBaseName(reference);
  }
  TestTextList texts;
  texts.LoadTestTexts(folder, true, ActiveLanguage);
  TtypingTest* d = texts.FindTestText(base);
  if (d == nullptr) {
    ReportError(-1, "The typing test files are not available, test cancelled (" + base + ".EXI)");
    if (user) user->WriteBool("Test.Enabled", false);
    return 0;
  }

  // A named text is typed from its file, like a chosen one (the reference alone would be typed
  // as it is written).
  TEventLoader exam(ExamInternalLine(TestTextField(folder, d->BaseName), *d));
  // The line names the file in 1252; the exam reads it where the system has it. A timed test
  // that starts its text again at the end goes on with the next texts first, so a short text
  // does not fill the minutes by itself.
  if (seconds > 0 && d->MustTypeAll() == "2") {
    TestTextList offered;
    offered.LoadTestTexts(folder, false, ActiveLanguage);
    exam.TextFiles = ContinuedTextFiles(offered, d->BaseName, folder,
                                        static_cast<uintmax_t>(seconds) * kTestCharsPerMinute / 60);
  } else {
    exam.TextFiles = {joinResolved(folder, d->BaseName + ".exm")};
  }
  exam.TimeLimit = seconds;
  exam.ResultSource = "NAME";
  const int counter = (user ? user->ReadInteger("TestCounter") : 0) + 1;
  if (user) user->WriteInteger("TestCounter", counter);
  exam.SourceName = "TEST" + intToStr(counter);
  exam.TestName = sanitised(d->ReadString("Name"));
  exam.CancelVisible = h.CancelVisible;
  // In a course the course's loader shows and stores the result as the exercise's.
  const bool inCourse = !h.CourseId.empty() && h.Result != nullptr;
  exam.ResultShowMode = inCourse ? 1 : 0;
  exam.SaveResults = !inCourse;
  TResultItem outcome;
  exam.Outcome = &outcome;
  StudyResultPresenter presenter(dynamic_cast<StudyLearner*>(learner));
  ViewEventFactory factory;
  const int result = exam.Execute({factory, &presenter, learner});
  if (h.Result != nullptr) takeOutcome(*h.Result, outcome);
  return result;
}

}  // namespace ks
