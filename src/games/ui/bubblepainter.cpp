#include "games/ui/bubblepainter.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

#include "games/gameloop.h"
#include "platform/desktop/qtext.h"
#include "shell/uistyle.h"

namespace ks {
namespace {

void paintBall(QPainter& p, const QRectF& r, const QColor& colour) {
  QRadialGradient body(r.left() + r.width() * 0.35, r.top() + r.height() * 0.3, r.width() * 0.75);
  body.setColorAt(0, colour.lighter(165));
  body.setColorAt(0.55, colour);
  body.setColorAt(1, colour.darker(150));
  p.setPen(QPen(colour.darker(170), std::max(1.0, r.width() / 40)));
  p.setBrush(body);
  p.drawEllipse(r);
  // The window light on the glass.
  const QRectF shine(r.left() + r.width() * 0.2, r.top() + r.height() * 0.1, r.width() * 0.38,
                     r.height() * 0.24);
  QRadialGradient gloss(shine.center(), shine.width() / 2);
  gloss.setColorAt(0, QColor(255, 255, 255, 220));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gloss);
  p.drawEllipse(shine);
}

}  // namespace

QColor bubbleColour(int kind) {
  switch (kind) {
    case 2:
      return QColor(0x35, 0x3F, 0xFF);
    case 3:
      return QColor(0xFF, 0x01, 0x4F);
    default:
      return QColor(0x70, 0xB9, 0x07);
  }
}

void paintBubble(QPainter& p, const Tbubble& b) {
  if (!b.Active) return;
  const double x = static_cast<int>(b.X), y = static_cast<int>(b.Y), d = b.Diameter;
  if (b.Decoration) {
    QRadialGradient fill(x + d * 0.35, y + d * 0.35, d);
    fill.setColorAt(0, QColor(255, 255, 255, 170));
    fill.setColorAt(1, QColor(255, 255, 255, 30));
    p.setBrush(fill);
    p.setPen(QPen(d > 5 ? QColor(0x00, 0x00, 0x80) : QColor(0x00, 0x00, 0xFF), 1));
    p.drawEllipse(QRectF(x, y, d, d));
    return;
  }
  QRectF r(x, y, d, d);
  // The wobble squeezes the ball a little, one way or the other.
  if (b.Wobble == 1) r.adjust(1, -1, -1, 1);
  if (b.Wobble == 3) r.adjust(-1, 1, 1, -1);
  paintBall(p, r, bubbleColour(b.Kind));
  if (b.Letter == 0) return;
  const bool digit = b.Letter >= '0' && b.Letter <= '9';
  p.setFont(designFont(digit ? "Arial" : "Georgia", 16 * std::min(1.0, d / 40), true));
  const QString letter = toQString(std::string(1, b.Letter));
  p.setPen(QColor(0, 0, 0, 70));
  p.drawText(QRectF(x + 1, y + 1.5, d, d), Qt::AlignCenter, letter);
  p.setPen(Qt::white);
  p.drawText(QRectF(x, y, d, d), Qt::AlignCenter, letter);
}

QImage missedMark(bool missed, qreal dpr) {
  const int size = 22;
  QImage image(QSize(size, size) * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(3, 3, size - 6, size - 6);
  if (missed) {
    paintBall(p, r, QColor(0xFF, 0x01, 0x4F));
  } else {
    p.setPen(QPen(QColor(0xA1, 0x91, 0xFF), 2));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(r);
  }
  return image;
}

}  // namespace ks
