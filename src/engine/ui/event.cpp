#include "engine/ui/event.h"

#include <QKeyEvent>
#include <cstring>

#include "analysis/keydataext.h"
#include "book/bookwindow.h"
#include "content/goalreferences.h"
#include "content/policy.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "platform/systemkeyboard.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/cp1252.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

EventEnvironment& eventEnvironment() {
  static EventEnvironment env;
  return env;
}

namespace {

// Dead keys compose with the next letter: accent + base -> the 1252 letter.
unsigned char compose(unsigned dead, unsigned char base) {
  static const struct {
    unsigned dead;
    const char* bases;
    const char* results;
  } kTable[] = {
      {Qt::Key_Dead_Acute, "AEIOUYaeiouy ", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD\xB4"},
      {Qt::Key_Dead_Grave, "AEIOUaeiou ", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9`"},
      {Qt::Key_Dead_Circumflex, "AEIOUaeiou ", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB^"},
      {Qt::Key_Dead_Tilde, "ANOano ", "\xC3\xD1\xD5\xE3\xF1\xF5~"},
      {Qt::Key_Dead_Diaeresis, "AEIOUaeiouy ", "\xC4\xCB\xCF\xD6\xDC\xE4\xEB\xEF\xF6\xFC\xFF\xA8"},
      {Qt::Key_Dead_Cedilla, "Cc ", "\xC7\xE7\xB8"},
  };
  for (const auto& row : kTable) {
    if (row.dead != dead) continue;
    const char* hit = std::strchr(row.bases, static_cast<char>(base));
    if (hit && base) return static_cast<unsigned char>(row.results[hit - row.bases]);
  }
  return base;
}

bool isDeadKey(int key) {
  return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay;
}

}  // namespace

unsigned char keyEventTo1252(QKeyEvent* event, unsigned& deadKey) {
  const int key = event->key();
  if (isDeadKey(key)) {
    deadKey = static_cast<unsigned>(key);
    return 0;
  }
  unsigned char c = 0;
  if (key == Qt::Key_Backspace) {
    c = 8;
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    c = 13;
  } else if (key == Qt::Key_Tab) {
    c = 9;
  } else {
    const QString text = event->text();
    if (text.size() != 1) return 0;
    const char32_t cp = text.at(0).unicode();
    if (cp < 32 && cp != 8 && cp != 13) return 0;
    const int b = unicodeToCp1252(cp);
    if (b < 0) return 0;
    c = static_cast<unsigned char>(b);
  }
  if (deadKey) {
    c = compose(deadKey, c);
    deadKey = 0;
  }
  return c;
}

TEvent::TEvent(const std::string& line) : line_(line) {
  EventLine = splitEventFields(line);
  // Layouts that swap "." and "," learn what the keypad's decimal key types right now.
  if (CurrentLayout().CommaDot == 1) {
    const std::string decimal = systemKeyboard().keyChars(kKeypadDecimalScanCode, ksPlain);
    if (!decimal.empty()) KeypadDecimalChar = decimal[0];
  }
  MenuVisible = false;
  ButtonFlags = TBookFormEx::kNext;
  if (PolicySettings) {
    const int margin = PolicySettings->ReadInteger("GoalNotifyMargin");
    GoalNotifyMargin = margin == 0 ? 10 : margin;
  }
  OnCloseQuery = [this](bool& abort) { CloseQuery(abort); };
}

TEvent::~TEvent() = default;

std::string TEvent::Field(size_t i) const {
  return i < EventLine.size() ? EventLine[i] : "";
}

const Clock& TEvent::clock() const {
  return *eventEnvironment().clock;
}

bool TEvent::ExerciseLocked() const {
  return ExerciseLockApplies(CourseId);
}

int TEvent::Execute(const EventHandover& h) {
  Result = h.Result;
  EventType = h.EventType;
  CourseId = h.CourseId;
  PageIndex = h.PageIndex;
  PageCount = h.PageCount;
  DynamicDuration = h.DynamicDuration;
  Internal = h.Internal;
  CancelVisible = h.CancelVisible;
  ActiveKeys = h.ActiveKeys;
  if (h.TextOverride != nullptr) TextOverride = *h.TextOverride;
  if (h.TextFiles != nullptr) TextFiles = *h.TextFiles;
  if (h.Course != nullptr) ResolveGoalReferences(EventLine, *h.Course);
  lesson_ = h.Lesson;
  exercise_ = h.Exercise;
  lessonName_ = h.LessonName;
  exerciseTitle_ = h.ExerciseTitle;
  return RunModal();
}

QString TEvent::ExerciseContext() const {
  if (lesson_ <= 0) return {};
  TLocalize& lang = Localize();
  std::string text = lang.GetString(124) + intToStr(lesson_);
  if (!lessonName_.empty()) text += ": " + lessonName_;
  if (exercise_ > 0) {
    text += " \x96 " + lang.GetString(2150) + intToStr(exercise_);
    if (!exerciseTitle_.empty()) text += ": " + exerciseTitle_;
  }
  return toQString(text);
}

void TEvent::Setup() {
  // The learner switched the system layout since the last screen: a layout that follows it
  // reads its keys again before anything shows them.
  CurrentLayout().reloadIfChanged();
  TCustomBookView::Setup();
  if (TBookFormEx* book = bookForm()) {
    book->SetTitle(QString());
    book->SetMenuVisible(false);
  }
  EventTextContext ctx = eventEnvironment().text;
  ctx.semicolonChar = SemicolonChar;
  ctx.keypadDecimalChar = KeypadDecimalChar;
  ctx.repeatText = RepeatText;
  if (TextFiles.empty()) {
    Text = loadEventText(TextOverride ? *TextOverride : Field(3), ctx);
  } else {
    // One text after the other, each from a line of its own.
    std::string text;
    for (const std::filesystem::path& file : TextFiles) {
      if (!text.empty() && text.back() != '\n') text += "\r\n";
      text += loadEventFile(file, ctx);
    }
    Text = text;
  }
  if (Result) Result->Date = clock().now();
  State = esReady;
  StartTick = clock().tickMs();
}

void TEvent::Hide() {
  TCustomBookView::Hide();
  if (Result) {
    const int64_t seconds = (clock().tickMs() - StartTick) / 1000;
    Result->StudySeconds = seconds < 0 ? 0 : static_cast<int>(seconds);
  }
}

int TEvent::ChooseClose(int choice) const {
  if (choice == 2) return State == esFinished ? 4 : 2;
  if (choice == 1) {
    if (ExerciseLocked() && State != esFinished) return 2;
    return 3;
  }
  return choice;
}

void TEvent::ButtonClick(QObject* sender) {
  sound().play(SoundId::Click);
  const QString name = sender->objectName();
  const int choice = name == "CancelBtn" ? 2 : 1;
  // Next on the goal introduction only takes the panel away: the exercise is still to come.
  if (choice == 1 && DismissGoalIntroduction()) return;
  SetCloseResult(ChooseClose(choice));
}

bool TEvent::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  // The keys close with their plain meaning, cancel (2) and next (1), finished or not; only
  // the buttons translate the choice.
  if (key == Qt::Key_Escape) {
    SetCloseResult(2);
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && EnterCloses) {
    SetCloseResult(1);
    return true;
  }
  return false;
}

bool TEvent::KeyDown(QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
  unsigned char c = keyEventTo1252(event, deadKey_);
  if (c == 0) return isDeadKey(event->key());
  KeyPress(c);
  return true;
}

bool TEvent::CommitText(const QString& text) {
  for (char32_t cp : text.toUcs4()) {
    const int b = unicodeToCp1252(cp);
    if (b < 32) continue;
    unsigned char c = static_cast<unsigned char>(b);
    KeyPress(c);
  }
  return true;
}

void TEvent::CloseQuery(bool& abort) {
  const int pending = CloseResult();
  if ((pending == 2 || pending == 4) && ExerciseLocked()) {
    TLocalize& lang = Localize();
    if (!dialogs().messageBox(lang.GetString(129), lang.GetStringDefault(1), BoxKind::Question))
      abort = true;
  }
}

}  // namespace ks
