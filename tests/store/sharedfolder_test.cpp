// Two tutors and the monitor, each on its own workstation, on one data folder as on a school's
// network share: logins, saves and results for a while (KS_SHARED_SECONDS, 20 by default).
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "driverprocess.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::DriverProcess;

TEST(SharedFolder, TwoTutorsAndTheMonitorLoseNoResultAndNeverWriteOneFileTogether) {
  const char* env = std::getenv("KS_SHARED_SECONDS");
  const std::string seconds = env && *env ? env : "20";
  test::TempDir root;
  std::filesystem::create_directories(root / "Database");
  test::writeFile(root / "Policy.dyn", "");
  const std::string dir = root.path().string();
  const std::string log1 = (root / "room1.log").string(), log2 = (root / "room2.log").string();

  std::vector<std::unique_ptr<DriverProcess>> drivers;
  drivers.push_back(std::make_unique<DriverProcess>(
      std::vector<std::string>{"tutor", dir, seconds, log1},
      std::vector<std::pair<std::string, std::string>>{{"KEYSCHOLAR_WORKSTATION", "ROOM1"}}));
  drivers.push_back(std::make_unique<DriverProcess>(
      std::vector<std::string>{"tutor", dir, seconds, log2},
      std::vector<std::pair<std::string, std::string>>{{"KEYSCHOLAR_WORKSTATION", "ROOM2"}}));
  drivers.push_back(std::make_unique<DriverProcess>(
      std::vector<std::string>{"monitor", dir, seconds},
      std::vector<std::pair<std::string, std::string>>{{"KEYSCHOLAR_WORKSTATION", "ROOM3"}}));

  // A driver still running long after its time is stuck.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(seconds.c_str()) + 60);
  for (auto& d : drivers) {
    std::optional<int> status;
    while (!(status = d->poll()) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(status.has_value()) << "a driver is still running: deadlock";
    EXPECT_EQ(status.value_or(-1), 0);
    while (auto l = d->line()) std::cout << *l << "\n";
  }

  // Every result a tutor stored is in its learner's file.
  std::map<std::string, std::set<std::string>> stored;
  for (const std::string& log : {log1, log2}) {
    std::ifstream in(log);
    std::string learner, result;
    while (in >> learner >> result) stored[learner].insert(result);
  }
  ASSERT_FALSE(stored.empty());
  ProgramSettings = std::make_unique<TProgramSettings>(root.path());
  Localize().SetString(12, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
  for (const auto& [learner, results] : stored) {
    auto user = OpenUser(learner, -1, ulRead, true);
    std::set<std::string> found;
    for (const TResultItem& r : user->Results().Items()) found.insert(r.Name);
    for (const std::string& r : results) EXPECT_TRUE(found.count(r)) << learner << " lost " << r;
  }
  ProgramSettings.reset();
  Localize().Reset();
}

}  // namespace
}  // namespace ks
