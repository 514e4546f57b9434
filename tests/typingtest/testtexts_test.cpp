#include <gtest/gtest.h>

#include "platform/sharedfile.h"
#include "store/langres.h"
#include "store/recordingdialogs.h"
#include "support/tempdir.h"
#include "typingtest/testtexts.h"
#include "typingtest/textimport.h"

namespace ks {
namespace {

class TestTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    Localize().SetString(1, "Keyscholar");
    Localize().SetString(1429, "(added)");
  }
  void TearDown() override { Localize().Reset(); }
  void text(const std::string& base, const std::string& descriptor) {
    test::writeFile(dir_ / (base + ".exi"), descriptor);
    test::writeFile(dir_ / (base + ".exm"), "Some text to type.\r\n");
  }
  std::vector<std::string> listed(bool showAll) {
    TestTextList list;
    list.LoadTestTexts(dir_.path(), showAll, "ENG");
    std::vector<std::string> bases;
    for (int i = 0; i < list.Count(); ++i) bases.push_back(list.TestTextAt(i)->BaseName);
    return bases;
  }

  test::TempDir dir_;
  test::RecordingDialogs boxes_;
};

TEST_F(TestTexts, OwnTextsComeFirstByDateThenShippedByNameInTheLanguage) {
  text("beta", "name=Beta\r\nlanguage=eng\r\n");
  text("alpha", "name=Alpha\r\n");
  text("finnish", "name=Aamu\r\nlanguage=FIN\r\n");
  text("secret", "name=Zeta\r\nhidden=1\r\n");
  text("Text1", "Name=Newer (added)\r\nuserAdded=QSPro\r\ndateAdded=45300.5\r\nlanguage=FIN\r\n");
  // Ordered by the day count, not by its text ("9..." sorts after "4..." as text).
  text("Text2", "Name=Older (added)\r\nuserAdded=QSPro\r\ndateAdded=9000.25\r\n");
  // A descriptor another program holds shut cannot be read: it is left out.
  text("locked", "name=Locked\r\n");
  SharedFile held =
      SharedFile::open(dir_ / "locked.exi", FileAccess::ReadWrite, {false, false}, false);
  ASSERT_TRUE(held.isOpen());

  EXPECT_EQ(listed(false), (std::vector<std::string>{"Text2", "Text1", "alpha", "beta"}));
  EXPECT_EQ(listed(true),
            (std::vector<std::string>{"Text2", "Text1", "finnish", "alpha", "beta", "secret"}));
  TestTextList list;
  list.LoadTestTexts(dir_.path(), false, "ENG");
  EXPECT_EQ(list.TestTextNames()[0], "Older (added)");
  EXPECT_EQ(list.FindTestText("ALPHA"), list.TestTextAt(2));

  ASSERT_TRUE(list.DeleteTestText(list.FindTestText("beta"), dir_.path()));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "beta.exi"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "beta.exm"));
}

TEST_F(TestTexts, ATextBecomesTheTestsOwnExamLine) {
  text("Text1", "Name=Mine\r\nMinAccuracy=90\r\nMinSpeed=30\r\nMinGrossSpeed=\r\n");
  TestTextList list;
  list.LoadTestTexts(dir_.path(), true, "ENG");
  TtypingTest& d = *list.FindTestText("Text1");
  // An empty criterion would vanish from the line and move the later ones: it reads as 0.
  EXPECT_EQ(ExamInternalLine("FILE:/t/Text1.exm", d),
            "Event=EXAMINTERNAL;0;FILE:/t/Text1.exm;False;0;90;0;30;2");
  EXPECT_EQ(TestTextField("/my;texts", "Text1"), "FILE:/my%;texts/Text1.exm");
  EXPECT_EQ(TestBaseName("c:\\texts\\Alice.exm"), "Alice");
  EXPECT_EQ(TestBaseName("FILE:Alice.EXM"), "Alice");
  EXPECT_EQ(DurationMinutes("250"), 200);
  EXPECT_EQ(DurationMinutes("abc"), 0);
  EXPECT_EQ(DurationMinutes("5 min"), 5);
  EXPECT_EQ(DurationMinutes("-3 min"), 0);
}

TEST_F(TestTexts, AnOwnTextIsDecodedMappedAndNumberedAfterTheOthers) {
  test::writeFile(dir_ / "Text1.exm", "x");
  test::writeFile(dir_ / "text3.exm", "x");  // two files match: Text3 is taken, Text4 is next
  const std::filesystem::path file = dir_ / "story.txt";
  test::writeFile(file,
                  "\xE2\x80\x9C"
                  "Caf\xC3\xA9\xE2\x80\x9D \xE2\x80\x93 it\xE2\x80\x99s "
                  "fine\xE2\x80\xA6 \xF0\x9F\x98\x80\nNext line\n");
  std::string asked;
  TextImportServices services;
  services.now = 45300.75;
  services.askDrop = [&](const std::string& chars) {
    asked = chars;
    return true;
  };
  std::unique_ptr<TtypingTest> d = AddTestText(dir_.path(), file, services);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->BaseName, "Text4");
  EXPECT_EQ(asked, "U+1F600");
  EXPECT_EQ(test::readFile(dir_ / "Text4.exm"), "\"Caf\xE9\" - it's fine... \r\nNext line\r\n");
  d.reset();
  EXPECT_EQ(test::readFile(dir_ / "Text4.exi"),
            "Name=story.txt (added)\r\nuserAdded=QSPro\r\ndateAdded=45300.75\r\n");

  // A layout without "é": the learner is asked, and saying no adds nothing.
  services.typable = [](unsigned char c) { return c < 0x80; };
  services.askDrop = [&](const std::string& chars) {
    asked = chars;
    return false;
  };
  EXPECT_FALSE(AddTestText(dir_.path(), file, services));
  EXPECT_EQ(asked, "\xE9 U+1F600");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "Text5.exm"));

  // Not UTF-8: read as Windows-1252, its curly quotes and dashes made plain.
  EXPECT_EQ(ImportText("\x93Gr\xFC\xDF\x94 \x96 \x85\r", nullptr, true, nullptr),
            "\"Gr\xFC\xDF\" - ...\r\n");
}

TEST_F(TestTexts, TheListShowsTitlesWhileTheTestKeepsItsOwnName) {
  text("alice", "name=Alice in Wonderland\r\ntitle=Alice in Wonderland (Lewis Carroll)\r\n");
  text("mine", "Name=mine.txt (added)\r\nuserAdded=QSPro\r\n");
  TestTextList list;
  list.LoadTestTexts(dir_.path(), false, "ENG");
  EXPECT_EQ(list.TestTextNames(),
            (std::vector<std::string>{"mine.txt (added)", "Alice in Wonderland (Lewis Carroll)"}));
  EXPECT_EQ(list.FindTestText("alice")->Name(), "Alice in Wonderland");
  EXPECT_EQ(list.FindTestText("alice")->ReadString("Name"), "Alice in Wonderland");
}

TEST_F(TestTexts, ATimedTestGoesOnWithTheNextTextsUntilTheyAreLongEnough) {
  for (const char* base : {"a", "b", "c", "d"}) {
    test::writeFile(dir_ / (std::string(base) + ".exi"), std::string("name=") + base + "\r\n");
    test::writeFile(dir_ / (std::string(base) + ".exm"), std::string(100, 'x'));
  }
  test::writeFile(dir_ / "d.exm", "");  // an empty text adds nothing
  test::writeFile(dir_ / "hidden.exi", "name=hidden\r\nhidden=1\r\n");
  test::writeFile(dir_ / "hidden.exm", "a hidden text");
  TestTextList offered;
  offered.LoadTestTexts(dir_.path(), false, "ENG");
  const auto files = [&](const std::string& chosen, uintmax_t characters) {
    std::vector<std::string> names;
    for (const auto& f : ContinuedTextFiles(offered, chosen, dir_.path(), characters))
      names.push_back(f.filename().string());
    return names;
  };
  EXPECT_EQ(files("b", 100), std::vector<std::string>{"b.exm"});
  EXPECT_EQ(files("b", 250), (std::vector<std::string>{"b.exm", "c.exm", "a.exm"}));
  EXPECT_EQ(files("c", 10000), (std::vector<std::string>{"c.exm", "a.exm", "b.exm"}));
  // A text the list does not offer (an assigned hidden one) goes on with the list's first.
  EXPECT_EQ(files("hidden", 150), (std::vector<std::string>{"hidden.exm", "a.exm", "b.exm"}));
  // Ten minutes of a fast typist.
  EXPECT_EQ(10 * kTestCharsPerMinute, 7500u);
}

TEST_F(TestTexts, AFileThatCannotBeReadOrWrittenAddsNothing) {
  TextImportServices services;
  EXPECT_FALSE(AddTestText(dir_.path(), dir_ / "missing.txt", services));
  ASSERT_EQ(boxes_.texts().size(), 1u);
  EXPECT_EQ(boxes_.texts()[0],
            "Cannot open the chosen file for read. Make sure you close it first.");
  test::writeFile(dir_ / "a.txt", "abc");
  // The texts folder is missing (here: a file stands in its place).
  EXPECT_FALSE(AddTestText(dir_ / "a.txt", dir_ / "a.txt", services));
  EXPECT_EQ(boxes_.texts().back(), "Cannot open the file for output");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

}  // namespace
}  // namespace ks
