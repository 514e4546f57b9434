#include "monitor/ui/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSystemTrayIcon>

#include "platform/desktop/qtext.h"

namespace ks {
namespace {

const char* kService = "org.freedesktop.Notifications";
const char* kPath = "/org/freedesktop/Notifications";

}  // namespace

DesktopNotifier::DesktopNotifier(std::function<QSystemTrayIcon*()> tray,
                                 std::function<void()> onPractice, QObject* parent)
    : QObject(parent), tray_(std::move(tray)), onPractice_(std::move(onPractice)) {
  QDBusConnection::sessionBus().connect(kService, kPath, kService, "ActionInvoked", this,
                                        SLOT(actionInvoked(uint, QString)));
}

bool DesktopNotifier::serviceAvailable() const {
  QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  if (!bus) return false;
  if (bus->isServiceRegistered(kService)) return true;
  const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
  return activatable.isValid() && activatable.value().contains(kService);
}

void DesktopNotifier::ShowBalloon(const std::string& text, const std::string& title, int timeoutMs,
                                  bool practice) {
  // The tray's limits: longer texts are cut, not refused.
  const QString body = toQString(text).left(255);
  const QString summary = toQString(title).left(63);
  if (serviceAvailable()) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    const QStringList actions = practice ? QStringList{"default", summary} : QStringList{};
    call << QString("tapwatch") << uint(0) << QString("org.quillstroker.Tapwatch") << summary
         << body << actions << QVariantMap{} << timeoutMs;
    const QDBusReply<uint> id = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (id.isValid()) {
      if (practice) practiceId_ = id.value();
      return;
    }
  }
  trayPractice_ = practice;
  if (QSystemTrayIcon* icon = tray_(); icon && icon->isVisible())
    icon->showMessage(summary, body, QSystemTrayIcon::Information, timeoutMs);
}

void DesktopNotifier::actionInvoked(uint id, const QString&) {
  if (id != 0 && id == practiceId_) {
    practiceId_ = 0;
    onPractice_();
  }
}

void DesktopNotifier::trayMessageClicked() {
  // A click on a break reminder does nothing, even after a practice suggestion.
  if (!trayPractice_) return;
  trayPractice_ = false;
  onPractice_();
}

}  // namespace ks
