// The review word data: the generator's rules, and the shipped files read back through the
// tutor's own stream reader with levels that agree with the course.
#include <gtest/gtest.h>

#include <map>

#include "platform/sharedfile.h"
#include "shippedcontent.h"
#include "store/fileobj.h"
#include "support/tempdir.h"
#include "text/cp1252.h"
#include "wordgen/wordgen.h"

namespace ks {
namespace {

using namespace ks::wordgen;

struct ReadBack {
  std::vector<IndexRecord> index;
  std::vector<std::string> texts;
};

// Reads word data the way the builders do: both files as binary streams without a header.
ReadBack readWordData(const std::string& hdr, const std::string& wzd) {
  ReadBack out;
  TStreamFile h;
  EXPECT_EQ(h.OpenStream(hdr, 1, true), fsOk) << hdr;
  while (!h.AtEnd() && out.index.size() < kMaxIndexRecords) {
    IndexRecord r;
    int32_t v[5];
    for (int32_t& x : v) EXPECT_TRUE(h.ReadInt16(x));
    r = {v[0] & 0xFF, v[1], v[2], v[3], v[4]};
    out.index.push_back(r);
  }
  TStreamFile d;
  EXPECT_EQ(d.OpenStream(wzd, 1, true), fsOk) << wzd;
  EXPECT_EQ(d.size() % kDataRecordSize, 0);
  for (int64_t i = 0; i < d.size() / kDataRecordSize; ++i) {
    d.SeekRecord(i, kDataRecordSize);
    std::string text;
    EXPECT_TRUE(d.ReadShortString(text, kMaxText));
    out.texts.push_back(text);
  }
  return out;
}

TEST(WordGen, KeyGroupsComeFromThePlainNewKeysLinesInOrder) {
  const std::string course =
      "$description=x\r\nbegin chapter\r\n  new keys=fjdk\r\n  new keys=SEMICOLON\r\n"
      "  new keys_dvorak=aoeu\r\n' new keys=zz\r\n  new keys=-%=+\r\n  new keys=\r\nend "
      "chapter\r\n";
  EXPECT_EQ(courseKeyGroups(course), (std::vector<std::string>{"fjdk", ";", "-=+"}));
}

TEST(WordGen, ATextBelongsToTheFirstLevelThatKnowsAllItsKeys) {
  const std::vector<std::string> groups = {"fjdk", "asl", "ei"};
  EXPECT_EQ(textLevel("dd kk", groups), 1);
  EXPECT_EQ(textLevel("salad", groups), 2);
  EXPECT_EQ(textLevel("a kid likes", groups), 3);
  EXPECT_EQ(textLevel("zoo", groups), 0);
}

TEST(WordGen, RecordsOfAKeyFallInLevelAndArePrefixesOfOneBlock) {
  const std::vector<std::string> groups = {"asdf", "jkl", "ei"};
  const WordData data =
      buildWordData(groups, {"sad", "dad", "lad", "ask", "idea", "side", "dad"}, {"a sad lad"});
  ASSERT_TRUE(data.errors.empty());
  std::vector<IndexRecord> d;
  for (const IndexRecord& r : data.index) {
    if (r.key == 'd' && r.kind == kKindWords) d.push_back(r);
  }
  // "d" words: sad, dad (level 1), lad (2), idea, side (3); the duplicate is kept once.
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].level, 3);
  EXPECT_EQ(d[0].count, 5);
  EXPECT_EQ(d[1].level, 2);
  EXPECT_EQ(d[1].count, 3);
  EXPECT_EQ(d[2].level, 1);
  EXPECT_EQ(d[2].count, 2);
  EXPECT_EQ(d[0].first, d[2].first);
  EXPECT_EQ(data.texts[d[2].first], "sad");
  bool piece = false;
  for (const IndexRecord& r : data.index) piece |= r.kind == kKindSentences && r.key == 'l';
  EXPECT_TRUE(piece);

  // What is written reads back unchanged.
  test::TempDir dir;
  ASSERT_TRUE(writeWholeFile(dir / "t.hdr", data.headerBytes()));
  ASSERT_TRUE(writeWholeFile(dir / "t.wzd", data.dataBytes()));
  const ReadBack back = readWordData((dir / "t.hdr").string(), (dir / "t.wzd").string());
  EXPECT_EQ(back.texts, data.texts);
  ASSERT_EQ(back.index.size(), data.index.size());
  EXPECT_EQ(back.index[0].count, data.index[0].count);
}

TEST(WordGen, BrokenListsAreErrorsNotSilentGaps) {
  const WordData data = buildWordData({"abc"}, {"cab", "xyz", std::string(25, 'a')}, {});
  EXPECT_EQ(data.errors.size(), 2u);
  EXPECT_EQ(data.texts, (std::vector<std::string>{"cab", "cab", "cab"}));
}

TEST(WordGen, ListsSkipNotesAndBlankLines) {
  EXPECT_EQ(listWords("# note\n\nsad dad\tlad\r\nask\n"),
            (std::vector<std::string>{"sad", "dad", "lad", "ask"}));
  EXPECT_EQ(listPieces("# note\r\n a sad lad \n\nask dad\n"),
            (std::vector<std::string>{"a sad lad", "ask dad"}));
}

class ShippedWordData : public ::testing::TestWithParam<test::ShippedCourse> {};

TEST_P(ShippedWordData, ReadsBackWithLevelsThatMatchTheCourse) {
  const std::string course = GetParam().file;
  const std::string wizard = course.substr(0, course.find('.'));
  const auto lessons = test::kShippedRoot / "lessons";
  std::string courseText;
  ASSERT_TRUE(readWholeFile(lessons / course, courseText));
  const std::vector<std::string> groups = courseKeyGroups(courseText);
  const ReadBack data =
      readWordData((lessons / (wizard + ".hdr")).string(), (lessons / (wizard + ".wzd")).string());
  ASSERT_FALSE(data.index.empty());
  ASSERT_LT(data.index.size(), static_cast<size_t>(kMaxIndexRecords));

  std::map<std::pair<int, int>, int> lastLevel;  // (key, kind) -> level of the record before
  std::map<int, int> wordsPerKind;
  for (const IndexRecord& r : data.index) {
    ASSERT_TRUE(r.kind == kKindWords || r.kind == kKindSentences);
    ASSERT_GE(r.first, 0);
    ASSERT_GT(r.count, 0);
    ASSERT_LE(static_cast<size_t>(r.first + r.count), data.texts.size());
    auto [it, fresh] = lastLevel.emplace(std::make_pair(r.key, r.kind), r.level);
    if (!fresh) {
      EXPECT_LT(r.level, it->second) << "records of a key come in falling level order";
      it->second = r.level;
    }
    for (int i = r.first; i < r.first + r.count; ++i) {
      const std::string& text = data.texts[i];
      EXPECT_NE(text.find(static_cast<char>(r.key)), std::string::npos) << text;
      const int level = textLevel(text, groups);
      EXPECT_GT(level, 0) << text;
      EXPECT_LE(level, r.level) << text << " at level " << r.level;
    }
    wordsPerKind[r.kind] += r.count;
  }
  // Every letter has words to practise it, and the first home-row lessons already find some.
  for (char c = 'a'; c <= 'z'; ++c) {
    EXPECT_TRUE(lastLevel.count({static_cast<unsigned char>(c), kKindWords})) << c;
  }
  EXPECT_GT(wordsPerKind[kKindSentences], 0);
  // A review right after a lesson builds its words from that lesson's keys at that lesson's
  // level: each lower-case letter finds words as soon as it is taught.
  for (size_t level = 1; level <= groups.size(); ++level) {
    for (char c : groups[level - 1]) {
      if (c < 'a' || c > 'z') continue;
      bool found = false;
      for (const IndexRecord& r : data.index) {
        found |= r.key == c && r.kind == kKindWords && r.level <= static_cast<int>(level);
      }
      EXPECT_TRUE(found) << "no words for " << c << " at level " << level;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Courses, ShippedWordData, ::testing::ValuesIn(test::shippedCourses()),
                         [](const auto& info) {
                           return info.param.file.substr(0, info.param.file.find('.'));
                         });

}  // namespace
}  // namespace ks
