// An orderly end when the session ends or the program is told to stop (SIGTERM, SIGHUP, SIGINT):
// the signal only writes to a pipe; the event loop then calls the program's handler, which saves.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ks {

class TerminationWatch : public QObject {
  Q_OBJECT

 public:
  // `onTerminate` runs once, on the event loop, for the first signal or session end.
  explicit TerminationWatch(std::function<void()> onTerminate, QObject* parent = nullptr);
  ~TerminationWatch() override;

 private:
  void fire();

  std::function<void()> onTerminate_;
  QSocketNotifier* notifier_ = nullptr;
  bool fired_ = false;
};

}  // namespace ks
