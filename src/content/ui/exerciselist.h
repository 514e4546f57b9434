// The drawn list of a lesson's exercises: a state mark (new, done, next or locked),
// "lesson.exercise", the exercise's name as a link and its planned minutes per row. The owner
// chooses the columns and colours, marks rows done and reacts to clicks.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

class QPainter;
#include <string>
#include <vector>

#include "content/courseviewmodel.h"

namespace ks {

class TChapter;

class TExerciseList : public QWidget {
  Q_OBJECT

 public:
  explicit TExerciseList(QWidget* parent = nullptr);

  // One row per exercise; `margin` is the course's "dynamicdurationmargin".
  void SetLesson(const TChapter* lesson, int margin);
  void SetRows(std::vector<ExerciseRow> rows);
  void SetColumns(int numberX, int nameX, int durationX);
  // Heights of 0 or less are refused: a list without a row height has no rows to click.
  void SetRowHeight(int h);
  void SetMaxRows(int n);
  // Limited to 1..RowCount; nothing happens for the row already selected.
  void SelectRow(int row);
  void SetDone(int row, bool done);
  bool IsDone(int row) const;
  // A locked row is shown with a padlock and its name greyed: it opens later.
  void SetLocked(int row, bool locked);
  bool IsLocked(int row) const;
  // The row the learner is advised to take next (0: none); it carries an arrow.
  void SetNext(int row);

  int RowCount() const { return rowCount_; }
  int Selected() const { return selected_; }
  int RowHeight() const { return rowHeight_; }
  int MaxRows() const { return maxRows_; }
  const std::vector<ExerciseRow>& Rows() const { return rows_; }

  QColor LinkColour{0, 0, 132};
  QColor FontColour{40, 52, 63};
  QColor Background{Qt::white};
  QColor SelectedBackground{214, 236, 200};
  QColor LockedColour{84, 94, 84};

 signals:
  void rowClicked(int row);
  void rowDoubleClicked(int row);
  void selectionChanged(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int rowAt(int y) const;
  void paintPadlock(QPainter& p, const QRectF& mark) const;
  void relimit();
  QRect rowRect(int row) const;

  std::vector<ExerciseRow> rows_;
  std::vector<bool> done_;
  std::vector<bool> locked_;
  int numberX_ = 0, nameX_ = 0, durationX_ = 0;
  int rowHeight_ = 0;
  int maxRows_ = 10;
  int rowCount_ = 0;
  int selected_ = 0;
  int next_ = 0;
};

}  // namespace ks
