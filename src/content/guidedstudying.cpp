#include "content/guidedstudying.h"

#include <memory>

#include "analysis/diffkeys.h"
#include "analysis/keydataext.h"
#include "content/contents.h"
#include "content/eventfactory.h"
#include "content/eventline.h"
#include "content/eventloader.h"
#include "content/policy.h"
#include "content/studylearner.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "text/textutil.h"

namespace ks {
namespace {

// An accented letter and what it is made of: its base letter and its accent as a spacing
// character.
struct Composed {
  unsigned char letter, base, accent;
};

constexpr unsigned char kAcute = 0xB4, kCircumflex = '^', kGrave = '`', kTilde = '~',
                        kDiaeresis = 0xA8, kCedilla = 0xB8;

// The 51 letters whose accent a dead key may type.
constexpr Composed kComposed[] = {
    {0xC1, 'A', kAcute},      {0xC2, 'A', kCircumflex}, {0xC0, 'A', kGrave},
    {0xC3, 'A', kTilde},      {0xC4, 'A', kDiaeresis},  {0xC9, 'E', kAcute},
    {0xCA, 'E', kCircumflex}, {0xC8, 'E', kGrave},      {0xCB, 'E', kDiaeresis},
    {0xCD, 'I', kAcute},      {0xCE, 'I', kCircumflex}, {0xCC, 'I', kGrave},
    {0xCF, 'I', kDiaeresis},  {0xD1, 'N', kTilde},      {0xD3, 'O', kAcute},
    {0xD2, 'O', kGrave},      {0xD5, 'O', kTilde},      {0xD4, 'O', kCircumflex},
    {0xD6, 'O', kDiaeresis},  {0xDA, 'U', kAcute},      {0xDB, 'U', kCircumflex},
    {0xD9, 'U', kGrave},      {0xDC, 'U', kDiaeresis},  {0xDD, 'Y', kAcute},
    {0xE1, 'a', kAcute},      {0xE2, 'a', kCircumflex}, {0xE0, 'a', kGrave},
    {0xE3, 'a', kTilde},      {0xE4, 'a', kDiaeresis},  {0xE9, 'e', kAcute},
    {0xEA, 'e', kCircumflex}, {0xE8, 'e', kGrave},      {0xEB, 'e', kDiaeresis},
    {0xED, 'i', kAcute},      {0xEE, 'i', kCircumflex}, {0xEC, 'i', kGrave},
    {0xEF, 'i', kDiaeresis},  {0xF1, 'n', kTilde},      {0xF3, 'o', kAcute},
    {0xF2, 'o', kGrave},      {0xF5, 'o', kTilde},      {0xF4, 'o', kCircumflex},
    {0xF6, 'o', kDiaeresis},  {0xFA, 'u', kAcute},      {0xFB, 'u', kCircumflex},
    {0xF9, 'u', kGrave},      {0xFC, 'u', kDiaeresis},  {0xFD, 'y', kAcute},
    {0xFF, 'y', kDiaeresis},  {0xE7, 'c', kCedilla},    {0xC7, 'C', kCedilla},
};

const Composed* composed(unsigned char c) {
  for (const Composed& k : kComposed) {
    if (k.letter == c) return &k;
  }
  return nullptr;
}

std::string msg(int id) {
  return Localize().GetString(id);
}

// Tells whether the factory made an event.
class WatchingFactory : public EventFactory {
 public:
  explicit WatchingFactory(EventFactory& inner) : inner_(inner) {}
  std::unique_ptr<LessonEvent> Create(const EventKeyword& keyword,
                                      const std::string& line) override {
    auto event = inner_.Create(keyword, line);
    made = event != nullptr;
    return event;
  }
  bool made = false;

 private:
  EventFactory& inner_;
};

}  // namespace

std::string MissingKeys(const std::string& keys, const std::string& characterSet) {
  const auto has = [&](unsigned char c) {
    return characterSet.find(static_cast<char>(c)) != std::string::npos;
  };
  std::string missing;
  for (char ch : keys) {
    const auto c = static_cast<unsigned char>(ch);
    if (has(c)) continue;
    if (const Composed* k = composed(c); k != nullptr && has(k->base) && has(k->accent)) continue;
    missing += ch;
  }
  return missing;
}

std::string UsInternationalQuestion() {
  return "Do you want to switch your Windows keyboard setting to US International layout? \r"
         "In future to type ' and \" you need to press space after the key.\r"
         "Please change your layout back to US English from Settings page when returning to "
         "the English courses.\r"
         "\r"
         "International Layout is installed by choosing yes.";
}

TGuidedStudying::TGuidedStudying(StudyingContext context, StudyingScreens& screens)
    : ctx_(std::move(context)), screens_(screens) {}

std::string TGuidedStudying::CourseFile() {
  std::string file;
  if (ctx_.Learner != nullptr) file = ctx_.Learner->Settings().ReadString("ContentsFile");
  return file.empty() ? policyString("DefaultContents") : file;
}

std::string TGuidedStudying::CoursePath(const std::string& file) const {
  if (findText(file, "http:/") != std::string::npos) return file;
  return joinResolved(ctx_.LessonsFolder, file).string();
}

void TGuidedStudying::setNextView(const std::string& step) {
  if (ctx_.Learner != nullptr) ctx_.Learner->Settings().WriteString("NextView", step);
}

void TGuidedStudying::end(int result) {
  result_ = result;
  CurrentStep.clear();
}

int TGuidedStudying::Run(int mode) {
  result_ = 0;
  PreviousStep.clear();
  const std::string next =
      ctx_.Learner != nullptr ? ctx_.Learner->Settings().ReadString("NextView") : std::string();
  CurrentStep = mode == 1 ? "ChooseCourse" : (next.empty() ? "Studying" : next);
  while (!CurrentStep.empty()) {
    const std::string step = CurrentStep;
    if (step == "Welcome") {
      screens_.MarkStudyingTab();
      CurrentStep = "ChooseCourse";
    } else if (step == "ChooseCourse") {
      chooseCourse();
    } else if (step == "CourseContents") {
      courseContents();
    } else if (step == "Review") {
      CurrentStep = screens_.RunReview() == 1 ? "Studying" : "";
    } else {
      // "Studying", and any name this version does not know.
      const bool chosen =
          ctx_.Learner == nullptr || !ctx_.Learner->Settings().ReadString("ContentsFile").empty();
      if (chosen) {
        studying();
      } else {
        CurrentStep = "Welcome";
      }
    }
  }
  return result_;
}

void TGuidedStudying::chooseCourse() {
  PreviousStep = "ChooseCourse";
  setNextView("ChooseCourse");
  const int r = screens_.RunCourseList();
  if (ctx_.Learner != nullptr) ctx_.Learner->ClearKeyGroups();
  CurrentStep = "CourseContents";
  if (r == 1002) end(55);
  if (r == 0) end(0);
}

bool TGuidedStudying::keyCheck() {
  if (ctx_.Learner == nullptr || ctx_.Layout == nullptr) return true;
  const std::string missing = MissingKeys(ctx_.Learner->KeysUpTo(99), ctx_.Layout->CharacterSet);
  if (missing.empty() || ctx_.Layout->HomeRow == "456+") return true;
  switch (screens_.RunWrongKeyboard(missing)) {
    case 9:
      return keyCheck();  // the learner switched the desktop's layout
    case 4:
      if (dialogs().messageBox(UsInternationalQuestion(), msg(196), BoxKind::Question)) {
        switchToUsInternational();
      }
      return true;
    case 0:
      end(0);
      return false;
    case 1:
    case 3:
      end(3);
      return false;
    case 8: {
      TDynamicSettings& s = ctx_.Learner->Settings();
      if (s.ReadInteger("NextStep") == 1) s.WriteInteger("NextStep", 3);
      setNextView("ChooseCourse");
      end(8);
      return false;
    }
    default:
      return true;
  }
}

void TGuidedStudying::switchToUsInternational() {
  if (ctx_.Keyboard == nullptr || ctx_.Keyboard->LoadLayout("usint2.kbd") != LayoutLoad::Loaded) {
    return;
  }
  if (!policyBool("DisableWindowsLayouts")) ctx_.Keyboard->ActivateSystemLayout();
  if (ctx_.Learner != nullptr) {
    TDynamicSettings& s = ctx_.Learner->Settings();
    s.WriteString("KeyboardLayout", "English US International");
    s.WriteBool("KeyboardAutoDetect", false);
  }
}

void TGuidedStudying::courseContents() {
  const std::string file = CourseFile();
  if (ctx_.Learner != nullptr) ctx_.Learner->ClearKeyGroups();
  {
    // Reading the course builds the learner's key order for the check.
    TContents preview(TContents::PreviewTag{}, CoursePath(file),
                      CourseServices{ctx_.Learner, nullptr});
  }
  if (!keyCheck()) return;
  setNextView("CourseContents");
  const int b = screens_.RunCourseContents();
  CurrentStep = "Studying";
  if (PreviousStep.empty()) PreviousStep = "ChooseCourse";
  if (b == 0) {
    end(0);
  } else if (b == 2) {
    CurrentStep = PreviousStep;
  } else if (b == 8) {
    CurrentStep = "ChooseCourse";
  }
  PreviousStep = "CourseContents";
}

void TGuidedStudying::studying() {
  setNextView("Studying");
  screens_.MarkStudyingTab();
  PreviousStep = "Studying";
  StudyLearner* learner = ctx_.Learner;
  if (learner != nullptr) {
    learner->ClearKeyGroups();
    learner->ResetKeyLevel();
  }
  const std::string path = CoursePath(CourseFile());
  auto course = std::make_unique<TContents>(path, -1, TBookMark::bmNormal,
                                            CourseServices{learner, ctx_.Keyboard});
  CurrentStep.clear();
  if (course->Status() != 0) {
    course.reset();
    ReportError(-5633, path);
    if (learner != nullptr) learner->Settings().WriteString("ContentsFile", "");
    return;
  }
  if (course->LayoutFailed()) {
    course.reset();
    screens_.StopProgram();
    return;
  }
  if (learner != nullptr) {
    const std::string keys = learner->KeysUpTo(learner->KeyLevel());
    learner->Difficulties().LessonDifficulties.setKeySet(keys);
    learner->Settings().WriteString(course->CourseId + ".LimitedChars", keys);
  }
  bool finished = false;
  const int r = screens_.RunCourse(*course, finished);
  course.reset();  // keeps the learner's place
  if (learner != nullptr) learner->SaveUser();
  if (r == 5) {
    CurrentStep = "CourseContents";
  } else if (r == 7) {
    CurrentStep = "Review";
  } else if (r == 6) {
    result_ = 4;
  } else if (r == 8 || (r == 1 && finished)) {
    CurrentStep = "ChooseCourse";
  }
}

int TReview::Run() {
  for (;;) {
    TEventLoader loader("Event=Builder;0;GUI;");
    loader.CancelVisible = false;
    // The menu stays: it is the way out of a review that repeats.
    loader.MenuVisible = true;
    loader.ResultShowMode = 0;
    loader.SaveResults = false;
    if (learner_ != nullptr) loader.KeyLevel = learner_->KeyLevel();
    WatchingFactory factory(factory_);
    const int r = loader.Execute(EventRuntime{factory, presenter_, learner_});
    if (!factory.made) {
      // Without a review builder the loop would spin without ever showing anything.
      if (OnUnavailable) OnUnavailable();
      return 0;
    }
    if (learner_ != nullptr) {
      TDynamicSettings& s = learner_->Settings();
      if (!s.ReadString("CustomReviewKeysOnce").empty()) {
        s.WriteString("CustomReviewKeysOnce", "");
        return r != 0 ? 1 : 0;
      }
    }
    // Cancelled before practising: the learner wants out, not the same choice again.
    if (r == 0 || r == 2) return 0;
  }
}

}  // namespace ks
