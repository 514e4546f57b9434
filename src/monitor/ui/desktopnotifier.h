// Notifications through the desktop's notification service (org.freedesktop.Notifications) when
// one runs, else through the tray icon's own message. A click on a practice suggestion runs
// the practice action.
#pragma once

#include <QObject>
#include <functional>

#include "monitor/monitorports.h"

class QSystemTrayIcon;

namespace ks {

class DesktopNotifier : public QObject, public Notifier {
  Q_OBJECT

 public:
  // `tray` returns the current tray icon (it may be re-created), or none.
  DesktopNotifier(std::function<QSystemTrayIcon*()> tray, std::function<void()> onPractice,
                  QObject* parent = nullptr);
  void ShowBalloon(const std::string& text, const std::string& title, int timeoutMs,
                   bool practice) override;
  // Whether the desktop's service takes the notifications.
  bool serviceAvailable() const;
  // The tray icon's message was clicked.
  void trayMessageClicked();

 private slots:
  void actionInvoked(uint id, const QString& action);

 private:
  std::function<QSystemTrayIcon*()> tray_;
  std::function<void()> onPractice_;
  uint practiceId_ = 0;        // the desktop's id of the last practice suggestion
  bool trayPractice_ = false;  // the tray's last message was a practice suggestion
};

}  // namespace ks
