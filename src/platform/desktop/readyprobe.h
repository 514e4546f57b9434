// Start-up measurement: with the environment variable KEYSCHOLAR_READY_PROBE set, a program
// prints "ready <page> <resident KiB>" on standard output and ends at once when its first page a
// learner can use has been painted. The benchmarks time a start against it; without the
// variable nothing happens.
#pragma once

#include <QObject>

class QWidget;

namespace ks {

class ReadyProbe : public QObject {
  Q_OBJECT

 public:
  // `window` now shows `page`, ready for the learner; the first call counts.
  static void pageShown(QWidget* window, const char* page);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ReadyProbe(QWidget* window, const char* page) : window_(window), page_(page) {}
  void report();

  QWidget* window_;
  const char* page_;
  bool scheduled_ = false;
};

}  // namespace ks
