#include "monitor/traymain.h"

#include "monitor/spyedapps.h"
#include "store/user.h"
#include "text/textutil.h"

namespace ks {

TTrayMain::TTrayMain(Analyzer& analyzer, TrayHost& host, uint32_t ownPid)
    : analyzer_(analyzer), host_(host), ownPid_(ownPid) {
  // The monitor never collects words: only counts and key statistics are kept.
  Analyzer_SetSource(analyzer_, 100);
}

void TTrayMain::setUser(TUser* user, TSpyedApps* apps) {
  user_ = user;
  apps_ = apps;
  if (apps_ && lastSeen_.pid) RegisterNewModule(lastSeen_);
}

void TTrayMain::CMKeyInfo(const KeyStroke& key) {
  if (!Enabled) return;
  const uint32_t vk = key.keyWord & ~kwFlags;
  if (key.pid != ownPid_ && apps_) apps_->CurrentProcess = key.pid;
  if (key.keyWord & (kwCommand | kwCommand2)) {
    CountCommandKey(vk);
    return;
  }
  unsigned char ch = key.ch;
  // A dead key is swallowed with the key after it: that key counts as a command key.
  bool dead = key.dead;
  if (deadPending_) {
    ch = 0;
    dead = false;
    deadPending_ = false;
  } else if (dead) {
    deadPending_ = true;
  }
  if (dead) return;
  if (ch == 0 || (ch >= '0' && ch <= '9')) {
    CountCommandKey(vk);
    return;
  }
  ch = (key.keyWord & kwUpper) ? upperChar(ch) : lowerChar(ch);
  CharTyped(ch, key.pid, key.timeMs);
}

void TTrayMain::CountCommandKey(uint32_t vk) {
  ++Counters.totalHits;
  if (vk >= 37 && vk <= 40) ++Counters.ArrowHits;
  WordBreak(1);
}

void TTrayMain::CharTyped(unsigned char ch, uint32_t pid, uint32_t time) {
  ++Counters.totalHits;
  if (host_.SettingsShowing()) {
    WordBreak(1);
    return;
  }
  if (pid == 0) WordBreak(1);
  if (apps_ && pid != apps_->CurrentProcess) WordBreak(1);
  const TAppSettings* app = apps_ ? apps_->findByProcess(pid) : nullptr;
  if (!app || !app->monitored) return;
  host_.SetTrayIcon(2);
  // Modular: the server's millisecond clock wraps every 49.7 days.
  const uint32_t interval = hasLastKey_ ? time - lastKeyTime_ : 0;
  if (ch == 8) ++Counters.BackSpaces;
  host_.AnalysedKey(time);
  AnalyzeChar(ch, interval > 0x7fffffffU ? 0 : static_cast<int>(interval));
  hasLastKey_ = true;
  lastKeyTime_ = time;
}

void TTrayMain::AnalyzeChar(unsigned char ch, int intervalMs) {
  ++Counters.monitoredHits;
  if (ch == lastChar_) {
    if (++repeatCount_ > 2) WordBreak(1);
  } else {
    lastChar_ = ch;
    repeatCount_ = 0;
  }
  if (wordLength_ >= 60) {
    WordBreak(1);
  } else {
    ++wordLength_;
  }
  // The analyzer counts in 1/100000000 day.
  const int interval = static_cast<int>(static_cast<int64_t>(intervalMs) * 1000 / 864);
  if (Analyzer_CharPressed(analyzer_, ch, interval, false)) {
    Analyzer_EndWord(analyzer_, "", analyzer_.CurrentWord.Text);
    wordLength_ = 0;
  }
}

void TTrayMain::WordBreak(int reason) {
  if (Enabled) host_.SetTrayIcon(1);
  if (reason > 0 && !host_.Terminating()) host_.NotifyCheck(reason);
  Analyzer_Cancel(analyzer_);
  hasLastKey_ = false;
  PauseMeasures(analyzer_.measures());
  host_.WordEnded();
}

void TTrayMain::CMMouseClicked(int button, uint32_t pid) {
  if (!Enabled || (button != 1 && button != 3)) return;
  ++Counters.MouseClicks;
  WordBreak(1);
  if (!apps_) return;
  const TAppSettings* app = apps_->findByProcess(pid);
  if (app && !app->hidden) apps_->CurrentProcess = pid;
}

void TTrayMain::RegisterNewModule(const ProgramSeen& program) {
  if (&program != &lastSeen_) lastSeen_ = program;
  if (!apps_) return;
  apps_->CurrentProcess = program.pid;
  if (TAppSettings* holder = apps_->findByProcess(program.pid))
    TSpyedApps::clearProcess(*holder, program.pid);
  if (apps_->find(program.name) >= 0) {
    apps_->setPID(program.pid, program.name);
  } else if (user_ && !program.name.empty()) {
    apps_->add(user_->ReadBool("AutoIncludeMode"), program.name, false, program.folder,
               program.description);
    apps_->setPID(program.pid, program.name);
  }
}

void TTrayMain::LoadCounters(TUser& user) {
  Counters.totalHits = user.ReadInt64("totalHits");
  Counters.monitoredHits = user.ReadInt64("monitoredHits");
  Counters.ArrowHits = user.ReadInt64("ArrowHits");
  Counters.BackSpaces = user.ReadInt64("BackSpaces");
  Counters.MouseClicks = user.ReadInt64("MouseClicks");
}

void TTrayMain::SaveCounters(TUser& user) const {
  user.WriteInt64("totalHits", Counters.totalHits);
  user.WriteInt64("monitoredHits", Counters.monitoredHits);
  user.WriteInt64("ArrowHits", Counters.ArrowHits);
  user.WriteInt64("BackSpaces", Counters.BackSpaces);
  user.WriteInt64("MouseClicks", Counters.MouseClicks);
}

}  // namespace ks
