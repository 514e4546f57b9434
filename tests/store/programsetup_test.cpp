#include <gtest/gtest.h>

#include <cstdlib>

#include "recordingdialogs.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "support/tempdir.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::RecordingDialogs;
using test::TempDir;
using test::writeFile;

// An installation folder with what the paths need.
class ProgramPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    install_ = dir_ / "install";
    fs::create_directories(install_ / "Database");
    writeFile(install_ / "Policy.dyn", "");
    Localize().SetString(1107, "(automatic)");
    Localize().SetString(358, "Root missing");
    Localize().SetString(361, "Policy missing in ");
    Localize().SetString(362, "");
  }
  void TearDown() override {
    Localize().Reset();
    PolicySettings.reset();
    unsetenv("KS_TEST_SHARE");
  }
  void redirect(const std::string& ini) { writeFile(install_ / "QSNPath.ini", ini); }

  TempDir dir_;
  fs::path install_;
  RecordingDialogs boxes_;
};

std::string slashed(const fs::path& p) {
  return p.string() + "/";
}

TEST_F(ProgramPaths, WithoutRedirectionEverythingIsInTheStartFolder) {
  TProgramSettings p(install_);
  EXPECT_FALSE(p.fatal());
  EXPECT_EQ(p.rootPath().string(), slashed(install_));
  EXPECT_EQ(p.dataPath().string(), slashed(install_ / "Database"));
  EXPECT_EQ(p.lessonsPath().string(), slashed(install_ / "lessons"));
  EXPECT_EQ(p.keyboardsPath().string(), slashed(install_ / "keyboards"));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_TRUE(p.layoutEntries().empty());
}

TEST_F(ProgramPaths, RedirectionExpandsVariablesAndCreatesTheDataFolder) {
  fs::create_directories(dir_ / "share" / "school");
  writeFile(dir_ / "share" / "school" / "policy.dyn", "");  // any letter case
  setenv("KS_TEST_SHARE", (dir_ / "share").c_str(), 1);
  redirect(
      "; school set-up\r\n[Other]\r\nDataPath=/nowhere\r\n[path]\r\n DataPath = "
      "%KS_TEST_SHARE%\\school\r\n"
      "DataBase=users\r\nmode=Network\r\n");
  TProgramSettings p(install_);
  EXPECT_FALSE(p.fatal());
  EXPECT_EQ(p.rootPath().string(), slashed(dir_ / "share" / "school"));
  // A relative "DataBase" is taken from the start folder.
  EXPECT_EQ(p.dataPath().string(), slashed(install_ / "users"));
  EXPECT_TRUE(fs::is_directory(p.dataPath()));
  EXPECT_EQ(p.installMode(), "network");
}

TEST_F(ProgramPaths, AppDataPutsLearnersInTheUserDataFolder) {
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", (dir_ / "xdg").c_str(), 1);
  redirect("[Path]\nDataBase=elsewhere\nAppData=1\n");
  TProgramSettings p(install_);
  EXPECT_EQ(p.rootPath().string(), slashed(install_));
  EXPECT_EQ(p.dataPath().string(), slashed(dir_ / "xdg" / "Keyscholar8"));
  EXPECT_TRUE(fs::is_directory(p.dataPath()));
  if (old) {
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

TEST_F(ProgramPaths, MissingFoldersStopOrWarn) {
  redirect("[Path]\nDataPath=" + (dir_ / "gone").string() + "\n");
  TProgramSettings gone(install_);
  EXPECT_TRUE(gone.fatal());
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text.rfind("Root missing\r", 0), 0u);

  fs::remove(install_ / "QSNPath.ini");
  fs::remove(install_ / "Policy.dyn");
  TProgramSettings noPolicy(install_);
  EXPECT_TRUE(noPolicy.fatal());
  ASSERT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_NE(boxes_.boxes[1].text.find("Policy missing in \r" + slashed(install_)),
            std::string::npos);

  writeFile(install_ / "Policy.dyn", "");
  fs::remove(install_ / "Database");
  TProgramSettings noData(install_);
  EXPECT_FALSE(noData.fatal());
  ASSERT_EQ(boxes_.boxes.size(), 3u);
  EXPECT_NE(boxes_.boxes[2].text.find("Database directory not found"), std::string::npos);
}

TEST_F(ProgramPaths, LayoutChoiceByLanguageAndSubLanguage) {
  writeFile(install_ / "QSKeyb.ini",
            "[Keyboards]\r\nEnglish (US)=qwerty.kbd;09;XX\r\nEnglish (Intl)=intl.kbd;09;xx1\r\n"
            "English (UK)=uk.kbd;09;008\r\nDeutsch=german.kbd;07;XX\r\nDvorak=dvorak.kbd\r\n\r\n");
  TProgramSettings p(install_);
  EXPECT_EQ(p.layoutNames(), (std::vector<std::string>{"English (US)", "English (Intl)",
                                                       "English (UK)", "Deutsch", "Dvorak"}));
  UserLayoutSettings autoDetect;
  autoDetect.keyboardAutoDetect = true;

  p.SetSystemLayoutId("00000809");
  EXPECT_EQ(p.languagePart(), "09");
  EXPECT_EQ(p.subLanguagePart(), "008");
  EXPECT_EQ(p.layoutIdPrefix(), "000008");
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, autoDetect), "uk.kbd");
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", true, {}), "English (UK)");

  p.SetSystemLayoutId("00000409");  // no exact entry: the last "XX" one before it
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, autoDetect), "intl.kbd");
  p.SetSystemLayoutId("0000040c");
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, autoDetect), "qwerty.kbd");
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", true, autoDetect), "(automatic)");
  p.SetSystemLayoutId("00000407");
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, autoDetect), "german.kbd");

  UserLayoutSettings chosen;
  chosen.keyboardLayout = "dvorak";
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, chosen), "dvorak.kbd");
  chosen.keyboardLayout = "Colemak";
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, chosen), "qwerty.kbd");

  // A locked layout overrides the learner's auto-detection unless that is locked too.
  UserLayoutSettings locked = autoDetect;
  locked.keyboardLayout = "Dvorak";
  locked.keyboardLayoutLocked = true;
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, locked), "dvorak.kbd");
  locked.keyboardAutoDetectLocked = true;
  EXPECT_EQ(p.UserLayoutFile("qwerty.kbd", false, locked), "german.kbd");
}

TEST_F(ProgramPaths, StoryPath) {
  fs::create_directories(install_ / "texts");
  TProgramSettings p(install_);
  p.InitStoryPath();
  EXPECT_EQ(p.storyPath().string(), slashed(install_ / "texts"));
  ASSERT_EQ(boxes_.boxes.size(), 1u);  // the layout list is empty
  EXPECT_NE(boxes_.boxes[0].text.find("No keyboard layouts defined in INI"), std::string::npos);

  PolicySettings = std::make_unique<TDynamicSettings>();
  ASSERT_EQ(PolicySettings->Open("", omMemory), 1);
  PolicySettings->WriteString("CustomStoryPath", "stories\\mine");
  p.InitStoryPath();
  EXPECT_EQ(p.storyPath().string(), slashed(install_ / "stories/mine"));
}

TEST(Environment, ExpandsWindowsAndShellReferences) {
  setenv("KS_TEST_VAR", "/srv/ks", 1);
  EXPECT_EQ(expandEnvironment("%KS_TEST_VAR%\\data"), "/srv/ks\\data");
  EXPECT_EQ(expandEnvironment("${KS_TEST_VAR}/a $KS_TEST_VAR/b"), "/srv/ks/a /srv/ks/b");
  EXPECT_EQ(expandEnvironment("%KS_NOT_SET_VAR%/x 100% $ ${} $KS_NOT_SET_VAR"),
            "%KS_NOT_SET_VAR%/x 100% $ ${} $KS_NOT_SET_VAR");
  unsetenv("KS_TEST_VAR");
}

}  // namespace
}  // namespace ks
