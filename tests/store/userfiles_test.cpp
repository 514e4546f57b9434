#include <gtest/gtest.h>

#include <unistd.h>

#include <random>

#include "store/autostart.h"
#include "store/binio.h"
#include "store/errors.h"
#include "store/group.h"
#include "store/user.h"
#include "store/userindex.h"
#include "support/filelimit.h"
#include "support/tempdir.h"
#include "userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

using LearnerFiles = test::UserFolders;

constexpr size_t kHeader = 28;
constexpr size_t kKeyRecords = 2 * TDifficultKeys::RecordSize;

TEST_F(LearnerFiles, StatisticsComeBackAndTheFileEndsWithTheWords) {
  DifficultKeySets keys;
  TWordList words;
  {
    auto user = OpenUser("Ann", -1, ulWrite, false, {&keys, &words});
    for (int i = 0; i < 10; ++i) keys.LessonDifficulties.recordKey('a', i == 0);
    keys.MonitorDifficulties.recordKey('b', false);
    for (const char* w : {"house", "garden", "window"}) words.AddOccurrence(w, 50, wsTutor, false);
    ASSERT_EQ(SaveUser(*user), 1);
  }
  EXPECT_EQ(readFile(data("Ann.DTA")).size(), kHeader + kKeyRecords + 3 * TWordList::EntrySize);
  {
    auto user = OpenUser("Ann", -1, ulWrite, false, {&keys, &words});
    EXPECT_EQ(keys.LessonDifficulties.figures('a').Presses, 10);
    EXPECT_EQ(keys.LessonDifficulties.figures('a').Errors, 1);
    EXPECT_EQ(keys.MonitorDifficulties.figures('b').Presses, 1);
    EXPECT_GT(words.Find("garden"), 0);
    // A shorter table leaves nothing of the longer one behind.
    words = TWordList{};
    words.AddOccurrence("tree", 10, wsTutor, false);
    ASSERT_EQ(SaveUser(*user), 1);
  }
  EXPECT_EQ(readFile(data("Ann.DTA")).size(), kHeader + kKeyRecords + TWordList::EntrySize);
  auto user = OpenUser("Ann", -1, ulWrite, false, {&keys, &words});
  EXPECT_EQ(words.Find("garden"), 0);
  EXPECT_EQ(words.Find("tree"), 1);

  // Opening another learner into the same place leaves nothing of Ann.
  auto bob = OpenUser("Bob", -1, ulWrite, false, {&keys, &words});
  EXPECT_EQ(keys.LessonDifficulties.figures('a').Presses, 0);
  EXPECT_EQ(words.Find("tree"), 0);
}

TEST_F(LearnerFiles, OlderAndDamagedStatisticsFilesLoadWhatTheyHoldAndDamagedOnesAreKept) {
  std::string old;
  for (int i = 0; i < 6; ++i) putInt32LE(old, 255);
  putInt32LE(old, 5);  // no monitor statistics
  TDifficultKeys lesson(8);
  lesson.recordKey('q', true);
  lesson.saveRecord(old);
  TWordList list;
  list.AddOccurrence("letter", 30, wsTutor, false);
  list.Save(old);
  writeFile(data("Ann.DTA"), old);
  DifficultKeySets keys;
  TWordList words;
  OpenUser("Ann", -1, ulWrite, false, {&keys, &words});
  EXPECT_EQ(keys.LessonDifficulties.figures('q').Errors, 1);
  EXPECT_EQ(words.Find("letter"), 1);

  EXPECT_TRUE(boxes_.boxes.empty());

  // Cut inside the key statistics: they start afresh, and the file is copied before the next
  // save writes over it.
  writeFile(data("Bob.DTA"), old.substr(0, 100));
  auto bob = OpenUser("Bob", -1, ulWrite, false, {&keys, &words});
  EXPECT_EQ(keys.LessonDifficulties.figures('q').Errors, 0);
  EXPECT_EQ(words.Find("letter"), 0);
  EXPECT_EQ(readFile(data("Bob.DTA.damaged")), old.substr(0, 100));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_NE(boxes_.texts()[0].find("Bob.DTA.damaged"), std::string::npos);
  ASSERT_EQ(SaveUser(*bob), 1);
  EXPECT_EQ(readFile(data("Bob.DTA.damaged")), old.substr(0, 100));
  bob.reset();

  // Something else written over the file: a second copy, the first one stays.
  writeFile(data("Bob.DTA"), std::string(3000, 'x'));
  bob = OpenUser("Bob", -1, ulWrite, false, {&keys, &words});
  EXPECT_EQ(readFile(data("Bob.DTA.damaged2")), std::string(3000, 'x'));
  EXPECT_EQ(readFile(data("Bob.DTA.damaged")), old.substr(0, 100));
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  bob.reset();

  // Read-only openings write nothing, so they keep no copies either.
  writeFile(data("Cy.DTA"), std::string(3000, 'y'));
  OpenUser("Cy", -1, ulRead, false, {&keys, &words});
  EXPECT_FALSE(fs::exists(data("Cy.DTA.damaged")));
  EXPECT_EQ(boxes_.boxes.size(), 2u);
}

// The English texts of the installation, for the tests of what a learner is told.
void loadEnglish() {
  Localize().SetFolder(fs::path(KS_BINARY_DIR) / "share" / "keyscholar");
  ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
}

TEST_F(LearnerFiles, ASettingsFileCutInsideALineIsKeptBeforeItIsWrittenAgain) {
  loadEnglish();
  writeFile(data("Ann.usr"), "UserName=Ann\r\nReCnt=1\r\nRe0=BKM;ENG;1;1;1;0;1;46365.3");
  auto ann = OpenUser("Ann", -1, ulWrite, false);
  EXPECT_EQ(ann->ReadString("UserName"), "Ann");
  EXPECT_EQ(readFile(data("Ann.usr.damaged")),
            "UserName=Ann\r\nReCnt=1\r\nRe0=BKM;ENG;1;1;1;0;1;46365.3");
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_NE(boxes_.texts()[0].find("\"Ann.usr\" is damaged: it was cut short"), std::string::npos)
      << boxes_.texts()[0];
  EXPECT_NE(boxes_.texts()[0].find("your settings and 0 results"), std::string::npos);
  ASSERT_EQ(SaveUser(*ann), 1);
  ann.reset();
  // Written whole again, it opens without a word.
  OpenUser("Ann", -1, ulWrite, false);
  EXPECT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_FALSE(fs::exists(data("Ann.usr.damaged2")));
}

TEST_F(LearnerFiles, ZeroBytesInASettingsFileAreDamageAndTheLinesAfterThemStillRead) {
  using namespace std::string_literals;
  const std::string bytes =
      "UserName=Ann\r\nTimes\0\0\0\0Used=3\r\n"s +
      "ReCnt=0\r\nRe0=BKM;ENG;1;1;1;0;1;46365.3;30;0;0;30;STD\r\nSounds=1\r\n";
  writeFile(data("Ann.usr"), bytes);
  loadEnglish();
  auto ann = OpenUser("Ann", -1, ulWrite, false);
  EXPECT_EQ(ann->ReadInteger("Sounds"), 1);
  EXPECT_EQ(ann->Results().Items().size(), 1u);
  EXPECT_EQ(readFile(data("Ann.usr.damaged")), bytes);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_NE(boxes_.texts()[0].find("something other than this program wrote over part of it"),
            std::string::npos)
      << boxes_.texts()[0];
  EXPECT_NE(boxes_.texts()[0].find("your settings and 1 results"), std::string::npos);
  ASSERT_EQ(SaveUser(*ann), 1);
  const std::string saved = readFile(data("Ann.usr"));
  EXPECT_EQ(saved.find('\0'), std::string::npos);
  EXPECT_NE(saved.find("Sounds=1\r\n"), std::string::npos);
}

// A learner file overwritten with something else: the box says so in words a learner follows
// (not "zero bytes", not full paths), what is left, and by name and folder where the copy is;
// the learner keeps that name, so pages showing no progress can point to the copy.
TEST_F(LearnerFiles, AGarbageSettingsFileIsToldPlainlyWithWhatIsLeftAndWhereTheCopyIs) {
  loadEnglish();
  std::mt19937 random(7);
  std::string garbage;
  for (int i = 0; i < 1500; ++i) garbage += static_cast<char>(random() & 0xFF);
  writeFile(data("Ann.usr"), garbage);
  auto ann = OpenUser("Ann", -1, ulWrite, false);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  const std::string box = boxes_.texts()[0];
  EXPECT_EQ(box.find("zero bytes"), std::string::npos) << box;
  EXPECT_EQ(box.find(data("Ann.usr").string()), std::string::npos) << "no full paths: " << box;
  EXPECT_NE(box.find("Your file \"Ann.usr\" is damaged: something other than this program"),
            std::string::npos)
      << box;
  EXPECT_NE(box.find("your settings and 0 results. Progress that was in the damaged part"),
            std::string::npos)
      << box;
  EXPECT_NE(box.find("A copy of the damaged file is kept as \"Ann.usr.damaged\" in the folder " +
                     data("").parent_path().string() + ". Keep that copy"),
            std::string::npos)
      << box;
  EXPECT_EQ(readFile(data("Ann.usr.damaged")), garbage);
  EXPECT_EQ(ann->ReadString("DamagedCopy"), "Ann.usr.damaged");
  ASSERT_EQ(SaveUser(*ann), 1);
  ann.reset();
  auto again = OpenUser("Ann", -1, ulWrite, false);
  EXPECT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(again->ReadString("DamagedCopy"), "Ann.usr.damaged");
}

// A save that fails is shown, logged and returned as a failure, wherever it happens.
TEST_F(LearnerFiles, FailedSavesAreReportedLoggedAndReturned) {
  const fs::path log = data("Errors.log");
  {
    DifficultKeySets keys;
    TWordList words;
    auto ann = OpenUser("Ann", -1, ulWrite, false, {&keys, &words});
    ASSERT_EQ(SaveUser(*ann), 1);
    for (int i = 0; i < 40; ++i)
      words.AddOccurrence("word" + std::string(1, 'a' + i % 26) + std::string(1, 'a' + i / 26), 50,
                          wsTutor, false);
    test::FileSizeLimit limit(fs::file_size(data("Ann.DTA")) + 100);
    EXPECT_EQ(SaveUser(*ann), 0);  // the statistics do not fit
    ASSERT_FALSE(boxes_.boxes.empty());
    EXPECT_NE(boxes_.texts().back().find("SaveStatistics"), std::string::npos);
  }
  ASSERT_TRUE(fs::exists(log));
  EXPECT_NE(readFile(log).find("SaveStatistics"), std::string::npos);
  fs::remove(log);

  // A store that cannot write back when it is opened again keeps its changes and says so; one
  // destroyed with unwritten changes leaves an entry in the log.
  const fs::path file = root("big.dyn");
  {
    test::FileSizeLimit limit(4000);  // outlives the store; the log's entries still fit
    TDynamicSettings store;
    ASSERT_EQ(store.Open(file.string(), omDenyWrite), 1);
    store.WriteString("Long", std::string(8000, 'x'));
    EXPECT_EQ(store.Open(root("other.dyn").string(), omDenyWrite), -1);
    EXPECT_EQ(store.ReadString("Long").size(), 8000u);
  }
  EXPECT_EQ(readFile(file), "");
  ASSERT_TRUE(fs::exists(log));
  const std::string entries = readFile(log);
  size_t count = 0;
  for (size_t at = entries.find("big.dyn"); at != std::string::npos;
       at = entries.find("big.dyn", at + 1))
    ++count;
  EXPECT_EQ(count, 2u);
}

TEST_F(LearnerFiles, IndexesListTheLearnersOfEachGroup) {
  writeFile(root("0.grp"), "Name=Everyone\r\n");
  writeFile(root("2.grp"), "Name=Evening class\r\n");
  const std::pair<const char*, int> learners[] = {{"Carl", 2}, {"ann", 0}, {"Bea", 2}, {"Dan", 9}};
  for (auto [name, group] : learners) {
    auto user = NewUser(name);
    user->SetGroupId(group);
    SaveUser(*user);
  }
  OpenUser("", -1, ulWrite, true);  // the guest is never listed
  EXPECT_EQ(GroupIds(), (std::vector<std::string>{"0", "2"}));
  EXPECT_EQ(MaxGroupId(), 2);
  EXPECT_EQ(GroupNames({}, omReadOnce), (std::vector<std::string>{"Everyone", "Evening class"}));

  EXPECT_EQ(UnindexedUsers().size(), 4u);
  RebuildIndexes();
  EXPECT_EQ(readFile(data("2.idx")), "Bea.usr=Bea\r\nCarl.usr=Carl\r\n");
  // A group id above the largest group counts as group 0.
  EXPECT_EQ(readFile(data("0.idx")), "Ann.usr=ann\r\nDan.usr=Dan\r\n");
  EXPECT_TRUE(UnindexedUsers().empty());
  EXPECT_EQ(UserNames(-1), (std::vector<std::string>{"ann", "Bea", "Carl", "Dan"}));
  EXPECT_EQ(UserFileFor(2, "CARL"), "Carl");
  EXPECT_EQ(UserFileFor(0, "Carl"), std::nullopt);

  // A learner written by hand into an index is found under its listed file.
  writeFile(data("2.idx"), "Special.usr=Zoe Smith\r\n");
  writeFile(data("Special.usr"), "UserName=Zoe Smith\r\nUserGroupId=2\r\n");
  EXPECT_EQ(OpenUser("zoe smith", 2, ulRead, true)->FileBase(), "Special");
}

TEST_F(LearnerFiles, GroupFilesAreMadeWhenMissing) {
  auto group = OpenGroup(0, omShared);
  EXPECT_EQ(group->ReadString("Name"), "General");
  EXPECT_GT(group->ReadFloat("Date"), 40000);
  group.reset();
  EXPECT_TRUE(fs::exists(root("0.grp")));
  fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
  bool raised = false;
  try {
    OpenGroup(5, omShared);
  } catch (const UserOpenError& e) {
    raised = std::string(e.what()).rfind("Group file cannot be opened: ", 0) == 0;
  }
  fs::permissions(dir_.path(), fs::perms::owner_all);
  EXPECT_TRUE(raised || geteuid() == 0);
}

TEST_F(LearnerFiles, TheMonitorStartsWithTheSessionWhenTheWorkstationSaysSo) {
  setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  MakeAutoStartable("/opt/ks/tapwatch");  // no workstation settings: nothing
  EXPECT_FALSE(fs::exists(AutoStartFile()));
  writeFile(data("PC.wks"), "LaunchAtStartup." + LoginName() + "=1\r\n");
  ASSERT_TRUE(OpenWorkstationSettings(dir_ / "Database", "PC.wks", omDenyWrite));
  MakeAutoStartable("/opt/ks/tapwatch");
  EXPECT_NE(readFile(AutoStartFile()).find("\nExec=\"/opt/ks/tapwatch\"\n"), std::string::npos);
  // The entry carries the id of the monitor's installed desktop entry.
  EXPECT_TRUE(fs::exists(fs::path(KS_SOURCE_DIR) / "desktop" / AutoStartFile().filename()));
  workstationSettings->WriteBool("LaunchAtStartup." + LoginName(), false);
  MakeAutoStartable("/opt/ks/tapwatch");
  EXPECT_FALSE(fs::exists(AutoStartFile()));
  unsetenv("XDG_CONFIG_HOME");
}

// Writes nobody would hear of otherwise: each failure is logged and its cause returned, for the
// caller to tell the learner.
TEST_F(LearnerFiles, AnAutostartEntryOrAGroupIndexThatCannotBeWrittenSaysWhy) {
  setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
  fs::create_directories(dir_ / "config");
  writeFile(dir_ / "config" / "autostart", "a file where the folder belongs");
  writeFile(data("PC.wks"), "LaunchAtStartup." + LoginName() + "=1\r\n");
  ASSERT_TRUE(OpenWorkstationSettings(dir_ / "Database", "PC.wks", omDenyWrite));
  const std::string why = MakeAutoStartable("/opt/ks/tapwatch");
  EXPECT_FALSE(why.empty());
  EXPECT_NE(readFile(data("Errors.log")).find("org.quillstroker.Tapwatch.desktop: " + why),
            std::string::npos);
  workstationSettings->WriteBool("LaunchAtStartup." + LoginName(), false);
  EXPECT_EQ(MakeAutoStartable("/opt/ks/tapwatch"), "");  // no entry is there to remove
  unsetenv("XDG_CONFIG_HOME");

  auto ann = NewUser("Ann");
  SaveUser(*ann);
  fs::create_directories(data("0.idx"));  // in the way of the index
  EXPECT_EQ(RebuildIndexes(), "Is a directory");
  EXPECT_NE(readFile(data("Errors.log")).find("0.idx: Is a directory"), std::string::npos);
  fs::remove(data("0.idx"));
  EXPECT_EQ(RebuildIndexes(), "");
  EXPECT_EQ(readFile(data("0.idx")), "Ann.usr=Ann\r\n");
}

}  // namespace
}  // namespace ks
