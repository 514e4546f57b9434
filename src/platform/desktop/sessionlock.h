// Whether the desktop session is locked: logind's "LockedHint" of this session on the system bus,
// and the freedesktop screen saver's active state on the session bus. Without either bus it
// reports nothing; lock screens on X11 also grab the keyboard, which the input source sees.
#pragma once

#include <QObject>
#include <functional>

class QDBusMessage;

namespace ks {

class SessionLockWatch : public QObject {
  Q_OBJECT

 public:
  // `onChange` runs on the event loop with the new state; `onActive` (when given) with logind's
  // "Active": false while another session has the seat. Without logind the session counts as
  // active, and the log says so.
  explicit SessionLockWatch(std::function<void(bool locked)> onChange,
                            std::function<void(bool active)> onActive = {},
                            QObject* parent = nullptr);

 private slots:
  void logindChanged(const QString& interface, const QVariantMap& changed, const QStringList&);
  void screenSaverChanged(bool active);

 private:
  void update();

  void noLogind();

  std::function<void(bool)> onChange_;
  std::function<void(bool)> onActive_;
  bool logindLocked_ = false;
  bool saverActive_ = false;
};

}  // namespace ks
