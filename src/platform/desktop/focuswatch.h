// Which program has the keyboard focus where the display server tells no other client (Wayland),
// and whether the focus is in a password field (on every desktop): the accessibility bus that
// desktops run for screen readers, and the IPC of sway and other wlroots compositors.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QDBusConnection;
class QDBusMessage;
class QLocalSocket;

namespace ks {

struct FocusChange {
  uint32_t pid = 0;         // 0: no program known to have the focus
  bool password = false;    // the focused control hides what is typed
  std::string windowClass;  // the compositor's app_id, when it says
};

// Focus events of the accessibility bus (AT-SPI): the application of the focused accessible,
// its pid from the bus's credentials, and its role.
class AtspiFocusWatch : public QObject {
  Q_OBJECT

 public:
  explicit AtspiFocusWatch(std::function<void(const FocusChange&)> onFocus,
                           QObject* parent = nullptr);
  ~AtspiFocusWatch() override;
  // Connects to the session's accessibility bus and asks its programs for focus events; false
  // when the desktop runs none.
  bool start();

 private slots:
  void stateChanged(const QDBusMessage& message);
  void windowActivated(const QDBusMessage& message);
  void windowDeactivated(const QDBusMessage& message);

 private:
  // Tells the desktop's programs whether a tool wants their accessible objects.
  static void setEnabled(bool on);
  // The control at `path` of program `sender` took the focus: asks the program's pid and the
  // control's role, then reports; a later focus event wins.
  void focused(const QString& sender, const QString& path);
  // Asks the bus for the pid of `sender`; `then` gets 0 when it does not say.
  void askPid(const QString& sender, std::function<void(uint32_t)> then);

  std::function<void(const FocusChange&)> onFocus_;
  std::unique_ptr<QDBusConnection> bus_;
  FocusChange current_;
  uint64_t sequence_ = 0;
  bool rolePending_ = false;  // a focused control's role is still being asked
  bool enabledByUs_ = false;
};

// The focused window of a sway (i3 IPC) compositor: its pid and app_id, at start and from each
// window event; and its keyboards' active layout, from each input event.
class SwayFocusWatch : public QObject {
  Q_OBJECT

 public:
  SwayFocusWatch(std::string socketPath, std::function<void(const FocusChange&)> onFocus,
                 std::function<void(int group)> onLayout, QObject* parent = nullptr);
  ~SwayFocusWatch() override;
  // False when the compositor cannot be reached.
  bool start();

 private:
  void readEvents();

  std::string socketPath_;
  std::function<void(const FocusChange&)> onFocus_;
  std::function<void(int)> onLayout_;
  QLocalSocket* socket_ = nullptr;
  QByteArray buffer_;
};

}  // namespace ks
