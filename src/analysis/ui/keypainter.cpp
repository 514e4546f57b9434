#include "analysis/ui/keypainter.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr double kRadius = 4.0;

QFont captionFont(const QString& family, int pixels, bool bold) {
  QFont f = designFont(family, pixels * 0.75, bold);
  f.setPixelSize(std::max(1, pixels));
  return f;
}

void drawText(QPainter& p, const QFont& font, int x, int y, const QString& text) {
  p.setFont(font);
  const QFontMetrics fm(font);
  p.drawText(QRect(x, y, fm.horizontalAdvance(text) + 4, fm.height()), Qt::AlignLeft | Qt::AlignTop,
             text);
}

// The raised key cap: a bevel band on the left and at the top, the side region on the right and
// at the bottom, and the lighter upper half of the top face.
void paintRaised(QPainter& p, const KeyPaint& k) {
  const int w = k.width, h = k.height;
  p.setPen(Qt::NoPen);
  p.setBrush(rgb(k.colours.bevel));
  p.drawRect(QRectF(1, 1, 4, h - 2));
  p.drawRect(QRectF(1, 1, w - 2, 2));
  QPolygonF side;
  side << QPointF(w - 1, 1) << QPointF(w - 5, 3) << QPointF(w - 5, h - 7) << QPointF(5, h - 7)
       << QPointF(1, h - 1) << QPointF(w - 1, h - 1);
  p.setBrush(rgb(k.colours.side));
  p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
  p.drawPolygon(side);
  // The top face fades into the face colour so the cap reads as softly lit from above.
  const double topBottom = h * 0.45;
  QLinearGradient g(0, 3, 0, topBottom);
  g.setColorAt(0, rgb(k.colours.topFace));
  g.setColorAt(0.7, rgb(k.colours.topFace));
  g.setColorAt(1, rgb(k.colours.face));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRect(QRectF(5, 3, w - 9, topBottom - 3));
}

void paintNub(QPainter& p, const KeyPaint& k) {
  const double len = k.width * 0.15;
  const double x0 = (k.width - len) / 2, y = k.height * 0.65;
  p.setPen(QPen(Qt::white, 1));
  p.drawLine(QPointF(x0, y), QPointF(x0 + len, y));
  p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1));
  p.drawLine(QPointF(x0 + 1, y + 1), QPointF(x0 + len + 1, y + 1));
}

void paintCaptions(QPainter& p, const KeyPaint& k) {
  if (k.cap0.empty()) return;
  const QString family = k.fontName.isEmpty() ? QStringLiteral("Arial") : k.fontName;
  const QString cap0 = toQString(k.cap0, false);
  const QString cap1 = toQString(k.cap1, false);
  p.setPen(rgb(k.colours.caption));
  // A second caption only when it says more than the capital of the first (and more than the
  // first itself: the space bar types a blank in both states).
  const bool two =
      !k.cap1.empty() && !k.singleCaptions && k.cap1 != k.cap0 &&
      k.cap1 != std::string(1, static_cast<char>(upperChar(static_cast<unsigned char>(k.cap0[0]))));
  if (two) {
    const QFont shift = captionFont(family, k.shiftCaptionFont, true);
    drawText(p, shift, 7, 3, cap1);
    const bool punctuation = k.cap0 == "," || k.cap0 == ".";
    const QFont low = punctuation ? captionFont(family, k.captionFont, true) : shift;
    drawText(p, low, 7, k.height - QFontMetrics(low).height() - 8, cap0);
    return;
  }
  int height =
      k.fixedFont > 0 ? k.fixedFont : (k.smallCaption ? k.smallCaptionFont : k.captionFont);
  QFont font = captionFont(family, height, true);
  // The caption starts 6 pixels in and must stop short of the cap's shaded right side.
  const int room = std::max(1, k.width - 6 - 7);
  if (QFontMetrics(font).horizontalAdvance(cap0) > room) {
    font = captionFont(QStringLiteral("Small Fonts"), 11, false);
    const int wide = QFontMetrics(font).horizontalAdvance(cap0);
    if (wide > room && !k.symbol.isEmpty()) {
      drawText(p, captionFont(family, height, true), 6, 3, k.symbol);
      return;
    }
    if (wide > room) {
      // A caption that still does not fit is squeezed to the room rather than cut.
      p.save();
      p.translate(6, 0);
      p.scale(static_cast<double>(room) / wide, 1.0);
      drawText(p, font, 0, 3, cap0);
      p.restore();
      return;
    }
  }
  if (!k.cap1.empty() && k.cap0.size() == 1) {
    const QString upper = toQString(
        std::string(1, static_cast<char>(upperChar(static_cast<unsigned char>(k.cap0[0])))), false);
    if (upper == "I") {
      drawText(p, captionFont(QStringLiteral("Georgia"), height + 1, true), 6, 2, upper);
    } else {
      drawText(p, font, 6, 3, upper);
    }
    return;
  }
  if (cap0 == "l") {
    drawText(p, captionFont(QStringLiteral("Georgia"), height, true), 6, 3, cap0);
  } else if (cap0 == "I") {
    drawText(p, captionFont(QStringLiteral("Georgia"), height + 2, true), 6, 2, cap0);
  } else {
    drawText(p, font, 6, 3, cap0);
  }
}

void paintFrame(QPainter& p, const KeyPaint& k, uint32_t colour) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(rgb(colour), 3));
  p.drawRoundedRect(QRectF(1.5, 1.5, k.width - 3, k.height - 3), kRadius, kRadius);
}

}  // namespace

QColor rgb(uint32_t colour) {
  return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void PaintKey(QPainter& p, const KeyPaint& k) {
  if (k.width <= 0 || k.height <= 0) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  if (k.pressed) p.translate(1, 1);  // a pressed key sinks a little
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0.5, 0.5, k.width - 1, k.height - 1), kRadius, kRadius);
  p.setPen(QPen(rgb(k.colours.outline), 1));
  p.setBrush(rgb(k.colours.face));
  p.drawPath(outline);
  p.save();
  p.setClipPath(outline);
  const bool raised = k.look != KeyLook::Plain && !k.pressed;
  if (raised) paintRaised(p, k);
  p.restore();
  if (k.nub) paintNub(p, k);
  paintCaptions(p, k);
  const bool lit = k.look == KeyLook::Lit || k.look == KeyLook::Hinted;
  if (k.struck && !lit) {
    p.setPen(QPen(rgb(kStrikeRed), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, k.height - 7), QPointF(k.width - 5, 3));
  }
  if ((k.legend == ltRedFrame && !lit) || k.legend == ltLitRedFrame) paintFrame(p, k, kStrikeRed);
  if (k.legend == ltGreenFrame && !lit) paintFrame(p, k, kFrameGreen);
  p.restore();
}

}  // namespace ks
