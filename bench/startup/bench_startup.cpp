// Start-up of the tutor, timed from outside: from starting the process to its first page painted
// and ready (the login page, or the main page for a learner handed over by the monitor), on a
// fresh home folder ("cold") and on one used before ("warm"), against a bare Qt window measured
// the same way. Each program reports through its ready probe and ends; the resident size it
// reports is given as rss_MiB. Needs an X server (DISPLAY).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A home folder of its own, removed at the end.
struct Home {
  fs::path dir;
  Home() {
    std::string tmpl = (fs::temp_directory_path() / "ks_startup_XXXXXX").string();
    dir = mkdtemp(tmpl.data());
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all);
  }
  ~Home() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path data() const { return dir / "data" / "Keyscholar8"; }
  std::vector<std::string> env() const {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string v = *e;
      if (v.rfind("HOME=", 0) == 0 || v.rfind("XDG_", 0) == 0) continue;
      out.push_back(v);
    }
    for (std::string v : {"HOME=" + dir.string(), "XDG_DATA_HOME=" + (dir / "data").string(),
                          "XDG_CONFIG_HOME=" + (dir / "config").string(),
                          "XDG_RUNTIME_DIR=" + (dir / "run").string(),
                          "XDG_CACHE_HOME=" + (dir / "cache").string()}) {
      out.push_back(v);
    }
    out.emplace_back("KEYSCHOLAR_WORKSTATION=LAB1");
    out.emplace_back("KEYSCHOLAR_READY_PROBE=1");
    out.emplace_back("QT_QPA_PLATFORM=xcb");
    return out;
  }
};

// Makes the learner "Ann Lee" with the programs' own store, as a first start would.
void makeLearner(const Home& home) {
  setenv("XDG_DATA_HOME", (home.dir / "data").string().c_str(), 1);
  ks::Localize().SetFolder(KS_INSTALLATION);
  ks::Localize().LoadLanguage(ks::LanguageBaseName, 1);
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>(KS_INSTALLATION);
  ks::OpenPolicySettings("Policy.dyn", KS_INSTALLATION);
  auto user = ks::NewUser("Ann Lee");
  ks::SaveUser(*user);
  user.reset();
  ks::ProgramSettings.reset();
  ks::PolicySettings.reset();
}

// The monitor's hand-over: the next start logs the learner on without the login page.
void handOver(const Home& home) {
  const fs::path file = home.data() / "LAB1.wks";
  std::string kept;
  {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("WardenLogon=", 0) != 0) kept += line + "\n";
    }
  }
  fs::create_directories(home.data());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << kept << "WardenLogon=Ann Lee\r\n";
}

struct Run {
  double seconds = 0;
  double rssMiB = 0;
  std::string error;
};

// Starts `program` (with `argument`, when not null) in `home` and waits for its "ready" line.
Run timeStart(const char* program, const char* argument, const Home& home) {
  Run run;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return {0, 0, "no pipe"};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> env = home.env();
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return {0, 0, "cannot start " + std::string(program)};
  }
  std::string out;
  char buf[256];
  pollfd pfd{pipeFds[0], POLLIN, 0};
  while (out.find('\n') == std::string::npos && poll(&pfd, 1, 20000) > 0) {
    const ssize_t n = read(pipeFds[0], buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  close(pipeFds[0]);
  kill(pid, SIGKILL);  // only if it hangs: a ready program has ended already
  waitpid(pid, nullptr, 0);
  char page[64] = {};
  long kib = 0;
  if (std::sscanf(out.c_str(), "ready %63s %ld", page, &kib) != 2) {
    run.error = "no ready page from " + std::string(program) + ": " + out;
  }
  run.rssMiB = static_cast<double>(kib) / 1024.0;
  return run;
}

enum class Page { Bare, BareText, Login, Main };

void BM_Start(benchmark::State& state, Page page, bool cold) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("needs an X server (DISPLAY)");
    return;
  }
  const bool bare = page == Page::Bare || page == Page::BareText;
  const char* program = bare ? KS_BARE_WINDOW : KS_TUTOR;
  const char* argument = page == Page::BareText ? "text" : nullptr;
  auto prepare = [page](const Home& home) {
    if (page == Page::Main) {
      if (!std::filesystem::exists(home.data() / "Ann Lee.usr")) makeLearner(home);
      handOver(home);
    }
  };
  std::unique_ptr<Home> warm;
  if (!cold) {
    warm = std::make_unique<Home>();
    prepare(*warm);
    timeStart(program, argument, *warm);  // the first start makes what later ones find
  }
  double rss = 0;
  for (auto _ : state) {
    std::unique_ptr<Home> fresh;
    if (cold) fresh = std::make_unique<Home>();
    const Home& home = cold ? *fresh : *warm;
    prepare(home);
    const Run run = timeStart(program, argument, home);
    if (!run.error.empty()) {
      state.SkipWithError(run.error.c_str());
      return;
    }
    state.SetIterationTime(run.seconds);
    rss = run.rssMiB;
  }
  state.counters["rss_MiB"] = rss;
}

void registerAll() {
  struct Case {
    const char* name;
    Page page;
    bool cold;
  };
  for (const Case& c :
       {Case{"bare_window/cold", Page::Bare, true}, Case{"bare_window/warm", Page::Bare, false},
        Case{"bare_window_with_text/warm", Page::BareText, false},
        Case{"tutor_login/cold", Page::Login, true}, Case{"tutor_login/warm", Page::Login, false},
        Case{"tutor_main_page/cold", Page::Main, true},
        Case{"tutor_main_page/warm", Page::Main, false}}) {
    benchmark::RegisterBenchmark(c.name, BM_Start, c.page, c.cold)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(4)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
