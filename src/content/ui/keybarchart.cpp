#include "content/ui/keybarchart.h"

#include <QPainter>
#include <algorithm>

#include "analysis/diffkeys.h"
#include "book/uistyle.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"

namespace ks {

KeyBarChart::KeyBarChart(QWidget* parent) : QWidget(parent) {
  setFont(designFont("Verdana", 8));
  setAccessibleName(tr("Most difficult keys"));
}

void KeyBarChart::SetBars(std::vector<KeyBar> bars) {
  bars_ = std::move(bars);
  update();
}

void KeyBarChart::AddLine(const QString& caption, const QColor& colour, double value) {
  auto at =
      std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) { return l.value >= value; });
  lines_.insert(at, Line{caption, colour, value});
  update();
}

void KeyBarChart::SetDifficultyLines(const TDifficultKeys& keys) {
  lines_.clear();
  AddLine(msgText(249), QColor(255, 1, 79), 100);
  AddLine(msgText(250), QColor(255, 210, 29), keys.HighLimit - 0.01);
  AddLine(msgText(251), QColor(167, 180, 247), keys.ModerateLimit - 0.01);
}

QColor KeyBarChart::BarColour(double value) const {
  for (const Line& l : lines_) {
    if (l.value >= value) return l.colour;
  }
  return lines_.empty() ? QColor(0, 0, 132) : lines_.back().colour;
}

void KeyBarChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics fm(font());
  const int labelWidth = fm.horizontalAdvance("100");
  const int left = labelWidth + 7;
  const int top = fm.height() / 2;
  const int right = width() - 4;
  const int bottom = height() - 8 - static_cast<int>(fm.height() * 1.5 + 0.5);
  if (right <= left || bottom <= top) return;
  const QRect plot(left, top, right - left, bottom - top);
  p.fillRect(plot, PlotBackground);
  const auto yOf = [&](double v) {
    v = std::clamp(v, 0.0, 100.0);
    return bottom - (bottom - top) * v / 100.0;
  };
  // Value ticks every 20.
  p.setPen(QColor(40, 52, 63));
  for (int v = 0; v <= 100; v += 20) {
    const double y = yOf(v);
    p.drawLine(QPointF(left - 5, y), QPointF(left, y));
    p.drawText(QRectF(0, y - fm.height() / 2.0, labelWidth, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
  }
  const int n = std::max<int>(1, static_cast<int>(bars_.size()));
  const double slot = static_cast<double>(right - left) / n;
  const double barWidth = slot * 0.7;
  QFont bold = font();
  bold.setBold(true);
  for (size_t i = 0; i < bars_.size(); ++i) {
    const KeyBar& bar = bars_[i];
    const double x = left + slot * static_cast<double>(i);
    if (bar.Key != 0 && bar.Difficulty > 0) {
      const QRectF r(x + (slot - barWidth) / 2, yOf(bar.Difficulty), barWidth,
                     bottom - yOf(bar.Difficulty));
      p.setPen(QPen(QColor(40, 52, 63), 1));
      p.setBrush(BarColour(bar.Difficulty));
      p.drawRoundedRect(r, 2, 2);
    }
    p.setPen(QColor(40, 52, 63));
    p.drawLine(QPointF(x + slot / 2, bottom), QPointF(x + slot / 2, bottom + 4));
    if (bar.Key != 0) {
      p.setFont(bar.Highlighted ? bold : font());
      const QString label = bar.Key == ' ' ? QStringLiteral("\u2423")
                                           : toQString(std::string(1, static_cast<char>(bar.Key)));
      p.drawText(QRectF(x, bottom + 5, slot, fm.height() * 1.5), Qt::AlignHCenter | Qt::AlignTop,
                 label);
      p.setFont(font());
    }
  }
  // Reference lines with their captions just below each line.
  QFont caption = font();
  caption.setBold(true);
  p.setFont(caption);
  for (size_t i = 0; i < lines_.size(); ++i) {
    const Line& l = lines_[i];
    const double y = yOf(l.value);
    p.setPen(QPen(QColor(84, 175, 84), 1));
    p.drawLine(QPointF(left + 1, y), QPointF(right, y));
    const double below = i == 0 ? bottom : yOf(lines_[i - 1].value);
    p.setPen(QColor(84, 175, 84));
    p.drawText(QRectF(left, y, right - left - 4, below - y), Qt::AlignRight | Qt::AlignVCenter,
               l.caption + " ");
  }
  p.setPen(QPen(QColor(40, 52, 63), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);
}

}  // namespace ks
