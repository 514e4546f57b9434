#include "analysis/ui/finger.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <array>
#include <cmath>

#include "analysis/keyboardmodel.h"
#include "analysis/ui/keypainter.h"
#include "store/qssettings.h"

namespace ks {
namespace {

// Finger tips (where the marks go), in the hand picture; index 0 unused.
constexpr std::array<QPointF, 11> kTips = {QPointF(0, 0),     QPointF(15, 89),  QPointF(40, 48),
                                           QPointF(63, 32),   QPointF(99, 37),  QPointF(263, 35),
                                           QPointF(297, 22),  QPointF(319, 37), QPointF(341, 67),
                                           QPointF(213, 105), QPointF(149, 104)};
// Where each finger leaves the palm: the left hand's, mirrored for the right one.
constexpr std::array<QPointF, 11> kBases = {QPointF(0, 0),     QPointF(40, 130),  QPointF(56, 118),
                                            QPointF(76, 115),  QPointF(97, 119),  QPointF(259, 119),
                                            QPointF(280, 115), QPointF(300, 118), QPointF(316, 130),
                                            QPointF(240, 138), QPointF(116, 138)};
constexpr std::array<double, 11> kWidths = {0, 17, 19, 20, 20, 20, 20, 19, 17, 22, 22};

QPainterPath fingerPath(int finger) {
  QPainterPath line;
  line.moveTo(kBases[finger]);
  line.lineTo(kTips[finger]);
  QPainterPathStroker stroker;
  stroker.setWidth(kWidths[finger]);
  stroker.setCapStyle(Qt::RoundCap);
  return stroker.createStroke(line);
}

QPainterPath palmPath(bool left) {
  const QPolygonF leftPalm{QPointF(34, 128),  QPointF(52, 113),  QPointF(104, 112),
                           QPointF(124, 134), QPointF(116, 150), QPointF(46, 150),
                           QPointF(32, 140)};
  QPolygonF palm;
  for (const QPointF& p : leftPalm) palm << (left ? p : QPointF(356 - p.x(), p.y()));
  QPainterPath path;
  path.addPolygon(palm);
  path.closeSubpath();
  QPainterPathStroker stroker;
  stroker.setWidth(12);
  stroker.setJoinStyle(Qt::RoundJoin);
  return path.united(stroker.createStroke(path));
}

QPainterPath handPath(bool left) {
  QPainterPath hand = palmPath(left);
  const int first = left ? 1 : 5;
  for (int f = first; f < first + 4; ++f) hand = hand.united(fingerPath(f));
  return hand.united(fingerPath(left ? 10 : 9));
}

void paintHands(QPainter& p) {
  const QColor outline(0xB0, 0x80, 0x68);
  for (bool left : {true, false}) {
    const QPainterPath hand = handPath(left);
    QLinearGradient skin(0, 20, 0, 156);
    skin.setColorAt(0, QColor(0xFB, 0xE3, 0xD2));
    skin.setColorAt(1, QColor(0xEE, 0xC6, 0xAC));
    p.setPen(QPen(outline, 1.2));
    p.setBrush(skin);
    p.drawPath(hand);
    // Nails show which way each finger points.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF3, 0xEA));
    const int first = left ? 1 : 5;
    for (int f : {first, first + 1, first + 2, first + 3, left ? 10 : 9}) {
      const QPointF dir = kBases[f] - kTips[f];
      const double len = std::hypot(dir.x(), dir.y());
      const QPointF nail = kTips[f] + dir * (6.0 / len);
      p.drawEllipse(nail, kWidths[f] * 0.28, kWidths[f] * 0.28);
    }
  }
}

}  // namespace

TFingers::TFingers(QWidget* owner) : QWidget(owner) {
  DisableColour = lessonOptions().disableColorKbd;
  resize(kDesignWidth, kDesignHeight);
}

QPointF TFingers::FingerCentre(int finger) {
  return finger >= 1 && finger <= 10 ? kTips[finger] : QPointF();
}

void TFingers::ShowFinger(int finger) {
  if (finger == SingleFinger && FingerMask == 0) return;
  SingleFinger = finger;
  FingerMask = 0;
  update();
}

void TFingers::ShowFingers(uint16_t mask) {
  SingleFinger = -1;
  FingerMask = mask;
  update();
}

bool TFingers::IsLit(int finger) const {
  return finger >= 1 && finger <= 10 &&
         (finger == SingleFinger || (FingerMask & (1u << finger)) != 0);
}

double TFingers::scale() const {
  return std::max(0.05, std::min(width() / double(kDesignWidth), height() / double(kDesignHeight)));
}

QPointF TFingers::origin() const {
  return {(width() - kDesignWidth * scale()) / 2, (height() - kDesignHeight * scale()) / 2};
}

QPointF TFingers::FingerPoint(int finger) const {
  return origin() + FingerCentre(finger) * scale();
}

void TFingers::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.translate(origin());
  p.scale(scale(), scale());
  if (Hands.isNull()) {
    const qreal s = scale() * devicePixelRatioF();
    if (drawnHands_.isNull() || drawnScale_ != s) {
      QImage image(QSize(static_cast<int>(std::ceil(kDesignWidth * s)),
                         static_cast<int>(std::ceil(kDesignHeight * s))),
                   QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      QPainter hp(&image);
      hp.setRenderHint(QPainter::Antialiasing, true);
      hp.scale(s, s);
      paintHands(hp);
      hp.end();
      image.setDevicePixelRatio(s);
      drawnHands_ = std::move(image);
      drawnScale_ = s;
    }
    p.drawImage(QPointF(0, 0), drawnHands_);
  } else {
    p.drawImage(QPointF(0, 0), Hands);
  }
  for (int f = 1; f <= 10; ++f) {
    if (!IsLit(f)) continue;
    const FingerColours c = LitFingerColours(f, DisableColour);
    if (Hands.isNull()) {
      // The whole finger is tinted on the drawn hands, so the learner sees it at a glance.
      QColor tint = rgb(c.fill);
      tint.setAlpha(150);
      p.setPen(Qt::NoPen);
      p.setBrush(tint);
      p.drawPath(fingerPath(f));
    }
    p.setPen(QPen(rgb(c.outline), 1));
    p.setBrush(rgb(c.fill));
    p.drawEllipse(kTips[f], 10, 10);
  }
}

}  // namespace ks
