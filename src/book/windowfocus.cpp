#include "book/windowfocus.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace ks {
namespace {

bool takesFocus(const QWidget* w) {
  if (!w->isWindow()) return false;
  const Qt::WindowType type = w->windowType();
  return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen &&
         !w->testAttribute(Qt::WA_ShowWithoutActivating) &&
         !(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
}

class FocusKeeper : public QObject {
 public:
  explicit FocusKeeper(QWidget* main) : QObject(main), main_(main) {
    qApp->installEventFilter(this);
  }
  ~FocusKeeper() override { qApp->removeEventFilter(this); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!takesFocus(w)) return false;
    // After the event: a dialog's modal state and the window's mapping are settled by then.
    QPointer<QWidget> shown = type == QEvent::Show ? w : nullptr;
    QTimer::singleShot(0, this, [this, shown] { activate(shown); });
    return false;
  }

 private:
  void activate(QWidget* shown) {
    if (QApplication::activePopupWidget()) return;
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* target = modal ? modal : shown ? shown : main_.data();
    if (shown && modal && shown != modal) target = modal;
    if (!target || !target->isVisible() || target->isMinimized()) return;
    target->activateWindow();
  }

  QPointer<QWidget> main_;
};

}  // namespace

void keepWindowFocus(QWidget* main) {
  if (!main || main->property("ksFocusKept").toBool()) return;
  main->setProperty("ksFocusKept", true);
  new FocusKeeper(main);
}

}  // namespace ks
