// The tutor's bar chart control. It paints what LayoutGraph computes for its model; the
// statistics page fills it from a course, the monitor page fills its own series.
#pragma once

#include <QFont>
#include <QWidget>

#include "reports/graphmodel.h"

namespace ks {

class TGraph : public QWidget {
  Q_OBJECT

 public:
  explicit TGraph(QWidget* parent = nullptr);
  TGraph(const GraphModel& model, QWidget* parent);

  // Takes the model's size and place too.
  void SetModel(const GraphModel& model);
  const GraphModel& Model() const { return model_; }
  GraphLayout Layout() const;
  // Paints the chart into `size` at the painter's origin (also used to print it).
  void PaintGraph(QPainter& p) const;

  QColor MarkerColour;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  GraphFont metrics() const;

  GraphModel model_;
  QFont captionFont_;
};

}  // namespace ks
