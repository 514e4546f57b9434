#include "monitor/ui/infowindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "book/pagestyle.h"

namespace ks {
namespace {

const QColor kLine(0, 200, 0);
const QColor kRule(0, 90, 0);

}  // namespace

TNervoGraph::TNervoGraph(QWidget* parent) : QWidget(parent) {
  setObjectName("TNervoGraph");
  setMinimumSize(60, 0);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TNervoGraph::keystroke(double now) {
  model_.Start(now);
  model_.Keystroke(now);
}

void TNervoGraph::step(double now) {
  const float value = model_.Update(now);
  if (canvas_.isNull()) return;
  const int h = canvas_.height();
  const int y = h - 1 - static_cast<int>(value / NervoGraphModel::Maximum * (h - 1));
  QPainter p(&canvas_);
  if (++x_ >= canvas_.width()) x_ = 0;
  // The column ahead is wiped and marked, so the newest point is always easy to find.
  p.fillRect(x_, 0, 3, h, Qt::black);
  p.setPen(kRule);
  if (x_ + 3 < canvas_.width()) p.drawLine(x_ + 3, 0, x_ + 3, h);
  p.setPen(kLine);
  p.drawLine(x_ == 0 ? 0 : x_ - 1, x_ == 0 ? y : lastY_, x_, y);
  lastY_ = y;
  update();
}

void TNervoGraph::resizeEvent(QResizeEvent*) {
  canvas_ = QImage(size(), QImage::Format_RGB32);
  canvas_.fill(Qt::black);
  x_ = -1;
  lastY_ = height() - 1;
}

void TNervoGraph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, canvas_);
  p.setPen(kRule);
  QFont f("Sans");
  f.setPointSize(8);
  p.setFont(f);
  p.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignRight | Qt::AlignTop,
             QString::number(qRound(model_.Value())));
}

TInfoOnTop::TInfoOnTop(QWidget* parent) : QWidget(parent) {
  setObjectName("TInfoOnTop");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
  setWindowTitle(msgText(1366));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  words_ = new QLabel(msgText(1275));
  words_->setObjectName("WordsLbl");
  words_->setStyleSheet("color: #00ff00;");
  graph_ = new TNervoGraph;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(words_);
  layout->addWidget(graph_, 1);
  // Shrunk to nearly nothing, the window shows the figures in its caption instead.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(70, 0);
  resize(200, 110);
}

void TInfoOnTop::showTexts(const QString& words, const QString& speed, const QString& time) {
  if (compact_) {
    setWindowTitle(words + " " + speed + " " + time);
  } else {
    words_->setText(words + " " + speed + ", " + time);
  }
}

void TInfoOnTop::resizeEvent(QResizeEvent*) {
  const bool compact = height() <= 31;
  if (compact_ && !compact) setWindowTitle(msgText(1366));
  compact_ = compact;
  words_->setVisible(!compact);
  graph_->setVisible(!compact);
}

void TInfoOnTop::closeEvent(QCloseEvent* e) {
  e->accept();
  emit closedByUser();
}

}  // namespace ks
