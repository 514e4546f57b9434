#include <gtest/gtest.h>

#include "book/bookwindow.h"
#include "shell/appframe.h"
#include "shell/loginview.h"
#include "shell/startoptions.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/filelimit.h"
#include "support/tempdir.h"

namespace ks {
namespace {

const std::string kLatinCapitals = "abcdefghijklmnopqrstuvwxyz\xE4\xF6\xFC";

// The tutor's end saves the workstation settings; a save that fails is told, not dropped.
TEST(TutorEnd, AWorkstationFileThatCannotBeWrittenIsReported) {
  test::TempDir dir;
  test::RecordingDialogs boxes;
  test::FileSizeLimit limit(4000);
  workstationSettings = std::make_unique<TDynamicSettings>();
  ASSERT_EQ(workstationSettings->Open((dir / "LAB1.wks").string(), omDenyWrite), 1);
  workstationSettings->WriteString("Notes", std::string(8000, 'x'));
  TBookFormEx window;
  {
    TAppFrame frame(window, StartOptions{});
    frame.Finalize(0);
  }
  ASSERT_FALSE(boxes.boxes.empty());
  EXPECT_NE(boxes.boxes.front().text.find("#-5 File write error"), std::string::npos);
  EXPECT_NE(boxes.boxes.front().text.find("LAB1.wks"), std::string::npos);
  EXPECT_FALSE(workstationSettings);
}

// Everything the start opened is saved and let go at the end; a data folder that has gone is
// said so once, instead of a box for every file.
TEST(TutorEnd, SavesAndLetsGoOfTheSettingsAndSaysWhenTheDataFolderIsGone) {
  test::TempDir dir;
  test::RecordingDialogs boxes;
  test::writeFile(dir / "Policy.dyn", "");
  std::filesystem::create_directories(dir / "Database");
  TBookFormEx window;
  for (bool folderGone : {false, true}) {
    ProgramSettings = std::make_unique<TProgramSettings>(dir.path());
    ASSERT_TRUE(OpenWorkstationSettings(ProgramSettings->dataPath(), "LAB2.wks", omDenyWrite));
    workstationSettings->WriteString("LastStudent", "Ann");
    if (folderGone) std::filesystem::remove_all(dir / "Database");
    TAppFrame frame(window, StartOptions{});
    frame.Finalize(0);
    EXPECT_FALSE(ProgramSettings);
    EXPECT_FALSE(workstationSettings);
    if (!folderGone) {
      EXPECT_NE(test::readFile(dir / "Database" / "LAB2.wks").find("LastStudent=Ann"),
                std::string::npos);
      EXPECT_TRUE(boxes.boxes.empty());
    }
  }
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes.front().text.find("-4001"), std::string::npos);
}

// A language chosen inside a view (the course list) reaches the menu's tabs at once.
TEST(TutorMenu, FollowsALanguageChosenInAView) {
  TBookFormEx window;
  TAppFrame frame(window, StartOptions{});
  Localize().SetString(1684, "Lernen");
  Localize().SetString(561, "Info");
  window.LanguageChanged();
  ASSERT_TRUE(window.Tab("Studying"));
  EXPECT_EQ(window.Tab("Studying")->text(), "Lernen");
  Localize().Reset();
}

TEST(LoginName, IsTidiedAndCapitalised) {
  EXPECT_EQ(NormaliseLoginName("  ann   lee  ", kLatinCapitals), "Ann Lee");
  EXPECT_EQ(NormaliseLoginName("ANN LEE", kLatinCapitals), "Ann Lee");
  EXPECT_EQ(NormaliseLoginName("McDonald", kLatinCapitals), "McDonald");
  EXPECT_EQ(NormaliseLoginName("jean-paul sartre", kLatinCapitals), "Jean-Paul Sartre");
  EXPECT_EQ(NormaliseLoginName("\xF6zil", kLatinCapitals), "\xD6zil");
  EXPECT_EQ(NormaliseLoginName("   ", kLatinCapitals), "");
  EXPECT_EQ(NormaliseLoginName(std::string(80, 'a'), kLatinCapitals).size(), 50u);
  // Letters the language does not list stay as typed.
  EXPECT_EQ(NormaliseLoginName("ann", "xyz"), "ann");
}

TEST(StartOptions, OnlyTheFirstArgumentIsASwitch) {
  EXPECT_TRUE(parseStartOptions({"/sidewatch"}).sidewatch);
  EXPECT_TRUE(parseStartOptions({"/TypeTest"}).typeTest);
  EXPECT_FALSE(parseStartOptions({"/TYPETEST", "x"}).typeTest);
  StartOptions o = parseStartOptions({"/NOMUTEX", "LAB-PC-3"});
  EXPECT_TRUE(o.noMutex);
  EXPECT_EQ(o.workstationName, "LAB-PC-3");
  EXPECT_FALSE(parseStartOptions({"/NOMUTEX"}).noMutex);  // the name is required
  EXPECT_FALSE(parseStartOptions({"--help"}).uninstall);
}

}  // namespace
}  // namespace ks
