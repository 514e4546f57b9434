#include "content/contents.h"

#include <filesystem>

#include "content/courseservices.h"
#include "content/durations.h"
#include "content/policy.h"
#include "platform/paths.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

// The items of a comma list as integers; an item that is no number counts 0 and is noted.
std::vector<int> intList(CourseReader& reader, const CourseLine& line,
                         const std::vector<std::string>& texts) {
  std::vector<int> out;
  for (const std::string& text : texts) {
    for (const std::string& item : splitFields(text, ",")) {
      int32_t v = 0;
      if (!tryStrToInt(trimBlanks(item), v)) reader.FieldProblem(line, "list item is not a number");
      out.push_back(v);
    }
  }
  return out;
}

// The file name part of a path or web address.
std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int& CourseNewKeysLoops() {
  static int loops = 0;
  return loops;
}

TContents::TContents(const std::string& path, int chosenDuration, int bookmarkMode,
                     const CourseServices& services)
    : ChosenDuration(chosenDuration), services_(services) {
  Load(path, bookmarkMode);
}

TContents::TContents(PreviewTag, const std::string& path, const CourseServices& services,
                     int duration)
    : services_(services), previewDuration_(duration) {
  Preview = true;
  Load(path, TBookMark::bmNormal);
}

TContents::~TContents() {
  // A course that did not load must not overwrite the learner's place in it.
  if (Preview || services_.Learner == nullptr || !Bookmark.Save) return;
  if (status_ != 0 || layoutFailed_) return;
  Bookmark.SaveBookmark(*services_.Learner);
}

void TContents::Load(const std::string& path, int bookmarkMode) {
  FileName = pathTo1252(std::filesystem::path(baseName(path)));
  CourseId = upperCase(FileName.size() > 4 ? FileName.substr(0, FileName.size() - 4) : "");
  if (CourseId.size() > 255) CourseId.resize(255);

  Bookmark.Reset();
  Bookmark.Mode = bookmarkMode;
  if (bookmarkMode == TBookMark::bmReview) {
    Bookmark.ResultShowMode = 2;
    Bookmark.Save = false;
  }
  if (Preview) Bookmark.Save = false;
  Bookmark.CourseId = CourseId;
  if (services_.Learner != nullptr) Bookmark.LoadBookmark(*services_.Learner);
  if (Preview && previewDuration_ != 0) Bookmark.Duration = previewDuration_;
  if (!Preview) {
    if (ChosenDuration != -1) Bookmark.Duration = ChosenDuration;
    Bookmark.TotalExc = 0;
    CourseNewKeysLoops() = 0;
  }

  CourseReader reader;
  const int st = reader.Open(path);
  if (st != fsOk) {
    status_ = st;
    return;
  }
  const TStreamFile& file = reader.File();
  Description = file.description();
  const std::string& version = file.version();
  if (version == "1.0" || version == "1.10" || version == "1.00") {
    Description += Localize().GetStringDefault(1691);
  }
  LongDescription = file.longDesc();
  CourseLanguage = upperCase(file.language());
  Bookmark.CourseDescription = Description;

  ReadBody(reader);
  reader.Close();
  problems_ = reader.Problems();
  if (layoutFailed_) return;
  DistributeDurations(*this);
  if (!Preview) ReportFieldProblems();
}

void TContents::ReadBody(CourseReader& reader) {
  CourseLearner* learner = services_.Learner;
  CourseLine line;
  while (reader.Next(line)) {
    if (line.Name == "begin chapter") {
      auto lesson = std::make_unique<TChapter>(this, static_cast<int>(Lessons.size()) + 1);
      lesson->Read(reader, learner);
      if (lesson->Number == 1 && learner != nullptr && !lesson->Exercises.empty()) {
        learner->RaiseKeyLevel(lesson->Exercises.front()->KeyLevel);
      }
      Lessons.push_back(std::move(lesson));
      continue;
    }
    if (line.Value.empty()) continue;  // a key without a value means nothing
    ReadCourseKey(reader, line);
    if (layoutFailed_) return;
  }
}

void TContents::ReadCourseKey(CourseReader& reader, const CourseLine& line) {
  const std::string& name = line.Name;
  const std::string& value = line.Value;
  CourseLearner* learner = services_.Learner;
  if (name == "nosemicolonreplacement") {
    NoSemicolonReplacement = value == "1";
  } else if (name == "alternatekeyboards") {
    AlternateKeyboards = value == "1";
  } else if (name == "custom_course") {
    CustomCourse = value == "1";
  } else if (name == "crs_icon") {
    CourseIcon = value;
  } else if (name == "default time") {
    reader.IntValue(line, DefaultTime);
  } else if (name == "keyboardbase") {
    KeyboardBase = upperCase(value);
  } else if (name == "keyboard") {
    Keyboard = value;
    if (!Preview) ChooseLayout(value);
  } else if (name == "wizardname") {
    WizardName = value;
    if (!Preview && learner != nullptr) learner->Settings().WriteString("DefaultWizard", value);
  } else if (name == "short name") {
    ShortName = value;
  } else if (name == "newkeysloops") {
    if (reader.IntValue(line, NewKeysLoops) && !Preview) CourseNewKeysLoops() = NewKeysLoops;
  } else if (name == "wordloop") {
    if (reader.IntValue(line, WordLoop)) Bookmark.WordLoop = WordLoop;
  } else if (name == "wordmaxloop") {
    if (reader.IntValue(line, WordMaxLoop)) Bookmark.WordMaxLoop = WordMaxLoop;
  } else if (name == "durationsystem") {
    StaticDurations = sameText(value, "static");
  } else if (name == "load icr") {
    OverrideFile = value;
    // A course only shown in a list must not change the texts of the course in use.
    if (!Preview) {
      const std::filesystem::path own = pathFrom1252(value);
      const std::filesystem::path file =
          own.is_absolute()
              ? resolveCaseInsensitive(own)
              : joinResolved(std::filesystem::path(reader.File().fileName()).parent_path(), value);
      Localize().LoadStringFile(file, 2);
    }
  } else if (name == "defaultduration") {
    reader.IntValue(line, DefaultDuration);
  } else if (name == "accuracygoals") {
    AccuracyGoals = intList(reader, line, {line.Fields.begin() + 1, line.Fields.end()});
  } else if (name == "goalinfo") {
    GoalInfo = value;
  } else if (name == "lessondurations") {
    LessonDurations = intList(reader, line, {value});
  } else if (name == "eventdurationmargin") {
    reader.IntValue(line, EventDurationMargin);
  } else if (name == "dynamicdurationmargin") {
    reader.IntValue(line, DynamicDurationMargin);
  } else if (name == "speedbar_maxdefault") {
    reader.IntValue(line, SpeedBarMax);
  } else if (name == "accuracybar_mindefault") {
    reader.IntValue(line, AccuracyBarMin);
  }
}

void TContents::ChooseLayout(const std::string& value) {
  CourseLearner* learner = services_.Learner;
  const std::string course = value.empty() ? std::string("all") : value;
  Keyboard = course;
  std::string userLayout = learner != nullptr ? learner->LayoutFile() : std::string();
  if (userLayout.empty()) userLayout = "qwerty.kbd";
  const bool all = sameText(course, "ALL");
  std::string file;
  if (all || AlternateKeyboards) {
    file = userLayout;
  } else if (sameText(course, "POLICY")) {
    file = policyString("keyboardlayout");
    if (file.empty()) file = userLayout;
  } else {
    file = course;
  }
  LayoutFile = file;
  if (learner != nullptr) {
    if (all || sameText(file, course)) {
      learner->SetLayoutMode("pri");
    } else if (AlternateKeyboards) {
      learner->SetLayoutMode("alt");
    }
  }
  CourseKeyboard* keyboard = services_.Keyboard;
  if (keyboard == nullptr) return;
  const LayoutLoad load = keyboard->LoadLayout(file);
  if (load != LayoutLoad::Loaded) {
    if (load == LayoutLoad::Missing) ReportError(-1, file + " not found!");
    layoutFailed_ = true;
    return;
  }
  if (NoSemicolonReplacement) keyboard->SwitchOffSemicolonReplacement();
  if (!policyBool("DisableWindowsLayouts")) keyboard->ActivateSystemLayout();
}

void TContents::ReportFieldProblems() const {
  int count = 0;
  const CourseProblem* first = nullptr;
  for (const CourseProblem& p : problems_) {
    if (p.Code != kCourseFieldError) continue;
    if (first == nullptr) first = &p;
    ++count;
  }
  if (first == nullptr) return;
  std::string detail = FileName + ": " + first->Text;
  if (count > 1) detail += " (and " + intToStr(count - 1) + " more)";
  ReportError(kCourseFieldError, detail);
}

std::vector<std::string> TContents::EventLineNames() const {
  std::vector<std::string> names{"event"};
  // The suffixes are compared as the layout and the learner hold them: a capital never matches
  // the lower-cased line name.
  if (services_.Keyboard != nullptr) {
    names.push_back("event_" + services_.Keyboard->MaterialName());
    const std::string code = services_.Keyboard->LayoutCode();
    if (!code.empty()) names.push_back("event_" + code);
  }
  if (services_.Learner != nullptr) {
    const std::string mode = services_.Learner->LayoutMode();
    if (!mode.empty()) names.push_back("event_" + mode);
  }
  return names;
}

std::string TContents::NewKeysVariantName() const {
  if (services_.Keyboard == nullptr) return {};
  return "new keys_" + services_.Keyboard->MaterialName();
}

std::vector<std::string> TContents::LessonTitles(TitlePrefix prefix) const {
  std::vector<std::string> titles;
  for (const auto& lesson : Lessons) {
    const std::string n = intToStr(lesson->Number);
    switch (prefix) {
      case TitlePrefix::LessonWord:
        titles.push_back(Localize().GetStringDefault(124) + n + ": " + lesson->Name);
        break;
      case TitlePrefix::Number:
        titles.push_back(n + ". " + lesson->Name);
        break;
      case TitlePrefix::None:
        titles.push_back(lesson->Name);
        break;
    }
  }
  return titles;
}

int TContents::TotalMinutes() const {
  int64_t total = 0;
  for (const auto& lesson : Lessons) {
    if (StaticDurations) {
      for (const auto& ex : lesson->Exercises) total += ex->Minutes;
    } else {
      total += lesson->Minutes;
    }
  }
  return static_cast<int>(total);
}

std::string CourseFileLanguage(const std::string& path) {
  CourseReader reader;
  if (reader.Open(path) != fsOk) return "";
  return upperCase(reader.File().language());
}

}  // namespace ks
