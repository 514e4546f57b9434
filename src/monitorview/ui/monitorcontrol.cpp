#include "monitorview/ui/monitorcontrol.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "monitor/ui/monitorcontrol.h"
#include "platform/desktop/peerlink.h"

namespace ks {
namespace {

MonitorControl* installed = nullptr;

}  // namespace

bool MonitorControl::Running() {
  return TapwatchControl::isRunning();
}

bool MonitorControl::Start() {
  if (Running()) return true;
  if (!TapwatchControl::start() || !Running()) return false;
  // The monitor keeps quiet while the tutor runs; the tutor's end lets it watch again.
  PeerLink::post("tapwatch", "QSSidewatch1999.DISABLE", 0, 5000);
  return true;
}

bool MonitorControl::Stop() {
  return TapwatchControl::stop();
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
