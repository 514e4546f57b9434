#include <gtest/gtest.h>

#include "games/gamesmenu.h"
#include "support/tempdir.h"

namespace ks {
namespace {

const GameKeySets kKeys{"abc", "abcABC", "0123456789"};

TEST(GamesMenu, WordGamesRunTheChosenListOrTheStudiedKeys) {
  GameStart tris = wordGameStart(false, "animals", "eng");
  EXPECT_EQ(tris.Line, "Event=Wordtris;0;animals.vcb.eng");
  EXPECT_FALSE(tris.StudiedWords);
  GameStart clouds = wordGameStart(true, "-stud-", "eng");
  EXPECT_EQ(clouds.Line, "Event=Clouds;0;-stud-.vcb.eng;true");
  EXPECT_TRUE(clouds.StudiedWords);
  EXPECT_EQ(studiedWordCount(16), 12);  // 12.5 to even
  EXPECT_EQ(studiedWordCount(3), 67);
  EXPECT_EQ(studiedWordCount(0), 0);  // no keys: no words, no division by zero
}

TEST(GamesMenu, BubblesAndAbcChoicesPresetTheirKeys) {
  const auto bubbles = [](int choice, bool studied) {
    return bubblesStart(choice, studied, kKeys);
  };
  EXPECT_TRUE(bubbles(1, true).LearnerLevel);
  EXPECT_EQ(bubbles(1, true).PresetKeys, "");
  EXPECT_EQ(bubbles(2, true).PresetKeys, "abc");
  EXPECT_EQ(bubbles(3, true).PresetKeys, "abcABC");
  EXPECT_EQ(bubbles(4, true).PresetKeys, "0123456789");
  EXPECT_FALSE(bubbles(1, false).LearnerLevel);  // the game's own letters
  EXPECT_EQ(bubbles(1, false).PresetKeys, "");
  EXPECT_EQ(bubbles(2, false).PresetKeys, "abcABC");
  EXPECT_EQ(bubbles(3, false).PresetKeys, "0123456789");
  EXPECT_EQ(bubbles(1, false).Line, "Event=Bubbles;0;");

  EXPECT_EQ(abcStart(0, kKeys).Line, "Event=ABC;0;");
  EXPECT_EQ(abcStart(0, kKeys).PresetKeys, "abc");
  EXPECT_EQ(abcStart(1, kKeys).PresetKeys, "cba");
  EXPECT_EQ(abcStart(2, kKeys).PresetKeys, "aAbBcC");
  EXPECT_EQ(abcStart(3, kKeys).PresetKeys, "3141592653589793238462643383279502884197169399");
  EXPECT_EQ(abcStart(2, {std::string(200, 'x'), "", ""}).PresetKeys.size(), 255u);
  EXPECT_EQ(abcEntries("a - z", "aA - zZ"),
            (std::vector<std::string>{"a - z", "z - a", "aA - zZ", "1-10"}));
}

TEST(GamesMenu, TheWordListsAreTheLanguagesVcbFilesAfterTheStudiedKeys) {
  test::TempDir dir;
  test::writeFile(dir / "Animals.vcb.eng", "cat\r\n");
  test::writeFile(dir / "food.vcb.ENG", "pie\r\n");
  test::writeFile(dir / "tiere.vcb.deu", "Hund\r\n");
  // Titles are in lower case here: no language names letters that may be capitalised.
  EXPECT_EQ(vocabularyList(dir.path(), "eng", false, "Studied keys"),
            (std::vector<std::string>{"animals", "food"}));
  EXPECT_EQ(vocabularyList(dir.path(), "eng", true, "Studied"),
            (std::vector<std::string>{"studied", "animals", "food"}));
  EXPECT_EQ(vocabularyChoice("Studied", 0, true), "-stud-");
  EXPECT_EQ(vocabularyChoice("Animals", 1, true), "animals");
  EXPECT_EQ(vocabularyChoice("Animals", 0, false), "animals");
  EXPECT_TRUE(offersStudiedKeys("asdf;", 2, "abcdefghijklmnopqrstuvwxyz"));
  EXPECT_FALSE(offersStudiedKeys("123;", 2, "abcdefghijklmnopqrstuvwxyz"));  // no letters
  EXPECT_FALSE(offersStudiedKeys("asdf", 0, "abcdefghijklmnopqrstuvwxyz"));  // no key order
}

}  // namespace
}  // namespace ks
