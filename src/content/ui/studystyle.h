// The studying pages' own marks: goal ticks and crosses and a slim progress bar, painted so that
// they stay crisp at any scale. The cards, headings and buttons are the shell's page style.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "book/pagestyle.h"
#include "content/resultjudge.h"

namespace ks {

// A goal mark: a green tick (reached), a red cross (missed), a grey dot (neutral); nothing for
// none.
class GoalMark : public QWidget {
  Q_OBJECT

 public:
  explicit GoalMark(QWidget* parent, GoalPic pic = GoalPic::None);
  void setPic(GoalPic pic);
  GoalPic pic() const { return pic_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  GoalPic pic_;
};

// Paints a goal mark into `r`.
void paintGoalMark(QPainter& p, const QRectF& r, GoalPic pic);

// A slim rounded bar showing a percentage.
class PercentBar : public QWidget {
  Q_OBJECT

 public:
  explicit PercentBar(QWidget* parent);
  void setPercent(int percent);
  void setColour(const QColor& c);
  int percent() const { return percent_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  QColor colour_{46, 139, 87};
};

// Saves a picture of `widget` to $KS_SCREENSHOT_DIR/<name>.png when that is set.
void saveScreenshot(QWidget* widget, const QString& name);

}  // namespace ks
