#include "content/ui/exerciselist.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "book/uistyle.h"
#include "content/chapter.h"
#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "text/numbers.h"

namespace ks {

TExerciseList::TExerciseList(QWidget* parent) : QWidget(parent) {
  setFont(designFont("Verdana", 10));
  setCursor(Qt::PointingHandCursor);
  resize(350, 0);
}

void TExerciseList::SetLesson(const TChapter* lesson, int margin) {
  SetRows(lesson != nullptr ? ExerciseRows(*lesson, margin) : std::vector<ExerciseRow>{});
}

void TExerciseList::SetRows(std::vector<ExerciseRow> rows) {
  rows_ = std::move(rows);
  done_.assign(rows_.size(), false);
  locked_.assign(rows_.size(), false);
  relimit();
}

void TExerciseList::relimit() {
  rowCount_ = std::min(static_cast<int>(rows_.size()), maxRows_);
  if (selected_ > rowCount_) selected_ = rowCount_;
  setFixedHeight(rowCount_ * rowHeight_);
  update();
}

void TExerciseList::SetColumns(int numberX, int nameX, int durationX) {
  numberX_ = numberX;
  nameX_ = nameX;
  durationX_ = durationX;
  update();
}

void TExerciseList::SetRowHeight(int h) {
  if (h <= 0) return;
  rowHeight_ = h;
  relimit();
}

void TExerciseList::SetMaxRows(int n) {
  if (n < 0) return;
  maxRows_ = n;
  relimit();
}

void TExerciseList::SelectRow(int row) {
  if (rowCount_ == 0) return;
  row = std::clamp(row, 1, rowCount_);
  if (row == selected_) return;
  const int old = selected_;
  selected_ = row;
  if (old >= 1) update(rowRect(old));
  update(rowRect(row));
  emit selectionChanged(row);
}

void TExerciseList::SetDone(int row, bool done) {
  if (row < 1 || row > rowCount_ || done_[static_cast<size_t>(row - 1)] == done) return;
  done_[static_cast<size_t>(row - 1)] = done;
  update(rowRect(row));
}

bool TExerciseList::IsDone(int row) const {
  return row >= 1 && row <= rowCount_ && done_[static_cast<size_t>(row - 1)];
}

void TExerciseList::SetLocked(int row, bool locked) {
  if (row < 1 || row > rowCount_ || locked_[static_cast<size_t>(row - 1)] == locked) return;
  locked_[static_cast<size_t>(row - 1)] = locked;
  update(rowRect(row));
}

bool TExerciseList::IsLocked(int row) const {
  return row >= 1 && row <= rowCount_ && locked_[static_cast<size_t>(row - 1)];
}

void TExerciseList::SetNext(int row) {
  next_ = row;
  update();
}

QRect TExerciseList::rowRect(int row) const {
  return QRect(0, (row - 1) * rowHeight_, width(), rowHeight_);
}

int TExerciseList::rowAt(int y) const {
  if (rowHeight_ <= 0 || y < 0) return 0;
  return y / rowHeight_ + 1;
}

void TExerciseList::paintPadlock(QPainter& p, const QRectF& mark) const {
  const QColor ink = LockedColour;
  const double w = mark.width(), h = mark.height();
  const QRectF body(mark.left() + w * 0.12, mark.top() + h * 0.45, w * 0.76, h * 0.55);
  p.setPen(QPen(ink, std::max(1.5, w / 8)));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(mark.left() + w * 0.26, mark.top(), w * 0.48, h * 0.8), 0, 180 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawRoundedRect(body, 2, 2);
}

void TExerciseList::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Background);
  if (rowHeight_ <= 0) return;
  const QFontMetrics fm(font());
  QFont bold = font();
  bold.setBold(true);
  QFont link = font();
  link.setUnderline(true);
  const int picture = rowHeight_ - 2;
  for (int r = 1; r <= rowCount_; ++r) {
    const ExerciseRow& row = rows_[static_cast<size_t>(r - 1)];
    const QRect rr = rowRect(r);
    if (r == selected_) {
      p.setPen(Qt::NoPen);
      p.setBrush(SelectedBackground);
      p.drawRoundedRect(QRectF(rr).adjusted(1, 1, -1, -1), 6, 6);
    }
    // The state mark: done rows a tick, the others an open ring; the advised one an arrow.
    const QRectF mark(rr.left() + 4, rr.top() + 1 + picture * 0.2, picture * 0.6, picture * 0.6);
    const bool locked = IsLocked(r) && !IsDone(r);
    if (IsDone(r)) {
      paintGoalMark(p, mark, GoalPic::Reached);
    } else if (locked) {
      paintPadlock(p, mark);
    } else {
      p.setPen(QPen(r == next_ ? QColor(46, 139, 87) : QColor(160, 180, 150), 2));
      p.setBrush(r == next_ ? QColor(214, 236, 200) : Qt::white);
      p.drawEllipse(mark);
      if (r == next_) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(46, 139, 87));
        const QPointF c = mark.center();
        const double s = mark.width() / 4;
        const QPointF tri[3] = {
            {c.x() - s * 0.7, c.y() - s}, {c.x() - s * 0.7, c.y() + s}, {c.x() + s, c.y()}};
        p.drawPolygon(tri, 3);
      }
    }
    const int t = static_cast<int>(roundHalfEven((picture - fm.height()) / 2.2));
    const int baseline = rr.top() + t + fm.ascent() + 1;
    p.setPen(FontColour);
    p.setFont(bold);
    p.drawText(numberX_, baseline, toQString(row.Number));
    p.setFont(font());
    p.drawText(durationX_, baseline, toQString(row.Duration));
    // A locked exercise is no link to follow yet.
    const QFont& nameFont = locked ? font() : link;
    p.setPen(locked ? LockedColour : LinkColour);
    p.setFont(nameFont);
    const int nameWidth = std::max(0, durationX_ - nameX_ - 8);
    p.drawText(nameX_, baseline,
               QFontMetrics(nameFont).elidedText(toQString(row.Name), Qt::ElideRight, nameWidth));
  }
}

void TExerciseList::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int row = rowAt(static_cast<int>(event->position().y()));
  if (row < 1 || row > rowCount_) return;
  SelectRow(row);
  emit rowClicked(row);
}

void TExerciseList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int row = rowAt(static_cast<int>(event->position().y()));
  if (row < 1 || row > rowCount_) return;
  emit rowDoubleClicked(row);
}

}  // namespace ks
