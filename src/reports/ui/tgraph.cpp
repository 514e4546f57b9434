#include "reports/ui/tgraph.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "book/uistyle.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

QColor rgb(Rgb c) {
  return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

}  // namespace

TGraph::TGraph(QWidget* parent) : QWidget(parent) {
  setFont(designFont("Verdana", 8));
  captionFont_ = designFont("Verdana", 8, true);
  MarkerColour = colours().darkBlue;
  setAccessibleName(tr("Chart"));
  resize(model_.Width, model_.Height);
}

TGraph::TGraph(const GraphModel& model, QWidget* parent) : TGraph(parent) {
  SetModel(model);
}

void TGraph::SetModel(const GraphModel& model) {
  model_ = model;
  setGeometry(model_.Left, model_.Top, model_.Width, model_.Height);
  update();
}

GraphFont TGraph::metrics() const {
  const QFont regular = font();
  QFont bold = regular;
  bold.setBold(true);
  const QFontMetrics fm(regular), fmBold(bold);
  const int points = regular.pointSize() > 0 ? regular.pointSize() : 8;
  return GraphFont{points, fm.height(), [fm, fmBold](const std::string& text, bool isBold) {
                     const QString t = toQString(text);
                     return isBold ? fmBold.horizontalAdvance(t) : fm.horizontalAdvance(t);
                   }};
}

GraphLayout TGraph::Layout() const {
  GraphModel sized = model_;
  sized.Width = width();
  sized.Height = height();
  return LayoutGraph(sized, metrics());
}

void TGraph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  PaintGraph(p);
}

void TGraph::PaintGraph(QPainter& p) const {
  const GraphLayout l = Layout();
  const GraphRect& r = l.Plot;
  const QFontMetrics fm(font());
  const QPen black(Qt::black, 1);
  p.save();
  p.setFont(font());
  p.fillRect(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)), rgb(model_.Background));

  p.setPen(black);
  for (const GraphLayout::Tick& t : l.Ticks) {
    if (t.Mark) p.drawLine(r.Left, t.Y, r.Left - 5, t.Y);
    if (!t.Text.empty()) {
      p.drawText(QRect(0, t.Y - fm.height() / 2, t.TextRight, fm.height()),
                 Qt::AlignRight | Qt::AlignVCenter, toQString(t.Text));
    }
  }
  QFont bold = font();
  bold.setBold(true);
  for (const GraphLayout::Bar& b : l.Bars) {
    if (model_.TickMarks) p.drawLine(b.X, r.Bottom, b.X, r.Bottom + 5);
    if (!b.Label.empty()) {
      p.setFont(b.Bold ? bold : font());
      p.drawText(QRect(b.X - 40, b.LabelTop, 80, fm.height()), Qt::AlignHCenter | Qt::AlignTop,
                 toQString(b.Label));
      p.setFont(font());
    }
  }

  p.setFont(captionFont_);
  const QFontMetrics cm(captionFont_);
  for (const GraphLayout::Line& line : l.Lines) {
    p.setPen(QPen(rgb(graphcolour::Reference), 1));
    p.drawLine(line.X0, line.Y, line.X1, line.Y);
    if (!line.Caption.empty()) {
      p.setPen(rgb(graphcolour::Reference));
      p.drawText(QRect(r.Left, line.CaptionCentreY - cm.height() / 2, line.CaptionRight - r.Left,
                       cm.height()),
                 Qt::AlignRight | Qt::AlignVCenter, toQString(line.Caption));
    }
  }

  p.setPen(black);
  if (model_.Style == 1) {
    for (const GraphLayout::Bar& b : l.Bars) {
      // A bar of no height would draw as a thick line along the axis.
      if (!b.Positioned || b.Rect.Top >= r.Bottom) continue;
      p.setBrush(b.Filled ? QBrush(rgb(b.Fill)) : QBrush(Qt::NoBrush));
      p.drawRect(QRect(QPoint(b.Rect.Left, b.Rect.Top), QPoint(b.Rect.Right, b.Rect.Bottom)));
    }
  } else {
    QPolygon points;
    for (const GraphLayout::Bar& b : l.Bars)
      if (b.Positioned) points << QPoint(b.X, b.Y);
    p.drawPolyline(points);
    if (model_.TickMarks) {
      p.setPen(QPen(MarkerColour, 2));
      for (const QPoint& pt : points) {
        p.drawLine(pt + QPoint(-3, -3), pt + QPoint(3, 3));
        p.drawLine(pt + QPoint(-3, 3), pt + QPoint(3, -3));
      }
    }
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(black);
  p.drawRect(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)));
  p.restore();
}

}  // namespace ks
