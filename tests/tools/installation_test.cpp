// The installation folder the build produces: it must load with the programs' own readers, and
// its language file must define every message the programs look up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "contentc/msgcheck.h"
#include "platform/dialogs.h"
#include "platform/sharedfile.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

const fs::path kShare = fs::path(KS_BINARY_DIR) / "share" / "keyscholar";

// Each shipped language, loaded as the tutor loads it when it is the active one.
class Installation : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ActiveLanguage = GetParam();
    lang_.SetFolder(kShare);
    ASSERT_EQ(lang_.LoadLanguage("language", 1), 0) << lang_.lastError();
    EXPECT_EQ(ActiveLanguage, GetParam());
  }
  void TearDown() override { ActiveLanguage.clear(); }
  std::string text(int id) const { return lang_.GetString(id); }
  size_t count(int id, const std::string& what) const {
    const std::string t = text(id);
    size_t n = 0;
    for (size_t p = t.find(what); p != std::string::npos; p = t.find(what, p + 1)) ++n;
    return n;
  }

  test::RecordingDialogs dialogs_;
  TLocalize lang_;
};

TEST(InstalledLanguages, EnglishIsTheDefaultAndTheOthersAreListed) {
  test::RecordingDialogs dialogs;
  ActiveLanguage.clear();
  TLocalize lang;
  lang.SetFolder(kShare);
  ASSERT_EQ(lang.LoadLanguage("language", 1), 0) << lang.lastError();
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(ActiveLanguage, "ENG");
  EXPECT_EQ(lang.languageNames(), (std::vector<std::string>{"English", "Deutsch", "Espa\xF1ol",
                                                            "Fran\xE7"
                                                            "ais",
                                                            "Italiano", "Portugu\xEAs (Brasil)"}));
  EXPECT_EQ(lang.LanguageCodeAt(1), "DEU");
  EXPECT_EQ(lang.LanguageCodeAt(2), "SPA");
  EXPECT_EQ(lang.LanguageCodeAt(3), "FRA");
  EXPECT_EQ(lang.LanguageCodeAt(4), "ITA");
  EXPECT_EQ(lang.LanguageCodeAt(5), "POR");
  ActiveLanguage.clear();
}

TEST_P(Installation, LanguageFileLoadsWithTheProductNames) {
  EXPECT_TRUE(dialogs_.boxes.empty());
  // The product names are the ones the programs fall back on without a language file.
  EXPECT_EQ(text(1), lang_.GetStringDefault(1));
  EXPECT_EQ(text(1), "Quillstroker");
  EXPECT_EQ(text(2), "Quillstroker Pro");
  EXPECT_GE(lang_.tableSize(), 1910);
  EXPECT_EQ(text(273), " h ") << "escaped blanks survive the build";
}

TEST_P(Installation, EveryMessageTheProgramsLookUpIsDefined) {
  std::string language;
  ASSERT_TRUE(readWholeFile(kShare / ("language." + lowerCase(GetParam())), language));
  const auto uses = contentc::scanMessageUses(
      {fs::path(KS_SOURCE_DIR) / "src", fs::path(KS_SOURCE_DIR) / "apps"});
  const auto missing = contentc::missingMessages(uses, contentc::definedMessageIds(language));
  for (const auto& use : missing)
    ADD_FAILURE() << use.file << ":" << use.line << ": message " << use.id << " is not defined";
}

TEST(MessageScan, FindsLiteralLookupsAndTheirLines) {
  const std::string source =
      "a = lang.GetString(12);\n"
      "b = ComposeMessage(5, -1, 7);\n"
      "c = Localize().GetStringDefault( 3 ) + msg(44);\n"
      "d = GetString(1500 + grade);  // computed: not listed\n";
  const auto uses = contentc::messageUsesIn(source, "x.cpp");
  std::vector<std::pair<int, int>> found;
  for (const auto& u : uses) found.push_back({u.id, u.line});
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{3, 3}, {5, 2}, {7, 2}, {12, 1}, {44, 3}}));
  const auto missing =
      contentc::missingMessages(uses, contentc::definedMessageIds("5=a\r\n7=\r\n"));
  EXPECT_EQ(missing.size(), 3u);
}

TEST_P(Installation, TextsKeepTheShapeTheirCallersRelyOn) {
  // Auto-detection that finds no layout returns 1107; the options view compares it with 205.
  EXPECT_EQ(text(205), text(1107));
  // Format texts hold exactly the placeholders the callers fill in.
  for (int id : {392, 1463, 1490, 1491, 1492, 1493, 1494, 1495, 1610, 1768})
    EXPECT_EQ(count(id, "%s"), 1u) << id;
  EXPECT_EQ(count(1423, "%s"), 2u);
  EXPECT_EQ(count(1325, "%d"), 1u);
  EXPECT_EQ(count(1325, "%"), 1u);
  // Tips are stored as fields of one line: a ";" or "=" would split them.
  for (int id : {1490, 1491, 1492, 1493, 1494, 1495, 1550, 1551, 1552, 1553, 1554, 1555, 1580, 1581,
                 1582, 1583, 1584, 1585, 1586}) {
    EXPECT_EQ(text(id).find_first_of(";="), std::string::npos) << id;
    EXPECT_FALSE(text(id).empty()) << id;
  }
  // Alphabets: names keep letters of both cases; the ABC game plays 221 in order.
  for (char c = 'a'; c <= 'z'; ++c) {
    EXPECT_NE(text(12).find(c), std::string::npos);
    EXPECT_NE(text(12).find(static_cast<char>(c - 'a' + 'A')), std::string::npos);
    EXPECT_NE(text(13).find(c), std::string::npos);
  }
  EXPECT_EQ(text(221), "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(text(15).size(), 14u) << "seven two-letter day names";
  EXPECT_FALSE(text(1432).empty()) << "an empty first line hides the ABC instructions";
  // Stored as a value ("10 " + 1390) and parsed back as the number before the first blank.
  EXPECT_EQ(text(1390).find(' '), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, Installation,
                         ::testing::Values("ENG", "DEU", "SPA", "FRA", "ITA", "POR"),
                         [](const auto& info) { return std::string(info.param); });

TEST(InstalledFiles, PolicyPathsAndGroupLoadWithTheSettingsStore) {
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", kShare));
  ReadLessonOptions();
  EXPECT_EQ(lessonOptions().wordLength, 5);
  // Unset, so that a learner's desktop language chooses (or the learner does).
  EXPECT_EQ(PolicySettings->ReadString("languagecode"), "");
  EXPECT_EQ(PolicySettings->ReadString("DefaultContents"), "eng.cnt");
  EXPECT_TRUE(PolicySettings->ReadBool("Sounds"));
  PolicySettings.reset();

  TDynamicSettings paths;
  ASSERT_EQ(paths.Open((kShare / "QSNPath.ini").string(), omReadOnce), 1);
  EXPECT_EQ(paths.ReadString("AppData"), "1");
  TDynamicSettings group;
  ASSERT_EQ(group.Open((kShare / "0.grp").string(), omReadOnce), 1);
  EXPECT_FALSE(group.ReadString("Name").empty());

  for (const char* folder : {"lessons", "keyboards", "Texts"})
    EXPECT_TRUE(fs::is_directory(kShare / folder)) << folder;
}

TEST(InstalledFiles, ProgramPathsAcceptTheInstallationAndKeepDataPerAccount) {
  test::TempDir home;
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
  test::RecordingDialogs boxes;
  TProgramSettings paths(kShare);
  if (old) {
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
  EXPECT_FALSE(paths.fatal());
  EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;
  EXPECT_TRUE(fs::equivalent(paths.rootPath(), kShare));
  EXPECT_TRUE(fs::equivalent(paths.dataPath(), home / "Keyscholar8"));
  EXPECT_TRUE(fs::is_directory(paths.lessonsPath()));
  EXPECT_TRUE(fs::is_directory(paths.keyboardsPath()));
}

TEST(InstalledFiles, TextFilesAreCrLfWithoutAuthoringComments) {
  for (const char* name : {"Policy.dyn", "QSNPath.ini", "QSLangs.ini", "0.grp", "language.eng"}) {
    std::string bytes;
    ASSERT_TRUE(readWholeFile(kShare / name, bytes)) << name;
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
    for (size_t p = bytes.find('\n'); p != std::string::npos; p = bytes.find('\n', p + 1)) {
      ASSERT_EQ(bytes[p - 1], '\r') << name;
      if (p + 1 < bytes.size()) {
        ASSERT_NE(bytes[p + 1], '#') << name;
      }
    }
    EXPECT_NE(bytes[0], '#') << name;
  }
}

}  // namespace
}  // namespace ks
