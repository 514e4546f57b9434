#include "games/ui/gameevent.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/keydataext.h"
#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "store/programsetup.h"

namespace ks {
namespace {

// The timed console (time, progress, pause) moves under the field, where the games leave room.
constexpr QRect kConsole(615, 436, 170, 156);
constexpr QRect kPauseButton(12, 116, 146, 30);

}  // namespace

void GameField::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const qreal dpr = p.device()->devicePixelRatioF();
  if (sky_.size() != size() * dpr || sky_.devicePixelRatio() != dpr) {
    // The background colour, a shade lighter towards the top, framed by a darker line; drawn
    // once per size and scale, then copied (a gradient over the whole field is slow at a
    // large scale).
    sky_ = QImage(size() * dpr, QImage::Format_ARGB32_Premultiplied);
    sky_.setDevicePixelRatio(dpr);
    QPainter s(&sky_);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, Background.lighter(108));
    gradient.setColorAt(1, Background);
    s.fillRect(rect(), gradient);
    s.setPen(QPen(Background.darker(125), 1));
    s.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, sky_);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (Paint) Paint(p);
}

TCustomGameEvent::TCustomGameEvent(const std::string& line) : TTimedEvent(line) {
  if (EventLine.size() > 3) GameWordSource = Field(3);
  loopTimer_.setTimerType(Qt::PreciseTimer);
  connect(&loopTimer_, &QTimer::timeout, this, &TCustomGameEvent::Poll);
}

TCustomGameEvent::~TCustomGameEvent() {
  loopTimer_.stop();
}

int TCustomGameEvent::Execute(const EventHandover& handover) {
  handedWords_ = handover.GameWords;
  return TTimedEvent::Execute(handover);
}

void TCustomGameEvent::Setup() {
  TTimedEvent::Setup();
  words_.Load(GameWordSource, installationFolder(), Text.value_or(""));
  if (handedWords_) words_.Set(*handedWords_);
  loop_.SetInterval(100);
  points_ = 0;
  QWidget* page = Content();
  if (!page) return;
  if (auto* console = page->findChild<QWidget*>("EventConsole")) {
    console->setGeometry(kConsole);
    if (auto* pause = console->findChild<QWidget*>("PauseBtn")) pause->setGeometry(kPauseButton);
  }
  if (UsesField) PlaceField(QRect(6, 37, kBookWidth - 12, 390), background_);

  auto* pointsTitle = makeLabel(page, msgText(133), 9, true, "#28343f");
  pointsTitle->setObjectName("PointsTitle");
  pointsTitle->setGeometry(30, 440, 200, 18);
  pointsLabel_ = new QLabel("0", page);
  pointsLabel_->setObjectName("PointsLabel");
  pointsLabel_->setFont(designFont("Verdana", 24, true));
  pointsLabel_->setStyleSheet("color: #354fb1;");
  pointsLabel_->setGeometry(30, 460, 200, 44);
}

void TCustomGameEvent::PlaceField(const QRect& geometry, const QColor& background) {
  background_ = background;
  if (!field_) {
    field_ = new GameField(Content());
    field_->Background = background;
    field_->setObjectName("GameField");
    field_->Paint = [this](QPainter& p) { PaintField(p); };
  }
  field_->Background = background;
  field_->setGeometry(geometry);
  field_->lower();
}

void TCustomGameEvent::SetInstructions(const QString& title, const QStringList& lines, int height) {
  QWidget* page = Content();
  if (!page) return;
  delete card_;
  const int width = 440;
  const QRect area = field_ ? field_->geometry() : QRect(6, 37, kBookWidth - 12, 390);
  auto* card = new QFrame(page);
  card->setObjectName("InstructionCard");
  card->setStyleSheet(
      "#InstructionCard { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
      "  stop:0 #a5a9ff, stop:1 #7f85f0); border: 2px solid rgba(255, 255, 255, 150);"
      "  border-radius: 18px; }"
      "QLabel { color: white; background: transparent; }"
      "QFrame#CardRule { background: rgba(255, 255, 255, 120); }");
  auto* shadow = new QGraphicsDropShadowEffect(card);
  shadow->setBlurRadius(24);
  shadow->setOffset(0, 4);
  shadow->setColor(QColor(40, 40, 110, 110));
  card->setGraphicsEffect(shadow);
  auto* box = new QVBoxLayout(card);
  box->setContentsMargins(28, 18, 28, 18);
  box->setSpacing(8);
  if (height > 1) {
    auto* heading = new QLabel(title, card);
    heading->setObjectName("InstructionTitle");
    heading->setFont(designFont("Verdana", 15, true));
    box->addWidget(heading);
    for (const QString& text : lines) {
      if (text.isEmpty()) continue;
      auto* line = new QLabel(text, card);
      line->setFont(designFont("Verdana", 11));
      line->setWordWrap(true);
      box->addWidget(line);
    }
    auto* rule = new QFrame(card);
    rule->setObjectName("CardRule");
    rule->setFixedHeight(1);
    box->addSpacing(4);
    box->addWidget(rule);
  }
  auto* ready = new QLabel(msgText(341), card);
  ready->setObjectName("MsgLabel1");
  ready->setFont(designFont("Verdana", 13, true));
  box->addWidget(ready);
  auto* row = new QHBoxLayout;
  auto* hint = new QLabel(msgText(340), card);
  hint->setObjectName("MsgLabel2");
  hint->setFont(designFont("Verdana", 10));
  hint->setWordWrap(true);
  row->addWidget(hint, 1);
  QPushButton* ok =
      makeButton(card, "GameOKBtn", withMnemonic(msgText(1173), 'O'), ButtonRole::Primary);
  // Keys belong to the game: a click leaves them there; Space and Alt+O do the same.
  ok->setFocusPolicy(Qt::TabFocus);
  ok->setMinimumWidth(90);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (TEvent::State == esReady)
      StartTyping();
    else
      SetCloseResult(ChooseClose(1));
  });
  row->addWidget(ok);
  box->addLayout(row);
  // The card is as tall as its text needs at the card's width.
  const int cardHeight =
      box->heightForWidth(width) > 0 ? box->heightForWidth(width) : card->sizeHint().height();
  card->setGeometry(area.x() + (area.width() - width) / 2,
                    area.y() + std::max(12, (area.height() - cardHeight) / 2 - 20), width,
                    cardHeight);
  card->show();
  card->raise();
  card_ = card;
}

QLabel* TCustomGameEvent::MakeBottomTitle(const QString& text, const QPoint& at) {
  QLabel* label = makeLabel(Content(), text, 9, true, "#28343f");
  label->move(at);
  label->adjustSize();
  return label;
}

void TCustomGameEvent::SetPoints(int points) {
  points_ = points;
  if (pointsLabel_) pointsLabel_->setText(QString::number(points));
}

void TCustomGameEvent::KeyPress(unsigned char& key) {
  GoalKeyPress(key);
  if (key == 0) return;
  key = static_cast<unsigned char>(
      CurrentLayout().mapKeypadDecimal(std::string(1, static_cast<char>(key))));
  switch (TEvent::State) {
    case esReady:
      StartTyping();
      return;
    case esFinished:
      return;
    case esPaused:
      // The next key only resumes a paused game: the player pressed it to come back, not
      // aiming at the field, so it neither scores nor costs.
      StartTyping();
      return;
    default:
      break;
  }
  NoteKeystroke();
  GameKey(key);
  if (field_) field_->update();
  checkOver();
}

void TCustomGameEvent::StartTyping() {
  if (TEvent::State == esFinished) return;
  if (card_) card_->hide();
  TTimedEvent::StartTyping();
  loop_.Start(Now(), FirstStepAtOnce());
  loopTimer_.start(std::max(1, loop_.Interval() / 2));
}

void TCustomGameEvent::SetStepInterval(int ms) {
  loop_.SetInterval(ms);
  // Games that change their pace poll at the new one.
  if (loopTimer_.isActive()) loopTimer_.setInterval(std::max(1, loop_.Interval() / 2));
}

void TCustomGameEvent::PauseTyping() {
  TTimedEvent::PauseTyping();
  loopTimer_.stop();
  loop_.Stop();
}

void TCustomGameEvent::FinishTyping() {
  loopTimer_.stop();
  loop_.Stop();
  TTimedEvent::FinishTyping();
  ShowFinishMessage(msgText(142), msgText(128));
  // The message stands in the middle of the field.
  auto* panel = Content() ? Content()->findChild<QWidget*>("EventMessagePanel") : nullptr;
  if (panel && field_) {
    const QRect f = field_->geometry();
    panel->move(f.x() + (f.width() - panel->width()) / 2, f.y() + f.height() / 3);
  }
  if (field_) field_->update();
}

void TCustomGameEvent::Poll() {
  if (TEvent::State != esRunning) return;
  const int64_t now = Now();
  for (int due = loop_.DueSteps(now); due > 0 && !GameOver(); --due) GameStep(now);
  if (field_) field_->update();
  checkOver();
}

void TCustomGameEvent::checkOver() {
  if (GameOver() && TEvent::State != esFinished) FinishTyping();
}

void TCustomGameEvent::Hide() {
  loopTimer_.stop();
  loop_.Stop();
  const bool finished = TEvent::State == esFinished;
  TTimedEvent::Hide();
  field_ = nullptr;
  pointsLabel_ = nullptr;
  card_ = nullptr;
  words_.Clear();
  if (Result) {
    Result->Kind = "GAME";
    Result->GameScore = points_;
    // A game played to its end is a whole result, however short it was.
    if (finished) Result->Valid = true;
  }
}

}  // namespace ks
