#include "platform/desktop/desktopkeyboard.h"

#include <qpa/qplatformnativeinterface.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>

#include "platform/desktop/kdekeyboard.h"
#include "platform/system.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/waylandsystemkeyboard.h"
#include "platform/x11/x11systemkeyboard.h"

namespace ks {
namespace {

// Plasma's keyboard service: the layouts in the keymap's order, switched by index.
class KdeLayoutSwitcher : public LayoutSwitcher {
 public:
  bool switchTo(int group) override {
    const QDBusMessage reply = call("setLayout", {static_cast<uint>(group)});
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().toBool();
  }
  int activeGroup() override {
    const QDBusMessage reply = call("getLayout", {});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
    bool ok = false;
    const uint group = reply.arguments().first().toUInt(&ok);
    return ok && group < 4 ? static_cast<int>(group) : -1;
  }

 private:
  static QDBusMessage call(const char* method, const QVariantList& arguments) {
    QDBusMessage message = kdeKeyboardCall(method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 2000);
  }
};

std::unique_ptr<LayoutSwitcher> desktopLayoutSwitcher() {
  const std::string sway = envOr("SWAYSOCK", "");
  if (!sway.empty()) return std::make_unique<SwayLayoutSwitcher>(sway);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected() && bus.interface() &&
      bus.interface()->isServiceRegistered(kKdeKeyboardService).value())
    return std::make_unique<KdeLayoutSwitcher>();
  // GNOME and others keep the switch to themselves.
  return nullptr;
}

// The toolkit's Wayland connection, when the application draws through one.
wl_display* toolkitWaylandDisplay() {
  if (!qGuiApp || !QGuiApplication::platformName().startsWith("wayland")) return nullptr;
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  return native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"))
                : nullptr;
}

}  // namespace

std::unique_ptr<SystemKeyboard> createSystemKeyboard() {
  if (waylandSession()) {
    // Under XWayland too: the compositor knows the user's keyboard, the X server only a copy.
    if (auto wayland = WaylandSystemKeyboard::connect(toolkitWaylandDisplay())) {
      wayland->setSwitcher(desktopLayoutSwitcher());
      return wayland;
    }
  } else if (!envOr("DISPLAY", "").empty()) {
    if (auto x11 = X11SystemKeyboard::connect()) return x11;
  }
  return fixedUsKeyboard();
}

}  // namespace ks
