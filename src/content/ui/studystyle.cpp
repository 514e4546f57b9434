#include "content/ui/studystyle.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdlib>

#include "platform/desktop/qtext.h"
#include "shell/uistyle.h"
#include "store/langres.h"

namespace ks {

QString msgText(int id) {
  return toQString(Localize().GetString(id));
}

QLabel* makeLabel(QWidget* parent, const QString& text, double points, bool bold,
                  const QString& colour) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Verdana", points, bold));
  l->setStyleSheet("color: " + colour + "; background: transparent;");
  return l;
}

QLabel* makeHeading(QWidget* parent, const QString& text, double points) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Georgia", points, true));
  l->setStyleSheet("color: #1f5f3a; background: transparent;");
  return l;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        ButtonRole role) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setFont(designFont("Verdana", role == ButtonRole::Link ? 9 : 10, role == ButtonRole::Primary));
  b->setCursor(Qt::PointingHandCursor);
  b->setFocusPolicy(Qt::NoFocus);
  switch (role) {
    case ButtonRole::Primary:
      b->setProperty("role", "primary");
      b->setMinimumHeight(36);
      break;
    case ButtonRole::Secondary:
      b->setProperty("role", "secondary");
      b->setMinimumHeight(30);
      break;
    case ButtonRole::Link:
      b->setProperty("role", "link");
      break;
  }
  return b;
}

void setElidedText(QLabel* label, const QString& text, int lines) {
  const QFontMetrics fm(label->font());
  // Word wrapping leaves part of each line empty: allow for it.
  const int room = label->width() * lines - fm.averageCharWidth() * 4 * lines;
  label->setText(fm.elidedText(text, Qt::ElideRight, std::max(0, room)));
  label->setToolTip(text);
}

QFrame* makeCard(QWidget* parent, const QRect& geometry, const QString& name) {
  auto* card = new QFrame(parent);
  card->setObjectName(name);
  card->setProperty("card", true);
  card->setGeometry(geometry);
  return card;
}

QString studyStyleSheet() {
  return "QFrame[card=\"true\"] { background: white; border: 1px solid #b9d3a0;"
         "  border-radius: 12px; }"
         "QFrame[card=\"true\"] QLabel { border: none; }"
         "QPushButton[role=\"primary\"] { background: #2e8b57; color: white; border: none;"
         "  border-radius: 8px; padding: 6px 10px; }"
         "QPushButton[role=\"primary\"]:hover { background: #3aa86a; }"
         "QPushButton[role=\"primary\"]:disabled { background: #a9c9b4; }"
         "QPushButton[role=\"secondary\"] { background: #e4efd8; color: #28343f;"
         "  border: 1px solid #b9d3a0; border-radius: 8px; padding: 4px 8px; }"
         "QPushButton[role=\"secondary\"]:hover { background: #d3e6c0; }"
         "QPushButton[role=\"secondary\"]:disabled { color: #8a9a8a; background: #eef4e8; }"
         "QPushButton[role=\"link\"] { background: transparent; color: #000084; border: none;"
         "  text-decoration: underline; padding: 0px; text-align: left; }"
         "QPushButton[role=\"link\"]:hover { color: #2e8b57; }"
         "QListWidget { border: 1px solid #9fb88a; border-radius: 6px; padding: 3px;"
         "  background: #fbfff5; color: #28343f; }"
         "QComboBox { color: #28343f; }"
         "QListWidget::item { padding: 3px; }"
         "QListWidget::item:selected { background: #a5cead; color: black; }"
         "QRadioButton { color: #28343f; background: transparent; }"
         "QScrollBar:vertical { background: #f2f7ec; width: 10px; border: none; margin: 0px; }"
         "QScrollBar::handle:vertical { background: #b9d3a0; border-radius: 5px; min-height: 24px; "
         "}"
         "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
         "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";
}

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
