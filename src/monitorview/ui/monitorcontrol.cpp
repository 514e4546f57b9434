#include "monitorview/ui/monitorcontrol.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <functional>

#include "platform/desktop/peerlink.h"
#include "platform/dialogs.h"
#include "platform/instancelock.h"
#include "store/langres.h"

namespace ks {
namespace {

constexpr const char* kMonitorLock = "QSTapwardenMutex";
constexpr int kWaitMs = 8640;

MonitorControl* installed = nullptr;

// Polls `done` while the tutor keeps handling its events; false when time ran out.
bool waitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

void box(int id) {
  dialogs().messageBox(Localize().GetString(id), Localize().GetStringDefault(1),
                       BoxKind::Information);
}

}  // namespace

bool MonitorControl::Running() {
  return InstanceLock::isHeld(kMonitorLock);
}

bool MonitorControl::Start() {
  if (Running()) return true;
  const QString program = QString::fromStdString(Program().string());
  if (!QProcess::startDetached(program, {"/AUTOLOGON"},
                               QString::fromStdString(Program().parent_path().string()))) {
    box(477);
    return false;
  }
  if (waitFor([this] { return Running(); })) {
    // The monitor keeps quiet while the tutor runs; the tutor's end lets it watch again.
    PeerLink::post("tapwatch", "QSSidewatch1999.DISABLE", 0, 5000);
    return true;
  }
  box(478);
  return false;
}

bool MonitorControl::Stop() {
  if (!Running()) return true;
  PeerLink::post("tapwatch", "WM_CLOSE", 0, 3000);
  if (waitFor([this] { return !Running(); })) return true;
  box(461);
  return false;
}

std::filesystem::path MonitorControl::Program() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "tapwatch";
}

bool MonitorControl::CanWatchHere() {
  return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && QGuiApplication::platformName() == "xcb";
}

MonitorControl& monitorControl() {
  static MonitorControl real;
  return installed ? *installed : real;
}

void setMonitorControl(MonitorControl* control) {
  installed = control;
}

}  // namespace ks
