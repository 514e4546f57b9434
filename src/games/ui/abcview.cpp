#include "games/ui/abcview.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "analysis/ui/lcds.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "games/ui/bubblepainter.h"
#include "games/ui/bubblesview.h"
#include "platform/desktop/qtext.h"
#include "store/langres.h"

namespace ks {

TABC::TABC(const std::string& line) : TCustomGameEvent(line) {
  KeysParam = gameKeysParam(EventLine);
  // "keys" marks the sequence, not a word file.
  if (!KeysParam.empty()) GameWordSource.clear();
}

TABC::~TABC() = default;

void TABC::Setup() {
  TCustomGameEvent::Setup();
  PlaceField(QRect(25, 6, kBookWidth - 75, 419), QColor(0xB7, 0xBE, 0xFF));
  const std::string alphabet = Localize().GetString(221);
  const std::string sequence = !KeysParam.empty()    ? KeysParam
                               : !ActiveKeys.empty() ? ActiveKeys
                                                     : alphabet;
  const QSize size = PlayingField() ? PlayingField()->size() : QSize(kBookWidth - 75, 419);
  model_ = std::make_unique<AbcModel>(sequence, alphabet, size.width(), size.height(), random(),
                                      sound(), Now());
  SetStepInterval(AbcModel::kStepMs);
  if (!Content()) return;
  stopwatch_ = MakeBottomTitle(msgText(130), QPoint(265, 436));
  stopwatch_->setObjectName("MissedTitle");
  stopwatch_->setFont(designFont("Verdana", 13, true));
  showStopwatch(Now());
  auto* marks = new TMissedLcd(Content());
  marks->setObjectName("MissedDisplay");
  const qreal dpr = qApp->devicePixelRatio();
  marks->OpenMark = missedMark(false, dpr);
  marks->MissedMark = missedMark(true, dpr);
  marks->move(265, 466);
  marks->SetTotal(6);
  marks->SetMissed(0);
  const QString first = msgText(1432);
  const bool none = first.isEmpty() || first == "(Localization error - string missing)";
  SetInstructions(msgText(612), {first, msgText(1433)}, none ? 1 : 167);
}

int TABC::ProgressPercent() const {
  return model_ && model_->Length() ? (model_->NextExpected() - 1) * 100 / model_->Length() : 0;
}

void TABC::StartTyping() {
  if (TEvent::State == esReady && model_) model_->Start(Now());
  TCustomGameEvent::StartTyping();
}

void TABC::showStopwatch(int64_t now) {
  if (!stopwatch_ || !model_) return;
  const int64_t elapsed = TEvent::State == esReady ? 0 : model_->Elapsed(now);
  stopwatch_->setText(msgText(130) + ": " + toQString(AbcModel::Stopwatch(elapsed)));
  stopwatch_->adjustSize();
}

void TABC::GameStep(int64_t now) {
  model_->Step(now);
  showStopwatch(now);
}

void TABC::GameKey(unsigned char key) {
  model_->Key(key, TEvent::State == esRunning, Now());
  SetPoints(model_->Points());
  if (model_->Finished()) showStopwatch(Now());
}

void TABC::PaintField(QPainter& p) {
  if (!model_) return;
  for (const Tbubble& s : model_->Sparks()) paintBubble(p, s);
  // The circle's places are the bubbles' corners: large bubbles of a short sequence would stand
  // out of the field at the bottom, so the ring is centred in the field's height.
  const int d = model_->BubbleDiameter();
  const int ringHeight = 2 * AbcModel::kRadius + d;
  const double shift =
      (model_->FieldHeight() - ringHeight) / 2.0 - (AbcModel::kCentreY - AbcModel::kRadius);
  for (int i = 1; i <= model_->Length(); ++i) {
    Tbubble b = model_->Bubble(i);
    b.Y += std::min(0.0, shift);
    // The target shows the first bubble picture.
    if (b.Kind == 4) b.Kind = 1;
    paintBubble(p, b);
  }
}

}  // namespace ks
