#include "monitorview/ui/monitorcontrol.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "monitor/ui/monitorcontrol.h"
#include "monitor/ui/watchproblem.h"
#include "platform/desktop/peerlink.h"
#include "platform/x11/x11systemkeyboard.h"
#include "store/langres.h"

namespace ks {
namespace {

MonitorRemote* installed = nullptr;

}  // namespace

bool MonitorRemote::Running() {
  return TapwatchControl::isRunning();
}

bool MonitorRemote::Start() {
  if (Running()) return true;
  if (!TapwatchControl::start() || !Running()) return false;
  // The monitor keeps quiet while the tutor runs; the tutor's end lets it watch again.
  PeerLink::post("tapwatch", "QSSidewatch1999.DISABLE", 0, 5000);
  return true;
}

bool MonitorRemote::Stop() {
  return TapwatchControl::stop();
}

std::filesystem::path MonitorRemote::Program() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "tapwatch";
}

std::string MonitorRemote::WhyNotHere() {
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && QGuiApplication::platformName() == "xcb")
    return {};
  if (waylandSession()) return waylandWatchProblem();
  return Localize().GetString(2224);  // no desktop the monitor knows
}

MonitorRemote& monitorControl() {
  static MonitorRemote real;
  return installed ? *installed : real;
}

void setMonitorControl(MonitorRemote* control) {
  installed = control;
}

}  // namespace ks
