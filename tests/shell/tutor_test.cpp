#include <gtest/gtest.h>

#include "book/bookwindow.h"
#include "shell/appframe.h"
#include "shell/loginview.h"
#include "shell/startoptions.h"
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
