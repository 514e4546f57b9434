#include <gtest/gtest.h>

#include <algorithm>

#include "store/filelists.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::TempDir;
using test::writeFile;

class FolderLists : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Eng.cnt", "ger.CNT", "german basics.cnt", "notes.txt", "a.cnt.bak"})
      writeFile(dir_ / name, "x");
    std::filesystem::create_directory(dir_ / "folder.cnt");  // not a file
    Localize().SetString(13, "abcdefghijklmnopqrstuvwxyz");
  }
  void TearDown() override {
    Localize().Reset();
    PolicySettings.reset();
  }
  std::string pattern(const std::string& p) const { return (dir_ / p).string(); }

  TempDir dir_;
};

TEST_F(FolderLists, ListsFilesIgnoringCaseInSortedOrder) {
  EXPECT_EQ(ListFiles(pattern("*.cnt")),
            (std::vector<std::string>{"Eng.cnt", "ger.CNT", "german basics.cnt"}));
  EXPECT_EQ(ListFiles(pattern("G?R*")), (std::vector<std::string>{"ger.CNT", "german basics.cnt"}));
  EXPECT_TRUE(ListFiles(pattern("none/*.cnt")).empty());
  EXPECT_EQ(ListFileTitles(pattern("*.CNT")),
            (std::vector<std::string>{"Eng", "Ger", "German Basics"}));
}

TEST_F(FolderLists, TitlesFollowTheLanguagesLetters) {
  Localize().SetString(13, "abc");  // only these may become capitals
  EXPECT_EQ(TitleCase("ANN BOB"), "Ann Bob");
  EXPECT_EQ(TitleCase("dora cid"), "dora Cid");
  EXPECT_EQ(TitleCase(""), "");
  EXPECT_EQ(FileTitle("BASICS.v2.cnt"), "Basics");
  Localize().SetString(13, "\xe4");  // 1252 a-umlaut
  EXPECT_EQ(TitleCase("\xc4pfel"), "\xc4pfel");
  Localize().Reset();  // no language: no capitals
  EXPECT_EQ(TitleCase("Eng Basics"), "eng basics");
}

TEST_F(FolderLists, PolicyListOverridesTheFolder) {
  EXPECT_EQ(ListPolicyOrFiles("*.cnt", dir_.path()),
            (std::vector<std::string>{"Eng", "Ger", "German Basics"}));
  PolicySettings = std::make_unique<TDynamicSettings>();
  ASSERT_EQ(PolicySettings->Open("", omMemory), 1);
  PolicySettings->WriteString("*.cnt", "eng,,custom one");
  EXPECT_EQ(ListPolicyOrFiles("*.cnt", dir_.path()),
            (std::vector<std::string>{"eng", "custom one"}));
  EXPECT_EQ(ListWithFirst(pattern("*.txt"), "(studied keys)"),
            (std::vector<std::string>{"(studied keys)", "Notes"}));
}

TEST(ListHelpers, ShuffleKeepsEveryItem) {
  std::vector<std::string> items = {"a", "b", "c", "d", "e", "f"};
  SeededRandom random(7);
  auto shuffled = items;
  bool moved = false;
  for (int round = 0; round < 5; ++round) {
    ShuffleStrings(shuffled, random);
    moved = moved || shuffled != items;
    auto sorted = shuffled;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, items);
  }
  EXPECT_TRUE(moved);
}

}  // namespace
}  // namespace ks
