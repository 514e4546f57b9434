#include "engine/ui/keyboarddrillview.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include "analysis/analyzer.h"
#include "analysis/ui/finger.h"
#include "analysis/ui/keyboardex.h"
#include "analysis/ui/lcds.h"
#include "analysis/ui/timerfollower.h"
#include "book/uistyle.h"
#include "content/courseservices.h"
#include "engine/resultfill.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "store/langres.h"
#include "store/qssettings.h"

namespace ks {
namespace {

constexpr int kMarkSize = 26;

// The accent a dead key types alone, as its character.
unsigned char accentOf(int key) {
  switch (key) {
    case Qt::Key_Dead_Acute:
      return 0xB4;
    case Qt::Key_Dead_Grave:
      return '`';
    case Qt::Key_Dead_Circumflex:
      return '^';
    case Qt::Key_Dead_Tilde:
      return '~';
    case Qt::Key_Dead_Diaeresis:
      return 0xA8;
    case Qt::Key_Dead_Cedilla:
      return 0xB8;
    default:
      return 0;
  }
}

QImage mark(bool on) {
  // Drawn at several times its size so that it stays sharp on a scaled or high-DPI page.
  constexpr int kDetail = 4;
  QImage image(kMarkSize * kDetail, kMarkSize * kDetail, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(kDetail);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF circle(3, 3, kMarkSize - 6, kMarkSize - 6);
  if (on) {
    p.setPen(QPen(QColor(0x3E, 0x6F, 0x24), 1.5));
    p.setBrush(QColor(0x8E, 0xC0, 0x2C));
    p.drawEllipse(circle);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{QPointF(8.5, 13.5), QPointF(11.5, 16.5), QPointF(17.5, 9.5)});
  } else {
    p.setPen(QPen(QColor(0x90, 0x9A, 0xCE), 1.5));
    p.setBrush(QColor(255, 255, 255, 160));
    p.drawEllipse(circle);
  }
  return image;
}

}  // namespace

QImage TCustomKeyboardEvent2::OkOff() {
  static const QImage image = mark(false);
  return image;
}

QImage TCustomKeyboardEvent2::OkOn() {
  static const QImage image = mark(true);
  return image;
}

TCustomKeyboardEvent2::TCustomKeyboardEvent2(const std::string& line) : TTimedEvent(line) {
  EnterCloses = false;
}

TCustomKeyboardEvent2::~TCustomKeyboardEvent2() {
  followers_.clear();
}

DrillSetup TCustomKeyboardEvent2::MakeSetup() const {
  DrillSetup s;
  s.Fields = EventLine;
  s.ActiveKeys = ActiveKeys;
  const EventEnvironment& env = eventEnvironment();
  s.UserSettings = env.userSettings;
  if (CourseLearner* learner = env.learner) {
    // The keys the current level adds to those before it.
    const int level = learner->KeyLevel();
    const std::string upTo = learner->KeysUpTo(level);
    const std::string before = level > 1 ? learner->KeysUpTo(level - 1) : std::string();
    s.LevelKeys = upTo.size() > before.size() ? upTo.substr(before.size()) : upTo;
  }
  return s;
}

void TCustomKeyboardEvent2::AddTip(int message, int x, int y) {
  if (!Content()) return;
  auto* tip = new QLabel(toQString(Localize().GetString(message)), Content());
  tip->setObjectName("Tip");
  tip->setFont(designFont("Verdana", 10, true));
  tip->setStyleSheet("color: #354FB1;");
  tip->move(x, y);
  tip->adjustSize();
  tip->show();
  tips_.push_back(tip);
}

void TCustomKeyboardEvent2::Setup() {
  TTimedEvent::Setup();
  QWidget* page = Content();
  Analyzer* analyzer = eventEnvironment().analyzer;
  if (!page || !analyzer) return;
  const EventEnvironment& env = eventEnvironment();

  keyboard_ = new TKeyboard(page, CurrentLayout(), clock());
  keyboard_->setGeometry(40, 190, 502, 250);
  fingers_ = new TFingers(page);
  fingers_->setGeometry(73, 528 - 156, TFingers::kDesignWidth, 156);
  correctTitle_ = new QLabel(toQString(Localize().GetString(136)), page);
  correctTitle_->setObjectName("CorrectTitle");
  correctTitle_->setFont(designFont("Verdana", 9, true));
  // The repetition marks sit under the console, lined up with its contents, where the keyboard
  // leaves room.
  const int marksLeft = kConsoleLeft + 12;
  const int marksTop = kConsoleTop + kConsoleHeight + 14;
  correctTitle_->setGeometry(marksLeft, marksTop, 150, 18);
  missed_ = new TMissedLcd(page);
  missed_->OpenMark = OkOff();
  missed_->MissedMark = OkOn();
  missed_->move(marksLeft, marksTop + 20);
  missed_->hide();
  correctTitle_->hide();
  keyboard_->show();
  fingers_->show();
  AddExerciseContext(page, 8);

  services_ = std::make_unique<TypingServices>(
      TypingServices{*env.clock, *analyzer, sound(), lessonOptions()});
  drill_ = MakeDrill(DrillContext{*services_, *this, keyboard_->Model(), *this, random_});
  SetupControls(page);
  IdleLimit = 5;
  drill_->Setup(MakeSetup(), Text.value_or(""));
  // The keyboard's own timer follows the widget; the drill's others follow here.
  for (PlainTimer* t : drill_->Timers()) {
    if (t != &keyboard_->Model().Timer) followers_.push_back(std::make_unique<TimerFollower>(*t));
  }
}

void TCustomKeyboardEvent2::StartTyping() {
  TTimedEvent::StartTyping();
  for (QLabel* tip : tips_) tip->hide();
}

void TCustomKeyboardEvent2::KeyPress(unsigned char& key) {
  if (!drill_) return;
  NoteKeystroke();
  drill_->KeyPress(key);
}

int TCustomKeyboardEvent2::ProgressPercent() const {
  return drill_ ? drill_->ProgressPercent() : 0;
}

bool TCustomKeyboardEvent2::KeyDown(QKeyEvent* event) {
  // A dead key shows what follows it before it composes with the next letter.
  if (const unsigned char accent = accentOf(event->key()); accent && drill_) {
    drill_->DeadKeyTyped(accent);
  }
  return TTimedEvent::KeyDown(event);
}

bool TCustomKeyboardEvent2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && drill_ && ActiveView() == this && Shown()) {
    if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) drill_->KeyUp();
  }
  return TTimedEvent::eventFilter(watched, event);
}

void TCustomKeyboardEvent2::ShowFinger(int finger) {
  if (fingers_) fingers_->ShowFinger(finger);
}

void TCustomKeyboardEvent2::ShowFingers(uint16_t mask) {
  if (fingers_) fingers_->ShowFingers(mask);
}

void TCustomKeyboardEvent2::ShowRepetitions(int correct, int target, bool visible) {
  if (!missed_) return;
  missed_->SetTotal(target);
  missed_->SetMissed(correct);
  missed_->setVisible(visible);
  if (correctTitle_) correctTitle_->setVisible(visible);
}

void TCustomKeyboardEvent2::Hide() {
  followers_.clear();
  TTimedEvent::Hide();
  Analyzer* analyzer = eventEnvironment().analyzer;
  if (drill_ && analyzer) {
    TDifficultKeys& keys = analyzer->keys().CurrentDifficulties();
    if (Result) {
      drill_->FillResult(*Result, ResultSources{analyzer->measures(), keys, Localize(),
                                                lessonOptions().wordLength});
    }
    // Drills without measures still commit the key presses they recorded.
    if (!Result || !Result->HasMeasures) keys.updateStatistics();
  }
  drill_.reset();
  services_.reset();
  keyboard_ = nullptr;
  fingers_ = nullptr;
  missed_ = nullptr;
  correctTitle_ = nullptr;
  tips_.clear();
}

}  // namespace ks
