// The key path fed with key words as the input source reports them, under a fake clock.
#include <gtest/gtest.h>

#include "monitor/spyedapps.h"
#include "monitor/traymain.h"
#include "store/userfolders.h"

namespace ks {
namespace {

struct RecordingHost : TrayHost {
  void SetTrayIcon(int state) override { icon = state; }
  void NotifyCheck(int reason) override { breaks.push_back(reason); }
  bool SettingsShowing() const override { return settings; }
  bool Terminating() const override { return false; }
  int icon = 0;
  bool settings = false;
  std::vector<int> breaks;
};

constexpr uint32_t kOwn = 7, kEditor = 100, kTerminal = 200;

class KeyPath : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    installSpyedAppsFactory();
    keys_.SelectDifficulties(1);
    user_ = NewUser("Ann", {&keys_, &words_});
    user_->WriteBool("AutoIncludeMode", true);
    apps_ = static_cast<TSpyedApps*>(user_->AppList());
    tray_.setUser(user_.get(), apps_);
    tray_.Enabled = true;
    tray_.RegisterNewModule({kTerminal, "xterm", "/usr/bin/", "XTerm"});
    tray_.RegisterNewModule({kEditor, "editor", "/usr/bin/", "Editor"});
  }
  void TearDown() override {
    user_.reset();
    setUserAppListFactory(nullptr);
    UserFolders::TearDown();
  }
  // Letters, Backspace (8) and blanks, 125 ms apart.
  void type(std::string_view text, uint32_t pid, uint32_t extraFlags = 0) {
    for (char c : text) {
      const bool upper = c >= 'A' && c <= 'Z';
      const auto low = static_cast<unsigned char>(upper ? c + 32 : c);
      const uint32_t vk = low >= 'a' && low <= 'z' ? low - 32 : low;
      time_ += 125;
      tray_.CMKeyInfo({vk | (upper ? kwUpper : 0) | extraFlags, low, false, pid, time_});
    }
  }
  int64_t monitored() const { return tray_.Counters.monitoredHits; }

  FakeClock clock_;
  Measures measures_{clock_};
  DifficultKeySets keys_;
  TWordList words_;
  Analyzer analyzer_{measures_, keys_, words_};
  RecordingHost host_;
  TTrayMain tray_{analyzer_, host_, kOwn};
  std::unique_ptr<TUser> user_;
  TSpyedApps* apps_ = nullptr;
  uint32_t time_ = 0xFFFFFF00;  // the server clock wraps during the test
};

TEST_F(KeyPath, CountsEveryKeyAndAnalysesOnlyMonitoredPrograms) {
  type("hello world ", kEditor);
  tray_.CMKeyInfo({37, 0, false, kEditor, time_ += 100});  // Left arrow
  tray_.CMMouseClicked(1, kEditor);
  tray_.CMMouseClicked(2, kEditor);  // the middle button is no click
  type("zqjv", kTerminal);           // excluded by default
  type("zqjv", 0);                   // unattributed: a grab or a locked session
  type("zqjv", 300);                 // never announced

  EXPECT_EQ(tray_.Counters.totalHits, 12 + 1 + 12);
  EXPECT_EQ(monitored(), 12);
  EXPECT_EQ(tray_.Counters.ArrowHits, 1);
  EXPECT_EQ(tray_.Counters.MouseClicks, 1);
  EXPECT_EQ(measures_.Efficiency.Words, 2);
  const TDifficultKeys& k = keys_.MonitorDifficulties;
  EXPECT_EQ(k.figures('l').NewPresses, 3);
  for (char c : std::string("zqjv")) EXPECT_EQ(k.figures(c).NewPresses, 0) << c;
  EXPECT_TRUE(words_.ListWords(0xFFFF, 0).empty());  // the monitor never collects words

  // The counters and key statistics reach the learner's files.
  tray_.SaveCounters(*user_);
  ASSERT_EQ(SaveUser(*user_), 1);
  user_.reset();
  DifficultKeySets reread;
  TWordList rereadWords;
  auto again = OpenUser("Ann", -1, ulWrite, false, {&reread, &rereadWords});
  TTrayMain other(analyzer_, host_, kOwn);
  other.LoadCounters(*again);
  EXPECT_EQ(other.Counters.totalHits, 25);
  EXPECT_EQ(other.Counters.monitoredHits, 12);
  EXPECT_EQ(other.Counters.ArrowHits, 1);
  EXPECT_EQ(other.Counters.MouseClicks, 1);
  EXPECT_GT(reread.MonitorDifficulties.figures('l').Total, 0);
}

TEST_F(KeyPath, WordBreaks) {
  type("aaab ", kEditor);
  EXPECT_TRUE(host_.breaks.empty());
  EXPECT_EQ(host_.icon, 2);
  type("aaaa ", kEditor);  // the fourth "a" in a row breaks the word
  EXPECT_EQ(host_.breaks, std::vector<int>{1});
  host_.breaks.clear();
  type("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefgh", kEditor);  // 60
  EXPECT_TRUE(host_.breaks.empty());
  type("ij ", kEditor);  // every character after the 60th breaks, up to the word end
  EXPECT_EQ(host_.breaks.size(), 3u);
  host_.breaks.clear();
  type("k", kEditor);
  EXPECT_TRUE(host_.breaks.empty());
  tray_.RepeatWarning();
  EXPECT_EQ(host_.icon, 1);
  EXPECT_TRUE(host_.breaks.empty());  // a plain break runs no checks
}

TEST_F(KeyPath, KeysThatAreNeverAnalysed) {
  type("ab", kEditor);
  const int64_t before = monitored();
  type("5", kEditor);                                         // digits
  type("c", kEditor, kwCommand);                              // Ctrl+C
  tray_.CMKeyInfo({222, 0xB4, true, kEditor, time_ += 100});  // dead acute, then "e"
  type("e", kEditor);
  type("d", kOwn);  // the monitor's own window
  EXPECT_EQ(monitored(), before);
  EXPECT_EQ(tray_.Counters.totalHits, 2 + 1 + 1 + 1 + 1);  // the dead key itself is not counted
  host_.settings = true;
  type("f", kEditor);
  EXPECT_EQ(monitored(), before);
  host_.settings = false;
  type("f", kEditor);
  EXPECT_EQ(monitored(), before + 1);
  type("A", kEditor);
  EXPECT_EQ(keys_.MonitorDifficulties.figures('A').NewPresses, 1);
}

TEST_F(KeyPath, ProgramsSeenAreEnteredOnce) {
  const auto visible = [&] {
    int n = 0;
    for (const auto& e : apps_->entries()) n += !e->hidden;
    return n;
  };
  const int count = visible();
  tray_.RegisterNewModule({kEditor + 1, "EDITOR", "/usr/bin/", "Editor"});
  EXPECT_EQ(visible(), count);
  EXPECT_EQ(apps_->findByProcess(kEditor + 1)->name, "EDITOR");
  // A pid seen again in another program moves there.
  tray_.RegisterNewModule({kEditor, "xterm", "/usr/bin/", "XTerm"});
  EXPECT_EQ(apps_->findByProcess(kEditor)->name, "XTERM");
  user_->WriteBool("AutoIncludeMode", false);
  tray_.RegisterNewModule({400, "writer", "/opt/w/", "Writer"});
  EXPECT_EQ(apps_->find("WRITER"), 0);
  EXPECT_EQ(apps_->entry("writer")->description, "Writer");
}

TEST_F(KeyPath, NothingCountsWhileMonitoringIsOff) {
  type("ab", kEditor);
  const MonitorCounters before = tray_.Counters;
  tray_.Enabled = false;  // keys still queued when monitoring went off
  type("zq", kEditor);
  tray_.CMMouseClicked(1, kEditor);
  EXPECT_EQ(tray_.Counters.totalHits, before.totalHits);
  EXPECT_EQ(tray_.Counters.monitoredHits, before.monitoredHits);
  EXPECT_EQ(tray_.Counters.MouseClicks, before.MouseClicks);
  EXPECT_EQ(keys_.MonitorDifficulties.figures('z').NewPresses, 0);
}

TEST_F(KeyPath, TheProgramInFrontIsEnteredInAListOpenedAnew) {
  type("ab", kEditor);
  EXPECT_EQ(monitored(), 2);
  // Off and on again: the learner's list is read anew, without processes. The source does not
  // announce the editor again, as it stayed in front.
  apps_->Save(user_->AppListPath());
  tray_.setUser(nullptr, nullptr);
  SaveUser(*user_);
  user_.reset();
  user_ = OpenUser("Ann", -1, ulWrite, false, {&keys_, &words_});
  apps_ = static_cast<TSpyedApps*>(user_->AppList());
  ASSERT_EQ(apps_->findByProcess(kEditor), nullptr);
  tray_.setUser(user_.get(), apps_);
  type("cd", kEditor);
  EXPECT_EQ(monitored(), 4);
  EXPECT_EQ(apps_->CurrentProcess, kEditor);
}

}  // namespace
}  // namespace ks
