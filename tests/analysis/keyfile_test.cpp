#include <gtest/gtest.h>

#include "analysis/layouttest.h"
#include "store/recordingdialogs.h"

namespace ks {
namespace {

using test::loadLines;
using test::TempDir;

class KeyFile : public ::testing::Test {
 protected:
  void SetUp() override { test::setKeyMessages(); }
  const TKeyInfoExt& key(size_t i) const { return *layout.Keys.at(i); }
  TempDir dir;
  TKeyDataExt layout;
  test::RecordingDialogs boxes;
};

TEST_F(KeyFile, PlacesKeysRelativeToThePreviousKey) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"defaultsize;25;26", "key;1;10;50;30;30;-;q;Q", "key;3;+4;0;0;0;a;x;X",
                       "key;2;-5;+3;0;0;-;z", "key;2;+1234;0;x;-;-;c", "key;4;0;0;40;0;-;v",
                       "key;4;abc;0;0;0;-;b", "key;4;+2;0;0;0;-;n"}),
            1);
  // 4 pixels right of the previous key's right edge, same row, same size.
  EXPECT_EQ(key(1).X, 44);
  EXPECT_EQ(key(1).Y, 50);
  EXPECT_EQ(key(1).Width, 30);
  EXPECT_EQ(key(1).Height, 30);
  EXPECT_TRUE(key(1).AlwaysActive);
  EXPECT_FALSE(key(1).Nub);
  // "-n" moves left of the right edge; a Y of "+3" goes below the previous key.
  EXPECT_EQ(key(2).X, 44 + 30 - 5);
  EXPECT_EQ(key(2).Y, 50 + 30 + 3);
  // At most three digits after the sign; a non-number size takes the default size.
  EXPECT_EQ(key(3).X, 69 + 30 + 123);
  EXPECT_EQ(key(3).Width, 25);
  EXPECT_EQ(key(3).Height, 26);
  // 0 repeats the previous X, Y and height.
  EXPECT_EQ(key(4).X, key(3).X);
  EXPECT_EQ(key(4).Y, key(3).Y);
  EXPECT_EQ(key(4).Width, 40);
  EXPECT_EQ(key(4).Height, 26);
  // A non-number position is -1 and the next key starts from there.
  EXPECT_EQ(key(5).X, -1);
  EXPECT_EQ(key(6).X, -1 + 40 + 2);
}

TEST_F(KeyFile, ChainsKeysOfARowAcrossOtherLines) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"key;1;10;10;30;30;-;a", "tabkey;1;0;0;0;0;-;EMPTY", "vkey;2;+2;0;0;0;-;s",
                       "key;3;10;50;0;0;-;d", "key;4;+2;0;0;0;-;f"}),
            1);
  EXPECT_EQ(key(0).RightNeighbour, &key(2));  // the Tab line neither links nor breaks
  EXPECT_EQ(key(2).LeftNeighbour, &key(0));
  EXPECT_EQ(key(1).LeftNeighbour, nullptr);
  EXPECT_EQ(key(2).RightNeighbour, nullptr);  // next row
  EXPECT_EQ(key(3).LeftNeighbour, nullptr);
  EXPECT_EQ(key(4).LeftNeighbour, &key(3));  // the last key is linked too
}

TEST_F(KeyFile, ReadsCharacterColumnTokens) {
  ASSERT_EQ(
      loadLines(layout, dir,
                {"  KEY;1;1;1;1;1;-;EMPTY;%;;#32;#13;% ;abcdefghijklmnopq;5%  ",
                 "key;1;1;1;1;1;-;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23",
                 "' a comment;key;1", "", "\t"}),
      1);
  ASSERT_EQ(layout.Keys.size(), 2u);
  EXPECT_EQ(key(0).Chars[0], "");
  EXPECT_EQ(key(0).Chars[1], ";");
  EXPECT_EQ(key(0).Chars[2], " ");
  EXPECT_EQ(key(0).Chars[3], "\r");
  EXPECT_EQ(key(0).Chars[4], "%");
  EXPECT_EQ(key(0).Chars[5], "abcdefghijklmno");  // cut to 15
  EXPECT_EQ(key(0).Chars[6], "5%");               // the line is trimmed first
  // Columns beyond the 21 slots are dropped.
  EXPECT_EQ(key(1).Chars[20], "21");
  EXPECT_EQ(layout.CharacterSet,
            ("; \r%abcdefghijklmno5%" + std::string("123456789101112131415161718192021")));
}

TEST_F(KeyFile, ReadsTheLayoutWideLines) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"layoutcode;0000040B", "materialbased;QWERTZ", "homerow;asdfjkl%;",
                       "defaultsize;x;22", "fontsize;20;12", "keybpicfile;Board.BMP;5;-6",
                       "commadot;1", "unknownline;1;2", "key;1;0;0;0;0"}),
            1);
  EXPECT_EQ(layout.LayoutCode, "0000040B");
  EXPECT_EQ(layout.LanguageCode, "0B");
  EXPECT_EQ(layout.MaterialName, "qwertz");
  EXPECT_EQ(layout.HomeRow, "asdfjkl;");  // the escaped ";" is the eighth key
  EXPECT_EQ(layout.SemicolonKey, ';');
  EXPECT_EQ(layout.DefaultWidth, 0);
  EXPECT_EQ(layout.DefaultHeight, 22);
  EXPECT_EQ(layout.CaptionFont, 20);
  EXPECT_EQ(layout.SmallCaptionFont, 12);
  EXPECT_EQ(layout.ShiftCaptionFont, 0);
  EXPECT_EQ(layout.PictureFile, "board.bmp");
  EXPECT_EQ(layout.PictureY, -6);
  EXPECT_EQ(layout.CommaDot, 1);
  // A key line with nothing but geometry has a key without characters.
  EXPECT_EQ(key(0).Finger, 1);
  EXPECT_EQ(key(0).Chars[0], "");

  ASSERT_EQ(loadLines(layout, dir, {"homerow;aoeuhtns", "key;1;0;0;0;0;-;a"}), 1);
  EXPECT_EQ(layout.SemicolonKey, 's');
  EXPECT_EQ(layout.MaterialName, "qwertz");  // kept from before: no line changed it
  ASSERT_EQ(loadLines(layout, dir, {"homerow;asdfjkl", "materialbased", "key;1;0;0;0;0;-;a"}), 1);
  EXPECT_EQ(layout.SemicolonKey, ';');  // seven characters
}

TEST_F(KeyFile, EntersModifierKeysByHand) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"shiftcontrolkey;1;0;0;40;30;-;1;Anything", "key;2;+2;0;30;0;-;a;A",
                       "shiftcontrolkey;8;+2;0;40;0;-;1;Shift", "controlkey;9;0;0;0;0;-;4;AltGr",
                       "controlkey;1;0;0;0;0;-;2;Ctrl", "controlkey;1;0;0;0;0;-;2;Ctrl2",
                       "controlkey;9;0;0;0;0;-;pic=none.bmp;3;Alt",
                       // Lines short of their columns: a modifier shown only, a caption made up.
                       "controlkey;1;0;0;0;0;-", "shiftcontrolkey;8;0;0;0;0;-;6"}),
            1);
  EXPECT_EQ(layout.LeftModifiers[1], &key(0));
  EXPECT_EQ(layout.RightModifiers[1], &key(2));
  EXPECT_EQ(layout.RightModifiers[4], &key(3));
  EXPECT_EQ(layout.LeftModifiers[2], &key(5));   // a later key with the number replaces
  EXPECT_EQ(layout.RightModifiers[3], &key(6));  // the number follows the picture column
  EXPECT_EQ(key(0).Chars[0], "Shift");           // the caption is the Shift message
  EXPECT_EQ(key(0).ModifierNumber, 1);
  EXPECT_EQ(key(7).ModifierNumber, 0);
  EXPECT_EQ(key(8).Chars[0], "Shift");
  EXPECT_EQ(layout.RightModifiers[6], &key(8));
  EXPECT_EQ(layout.CharacterSet, "aA");  // modifiers add nothing

  // Without a finger guide every modifier is a left-hand one.
  ASSERT_EQ(loadLines(layout, dir, {"keybowldata", "shiftcontrolkey;8;0;0;0;0;-;1;S"}), 1);
  EXPECT_TRUE(layout.KeybowlLayout);
  EXPECT_FALSE(layout.FingerGuide);
  EXPECT_EQ(layout.LeftModifiers[1], &key(0));
  EXPECT_EQ(layout.RightModifiers[1], nullptr);
}

TEST_F(KeyFile, GivesSpecialKeysTheirCharacters) {
  ASSERT_EQ(loadLines(layout, dir,
                      {"tabkey;1;0;0;0;0;-;EMPTY", "enterkey;8;0;0;0;0;-;x", "spacekey;9;0;0;0;0;-",
                       "backspacekey;8;0;0;0;0;s", "capslockkey;1;0;0;0;0;hd;Caps Lock",
                       "bowlkey;1;0;0;0;0;nz;b"}),
            1);
  EXPECT_EQ(key(0).Chars[0], "\t");
  EXPECT_EQ(key(1).Chars[0], "\r");
  EXPECT_EQ(key(2).Chars[0], " ");
  EXPECT_EQ(key(3).Chars[0], "\b");
  EXPECT_TRUE(key(3).SmallCaption);
  EXPECT_TRUE(key(4).HiddenUnlessLit && key(4).Dim);
  EXPECT_TRUE(key(5).BowlKey && key(5).Nub && key(5).ErrorPicture);
  EXPECT_EQ(layout.CharacterSet, "\t\r \bCaps Lockb");
}

TEST_F(KeyFile, LoadsOnlyPicturesThatExist) {
  test::writeFile(dir / "Up.bmp", "BM");
  ASSERT_EQ(
      loadLines(layout, dir, {"key;1;0;0;0;0;-;pic=up.bmp,lit.bmp;a;A", "key;1;0;0;0;0;-;pic=;b"}),
      1);
  EXPECT_TRUE(key(0).HasPicture);
  EXPECT_EQ(key(0).Picture, (dir / "Up.bmp").string());  // found ignoring letter case
  EXPECT_EQ(key(0).LitPicture, "");
  EXPECT_EQ(key(0).Chars[0], "a");  // characters follow the picture column
  EXPECT_FALSE(key(1).HasPicture);
  EXPECT_EQ(key(1).Chars[0], "b");
}

TEST_F(KeyFile, UnusableFilesLeaveAnEmptyLayoutAndSayWhy) {
  const std::vector<std::string> good{"layoutcode;00000407", "homerow;asdfjklo",
                                      "key;1;0;0;0;0;-;a"};
  const std::string path = (dir / "bad.kbd").string();
  struct Case {
    std::string bytes;
    int result;
  } cases[] = {
      {test::kbdFile(good, "5"), TKeyDataExt::kWrongVersion},
      {"layoutcode;00000407\r\nkey;1;0;0;0;0;-;a\r\n", TKeyDataExt::kWrongVersion},  // no header
      {test::kbdFile({"layoutcode;00000407", "commadot;yes", "key;1;0;0;0;0;-;a"}),
       TKeyDataExt::kBadContent},
      {test::kbdFile({"keybpicfile;k.bmp;1", "key;1;0;0;0;0;-;a"}), TKeyDataExt::kBadContent},
      {test::kbdFile({"layoutcode;00000407"}), TKeyDataExt::kBadContent},  // no keys
      {test::kbdFile(good) + std::string(64, '\0'), TKeyDataExt::kBadContent},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(loadLines(layout, dir, good), 1);
    boxes.boxes.clear();
    test::writeFile(path, c.bytes);
    EXPECT_EQ(layout.loadFromFile(path), c.result);
    EXPECT_TRUE(layout.Keys.empty());
    EXPECT_EQ(layout.HomeRow, "");
    EXPECT_EQ(layout.LayoutCode, "");
    EXPECT_EQ(layout.CharacterSet, "");
    EXPECT_EQ(layout.LeftModifiers[1], nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(path), std::string::npos) << boxes.boxes[0].text;
  }
}

TEST_F(KeyFile, AMissingFileKeepsTheLayoutButItsSystemLayout) {
  ASSERT_EQ(loadLines(layout, dir, {"dynamiclayout", "layoutcode;00000407", "key;1;0;0;0;0;-;a"}),
            1);
  EXPECT_TRUE(layout.DynamicLayout);
  EXPECT_LT(layout.loadFromFile((dir / "missing.kbd").string()), 0);
  EXPECT_EQ(layout.Keys.size(), 1u);
  EXPECT_EQ(layout.LayoutCode, "");
  EXPECT_FALSE(layout.DynamicLayout);
  EXPECT_TRUE(boxes.boxes.empty());  // the caller reports it
}

TEST_F(KeyFile, DynamicLayoutsTakeCharactersFromTheSystemLayout) {
  test::FakeSystemKeyboard system;
  // Dvorak's upper row and home row, the German keypad separator.
  const char* upper[] = {"'", ",", ".", "p", "y", "f"};
  for (int i = 0; i < 6; ++i) system.keys[16 + i] = {upper[i], "", "", ""};
  const char* home[] = {"a", "o", "e", "u", "h", "t", "n", "s"};
  const int homeScans[] = {30, 31, 32, 33, 36, 37, 38, 39};
  for (int i = 0; i < 8; ++i) system.keys[homeScans[i]] = {home[i], "", "", ""};
  system.keys[83] = {",", "", "", ""};
  system.keys[13] = {"\xB4", "`", "", "\xB8"};

  ASSERT_EQ(loadLines(layout, dir,
                      {"materialbased;qwerty", "dynamiclayout", "materialbased;qwerty",
                       "homerow;asdfjkl%;", "xkey;8;0;0;0;0;-;x;X;13",
                       "vkey;8;+2;0;0;0;-;x;X;EMPTY;EMPTY;s4", "commadotkey;7;0;0;0;0;-;.",
                       "xkey;8;0;0;0;0;-;q;Q;0"}),
            1);
  EXPECT_EQ(layout.MaterialName, "dvorak");
  EXPECT_EQ(layout.HomeRow, "aoeuhtns");
  EXPECT_EQ(layout.SemicolonKey, 's');
  EXPECT_EQ(key(0).Chars[0], "\xB4");
  EXPECT_EQ(key(0).Chars[1], "`");
  EXPECT_EQ(key(0).Chars[2], "");  // the columns are not used
  EXPECT_EQ(key(0).Chars[20], "\xB8");
  EXPECT_EQ(key(1).Chars[4], "s4");  // no scan code: the file's characters
  EXPECT_EQ(key(2).Chars[0], ",");
  EXPECT_EQ(key(3).Chars[0], "q");

  // The material name of an unknown row is the row itself.
  system.keys[16] = {"Q", "", "", ""};
  ASSERT_EQ(loadLines(layout, dir, {"dynamiclayout", "materialbased;x", "key;1;0;0;0;0;-;a"}), 1);
  EXPECT_EQ(layout.MaterialName, "q,.pyf");
}

TEST_F(KeyFile, AFollowingLayoutReadsItsKeysAgainAfterTheUserSwitched) {
  test::FakeSystemKeyboard system;
  system.keys[21] = {"y", "Y", "", ""};
  ASSERT_EQ(loadLines(layout, dir, {"dynamiclayout", "xkey;5;0;0;0;0;-;y;Y;21"}), 1);
  system.keys[21] = {"z", "Z", "", ""};  // the learner switched to a German layout
  EXPECT_FALSE(layout.reloadIfChanged());
  EXPECT_EQ(key(0).Chars[0], "y");
  layout.markLayoutChanged();
  EXPECT_TRUE(layout.reloadIfChanged());
  EXPECT_EQ(key(0).Chars[0], "z");
  EXPECT_FALSE(layout.LayoutChanged);
}

TEST_F(KeyFile, ReloadingGivesTheSameLayout) {
  const std::vector<std::string> lines{"homerow;asdfjkl%;", "key;1;10;10;30;30;-;a;A",
                                       "key;2;+2;0;0;0;-;s;S", "shiftcontrolkey;8;+2;0;0;0;-;1;S"};
  ASSERT_EQ(loadLines(layout, dir, lines), 1);
  const std::string set = layout.CharacterSet;
  ASSERT_EQ(layout.loadFromFile(layout.FileName), 1);
  EXPECT_EQ(layout.Keys.size(), 3u);
  EXPECT_EQ(layout.CharacterSet, set);
  EXPECT_EQ(key(0).RightNeighbour, &key(1));
  EXPECT_EQ(layout.RightModifiers[1], &key(2));
}

}  // namespace
}  // namespace ks
