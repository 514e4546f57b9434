#include <gtest/gtest.h>

#include "platform/sharedfile.h"
#include "store/binio.h"
#include "store/topten.h"
#include "store/typedtexts.h"
#include "support/filelimit.h"
#include "support/tempdir.h"
#include "userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// Counts the waits and answers the retry question from a script.
class ScriptedRetry : public OpenRetry {
 public:
  void Pause(int ms) override { waited += ms; }
  bool AskAgain(const std::string& question) override {
    questions.push_back(question);
    return questions.size() < answersYes + 1;
  }
  int waited = 0;
  size_t answersYes = 0;
  std::vector<std::string> questions;
};

class HighScores : public test::UserFolders {
 protected:
  TtopTen list(const std::string& name = "Wordtris") { return TtopTen(name, {}, &clock_, &retry_); }

  FakeClock clock_{45292.75};  // 2024-01-01 18:00
  ScriptedRetry retry_;
};

TEST_F(HighScores, ANewGameGetsTheDefaultList) {
  TtopTen scores = list();
  scores.LoadOrCreate();
  const std::string file = readFile(data("Wordtris.topten"));
  ASSERT_EQ(file.size(), 2640u);
  for (int i = 0; i < 10; ++i) {
    const std::string_view record = std::string_view(file).substr(i * 264, 264);
    EXPECT_EQ(record.substr(0, 11), std::string("\x0AKeyscholar"));
    EXPECT_EQ(record.substr(11, 245), std::string(245, '\0'));
    EXPECT_EQ(getInt32LE(record.substr(256)), 930 - 70 * i);
    EXPECT_EQ(getInt32LE(record.substr(260)), 45292);  // the day, not the next one
  }
}

TEST_F(HighScores, AnEqualScoreStillEntersAtTheBottom) {
  TtopTen scores = list();
  scores.LoadOrCreate();
  EXPECT_EQ(scores.Insert(299, "Low"), 0);
  EXPECT_EQ(scores.Insert(300, "Tie"), 10);
  EXPECT_EQ(scores.Entry(9).Name, "Tie");
  EXPECT_EQ(scores.Insert(2000, "Best"), 1);
  EXPECT_EQ(scores.Entry(1).Score, 930);
  EXPECT_EQ(scores.Entry(9).Score, 370);

  // Committing a name writes the list only for a place in the first ten.
  // (The list on disk is still the default one: 500 comes after 510.)
  EXPECT_EQ(scores.CommitName(500, ""), 8);
  TtopTen reread = list();
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Entry(7).Name, "Player");
  EXPECT_EQ(reread.CommitName(1, "Nobody"), 0);
  EXPECT_EQ(readFile(data("Wordtris.topten")).find("Nobody"), std::string::npos);
}

TEST_F(HighScores, DisplayLinesAndOversizedFiles) {
  std::string file;
  for (int i = 0; i < 150; ++i) {
    file += encodeShortString(i == 0 ? "Tom;Jerry" : "Ann", 255);
    putInt32LE(file, 5000 - i);
    putInt32LE(file, 45292);
  }
  writeFile(data("Clouds.topten"), file + "short");
  TtopTen scores = list("Clouds");
  ASSERT_TRUE(scores.Load());
  EXPECT_EQ(scores.Length(), TtopTen::MaxEntries);
  EXPECT_EQ(scores.Entry(99).Score, 4901);
  const auto lines = scores.DisplayLines();
  EXPECT_EQ(lines[0].substr(0, 16), "the Winner;5000;");
  EXPECT_EQ(lines[1].substr(0, 9), "Ann;4999;");
}

TEST_F(HighScores, AListHeldByAnotherProgramIsWaitedFor) {
  list().LoadOrCreate();
  SharedFile holder = SharedFile::open(data("Wordtris.topten"), FileAccess::ReadWrite,
                                       FileShare{false, false}, false);
  ASSERT_TRUE(holder.isOpen());
  retry_.answersYes = 1;
  TtopTen scores = list();
  EXPECT_FALSE(scores.Load());
  EXPECT_EQ(retry_.waited, 2 * 14 * 200);  // 15 attempts, twice
  ASSERT_EQ(retry_.questions.size(), 2u);
  EXPECT_EQ(retry_.questions[0], "The list is in use. Try again?");
  EXPECT_EQ(scores.Entry(0).Score, 930);  // the fresh list
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_EQ(boxes_.boxes.back().text.rfind("#-802", 0), 0u);
  EXPECT_NE(boxes_.boxes.back().text.find("Topten open failed."), std::string::npos);
}

TEST_F(HighScores, TypedTextsKeepEachLineBesideItsTarget) {
  TTypedTexts texts;
  texts.Add("The cat", "The cat");
  texts.Add("sat on", "sat in");
  const std::string path = data("Ann.TT4").string();
  ASSERT_EQ(texts.Save(path), 1);
  std::string expected;
  for (int i = 0; i < 5; ++i) putInt32LE(expected, 4);
  putInt32LE(expected, 2);
  expected += std::string("\x07\0\x07The cat\x01\0\x01\x0B", 14);
  expected += std::string("\x06\0\x06sat on\x06\0\x06sat in", 18);
  EXPECT_EQ(readFile(path), expected);

  TTypedTexts back;
  ASSERT_EQ(back.Load(path), 1);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.TypedLine(0), "The cat");
  EXPECT_EQ(back.Pairs()[0].Typed, "\x0B");
  EXPECT_EQ(back.TypedLine(1), "sat in");

  // A damaged count stops at the end of the file; an old file loads as empty.
  std::string damaged = readFile(path);
  damaged[20] = '\x7F';
  writeFile(path, damaged);
  EXPECT_EQ(back.Load(path), 0);
  EXPECT_EQ(back.Count(), 2);
  writeFile(path, std::string("\x03\0\0\0", 4));
  EXPECT_EQ(back.Load(path), 1);
  EXPECT_EQ(back.Count(), 0);
}

// A list that cannot be written is logged and says why, so its view can tell the player; the
// file keeps its earlier entries.
TEST_F(HighScores, AListThatCannotBeWrittenSaysWhyAndKeepsItsEntries) {
  TtopTen scores = list();
  scores.LoadOrCreate();
  const std::string before = readFile(data("Wordtris.topten"));
  int rank = 0;
  std::string failure;
  {
    test::FileSizeLimit limit(2000);  // below the list's 2,640 bytes, above a log entry
    rank = scores.CommitName(2000, "Ann");
    failure = scores.SaveFailure();
  }
  EXPECT_EQ(rank, 1);
  EXPECT_EQ(failure, "File too large");
  EXPECT_EQ(readFile(data("Wordtris.topten")), before);
  EXPECT_NE(readFile(data("Errors.log")).find("Wordtris.topten Topten save failed: File too large"),
            std::string::npos);
  EXPECT_TRUE(scores.Save());
  EXPECT_EQ(scores.SaveFailure(), "");
}

}  // namespace
}  // namespace ks
