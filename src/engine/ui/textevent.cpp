#include "engine/ui/textevent.h"

#include <QLabel>

#include "analysis/analyzer.h"
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
  line_->setGeometry(40, view_->geometry().bottom() + 21, 500, view_->height());
  line_->ResetLine();
  if (lines) {
    copyright_ = new QLabel(page);
    copyright_->setObjectName("CopyrightLbl");
    copyright_->setGeometry(20, 250, 520, 20);
    copyright_->setFont(designFont("Verdana", 9));
  }
  view_->show();
  if (line_) line_->show();
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
  if (traits_->Exam) {
    examVariant_ = ExamVariantOf(EventType, Internal);
    exam_ = SetupExam(examVariant_, EventLine, CourseId, TimeLimit, lessonOptions().wordLength);
    TimeLimit = exam_.TimeLimit;
    checker_->TimeLimited = exam_.TimeLimited;
    if (exam_.GoalsOff) GoalsActive = false;
    typedLog_.Clear();
  }
  checker_->Setup(Text.value_or(""), 0);
  if (line_) line_->setFocus();
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
}

}  // namespace ks
