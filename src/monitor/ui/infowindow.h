// The small always-on-top information window: the day's words, the speed and the typing time,
// and a live speed graph. Shrunk to its title bar it shows the figures in its caption.
#pragma once

#include <QImage>
#include <QWidget>

#include "monitor/nervograph.h"

class QLabel;

namespace ks {

class TNervoGraph : public QWidget {
  Q_OBJECT

 public:
  explicit TNervoGraph(QWidget* parent = nullptr);
  void keystroke(double now);
  // One refresh while typing: the next column of the line.
  void step(double now);
  const NervoGraphModel& model() const { return model_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  NervoGraphModel model_;
  QImage canvas_;
  int x_ = -1;
  int lastY_ = 0;
};

class TInfoOnTop : public QWidget {
  Q_OBJECT

 public:
  explicit TInfoOnTop(QWidget* parent = nullptr);
  void showTexts(const QString& words, const QString& speed, const QString& time);
  TNervoGraph* graph() const { return graph_; }
  bool compact() const { return compact_; }
  // Set by a monitored keystroke, cleared by the end of a word: the graph moves only then.
  bool typing = false;

 signals:
  void closedByUser();

 protected:
  void resizeEvent(QResizeEvent*) override;
  void closeEvent(QCloseEvent*) override;

 private:
  QLabel* words_;
  TNervoGraph* graph_;
  bool compact_ = false;
};

}  // namespace ks
