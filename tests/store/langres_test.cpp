#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::TempDir;
using test::writeFile;

class LocalizationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lang_.SetFolder(dir_.path());
    ActiveLanguage.clear();
  }
  void TearDown() override { ActiveLanguage.clear(); }
  std::filesystem::path file(const std::string& name, const std::string& bytes) {
    writeFile(dir_ / name, bytes);
    return dir_ / name;
  }

  TempDir dir_;
  test::RecordingDialogs dialogs_;
  TLocalize lang_;
};

TEST_F(LocalizationTest, LoadsOneFileWithCommentsEscapesAndSizing) {
  auto path = file("language.eng",
                   "0=ENG\r\n1=Title\r\n/5=comment\r\n 6=blank id\r\nnoequals\r\n"
                   "5=Line\\nTwo\\+end\r\n10=Last\r\n");
  EXPECT_EQ(lang_.LoadStringFile(path, 1), 0);
  EXPECT_EQ(lang_.tableSize(), 11);
  EXPECT_EQ(lang_.GetString(5), "Line\rTwo end");
  EXPECT_EQ(lang_.GetString(6), "");  // unset slot
  EXPECT_EQ(lang_.GetString(7), "");
  EXPECT_EQ(lang_.GetString(11), "(Localization error - string missing)");
  EXPECT_EQ(lang_.GetString(-1), "(Localization error - string missing)");
  EXPECT_EQ(lang_.ComposeMessage(5, -1, 10), "\rLine\rTwo end\rLast");
  EXPECT_EQ(lang_.GetStringDefault(1), "Title");
  lang_.SetString(1, "Renamed");
  EXPECT_EQ(lang_.GetString(1), "Renamed");
}

TEST_F(LocalizationTest, SizingLineRules) {
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=ENG\n1=x\n"), 1), 0);
  EXPECT_EQ(lang_.tableSize(), 2);
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=ENG\n1=x\n\n"), 1), 0);  // one blank end
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=ENG\n1=x\n\n\n"), 1), -1);
  EXPECT_NE(lang_.lastError().find("The last rows of the string resource file not valid in "),
            std::string::npos);
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "1=x\n0=ENG\n"), 1), -1);
  // A last line that does not carry the largest id: the larger id is out of range.
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=ENG\n9=x\n3=y\n"), 1), -1);
  // The id 0 text must occur in the file's own path.
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=FRA\n1=x\n"), 1), -1);
  // A file without entry 0 (or an empty one) does not name itself.
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "1=x\n2=y\n"), 1), -1);
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=\n1=x\n"), 1), -1);
  EXPECT_EQ(lang_.LoadStringFile(dir_ / "missing.eng", 1), -1);
  EXPECT_EQ(lang_.GetStringDefault(1), "Quillstroker");
  EXPECT_EQ(lang_.GetStringDefault(2), "Quillstroker Pro");
}

TEST_F(LocalizationTest, DuplicateIdsFailTheMainFile) {
  EXPECT_EQ(lang_.LoadStringFile(file("language.eng", "0=ENG\n1=a\n1=b\n2=c\n"), 1), -1);
  EXPECT_EQ(lang_.lastError(),
            "Duplicate string resource with id #1 in " + (dir_ / "language.eng").string());
  EXPECT_EQ(dialogs_.boxes.back().text, lang_.lastError());
}

TEST_F(LocalizationTest, FallbackOrderOverrideThenEnglish) {
  file("QSLangs.ini",
       "[Languages]\nlanguage=FRA\nEnglish=ENG\nFran\xE7"
       "ais=FRA\n");
  file("language.eng", "0=ENG\n1=One\n2=Two\n3=Three\n");
  file("language.fra", "0=FRA\n1=Un\n5=Cinq\n");
  file("language.icr", "0=FRA\n2=Custom two\n99=out of range is skipped\n");
  EXPECT_EQ(lang_.LoadLanguage("language", 1), 0);
  EXPECT_EQ(ActiveLanguage, "FRA");
  EXPECT_EQ(lang_.GetString(1), "Un");          // present in both: French
  EXPECT_EQ(lang_.GetString(2), "Custom two");  // the override file wins
  EXPECT_EQ(lang_.GetString(3), "Three");       // missing in French: English
  EXPECT_EQ(lang_.GetString(5), "Cinq");        // English is shorter; the table keeps its size
  EXPECT_EQ(lang_.languageNames(), (std::vector<std::string>{"English",
                                                             "Fran\xE7"
                                                             "ais"}));
  EXPECT_EQ(lang_.LanguageCodeAt(1), "FRA");
  EXPECT_EQ(lang_.LanguageCodeAt(2), "");
  EXPECT_EQ(lang_.LanguageIndex("fra"), 1);
  EXPECT_EQ(lang_.LanguageIndex(""), 1);
  EXPECT_EQ(lang_.LanguageIndex("DEU"), 0);

  EXPECT_EQ(lang_.SetLanguage("fra"), 0);  // same code, other case
  EXPECT_EQ(lang_.SetLanguage(""), 0);
  EXPECT_EQ(lang_.SetLanguage("eng"), 1);
  EXPECT_EQ(ActiveLanguage, "ENG");
  EXPECT_EQ(lang_.GetString(1), "One");
  EXPECT_EQ(lang_.GetString(5), "(Localization error - string missing)");
}

TEST_F(LocalizationTest, MissingListAndMissingLanguageFallBack) {
  file("language.eng", "0=ENG\n1=One\n");
  ActiveLanguage = "DEU";
  EXPECT_EQ(lang_.LoadLanguage("language", 1), 0);
  ASSERT_FALSE(dialogs_.boxes.empty());
  EXPECT_NE(dialogs_.boxes.front().text.find("language.DEU not found"), std::string::npos);
  EXPECT_EQ(lang_.languageList(), (std::vector<std::string>{"English=ENG"}));
  EXPECT_EQ(lang_.GetString(1), "One");
}

// The desktop's language is taken only when the installation lists it: an unlisted one keeps the
// default without a "not found" box.
TEST_F(LocalizationTest, ListedLanguagesOnlyAreTakenFromTheDesktop) {
  file("QSLangs.ini", "[Languages]\nlanguage=ENG\nEnglish=ENG\nDeutsch=DEU\n");
  file("language.eng", "0=ENG\n1=One\n2=Two\n");
  file("language.deu", "0=DEU\n1=Eins\n");
  ASSERT_EQ(lang_.LoadLanguage("language", 1), 0);
  EXPECT_EQ(lang_.SetListedLanguage("FRA"), 0);
  EXPECT_EQ(lang_.SetListedLanguage(""), 0);
  EXPECT_EQ(ActiveLanguage, "ENG");
  EXPECT_EQ(lang_.SetListedLanguage("deu"), 1);
  EXPECT_EQ(ActiveLanguage, "DEU");
  EXPECT_EQ(lang_.GetString(1), "Eins");
  EXPECT_EQ(lang_.GetString(2), "Two");
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(LocalizationTest, ListWithoutLanguagesStillHasEnglish) {
  file("QSLangs.ini", "[Languages]\nlanguage=ENG\n");
  file("language.eng", "0=ENG\n1=One\n");
  EXPECT_EQ(lang_.LoadLanguage("language", 1), 0);
  EXPECT_EQ(lang_.LanguageCodeAt(0), "ENG");
}

}  // namespace
}  // namespace ks
