// A stand-in for the programs' stores, run as its own process by the tests of interrupted saves,
// full disks and shared data folders: it saves and opens learners through the programs' own code
// (the learner store, the study learner the tutor stores results through, the monitor session).
//
//   storedriver save ROOT FIRST LAST [GROW]
//                                       saves generations FIRST..LAST of the large learner "Big"
//                                       (GROW more bytes each), printing "saved N" after each;
//                                       "failed N" and status 3 when one could not be saved
//   storedriver check ROOT              "usr=N dta=N set=N tt=N": the generation each file of
//                                       "Big" holds whole, then "left behind: NAME" for each
//                                       journal; status 1 when one does not read whole or a
//                                       damaged copy was kept
//   storedriver tutor ROOT SECONDS LOG  logs learners on and stores results, as a tutor
//   storedriver monitor ROOT SECONDS    logs learners on and off, as the monitor
//   storedriver rewrite FILE LETTER     replaces FILE by as many LETTERs as it holds, by the
//                                       whole-file write; "rewritten", or "failed CAUSE" and
//                                       status 3
// ROOT holds "Policy.dyn" and the data folder "Database"; KEYSCHOLAR_WORKSTATION names the
// workstation. A tutor appends "<learner> <result name>" to LOG for every result it stored.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>

#include "analysis/analyzer.h"
#include "analysis/measures.h"
#include "content/studylearner.h"
#include "monitor/monitornotify.h"
#include "monitor/monitorsession.h"
#include "monitor/monitorstats.h"
#include "monitor/spyedapps.h"
#include "monitor/traymain.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/sharedfile.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "store/userindex.h"
#include "store/usernames.h"
#include "text/numbers.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

// The large learner: the sizes a learner reaches after years of use.
constexpr int kPads = 40;
constexpr int kResults = 400;
constexpr int kMarkedWords = 300;
constexpr int kApps = 60;
constexpr int kTypedResult = 1;

// Generations alternate between long and short values, so that a mix of two would show.
std::string padOf(int generation) {
  return std::string(generation % 2 == 0 ? 2000 : 20, static_cast<char>('a' + generation % 26));
}
std::string mark(int generation, int i) {
  return "G" + intToStr(generation) + "-" + intToStr(i) + (generation % 2 == 0 ? "-long" : "");
}

void fill(TUser& user, int generation) {
  user.WriteInteger("Generation", generation);
  for (int i = 0; i < kPads; ++i) user.WriteString("Pad" + intToStr(i), padOf(generation));
  TResults& results = user.Results();
  for (int i = static_cast<int>(results.Items().size()); i < kResults; ++i) {
    TResultItem r;
    r.Source = "NAME";
    r.Name = "Text " + intToStr(i);
    r.Kind = "TEST";
    r.Checked = true;
    r.Date = 45292.5 + i;
    r.GrossSpeed = 200 + i;
    results.AddResult(r);
  }
  TWordList& words = user.Words();
  for (int i = 1; i <= kMarkedWords; ++i) {
    if (words.Find(mark(generation - 1, i)) > 0) {
      words.RenameWord(mark(generation - 1, i), mark(generation, i), wsTutor);
    } else if (words.Find(mark(generation, i)) == 0) {
      words.AddOccurrence(mark(generation, i), 50, wsTutor, true);
    }
  }
  user.Difficulties().LessonDifficulties.recordKey('a' + generation % 26, generation % 3 == 0);
  if (auto* apps = static_cast<TSpyedApps*>(user.AppList())) {
    for (int i = 0; i < kApps; ++i) {
      const std::string name = "PROGRAM" + intToStr(i);
      if (!apps->entry(name)) apps->add(false, name, false, "/usr/bin/", "");
      apps->entry(name)->description = mark(generation, i);
    }
  }
}

bool saveAll(TUser& user, int generation) {
  TTypedTexts typed;
  const int lines = generation % 2 == 0 ? 60 : 3;
  for (int i = 0; i < lines; ++i) typed.Add(mark(generation, i), "typed " + intToStr(i));
  bool ok = SaveUser(user) == 1;
  if (user.AppList()) ok = user.AppList()->Save(user.AppListPath()) && ok;
  return typed.Save(user.TypedTextPath(kTypedResult).string()) == 1 && ok;
}

int save(int first, int last, size_t grow) {
  auto user = OpenUser("Big", -1, ulWrite, false);
  for (int g = first; g <= last; ++g) {
    fill(*user, g);
    // A growing learner fills a disk sooner or later.
    if (grow > 0) user->WriteString("Grown" + intToStr(g), std::string(grow, 'g'));
    if (!saveAll(*user, g)) {
      std::cout << "failed " << g << std::endl;
      return 3;
    }
    std::cout << "saved " << g << std::endl;
  }
  return 0;
}

// Reads a mark back: false when `m` is none.
bool readMark(const std::string& m, int& generation, int& index) {
  const size_t dash = m.find('-');
  if (m.empty() || m[0] != 'G' || dash == std::string::npos) return false;
  const size_t end = m.find('-', dash + 1);
  generation = strToIntDef(m.substr(1, dash - 1), -1);
  index = strToIntDef(m.substr(dash + 1, end == std::string::npos ? end : end - dash - 1), -1);
  return generation >= 0 && m == mark(generation, index);
}

// The one generation the marks of indexes `from`..`to` hold, or -1 when one is missing or they
// hold several.
int oneGeneration(const std::vector<std::string>& marks, int from, int to) {
  std::map<int, int> found;
  for (const std::string& m : marks) {
    int g = 0, i = 0;
    if (readMark(m, g, i)) found[i] = g;
  }
  if (found.empty() || static_cast<int>(found.size()) != to - from + 1) return -1;
  const int g = found.begin()->second;
  for (const auto& [i, gi] : found) {
    if (i < from || i > to || gi != g) return -1;
  }
  return g;
}

int check(const fs::path& data) {
  std::unique_ptr<TUser> user;
  try {
    user = OpenUser("Big", -1, ulWrite, false);
  } catch (const std::exception& e) {
    std::cout << "does not open: " << e.what() << std::endl;
    return 1;
  }
  int usr = user->ReadInteger("Generation");
  for (int i = 0; i < kPads; ++i) {
    if (user->ReadString("Pad" + intToStr(i)) != padOf(usr)) usr = -1;
  }
  std::vector<std::string> marks;
  for (int e = 1; e <= TWordList::Capacity; ++e) marks.push_back(user->Words().Entry(e).Word);
  const int dta = oneGeneration(marks, 1, kMarkedWords);
  marks.clear();
  if (auto* apps = static_cast<TSpyedApps*>(user->AppList())) {
    for (const auto& e : apps->entries()) marks.push_back(e->description);
  }
  const int set = oneGeneration(marks, 0, kApps - 1);
  TTypedTexts typed;
  marks.clear();
  if (typed.Load(user->TypedTextPath(kTypedResult).string()) == 1) {
    for (const auto& p : typed.Pairs()) marks.push_back(p.Target);
  }
  int tt = oneGeneration(marks, 0, static_cast<int>(marks.size()) - 1);
  if (tt >= 0 && typed.Count() != (tt % 2 == 0 ? 60 : 3)) tt = -1;
  std::cout << "usr=" << usr << " dta=" << dta << " set=" << set << " tt=" << tt << std::endl;
  // Journals of saves still to be finished (after a kill) are named; damaged copies fail.
  bool damaged = false;
  for (const auto& entry : fs::directory_iterator(data)) {
    const std::string name = entry.path().filename().string();
    if (name.find("journal") != std::string::npos) std::cout << "left behind: " << name << "\n";
    if (name.find("damaged") != std::string::npos) damaged = true;
  }
  std::string log;
  if (readWholeFile(data / "Errors.log", log) && !log.empty() && !log.ends_with("\r\n"))
    std::cout << "left behind: half an entry in Errors.log\n";
  return usr >= 0 && dta >= 0 && set >= 0 && tt >= 0 && !damaged ? 0 : 1;
}

// Marks a learner as held for writing by this process: a second writer at the same time finds
// the mark and says so.
class WriterMark {
 public:
  WriterMark(const fs::path& root, const std::string& name) : path_(root / ("writer-" + name)) {
    const int fd = ::open(path_.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd < 0) {
      std::cerr << "two writers on " << name << std::endl;
      std::_Exit(2);
    }
    ::close(fd);
  }
  ~WriterMark() { ::unlink(path_.c_str()); }

 private:
  fs::path path_;
};

const char* const kLearners[] = {"Ann", "Bob", "Cid"};

using Clock = std::chrono::steady_clock;

// Logs learners on, stores a result and its typed text for each, and saves, as the tutor does at
// the end of a test; every stored result goes to `log`.
int tutor(const fs::path& root, double seconds, const std::string& log) {
  const std::string station = WorkstationName();
  if (!OpenWorkstationSettings(ProgramSettings->dataPath(), station + ".wks", omDenyWrite))
    return 1;
  std::ofstream out(log, std::ios::app);
  std::mt19937 random(static_cast<unsigned>(::getpid()));
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  int stored = 0, busy = 0;
  for (int seq = 0; Clock::now() < end; ++seq) {
    UserNames(-1);  // the login list
    const std::string name = kLearners[random() % 3];
    std::unique_ptr<TUser> user;
    try {
      user = OpenUser(name, -1, ulWrite, false);
    } catch (const UserOpenError&) {
      ++busy;  // another program has the learner: the login says so, the learner tries again
      ::usleep(1000 + random() % 4000);
      continue;
    }
    {
      WriterMark held(root, name);
      workstationSettings->WriteString("SelectedUser." + LoginName(), name);
      workstationSettings->Flush();
      UserLearner learner(*user);
      TResultItem r;
      r.Source = "NAME";
      r.Name = station + "-" + intToStr(seq);
      r.Kind = "TEST";
      r.Checked = true;
      r.Date = 45292.5;
      r.GrossSpeed = 100 + seq % 200;
      const int number = learner.NextResultNumber();
      learner.AddResult(r);
      learner.StoreTypedTexts(number, {{"target text", "typed text"}});
      if (SaveUser(*user) != 1) {
        std::cerr << "save failed for " << name << std::endl;
        return 1;
      }
    }
    user.reset();
    out << name << " " << station << "-" << seq << std::endl;
    ++stored;
  }
  std::cout << station << ": " << stored << " results stored, " << busy << " times busy"
            << std::endl;
  return stored > 0 ? 0 : 1;
}

// The monitor's windows and tray, with nobody to look at them.
class QuietTray final : public TrayHost, public LogonWindows, public Notifier {
 public:
  void SetTrayIcon(int) override {}
  void NotifyCheck(int) override {}
  bool SettingsShowing() const override { return false; }
  bool Terminating() const override { return false; }
  LoginChoice RunLogin(bool, const std::string&, const UserOpener&) override { return {}; }
  void CancelModals() override {}
  InfoPlacement InfoWindow() const override { return {}; }
  void ShowInfoWindow(const InfoPlacement&) override {}
  void StateChanged() override {}
  void Terminate() override {}
  void ShowBalloon(const std::string&, const std::string&, int, bool) override {}
};

// Logs learners on and off through the monitor's session, which saves their counters, list of
// programs and statistics each time.
int monitor(const fs::path& root, double seconds) {
  // Its own workstation, set up for this account as the tutor sets it up.
  if (!OpenWorkstationSettings(ProgramSettings->dataPath(), WorkstationName() + ".wks",
                               omDenyWrite))
    return 1;
  workstationSettings->WriteBool("SidewatchInit." + LoginName(), true);
  const FakeClock clock;
  Measures measures(clock);
  DifficultKeySets keys(TDifficultKeys::Variant::Monitor);
  TWordList words;
  Analyzer analyzer(measures, keys, words);
  QuietTray host;
  TTrayMain tray(analyzer, host, static_cast<uint32_t>(::getpid()));
  SeededRandom chance;
  MonitorStats stats(measures, keys, clock);
  MonitorNotices notices(stats, clock, chance, host);
  MonitorSession session({tray, host, host, stats, notices, keys, words}, false);
  std::mt19937 random(static_cast<unsigned>(::getpid()));
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  int sessions = 0, busy = 0;
  while (Clock::now() < end) {
    const std::string name = kLearners[random() % 3];
    session.EnableNow(name);
    if (!session.user()) {
      ++busy;
      ::usleep(1000 + random() % 4000);
      continue;
    }
    {
      WriterMark held(root, name);
      tray.Counters.totalHits += 10;
      ::usleep(random() % 3000);
      session.DisableNow("");
    }
    ++sessions;
  }
  std::cout << "monitor: " << sessions << " sessions, " << busy << " times busy" << std::endl;
  return sessions > 0 ? 0 : 1;
}

int rewrite(const fs::path& file, char letter) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return 64;
  SharedFile f = SharedFile::open(file, FileAccess::ReadWrite, FileShare{true, false}, false);
  if (f.isOpen() && f.writeWhole(std::string(size, letter))) {
    std::cout << "rewritten" << std::endl;
    return 0;
  }
  std::cout << "failed " << takeWriteFailure() << std::endl;
  return 3;
}

}  // namespace
}  // namespace ks

int main(int argc, char** argv) {
  using namespace ks;
  if (argc < 3) return 64;
  const std::string command = argv[1];
  const fs::path root = argv[2];
  if (command == "rewrite" && argc == 4) return rewrite(root, argv[3][0]);
  // The texts the store shows, and the letters a learner's name keeps.
  Localize().SetString(1, "Keyscholar");
  Localize().SetString(12, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
  Localize().SetString(528, "Already logged in.");
  ProgramSettings = std::make_unique<TProgramSettings>(root);
  OpenPolicySettings("Policy.dyn", root);
  installSpyedAppsFactory();
  int status = 64;
  if (command == "save" && argc >= 5)
    status = save(std::atoi(argv[3]), std::atoi(argv[4]), argc > 5 ? std::atoi(argv[5]) : 0);
  if (command == "check") status = check(ProgramSettings->dataPath());
  if (command == "tutor" && argc == 5) status = tutor(root, std::atof(argv[3]), argv[4]);
  if (command == "monitor" && argc == 4) status = monitor(root, std::atof(argv[3]));
  workstationSettings.reset();
  PolicySettings.reset();
  ProgramSettings.reset();
  return status;
}
