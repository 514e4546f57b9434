// Saves of a large learner (settings and results, statistics, list of programs, typed text) cut
// short by SIGKILL or by a full disk: every file stays the old or the new version and loads.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "driverprocess.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::DriverProcess;

// The generations "usr=N dta=N set=N tt=N" names, in that order; empty when the line is none.
std::vector<int> generations(const std::string& line) {
  std::vector<int> out;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos) return {};
    out.push_back(std::atoi(word.c_str() + eq + 1));
  }
  return out.size() == 4 ? out : std::vector<int>();
}

// Each file holds the generation saved last or the one after it.
void expectOldOrNew(const std::string& line, int saved) {
  const std::vector<int> g = generations(line);
  ASSERT_EQ(g.size(), 4u) << line;
  for (int each : g) {
    EXPECT_TRUE(each == saved || each == saved + 1) << line << " after " << saved;
  }
}

TEST(InterruptedSaves, KilledAtRandomPointsEveryFileIsTheOldOrTheNewVersionAndLoads) {
  // In memory where the system has it: a kill is no power cut, and 200 synced saves on a busy
  // disk take minutes.
  test::TempDir root(::access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm")
                                                     : std::filesystem::temp_directory_path());
  std::filesystem::create_directories(root / "Database");
  test::writeFile(root / "Policy.dyn", "");
  const std::string dir = root.path().string();
  ASSERT_EQ(DriverProcess({"save", dir, "0", "0"}).wait(), 0);

  std::mt19937 random(29);
  int saved = 0;
  int kills = 0;
  while (saved < 200) {
    DriverProcess driver({"save", dir, std::to_string(saved + 1), std::to_string(saved + 30)});
    // Somewhere inside one of the next saves.
    const int whole = std::uniform_int_distribution<int>(0, 8)(random);
    for (int i = 0; i < whole; ++i) {
      if (auto l = driver.line(); l && l->rfind("saved ", 0) == 0)
        saved = std::atoi(l->c_str() + 6);
    }
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 60000)(random));
    ::kill(driver.pid(), SIGKILL);
    driver.wait();
    while (auto l = driver.line()) {
      if (l->rfind("saved ", 0) == 0) saved = std::atoi(l->c_str() + 6);
    }
    ++kills;
    DriverProcess check({"check", dir});
    const std::string line = check.line().value_or("");
    EXPECT_EQ(check.wait(), 0) << line;
    expectOldOrNew(line, saved);
    if (HasFailure()) break;
    saved = generations(line)[0];  // the next run goes on from what the learner holds
  }
  EXPECT_GT(kills, 10);
}

TEST(InterruptedSaves, AFullDiskKeepsThePreviousFilesAndLeavesNothingHalfWritten) {
  if (std::system("unshare -rm true 2>/dev/null") != 0)
    GTEST_SKIP() << "user namespaces are unavailable here: no private tmpfs to fill";
  test::TempDir disk;
  test::TempDir setup;
  test::writeFile(setup / "Policy.dyn", "");
  // The driver saves a learner that grows by 20 KB a save into a 3 MiB file system.
  const std::string script =
      "mount -t tmpfs -o size=3m tmpfs \"$1\" && mkdir \"$1/Database\" && cp \"$2\" \"$1/\" && "
      "\"$3\" save \"$1\" 1 1000 20000 2>&1; echo \"status $?\"; \"$3\" check \"$1\"";
  const std::string command = "unshare -rm sh -c '" + script + "' sh " + disk.path().string() +
                              " " + (setup / "Policy.dyn").string() + " " + KS_STORE_DRIVER;
  FILE* out = ::popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::vector<std::string> lines;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, out)) {
    std::string l(buffer);
    if (!l.empty() && l.back() == '\n') l.pop_back();
    lines.push_back(l);
  }
  EXPECT_EQ(::pclose(out), 0);
  ASSERT_GE(lines.size(), 3u);
  int saved = -1, failed = -1;
  std::string messages, files;
  for (const std::string& l : lines) {
    if (l.rfind("saved ", 0) == 0)
      saved = std::atoi(l.c_str() + 6);
    else if (l.rfind("failed ", 0) == 0)
      failed = std::atoi(l.c_str() + 7);
    else if (l.rfind("usr=", 0) == 0)
      files = l;
    else
      messages += l + "\n";
  }
  // A failed save takes its journal with it.
  EXPECT_EQ(messages.find("left behind"), std::string::npos) << messages;
  EXPECT_GT(saved, 3) << "the disk filled before the learner was saved a few times";
  EXPECT_EQ(failed, saved + 1);
  EXPECT_NE(messages.find("status 3"), std::string::npos) << messages;
  // The learner is told, and the message names the cause.
  EXPECT_NE(messages.find("No space left on device"), std::string::npos) << messages;
  expectOldOrNew(files, saved);
}

// On a disk too full for the journal the file could still be overwritten in place, but a kill
// half-way would then leave it half old, half new: the write fails, naming the cause, instead.
TEST(InterruptedSaves, AWriteWhoseJournalTheDiskCannotTakeFailsAndKeepsTheFile) {
  if (std::system("unshare -rm true 2>/dev/null") != 0)
    GTEST_SKIP() << "user namespaces are unavailable here: no private tmpfs to fill";
  test::TempDir disk;
  const std::string script =
      "mount -t tmpfs -o size=1m tmpfs \"$1\" && head -c 600000 /dev/zero | tr \"\\000\" a > "
      "\"$1/Ann.usr\" && { head -c 2000000 /dev/zero > \"$1/filler\" 2>/dev/null; "
      "\"$2\" rewrite \"$1/Ann.usr\" b; echo \"status $?\"; echo \"size $(wc -c < "
      "\"$1/Ann.usr\")\"; "
      "echo \"others $(tr -d a < \"$1/Ann.usr\" | wc -c)\"; ls -A \"$1\"; }";
  const std::string command =
      "unshare -rm sh -c '" + script + "' sh " + disk.path().string() + " " + KS_STORE_DRIVER;
  FILE* out = ::popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::string text;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
  EXPECT_EQ(::pclose(out), 0);
  EXPECT_NE(text.find("failed No space left on device\nstatus 3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("size 600000\nothers 0\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("journal"), std::string::npos) << "no journal or draft is left behind\n"
                                                     << text;
}

}  // namespace
}  // namespace ks
