// The two notifications of the monitor: a reminder to take a break after a long stretch of
// typing, and a suggestion to practise when the monitored typing shows troublesome keys.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/monitorports.h"
#include "monitor/monitorstats.h"
#include "platform/random.h"

namespace ks {

class MonitorNotices {
 public:
  MonitorNotices(MonitorStats& stats, const Clock& clock, Random& random, Notifier& notifier)
      : stats_(stats), clock_(clock), random_(random), notifier_(notifier) {
    lastActivity_ = stretchStart_ = clock.now();
  }

  // The learner's choices: "NotifyWhenDifficulties", "PagesTrackBar.position" and, when
  // "NotifyWhenBreak" is on, "BreakTrackBar.position".
  void loadSettings(TDynamicSettings& user);
  bool NotifyWhenDifficulties = false;
  int32_t PagesInterval = 0;  // in 2000 analysed keystrokes
  int32_t BreakInterval = 0;  // in quarter hours; 0 = no reminders

  // After a word break: 1 a plain one, 2 the end of a burst (only then the practice rule).
  // Also files the day's figures when the day changed.
  void NotifyCheck(int reason, int64_t monitoredHits);
  void NotifyNow(const std::string& text);

 private:
  void breakRule(double now);
  void practiceRule(int64_t monitoredHits);

  MonitorStats& stats_;
  const Clock& clock_;
  Random& random_;
  Notifier& notifier_;
  double lastActivity_;
  double stretchStart_;
};

}  // namespace ks
