#include "platform/desktop/focuswatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <cstring>

#include "platform/wayland/swayipc.h"

namespace ks {
namespace {

constexpr uint32_t kPasswordTextRole = 40;  // AT-SPI's ROLE_PASSWORD_TEXT
const QString kEventObject = "org.a11y.atspi.Event.Object";
const QString kEventWindow = "org.a11y.atspi.Event.Window";

// A pid as the compositor reports it; 0 for none or nonsense.
uint32_t pidOf(const QJsonValue& v) {
  const qint64 pid = v.toInteger(0);
  return pid > 0 && pid < (1LL << 31) ? static_cast<uint32_t>(pid) : 0;
}

FocusChange focusOf(const QJsonObject& node) {
  FocusChange f;
  f.pid = pidOf(node.value("pid"));
  QString cls = node.value("app_id").toString();
  // An X11 program under XWayland has a class, not an app_id.
  if (cls.isEmpty()) cls = node.value("window_properties").toObject().value("class").toString();
  f.windowClass = cls.toStdString();
  return f;
}

// The focused window in sway's tree; nothing focused (a bare workspace) gives pid 0.
bool findFocused(const QJsonObject& node, FocusChange& out) {
  if (node.value("focused").toBool() &&
      (node.contains("app_id") || node.contains("window_properties"))) {
    out = focusOf(node);
    return true;
  }
  for (const char* children : {"nodes", "floating_nodes"})
    for (const QJsonValue& child : node.value(children).toArray())
      if (findFocused(child.toObject(), out)) return true;
  return false;
}

}  // namespace

AtspiFocusWatch::AtspiFocusWatch(std::function<void(const FocusChange&)> onFocus, QObject* parent)
    : QObject(parent), onFocus_(std::move(onFocus)) {}

AtspiFocusWatch::~AtspiFocusWatch() {
  if (enabledByUs_) setEnabled(false);
  if (bus_) QDBusConnection::disconnectFromBus(bus_->name());
}

void AtspiFocusWatch::setEnabled(bool on) {
  QDBusMessage set = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                    "org.freedesktop.DBus.Properties", "Set");
  set << QString("org.a11y.Status") << QString("IsEnabled")
      << QVariant::fromValue(QDBusVariant(on));
  QDBusConnection::sessionBus().call(set, QDBus::Block, 2000);
}

bool AtspiFocusWatch::start() {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return false;
  const QDBusMessage reply = session.call(
      QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"),
      QDBus::Block, 3000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  const QString address = reply.arguments().first().toString();
  if (address.isEmpty()) return false;
  // Programs offer their accessible objects while the desktop says that a tool wants them; the
  // desktop's setting is put back when the monitor ends.
  QDBusMessage get = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                    "org.freedesktop.DBus.Properties", "Get");
  get << QString("org.a11y.Status") << QString("IsEnabled");
  const QDBusMessage was = session.call(get, QDBus::Block, 2000);
  const bool enabled = was.type() == QDBusMessage::ReplyMessage && !was.arguments().isEmpty() &&
                       was.arguments().first().value<QDBusVariant>().variant().toBool();
  if (!enabled) {
    setEnabled(true);
    enabledByUs_ = true;
  }
  bus_ = std::make_unique<QDBusConnection>(
      QDBusConnection::connectToBus(address, QStringLiteral("ks-a11y-focus")));
  if (!bus_->isConnected()) return false;
  bus_->connect(QString(), QString(), kEventObject, "StateChanged", this,
                SLOT(stateChanged(QDBusMessage)));
  bus_->connect(QString(), QString(), kEventWindow, "Activate", this,
                SLOT(windowActivated(QDBusMessage)));
  bus_->connect(QString(), QString(), kEventWindow, "Deactivate", this,
                SLOT(windowDeactivated(QDBusMessage)));
  // Programs send only the events a listener registered for.
  for (const char* event :
       {"object:state-changed:focused", "window:activate", "window:deactivate"}) {
    QDBusMessage reg =
        QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                       "org.a11y.atspi.Registry", "RegisterEvent");
    reg << QString(event);
    bus_->call(reg, QDBus::NoBlock);
  }
  return true;
}

void AtspiFocusWatch::stateChanged(const QDBusMessage& message) {
  const QVariantList args = message.arguments();
  if (args.size() < 2 || args[0].toString() != "focused" || args[1].toInt() != 1) return;
  focused(message.service(), message.path());
}

void AtspiFocusWatch::windowActivated(const QDBusMessage& message) {
  // Another program's window: that program has the focus, in no password field until one of its
  // controls says so. A focus event after this one wins; one before it, whose role is still
  // being asked, keeps its caution.
  askPid(message.service(), [this, seq = sequence_](uint32_t pid) {
    if (seq != sequence_ || pid == current_.pid) return;
    current_ = {pid, rolePending_, {}};
    onFocus_(current_);
  });
}

void AtspiFocusWatch::windowDeactivated(const QDBusMessage& message) {
  // Focus leaves for a program that may not be on the bus: nobody known has it until one says.
  askPid(message.service(), [this, seq = sequence_](uint32_t pid) {
    if (seq != sequence_ || pid != current_.pid) return;
    current_ = {};
    onFocus_(current_);
  });
}

void AtspiFocusWatch::askPid(const QString& sender, std::function<void(uint32_t)> then) {
  QDBusMessage pid =
      QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "GetConnectionUnixProcessID");
  pid << sender;
  auto* w = new QDBusPendingCallWatcher(bus_->asyncCall(pid, 2000), this);
  connect(w, &QDBusPendingCallWatcher::finished, this,
          [then = std::move(then)](QDBusPendingCallWatcher* c) {
            c->deleteLater();
            QDBusPendingReply<uint> reply = *c;
            then(reply.isError() ? 0 : reply.value());
          });
}

void AtspiFocusWatch::focused(const QString& sender, const QString& path) {
  const uint64_t seq = ++sequence_;
  // Until its role is known, a newly focused control might hide what is typed.
  rolePending_ = true;
  current_.password = true;
  onFocus_(current_);
  askPid(sender, [this, seq, sender, path](uint32_t pid) {
    if (seq != sequence_) return;
    QDBusMessage role =
        QDBusMessage::createMethodCall(sender, path, "org.a11y.atspi.Accessible", "GetRole");
    auto* r = new QDBusPendingCallWatcher(bus_->asyncCall(role, 2000), this);
    connect(r, &QDBusPendingCallWatcher::finished, this,
            [this, seq, pid](QDBusPendingCallWatcher* rc) {
              rc->deleteLater();
              if (seq != sequence_) return;
              QDBusPendingReply<uint> roleReply = *rc;
              // A control that does not say its role is taken for a password field.
              const bool password = roleReply.isError() || roleReply.value() == kPasswordTextRole;
              rolePending_ = false;
              current_ = {pid, password, {}};
              onFocus_(current_);
            });
  });
}

SwayFocusWatch::SwayFocusWatch(std::string socketPath,
                               std::function<void(const FocusChange&)> onFocus,
                               std::function<void(int)> onLayout, QObject* parent)
    : QObject(parent),
      socketPath_(std::move(socketPath)),
      onFocus_(std::move(onFocus)),
      onLayout_(std::move(onLayout)) {}

SwayFocusWatch::~SwayFocusWatch() = default;

bool SwayFocusWatch::start() {
  const std::string tree = swayTree(socketPath_);
  if (tree.empty()) return false;
  FocusChange now;
  findFocused(QJsonDocument::fromJson(QByteArray::fromStdString(tree)).object(), now);
  onFocus_(now);
  if (onLayout_) {
    const int group = swayActiveLayout(socketPath_);
    if (group >= 0) onLayout_(group);
  }
  socket_ = new QLocalSocket(this);
  connect(socket_, &QLocalSocket::readyRead, this, &SwayFocusWatch::readEvents);
  socket_->connectToServer(QString::fromStdString(socketPath_));
  if (!socket_->waitForConnected(2000)) return false;
  const QByteArray payload = R"(["window","input"])";
  QByteArray message("i3-ipc");
  const uint32_t header[2] = {static_cast<uint32_t>(payload.size()), 2};  // SUBSCRIBE
  message.append(reinterpret_cast<const char*>(header), sizeof header);
  message.append(payload);
  socket_->write(message);
  return true;
}

void SwayFocusWatch::readEvents() {
  buffer_.append(socket_->readAll());
  constexpr int kHeader = 6 + 8;
  while (buffer_.size() >= kHeader) {
    uint32_t head[2];
    std::memcpy(head, buffer_.constData() + 6, sizeof head);
    if (head[0] > (1u << 22)) {  // not the protocol: stop listening rather than guess
      socket_->abort();
      buffer_.clear();
      return;
    }
    if (buffer_.size() < kHeader + static_cast<qsizetype>(head[0])) return;
    const QJsonObject event =
        QJsonDocument::fromJson(buffer_.mid(kHeader, static_cast<qsizetype>(head[0]))).object();
    buffer_.remove(0, kHeader + static_cast<qsizetype>(head[0]));
    const uint32_t type = head[1] & 0x7fffffffu;
    if (type == 3 && event.value("change").toString() == "focus") {  // a window event
      onFocus_(focusOf(event.value("container").toObject()));
    } else if (type == 0x15 && onLayout_) {  // an input event: the layout may have changed
      const int group = event.value("input").toObject().value("xkb_active_layout_index").toInt(-1);
      if (group >= 0) onLayout_(group);
    }
  }
}

}  // namespace ks
