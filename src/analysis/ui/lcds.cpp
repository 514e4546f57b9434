#include "analysis/ui/lcds.h"

#include <QPainter>

#include "book/uistyle.h"

namespace ks {
namespace {

struct LightTheme {
  QColor panel, outline, litText;
  std::array<QColor, 3> lamps;  // from the bottom
};

const LightTheme& lightTheme() {
  static const LightTheme normal{
      QColor(0x35, 0x4F, 0xB1),
      QColor(0xEA, 0xE7, 0xFF),
      QColor(0x00, 0x00, 0x84),
      {QColor(0xA5, 0xCE, 0xAD), QColor(0xF8, 0xDA, 0x32), QColor(0xFF, 0x00, 0x80)}};
  static const LightTheme low{
      QColor(0x00, 0x80, 0x80),
      QColor(0xA6, 0xCA, 0xF0),
      QColor(0x00, 0x00, 0x80),
      {QColor(0xC0, 0xDC, 0xC0), QColor(0xF8, 0xDA, 0x32), QColor(0xFF, 0x00, 0x00)}};
  return lowColour() ? low : normal;
}

}  // namespace

TTrafficLightLcd::TTrafficLightLcd(QWidget* owner) : QWidget(owner) {
  setAccessibleName(tr("Rhythm light"));
  resize(50, 110);
}

QPoint TTrafficLightLcd::LampCentre(int lamp) {
  return {20, 90 - (lamp - 1) * 35};
}

void TTrafficLightLcd::SetLight(int light) {
  if (light == light_) return;
  light_ = light;
  update();
}

void TTrafficLightLcd::paintEvent(QPaintEvent*) {
  const LightTheme& theme = lightTheme();
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.fillRect(rect(), theme.panel);
  p.setFont(designFont(QStringLiteral("Verdana"), 10, true));
  for (int lamp = 1; lamp <= 3; ++lamp) {
    const QRectF circle(5, 75 - (lamp - 1) * 35, 30, 30);
    const bool lit = lamp == light_;
    if (lit) {
      p.setPen(Qt::NoPen);
      p.setBrush(theme.lamps[lamp - 1]);
    } else {
      p.setPen(QPen(theme.outline, 1));
      p.setBrush(Qt::NoBrush);
    }
    p.drawEllipse(circle);
    p.setPen(lit ? theme.litText : theme.outline);
    p.drawText(QRectF(40, circle.top(), std::max(0, width() - 40), 30),
               Qt::AlignLeft | Qt::AlignVCenter, Labels[lamp - 1]);
  }
}

TMissedLcd::TMissedLcd(QWidget* owner) : QWidget(owner) {
  setAccessibleName(tr("Missed keys"));
  resize(50, 10);
}

void TMissedLcd::SetTotal(int total) {
  total_ = std::max(0, total);
  fit();
  update();
}

void TMissedLcd::SetMissed(int missed) {
  missed_ = std::max(0, missed);
  fit();
  update();
}

void TMissedLcd::fit() {
  int w = 0, h = 0;
  for (int i = 0; i < total_; ++i) {
    const QImage& mark = i < missed_ ? MissedMark : OpenMark;
    const QSizeF size = mark.deviceIndependentSize();
    w += qRound(size.width());
    h = std::max(h, qRound(size.height()));
  }
  if (w > 0 && h > 0) resize(w, h);
}

void TMissedLcd::paintEvent(QPaintEvent*) {
  QPainter p(this);
  int x = 0;
  for (int i = 0; i < total_; ++i) {
    const QImage& mark = i < missed_ ? MissedMark : OpenMark;
    if (!mark.isNull()) p.drawImage(x, 0, mark);
    x += qRound(mark.deviceIndependentSize().width());
  }
}

}  // namespace ks
