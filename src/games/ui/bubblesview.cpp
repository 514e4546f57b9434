#include "games/ui/bubblesview.h"

#include <QApplication>
#include <QPainter>

#include "analysis/keydataext.h"
#include "analysis/ui/lcds.h"
#include "book/pagestyle.h"
#include "games/ui/bubblepainter.h"
#include "store/langres.h"
#include "text/textutil.h"

namespace ks {
namespace {

const std::string kKeypadSet = std::string("Num/*-789+456123") + '\r' + "0.|, ";

}  // namespace

std::string gameKeysParam(const std::vector<std::string>& line) {
  if (line.size() > 4 && sameText(line[3], "keys")) return line[4];
  return "";
}

TBubbles::TBubbles(const std::string& line) : TCustomGameEvent(line) {
  KeysParam = gameKeysParam(EventLine);
}

TBubbles::~TBubbles() = default;

std::string TBubbles::ChooseLetters(const std::string& keysParam, const std::string& activeKeys,
                                    const std::string& characterSet, const std::string& alphabet) {
  std::string letters;
  const auto keep = [&letters](const std::string& from, const std::string* within) {
    for (char c : from) {
      // A blank or a control character would be a bubble nobody can read.
      if (static_cast<unsigned char>(c) <= 32) continue;
      if (!within || within->find(c) != std::string::npos) letters += c;
    }
  };
  keep(keysParam, nullptr);
  if (letters.empty()) keep(activeKeys, characterSet == kKeypadSet ? nullptr : &characterSet);
  if (letters.empty()) keep(alphabet, nullptr);
  if (letters.empty()) letters = "abcdefghijklmnopqrstuvwxyz";
  return letters;
}

void TBubbles::Setup() {
  GameWordSource.clear();
  TCustomGameEvent::Setup();
  PlaceField(QRect(70, 6, kBookWidth - 140, 419), QColor(0xB7, 0xBE, 0xFF));
  const std::string letters =
      ChooseLetters(KeysParam, ActiveKeys, CurrentLayout().CharacterSet, Localize().GetString(90));
  const QSize size = PlayingField() ? PlayingField()->size() : QSize(kBookWidth - 140, 419);
  model_ = std::make_unique<BubblesModel>(letters, size.width(), size.height(), random(), sound(),
                                          Now());
  SetStepInterval(BubblesModel::kStepMs);
  if (!Content()) return;
  MakeBottomTitle(msgText(134), QPoint(265, 440))->setObjectName("MissedTitle");
  missed_ = new TMissedLcd(Content());
  missed_->setObjectName("MissedDisplay");
  const qreal dpr = qApp->devicePixelRatio();
  missed_->OpenMark = missedMark(false, dpr);
  missed_->MissedMark = missedMark(true, dpr);
  missed_->move(265, 463);
  missed_->SetTotal(BubblesModel::kMaxMissed);
  missed_->SetMissed(0);
  SetInstructions(msgText(612), {msgText(93), msgText(94), msgText(95)}, 237);
}

void TBubbles::GameStep(int64_t now) {
  model_->Step(now);
  if (missed_ && missed_->Missed() != model_->MissedCount())
    missed_->SetMissed(model_->MissedCount());
}

void TBubbles::GameKey(unsigned char key) {
  model_->Key(key, TEvent::State == esRunning);
  SetPoints(model_->Points());
}

void TBubbles::PaintField(QPainter& p) {
  if (!model_) return;
  for (const Tbubble& d : model_->Decorations()) paintBubble(p, d);
  for (const Tbubble& b : model_->ColumnBubbles()) paintBubble(p, b);
}

}  // namespace ks
