#include "games/ui/bubblepainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <map>
#include <tuple>

#include "book/uistyle.h"
#include "games/gameloop.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

// Room around a sprite for the wobble and the outline.
constexpr int kMargin = 2;

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

// Gradients and glyphs are slow to draw at a large scale, and the games show the same few
// bubbles again and again: each look is drawn once per scale and then copied.
using SpriteKey = std::tuple<int, int, int, int, qreal>;  // what, diameter, shape, letter, dpr

template <typename Draw>
const QImage& sprite(const SpriteKey& key, int size, Draw draw) {
  static std::map<SpriteKey, QImage> cache;
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() > 400) cache.clear();
  const qreal dpr = std::get<4>(key);
  QImage image(QSize(size, size) * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  draw(p);
  p.end();
  return cache.emplace(key, std::move(image)).first->second;
}

enum What { kBall, kLetter, kRing };

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
  if (!b.Active || b.Diameter <= 0) return;
  const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
  const int x = static_cast<int>(b.X), y = static_cast<int>(b.Y), d = b.Diameter;
  const int size = d + 2 * kMargin;
  const QPointF at(x - kMargin, y - kMargin);
  const QRectF body(kMargin, kMargin, d, d);
  if (b.Decoration) {
    p.drawImage(at, sprite({kRing, d, 0, 0, dpr}, size, [&](QPainter& s) {
                  QRadialGradient fill(body.left() + d * 0.35, body.top() + d * 0.35, d);
                  fill.setColorAt(0, QColor(255, 255, 255, 170));
                  fill.setColorAt(1, QColor(255, 255, 255, 30));
                  s.setBrush(fill);
                  s.setPen(QPen(d > 5 ? QColor(0x00, 0x00, 0x80) : QColor(0x00, 0x00, 0xFF), 1));
                  s.drawEllipse(body);
                }));
    return;
  }
  // The wobble squeezes the ball a little, one way or the other.
  const int shape = b.Wobble == 1 || b.Wobble == 3 ? b.Wobble : 0;
  const int kind = std::clamp(b.Kind, 1, 3);
  p.drawImage(at, sprite({kBall, d, shape * 10 + kind, 0, dpr}, size, [&](QPainter& s) {
                QRectF r = body;
                if (shape == 1) r.adjust(1, -1, -1, 1);
                if (shape == 3) r.adjust(-1, 1, 1, -1);
                paintBall(s, r, bubbleColour(kind));
              }));
  if (b.Letter == 0) return;
  // The letter's own sprite covers only the middle of the ball: fewer pixels to blend.
  const auto letter = static_cast<unsigned char>(b.Letter);
  const int box = (d * 7 + 9) / 10;
  const QRectF glyph(0, 0, box, box);
  p.drawImage(
      QPointF(x + (d - box) / 2, y + (d - box) / 2),
      sprite({kLetter, d, 0, letter, dpr}, box, [&](QPainter& s) {
        const bool digit = letter >= '0' && letter <= '9';
        s.setFont(designFont(digit ? "Arial" : "Georgia", 16 * std::min(1.0, d / 40.0), true));
        const QString text = toQString(std::string(1, static_cast<char>(letter)));
        s.setPen(QColor(0, 0, 0, 70));
        s.drawText(glyph.translated(1, 1.5), Qt::AlignCenter, text);
        s.setPen(Qt::white);
        s.drawText(glyph, Qt::AlignCenter, text);
      }));
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
