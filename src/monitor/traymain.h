// The monitor's key path: counts every key and click, analyses the keys typed in the programs
// the learner chose with the tutor's measures, word analyzer and key statistics, and keeps the
// learner's list of programs up to date. Runs on the main thread; knows nothing of X or Qt.
#pragma once

#include <cstdint>

#include "analysis/analyzer.h"
#include "monitor/monitorports.h"

namespace ks {

class TSpyedApps;
class TUser;

struct MonitorCounters {
  int64_t totalHits = 0;
  int64_t monitoredHits = 0;
  int64_t BackSpaces = 0;
  int64_t ArrowHits = 0;
  int64_t MouseClicks = 0;
};

class TTrayMain {
 public:
  TTrayMain(Analyzer& analyzer, TrayHost& host, uint32_t ownPid);

  // The learner whose list and settings the key path uses; none while disabled. A list opened
  // anew holds no processes: the program in front is entered again, as the input source
  // announces it only when another takes its place.
  void setUser(TUser* user, TSpyedApps* apps);
  bool Enabled = false;
  MonitorCounters Counters;

  // Keys and clicks count only while monitoring is on: ones still queued when it went off are
  // dropped.
  void CMKeyInfo(const KeyStroke& key);
  // Button 1 or 3 pressed (others are ignored).
  void CMMouseClicked(int button, uint32_t pid);
  void RegisterNewModule(const ProgramSeen& program);
  // The source saw an auto-repeated key.
  void RepeatWarning() { WordBreak(0); }
  // 0 plain, 1 with the break check, 2 with the break and difficulty checks (idle).
  void WordBreak(int reason);

  // The five counters from and into the learner's store.
  void LoadCounters(TUser& user);
  void SaveCounters(TUser& user) const;

 private:
  void CountCommandKey(uint32_t vk);
  void CharTyped(unsigned char ch, uint32_t pid, uint32_t time);
  void AnalyzeChar(unsigned char ch, int intervalMs);

  Analyzer& analyzer_;
  TrayHost& host_;
  uint32_t ownPid_;
  TUser* user_ = nullptr;
  TSpyedApps* apps_ = nullptr;
  uint32_t lastKeyTime_ = 0;  // 0 = none
  bool hasLastKey_ = false;
  unsigned char lastChar_ = 0;
  int repeatCount_ = 0;
  int wordLength_ = 0;
  bool deadPending_ = false;
  ProgramSeen lastSeen_;  // the last program announced, list or none
};

}  // namespace ks
