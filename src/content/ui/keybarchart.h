// A bar chart of key difficulties with the reference lines of the difficult-keys chart: bars
// are coloured by the first line at or above their value, keys of the lesson are labelled bold.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

#include "content/resultjudge.h"

namespace ks {

class TDifficultKeys;

class KeyBarChart : public QWidget {
  Q_OBJECT

 public:
  struct Line {
    QString caption;
    QColor colour;
    double value;
  };

  explicit KeyBarChart(QWidget* parent = nullptr);

  void SetBars(std::vector<KeyBar> bars);
  // The lines at 100, the high limit and the moderate limit (just below each limit, so that a
  // key at a limit falls into the higher band).
  void SetDifficultyLines(const TDifficultKeys& keys);
  void AddLine(const QString& caption, const QColor& colour, double value);
  const std::vector<KeyBar>& Bars() const { return bars_; }
  const std::vector<Line>& Lines() const { return lines_; }
  // The colour a bar of `value` is filled with.
  QColor BarColour(double value) const;

  QColor PlotBackground{231, 255, 197};

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<KeyBar> bars_;
  std::vector<Line> lines_;  // ascending by value
};

}  // namespace ks
