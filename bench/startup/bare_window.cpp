// The yardstick of the start-up benchmark: a bare Qt Widgets window of the tutor's size, shown
// and painted, reported by the same probe as the tutor's first page. With "text" it also draws a
// line of text, which brings in the font machinery every real page needs.
#include <QApplication>
#include <QPainter>
#include <QString>
#include <QWidget>

#include "platform/desktop/readyprobe.h"

namespace {

class Page : public QWidget {
 public:
  bool text = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(236, 255, 214));
    if (text) p.drawText(40, 60, "Welcome! Type your name to register as a new learner.");
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Page page;
  page.text = argc > 1 && QString(argv[1]) == "text";
  page.resize(1048, 770);
  page.show();
  ks::ReadyProbe::pageShown(&page, "bare");
  return QApplication::exec();
}
