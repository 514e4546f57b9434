// The look the studying pages share: cards on the page, headings, the green buttons, the goal
// marks and a slim progress bar, all painted so that they stay crisp at any scale.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "content/resultjudge.h"

namespace ks {

QString msgText(int id);

enum class ButtonRole { Primary, Secondary, Link };

QLabel* makeLabel(QWidget* parent, const QString& text, double points = 10, bool bold = false,
                  const QString& colour = "#28343f");
QLabel* makeHeading(QWidget* parent, const QString& text, double points = 16);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        ButtonRole role = ButtonRole::Secondary);
// Shows as much of `text` as fits in `lines` lines of the label's width; all of it as tooltip.
void setElidedText(QLabel* label, const QString& text, int lines);
// A white card with a soft green border.
QFrame* makeCard(QWidget* parent, const QRect& geometry, const QString& name);
// The style sheet of a page's content (cards, buttons, lists, combo boxes).
QString studyStyleSheet();

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
