// The yardstick of the start-up benchmark: a bare Qt Widgets window of the tutor's size, shown
// and painted, reported by the same probe as the tutor's first page.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "platform/desktop/readyprobe.h"

namespace {

class Page : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(236, 255, 214)); }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Page page;
  page.resize(1048, 770);
  page.show();
  ks::ReadyProbe::pageShown(&page, "bare");
  return QApplication::exec();
}
