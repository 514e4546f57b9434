#include "platform/desktop/sessionlock.h"

#include <unistd.h>

#include <cstdio>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

namespace ks {

namespace {
const QString kLogin = "org.freedesktop.login1";
const QString kSessionIface = "org.freedesktop.login1.Session";
const QString kProps = "org.freedesktop.DBus.Properties";
}  // namespace

SessionLockWatch::SessionLockWatch(std::function<void(bool)> onChange,
                                   std::function<void(bool)> onActive, QObject* parent)
    : QObject(parent), onChange_(std::move(onChange)), onActive_(std::move(onActive)) {
  QDBusConnection system = QDBusConnection::systemBus();
  if (system.isConnected()) {
    // Asynchronous throughout: a bus that does not answer must not hold up the start.
    QDBusMessage call = QDBusMessage::createMethodCall(
        kLogin, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "GetSessionByPID");
    call << static_cast<uint>(getpid());
    auto* watcher = new QDBusPendingCallWatcher(system.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
      w->deleteLater();
      QDBusPendingReply<QDBusObjectPath> reply = *w;
      if (reply.isError()) return noLogind();
      const QString path = reply.value().path();
      QDBusConnection bus = QDBusConnection::systemBus();
      bus.connect(kLogin, path, kProps, "PropertiesChanged", this,
                  SLOT(logindChanged(QString, QVariantMap, QStringList)));
      QDBusMessage get = QDBusMessage::createMethodCall(kLogin, path, kProps, "Get");
      get << kSessionIface << QString("LockedHint");
      auto* getWatcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
      connect(getWatcher, &QDBusPendingCallWatcher::finished, this,
              [this](QDBusPendingCallWatcher* g) {
                g->deleteLater();
                QDBusPendingReply<QVariant> value = *g;
                if (value.isError()) return;
                logindLocked_ = value.value().toBool();
                update();
              });
      if (!onActive_) return;
      QDBusMessage active = QDBusMessage::createMethodCall(kLogin, path, kProps, "Get");
      active << kSessionIface << QString("Active");
      auto* activeWatcher = new QDBusPendingCallWatcher(bus.asyncCall(active), this);
      connect(activeWatcher, &QDBusPendingCallWatcher::finished, this,
              [this](QDBusPendingCallWatcher* a) {
                a->deleteLater();
                QDBusPendingReply<QVariant> value = *a;
                if (!value.isError()) onActive_(value.value().toBool());
              });
    });
  } else {
    noLogind();
  }
  QDBusConnection session = QDBusConnection::sessionBus();
  if (session.isConnected()) {
    session.connect("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                    "org.freedesktop.ScreenSaver", "ActiveChanged", this,
                    SLOT(screenSaverChanged(bool)));
  }
}

void SessionLockWatch::logindChanged(const QString& interface, const QVariantMap& changed,
                                     const QStringList&) {
  if (interface != kSessionIface) return;
  if (onActive_ && changed.contains("Active")) onActive_(changed.value("Active").toBool());
  if (!changed.contains("LockedHint")) return;
  logindLocked_ = changed.value("LockedHint").toBool();
  update();
}

void SessionLockWatch::screenSaverChanged(bool active) {
  saverActive_ = active;
  update();
}

void SessionLockWatch::noLogind() {
  if (onActive_)
    std::fprintf(stderr, "%s: no logind session: every key on this seat counts as this session's\n",
                 qPrintable(QCoreApplication::applicationName()));
}

void SessionLockWatch::update() {
  onChange_(logindLocked_ || saverActive_);
}

}  // namespace ks
