#include "monitor/monitornotify.h"

#include <cmath>
#include <cstdio>

#include "store/dynamicsettings.h"
#include "store/langres.h"

namespace ks {
namespace {

// A pause longer than this (about 7 minutes) starts a new stretch of typing.
constexpr double kRestDays = 0.00497;

std::string message(int id) {
  return Localize().GetString(id);
}

std::string hoursMinutes(double days) {
  const int64_t minutes = static_cast<int64_t>(days * 1440.0 + 1e-9);
  char text[32];
  std::snprintf(text, sizeof text, "%2.2d:%2.2d", static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  return text;
}

}  // namespace

void MonitorNotices::loadSettings(TDynamicSettings& user) {
  NotifyWhenDifficulties = user.ReadBool("NotifyWhenDifficulties");
  PagesInterval = user.ReadInteger("PagesTrackBar.position");
  BreakInterval = user.ReadBool("NotifyWhenBreak") ? user.ReadInteger("BreakTrackBar.position") : 0;
}

void MonitorNotices::NotifyCheck(int reason, int64_t monitoredHits) {
  if (!stats_.user()) return;
  stats_.DailySave(1);
  if (BreakInterval > 0) breakRule(clock_.now());
  if (reason == 2 && NotifyWhenDifficulties) practiceRule(monitoredHits);
}

void MonitorNotices::breakRule(double now) {
  if (now - lastActivity_ > kRestDays) stretchStart_ = now;
  if (now - stretchStart_ > BreakInterval / 4.0 / 24.0) {
    std::string text = message(1463);
    const std::string length = hoursMinutes(now - stretchStart_);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, length);
    text += "\r" + message(1464 + random_.next(9));
    notifier_.ShowBalloon(text, message(1473), 30000, false);
    stretchStart_ = now;
  }
  lastActivity_ = now;
}

void MonitorNotices::practiceRule(int64_t monitoredHits) {
  TDynamicSettings& user = *stats_.user();
  const double today = std::floor(clock_.now());
  // Written as 64 bits, so read as 64 bits: a long-running learner passes 2^31.
  if (monitoredHits - user.ReadInt64("LastMonitoredDif") <= int64_t{PagesInterval} * 2000) return;
  if (std::floor(user.ReadFloat("LastNotifyDate")) == today) return;
  user.WriteInt64("LastMonitoredDif", monitoredHits);
  user.WriteFloat("LastNotifyDate", static_cast<float>(today));
  stats_.updateKeyStatistics();
  if (stats_.ProblemIndexNow() > 40) NotifyNow(message(1333));
}

void MonitorNotices::NotifyNow(const std::string& text) {
  notifier_.ShowBalloon(text, message(1287), 15000, true);
}

}  // namespace ks
