// tapwatch while a typist enters 8 keys per second for 60 seconds into a window it watches: its
// CPU time from /proc/<pid>/stat as a share of one core, and its resident memory against a bare
// Qt Widgets window. Keys come through XTEST, as from a keyboard. Needs an X server (DISPLAY).
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t spawn(const char* program, const std::vector<std::string>& env) {
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

void end(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// User plus system time in clock ticks.
long cpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream rest(text.substr(text.rfind(')') + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return utime + stime;
}

double rssMiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

void BM_MonitorWhileTyping(benchmark::State& state) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    state.SkipWithError("no X server (DISPLAY)");
    return;
  }
  std::string tmpl = (fs::temp_directory_path() / "ks_monitor_XXXXXX").string();
  const fs::path home = mkdtemp(tmpl.data());
  fs::create_directories(home / "run");
  fs::permissions(home / "run", fs::perms::owner_all);
  const fs::path data = home / "data" / "Keyscholar8";
  fs::create_directories(data);
  const char* user = std::getenv("USER");
  const std::string login = user ? user : "root";
  std::ofstream(data / "LAB1.wks")
      << "UseSelectedUser." << login << "=1\r\nSelectedUser." << login << "=Ann\r\n";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("HOME=", 0) != 0 && std::string(*e).rfind("XDG_", 0) != 0)
      env.emplace_back(*e);
  for (const std::string& v :
       {"HOME=" + home.string(), "XDG_DATA_HOME=" + (home / "data").string(),
        "XDG_CONFIG_HOME=" + (home / "config").string(),
        "XDG_RUNTIME_DIR=" + (home / "run").string(), std::string("KEYSCHOLAR_WORKSTATION=LAB1"),
        std::string("QT_QPA_PLATFORM=xcb")})
    env.push_back(v);

  // The typist's window: this process, so that the monitor sees a program to watch.
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 300, 100, 0, 0, 0);
  XSelectInput(d, w, KeyPressMask);
  XMapWindow(d, w);
  XSync(d, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  XSetInputFocus(d, w, RevertToParent, CurrentTime);
  XSync(d, False);

  const std::string text = "the quick brown fox jumps over the lazy dog ";
  for (auto _ : state) {
    const pid_t monitor = spawn(KS_TAPWATCH, env);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const long before = cpuTicks(monitor);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 8 * 60; ++i) {
      const char c = text[i % text.size()];
      const KeyCode k = XKeysymToKeycode(
          d, c == ' ' ? XStringToKeysym("space") : XStringToKeysym(std::string(1, c).c_str()));
      XTestFakeKeyEvent(d, k, True, 0);
      XTestFakeKeyEvent(d, k, False, 0);
      XFlush(d);
      while (XPending(d)) {
        XEvent ev;
        XNextEvent(d, &ev);
      }
      std::this_thread::sleep_until(start + std::chrono::milliseconds(125 * (i + 1)));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long ticks = cpuTicks(monitor) - before;
    state.SetIterationTime(seconds);
    state.counters["cpu_percent"] =
        100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
    state.counters["rss_MiB"] = rssMiB(monitor);
    end(monitor);
  }
  // Proof that the keys were analysed, not merely counted.
  std::ifstream learner(data / "Ann.usr");
  for (std::string line; std::getline(learner, line);)
    if (line.rfind("monitoredHits=", 0) == 0)
      state.counters["analysed_keys"] = std::stod(line.substr(14));
  const pid_t bare = spawn(KS_BARE_WINDOW, env);
  std::this_thread::sleep_for(std::chrono::seconds(3));
  state.counters["bare_rss_MiB"] = rssMiB(bare);
  end(bare);
  state.counters["rss_ratio"] = state.counters["rss_MiB"] / state.counters["bare_rss_MiB"];
  XDestroyWindow(d, w);
  XCloseDisplay(d);
  std::error_code ec;
  fs::remove_all(home, ec);
}
BENCHMARK(BM_MonitorWhileTyping)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
