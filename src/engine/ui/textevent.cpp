#include "engine/ui/textevent.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

#include "analysis/analyzer.h"
#include "analysis/keydataext.h"
#include "analysis/ui/keyboardex.h"
#include "analysis/ui/lcds.h"
#include "book/bookwindow.h"
#include "book/uistyle.h"
#include "engine/resultfill.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/exercisecanvas.h"
#include "platform/desktop/qtext.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace ks {
namespace {

const QColor kPage(239, 255, 215);
const QColor kCursor(52, 0, 202);
// Where the window's buttons go when a keyboard fills the page's foot.
constexpr int kMovedButtonsTop = 520;

}  // namespace

TTextEventView::TTextEventView(const std::string& line, const std::string& keyword)
    : TTimedEvent(line), traits_(TextEventTraitsOf(keyword)) {
  EnterCloses = false;
}

TTextEventView::~TTextEventView() = default;

void TTextEventView::Setup() {
  RepeatText = traits_ && traits_->RepeatText;
  TTimedEvent::Setup();
  QWidget* page = Content();
  Analyzer* analyzer = eventEnvironment().analyzer;
  if (!page || !traits_ || !analyzer) return;
  const EventEnvironment& env = eventEnvironment();
  const bool large = env.userSettings && env.userSettings->ReadBool("LargeFonts");
  const int size = large ? traits_->LargeFontSize : traits_->FontSize;

  view_ = new TViewCanvas(page);
  view_->Background = kPage;
  view_->SetDesignFont("Georgia", size, false);
  view_->CurrentColour = view_->RestColour = view_->ArrowColour = kCursor;
  view_->PassedColour = QColor(185, 224, 128);
  const bool paragraphs = traits_->Blocking == TextBlocking::Paragraphs;
  const bool lines = traits_->Blocking == TextBlocking::Lines;
  view_->setGeometry(40, paragraphs ? 20 : 30, 500, paragraphs ? 150 : (lines ? 200 : 230));
  line_ = new TTypingCanvas(page);
  line_->Background = lowColour() ? QColor(Qt::white) : kPage;
  line_->FontColour = QColor(84, 110, 48);
  line_->ErrorColour = QColor(233, 79, 105);
  line_->SetDesignFont("Georgia", size, false);
  // Paragraphs leave room under the input line for the keyboard.
  const int lineTop = paragraphs ? 180 : view_->y() + view_->height() + 20;
  line_->setGeometry(40, lineTop, 500, view_->height());
  if (TBookFormEx* book = bookForm(); book && !paragraphs) {
    // The typed text scrolls within its line, above the page's buttons rather than under them.
    const int buttonsTop = page->mapFrom(book, book->CancelBtn()->mapTo(book, QPoint())).y();
    if (line_->geometry().bottom() > buttonsTop - 8)
      line_->setFixedHeight(std::max(line_->height() / 2, buttonsTop - 8 - lineTop));
  }
  line_->ResetLine();
  if (lines) {
    copyright_ = new QLabel(page);
    copyright_->setObjectName("CopyrightLbl");
    copyright_->setGeometry(20, 250, 520, 20);
    copyright_->setFont(designFont("Verdana", 9));
  }
  view_->show();
  line_->show();
  AddExerciseContext(page, view_->y() - 18);
  if (traits_->InPlaceTextMode) placePromptAndDivider(page);
  if (traits_->OnScreenKeyboard) showKeyboard(page);
  if (PolicySettings && PolicySettings->ReadBool("Rhythm")) showRhythmLight(page);

  services_ = std::make_unique<TypingServices>(
      TypingServices{*env.clock, *analyzer, sound(), lessonOptions()});
  switch (traits_->Blocking) {
    case TextBlocking::Whole:
      checker_ = std::make_unique<InputLineChecker>(*services_, *this, *view_, *line_);
      break;
    case TextBlocking::Lines:
      checker_ = std::make_unique<BlockTextChecker>(*services_, *this, *view_, *line_,
                                                    TextBlocks::Kind::Lines, this);
      break;
    case TextBlocking::Paragraphs:
      checker_ = std::make_unique<BlockTextChecker>(*services_, *this, *view_, *line_,
                                                    TextBlocks::Kind::Paragraphs, this);
      break;
  }
  if (auto* input = dynamic_cast<InputLineChecker*>(checker_.get())) {
    input->InPlaceTextMode = traits_->InPlaceTextMode;
    if (traits_->Exam) input->SetTypedLog(&typedLog_);
  }
  IdleLimit = traits_->IdleLimit;
  if (traits_->Exam) setupExam(page);
  checker_->Setup(Text.value_or(""), 0);
  line_->setFocus();
}

void TTextEventView::placePromptAndDivider(QWidget* page) {
  auto* divider = new QFrame(page);
  divider->setObjectName("DividerLine");
  divider->setGeometry(line_->x(), line_->y() - 5 - 1, line_->width(), 2);
  divider->setStyleSheet("background: #9cbf6e;");
  divider->show();
  typeHere_ = new QLabel(toQString(Localize().GetString(1848)).trimmed(), page);
  typeHere_->setObjectName("TypeHerePanel");
  const bool paragraphs = traits_->Blocking == TextBlocking::Paragraphs;
  typeHere_->setGeometry(150, paragraphs ? 245 : 380, 280, 40);
  typeHere_->setAlignment(Qt::AlignCenter);
  QFont font = designFont("Georgia", 15, false);
  font.setItalic(true);
  typeHere_->setFont(font);
  typeHere_->setStyleSheet(
      "#TypeHerePanel { color: #546e30; background: rgba(255, 255, 255, 150);"
      "  border: 1px dashed #84af54; border-radius: 10px; }");
  // The prompt must not take the clicks that give the input line the focus.
  typeHere_->setAttribute(Qt::WA_TransparentForMouseEvents);
  typeHere_->show();
  typeHere_->raise();
}

void TTextEventView::showKeyboard(QWidget* page) {
  keyboard_ = new TKeyboard(page, CurrentLayout(), clock());
  keyboard_->setObjectName("Keyboard");
  keyboard_->setGeometry(40, 335, 502, 250);
  if (ActiveKeys.empty()) {
    keyboard_->MarkAllKeys();
  } else {
    keyboard_->MarkKeys(ActiveKeys);
  }
  keyboard_->show();
  // The keyboard fills the page's foot, where the buttons stand: they go to the right column.
  if (TBookFormEx* book = bookForm()) {
    const std::pair<QWidget*, QPoint> places[] = {
        {book->CancelBtn(), {kConsoleLeft, kMovedButtonsTop}},
        {book->NextBtn(), {kConsoleLeft + 90, kMovedButtonsTop}},
        {book->OKBtn(), {kConsoleLeft + 90, kMovedButtonsTop}}};
    for (const auto& [button, at] : places) {
      movedButtons_.emplace_back(button, button->geometry());
      button->move(at);
    }
  }
}

void TTextEventView::setupExam(QWidget* page) {
  examVariant_ = ExamVariantOf(EventType, Internal);
  exam_ = SetupExam(examVariant_, EventLine, CourseId, TimeLimit, lessonOptions().wordLength);
  // The exam's own duration replaces the line's: the gauge runs over the whole of it.
  if (exam_.TimeLimit != TimeLimit || !exam_.DurationCaption.empty())
    ChangeTimeLimit(exam_.TimeLimit, toQString(exam_.DurationCaption));
  checker_->TimeLimited = exam_.TimeLimited;
  if (exam_.GoalsOff) GoalsActive = false;
  typedLog_.Clear();

  const EventEnvironment& env = eventEnvironment();
  const bool cpm = env.userSettings && env.userSettings->ReadBool("cpm");
  const std::vector<std::string> lines =
      ks::ExamRequirements(exam_, cpm, lessonOptions().wordLength);
  if (lines.empty()) return;
  QString text = "<b>" + toQString(Localize().GetString(2152)).toHtmlEscaped() + "</b>";
  for (const std::string& line : lines)
    text += "<br>" + QString(QChar(0x2022)) + " " + toQString(line).toHtmlEscaped();
  requirements_ = new QLabel(text, page);
  requirements_->setObjectName("ExamRequirements");
  requirements_->setTextFormat(Qt::RichText);
  requirements_->setWordWrap(true);
  requirements_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  requirements_->setStyleSheet(
      "#ExamRequirements { color: #28343f; background: rgba(53, 79, 177, 28);"
      "  border-radius: 10px; padding: 8px; }");
  // Under the console, or under the rhythm light when it shows; above the buttons that a
  // keyboard moves into the column. A long list takes a smaller font rather than being cut.
  const int top = light_ ? light_->y() + light_->height() + 12 : kConsoleTop + kConsoleHeight + 14;
  const int bottom = keyboard_ ? kMovedButtonsTop - 8 : TBookFormEx::kPageHeight - 8;
  int height = 0;
  for (double points : {9.0, 8.0, 7.0}) {
    requirements_->setFont(designFont("Verdana", points));
    height = requirements_->heightForWidth(kConsoleWidth);
    if (top + height <= bottom) break;
  }
  requirements_->setGeometry(kConsoleLeft, top, kConsoleWidth, std::min(height, bottom - top));
  requirements_->show();
}

void TTextEventView::showRhythmLight(QWidget* page) {
  // Under the time console, lined up with it.
  const int left = kConsoleLeft + 12;
  const int top = kConsoleTop + kConsoleHeight + 14;
  auto* title = new QLabel(toQString(Localize().GetString(132)), page);
  title->setObjectName("RhythmTitle");
  title->setGeometry(left, top, 150, 20);
  title->setFont(designFont("Verdana", 10, true));
  title->setStyleSheet("color: #28343f;");
  title->show();
  light_ = new TTrafficLightLcd(page);
  light_->setObjectName("RhythmLight");
  for (int lamp = 0; lamp < 3; ++lamp)
    light_->Labels[lamp] = toQString(Localize().GetString(266 + lamp));
  light_->setGeometry(left, top + 24, 130, 110);
  light_->show();
}

void TTextEventView::ShowRhythmLight(int light) {
  if (light_) light_->SetLight(light);
}

void TTextEventView::KeyPress(unsigned char& key) {
  if (!checker_ || TEvent::State == esFinished) return;
  NoteKeystroke();
  checker_->KeyPress(key);
  if (keyboard_ && key != 0) keyboard_->ShowPressedKey(static_cast<char>(key));
}

void TTextEventView::StartTyping() {
  TTimedEvent::StartTyping();
  if (typeHere_) typeHere_->hide();
}

bool TTextEventView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && keyboard_ && ActiveView() == this && Shown()) {
    if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) keyboard_->Model().ReleasePressedKey();
  }
  return TTimedEvent::eventFilter(watched, event);
}

int TTextEventView::ProgressPercent() const {
  return checker_ ? checker_->ProgressPercent() : 0;
}

void TTextEventView::BlockShown(const std::string& attribution) {
  if (copyright_) copyright_->setText(toQString(attribution));
}

void TTextEventView::MarkCompleted() {
  if (Result) Result->Complete = true;
}

void TTextEventView::ResetInputLine() {
  if (line_) line_->ResetLine();
}

void TTextEventView::Hide() {
  const bool finished = TEvent::State == esFinished;
  TTimedEvent::Hide();
  for (const auto& [button, place] : movedButtons_) {
    if (button) button->setGeometry(place);
  }
  movedButtons_.clear();
  Analyzer* analyzer = eventEnvironment().analyzer;
  if (Result && analyzer && traits_) {
    FillTypingResult(*Result, CheckingModel::InputLine,
                     ResultSources{analyzer->measures(), analyzer->keys().CurrentDifficulties(),
                                   Localize(), lessonOptions().wordLength});
    if (traits_->Exam) {
      ExamContext ctx;
      ctx.Learner = eventEnvironment().learner;
      ctx.TypingMeasures = &analyzer->measures();
      ctx.WordLength = lessonOptions().wordLength;
      EvaluateExam(*Result, exam_, EventType, finished, typedLog_, ctx);
    }
  }
  checker_.reset();
  view_ = nullptr;
  line_ = nullptr;
  copyright_ = nullptr;
  light_ = nullptr;
  keyboard_ = nullptr;
  typeHere_ = nullptr;
  requirements_ = nullptr;
}

}  // namespace ks
