// The learner's ".SET" list: first use, programs seen, switches across restarts, damaged files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "monitor/spyedapps.h"
#include "store/userfolders.h"

namespace ks {
namespace {

using test::readFile;
using test::writeFile;

class AppList : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    installSpyedAppsFactory();
  }
  void TearDown() override {
    setUserAppListFactory(nullptr);
    UserFolders::TearDown();
  }
  static TSpyedApps& apps(TUser& user) { return *static_cast<TSpyedApps*>(user.AppList()); }
};

TEST_F(AppList, FirstUseSavesTheBuiltInListInFixedRecords) {
  auto user = NewUser("Ann");
  const std::string bytes = readFile(data("Ann.SET"));
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.size() % 772, 0u);
  EXPECT_EQ(bytes.size() / 772, apps(*user).entries().size());
  // The first record: a length byte, the name, zeros; the two flags; description; no path.
  EXPECT_EQ(bytes.substr(0, 9), std::string("\x08TAPWATCH", 9));
  EXPECT_EQ(bytes.substr(9, 247), std::string(247, '\0'));
  EXPECT_EQ(bytes.substr(256, 4), std::string("\0\0\x01\0", 4));  // not monitored, hidden
  EXPECT_EQ(bytes.substr(260, 9), "\x08Tapwatch");
  EXPECT_EQ(bytes[516], '\0');
  for (const auto& e : apps(*user).entries()) EXPECT_FALSE(e->monitored) << e->name;
  EXPECT_EQ(apps(*user).find("xterm"), 0);
  EXPECT_FALSE(apps(*user).entry("XTERM")->hidden);  // terminals are shown, but excluded
  EXPECT_TRUE(apps(*user).entry("PINENTRY")->hidden);
}

TEST_F(AppList, ProgramsAndSwitchesSurviveARestart) {
  {
    auto user = NewUser("Ann");
    TSpyedApps& list = apps(*user);
    list.add(false, "gedit", false, "/usr/bin/", "Text Editor");
    ASSERT_TRUE(list.updateSpyedState("GEDIT", true));
    ASSERT_TRUE(list.updateSpyedState("xterm", true));
    ASSERT_TRUE(list.saveApps(user->AppListPath()));
  }
  auto user = OpenUser("Ann", -1, ulWrite, false);
  TSpyedApps& list = apps(*user);
  EXPECT_EQ(list.find("gedit"), 1);
  EXPECT_EQ(list.find("XTERM"), 1);
  EXPECT_EQ(list.find("KONSOLE"), 0);
  EXPECT_EQ(list.find("nothing"), -1);
  EXPECT_EQ(list.entry("GEDIT")->path, "/usr/bin/");
  EXPECT_EQ(list.entry("GEDIT")->description, "Text Editor");
}

TEST_F(AppList, ProcessSlotsWrapAfterEleven) {
  TSpyedApps list;
  list.add(true, "gedit", false, "/usr/bin/", "");
  for (uint32_t pid = 1; pid <= 11; ++pid) ASSERT_TRUE(list.setPID(pid, "GEDIT"));
  EXPECT_EQ(list.findByProcess(11), list.entry("gedit"));
  EXPECT_EQ(list.findByProcess(5), nullptr);  // beyond the position now
  EXPECT_EQ(list.findByProcess(0), nullptr);
  EXPECT_FALSE(list.setPID(3, "other"));
  EXPECT_FALSE(TSpyedApps::running(*list.entry("gedit")));  // pid 11 is no gedit
}

TEST_F(AppList, DamagedFilesLoseNothing) {
  TSpyedApps list;
  EXPECT_FALSE(list.loadApps(data("none.SET")));
  writeFile(data("empty.SET"), "");
  EXPECT_TRUE(list.loadApps(data("empty.SET")));
  EXPECT_TRUE(list.entries().empty());
  EXPECT_TRUE(boxes_.boxes.empty());

  std::string one;
  TAppSettings(true, "GEDIT").writeRecord(one);
  writeFile(data("cut.SET"), one + "x");
  EXPECT_TRUE(list.loadApps(data("cut.SET")));
  ASSERT_EQ(list.entries().size(), 1u);
  EXPECT_EQ(boxes_.texts(), std::vector<std::string>{"Fatal Error: SpyApps file size invalid"});

  if (geteuid() != 0) {  // root reads everything
    writeFile(data("Bob.SET"), one);
    chmod(data("Bob.SET").c_str(), 0);
    {
      auto user = NewUser("Bob");  // the list cannot be read: it is kept, not replaced
      EXPECT_TRUE(apps(*user).entries().empty());
      EXPECT_FALSE(apps(*user).saveApps(user->AppListPath()));
    }
    chmod(data("Bob.SET").c_str(), 0600);
    EXPECT_EQ(readFile(data("Bob.SET")), one);
  }
}

}  // namespace
}  // namespace ks
