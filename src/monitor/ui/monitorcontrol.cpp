#include "monitor/ui/monitorcontrol.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <functional>

#include "platform/desktop/peerlink.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "platform/system.h"
#include "store/langres.h"

namespace ks {
namespace {

constexpr const char* kMonitorLock = "QSTapwardenMutex";
// A tenth of a thousandth of a day.
constexpr int kWaitMs = 8640;

// Lets the program's windows work until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer poll;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done() || clock.elapsed() >= kWaitMs) loop.quit();
  });
  poll.start(100);
  if (!done()) loop.exec();
  return done();
}

void box(int id, BoxKind kind) {
  dialogs().messageBox(Localize().GetString(id), Localize().GetString(1), kind);
}

}  // namespace

bool TapwatchControl::isRunning() {
  return InstanceLock::isHeld(kMonitorLock);
}

bool TapwatchControl::start() {
  const auto dir = programFilePath().parent_path();
  if (!QProcess::startDetached(QString::fromStdString((dir / "tapwatch").string()), {"/AUTOLOGON"},
                               QString::fromStdString(dir.string()))) {
    box(477, BoxKind::Error);
    return false;
  }
  if (!waitFor(isRunning)) box(478, BoxKind::Warning);
  return true;
}

bool TapwatchControl::stop() {
  if (!isRunning()) return true;
  PeerLink::post("tapwatch", "WM_CLOSE", 0, kWaitMs);
  if (waitFor([] { return !isRunning(); })) return true;
  box(461, BoxKind::Error);
  return false;
}

}  // namespace ks
