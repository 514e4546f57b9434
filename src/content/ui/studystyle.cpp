#include "content/ui/studystyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdlib>

#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "store/langres.h"

namespace ks {

GoalMark::GoalMark(QWidget* parent, GoalPic pic) : QWidget(parent), pic_(pic) {
  setAttribute(Qt::WA_TranslucentBackground);
  resize(22, 22);
}

void GoalMark::setPic(GoalPic pic) {
  pic_ = pic;
  update();
}

void GoalMark::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintGoalMark(p, QRectF(rect()).adjusted(1, 1, -1, -1), pic_);
}

void paintGoalMark(QPainter& p, const QRectF& r, GoalPic pic) {
  if (pic == GoalPic::None) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double s = std::min(r.width(), r.height());
  const QRectF c(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
  QColor fill = pic == GoalPic::Reached  ? QColor(46, 139, 87)
                : pic == GoalPic::Failed ? QColor(214, 64, 69)
                                         : QColor(170, 178, 170);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawEllipse(c);
  QPen pen(Qt::white, std::max(1.5, s / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  const auto at = [&](double x, double y) { return QPointF(c.left() + x * s, c.top() + y * s); };
  if (pic == GoalPic::Reached) {
    QPainterPath tick;
    tick.moveTo(at(0.27, 0.52));
    tick.lineTo(at(0.44, 0.68));
    tick.lineTo(at(0.74, 0.34));
    p.drawPath(tick);
  } else if (pic == GoalPic::Failed) {
    p.drawLine(at(0.33, 0.33), at(0.67, 0.67));
    p.drawLine(at(0.67, 0.33), at(0.33, 0.67));
  } else {
    p.drawLine(at(0.3, 0.5), at(0.7, 0.5));
  }
  p.restore();
}

PercentBar::PercentBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void PercentBar::setPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  update();
}

void PercentBar::setColour(const QColor& c) {
  colour_ = c;
  update();
}

void PercentBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const double radius = r.height() / 2;
  p.setPen(QColor(185, 211, 160));
  p.setBrush(QColor(238, 245, 230));
  p.drawRoundedRect(r, radius, radius);
  if (percent_ <= 0) return;
  QRectF done = r;
  done.setWidth(std::max(r.height(), r.width() * percent_ / 100.0));
  p.setPen(Qt::NoPen);
  p.setBrush(colour_);
  p.drawRoundedRect(done, radius, radius);
}

void saveScreenshot(QWidget* widget, const QString& name) {
  const char* dir = std::getenv("KS_SCREENSHOT_DIR");
  if (dir == nullptr || widget == nullptr) return;
  widget->grab().save(QString(dir) + "/" + name + ".png");
}

}  // namespace ks
