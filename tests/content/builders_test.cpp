// Word data files and the text builders: what is found for which keys and levels, the shapes of
// the drill texts, and the generated key drills on the US layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "content/revisionbuilder.h"
#include "platform/random.h"
#include "reviewfixtures.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace ks {
namespace {

using test::FakeLearner;
using test::RecordingDialogs;
using test::ScopedPolicy;
using test::SmallWordData;
using test::TempDir;

TEST(WordData, DamagedRecordsNeverReadOutsideTheirData) {
  // Three index records and a cut fourth; record 2 starts before the data, record 3 runs past it.
  std::string hdr =
      test::indexBytes(
          {{'a', 1, wkWords, 0, 2}, {'b', 1, wkWords, -4, 2}, {'c', 2, wkSentences, 1, 40}}) +
      "\x01\x02\x03";
  std::string wzd = test::dataBytes({"alpha"});
  std::string second(kWordDataRecordSize, 'x');
  second[0] = static_cast<char>(200);  // a length byte beyond the 24 characters
  wzd += second;

  const std::vector<WordIndexRecord> index = parseWordIndex(hdr);
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(index[1].First, -4);
  EXPECT_EQ(index[2].Kind, wkSentences);
  EXPECT_EQ(wordDataText(wzd, 0), "alpha");
  EXPECT_EQ(wordDataText(wzd, 1), std::string(24, 'x'));
  EXPECT_EQ(wordDataText(wzd, 2), "");
  EXPECT_EQ(wordDataText(wzd, -1), "");

  TempDir dir;
  test::writeFile(dir / "w.hdr", hdr);
  test::writeFile(dir / "w.wzd", wzd);
  WordData data;
  ASSERT_EQ(data.Open((dir / "w.hdr").string(), (dir / "w.wzd").string()), 1);
  EXPECT_EQ(data.Texts(index[0]), (std::vector<std::string>{"alpha", std::string(24, 'x')}));
  EXPECT_TRUE(data.Texts(index[1]).empty());
  EXPECT_EQ(data.Texts(index[2]).size(), 1u);

  // At most 2999 index records are read.
  std::string big;
  for (int i = 0; i < 3005; ++i) big += test::indexBytes({{'a', 1, 1, 0, 1}});
  EXPECT_EQ(parseWordIndex(big).size(), 2999u);

  EXPECT_EQ(data.Open((dir / "w.hdr").string(), (dir / "none.wzd").string()), -1);
  EXPECT_EQ(data.FailedFile(), (dir / "none.wzd").string());
  EXPECT_TRUE(data.Index().empty());
}

TEST(WordData, TheDataSetComesFromCourseBuilderLearnerOrPolicy) {
  ScopedPolicy policy;
  policy->WriteString("DefaultWizard", "pol");
  FakeLearner learner;
  learner.settings.WriteString("DefaultWizard", "own");
  TempDir dir;
  const auto name = [](const std::string& path) {
    return std::filesystem::path(path).filename().string();
  };

  WordDataFiles f = chooseWordData("", "", &learner.settings, dir.path());
  EXPECT_EQ(name(f.Data), "pol.wzd") << "the learner's set counts only when its file exists";
  test::writeFile(dir / "OWN.WZD", "");
  f = chooseWordData("", "", &learner.settings, dir.path());
  EXPECT_EQ(name(f.Header), "own.hdr");
  EXPECT_EQ(name(f.Data), "OWN.WZD");
  f = chooseWordData("side", "", &learner.settings, dir.path());
  EXPECT_EQ(name(f.Data), "side.wzd");
  // A course's own set wins; each missing file of it falls back to the policy's.
  test::writeFile(dir / "crs.hdr", "");
  f = chooseWordData("side", "crs", &learner.settings, dir.path());
  EXPECT_EQ(name(f.Header), "crs.hdr");
  EXPECT_EQ(name(f.Data), "pol.wzd");
}

class Builders : public ::testing::Test {
 protected:
  Builders() {
    data.writeTo(dir.path());
    policy->WriteString("DefaultWizard", "eng");
    test::addKeyOrder(learner);
    env.Learner = &learner;
    env.LessonsPath = dir.path();
  }
  TRevisionBuilder builder() { return TRevisionBuilder(random, env); }

  ScopedPolicy policy;
  RecordingDialogs boxes;
  TempDir dir;
  SmallWordData data;
  FakeLearner learner;
  SeededRandom random{7};
  BuilderEnvironment env;
};

TEST_F(Builders, WordsComeFromTheFirstRecordWithinTheLevelLimit) {
  TRevisionBuilder b = builder();
  b.Keys = "fj";
  b.LevelLimit = 2;
  EXPECT_EQ(b.FindWords(wkWords, 10), 4);
  const std::set<std::string> found(b.Lines.begin(), b.Lines.end());
  EXPECT_EQ(found, (std::set<std::string>{"dfk", "flask", "fads", "jalj"}));

  b.Lines.clear();
  b.LevelLimit = 4;
  EXPECT_EQ(b.FindWords(wkWords, 2), 4) << "at most two per key";
  b.Lines.clear();
  EXPECT_EQ(b.FindWords(wkSentences, 5), 2);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Builders, TextsTheLayoutCannotTypeAreLeftOut) {
  TKeyDataExt layout;
  ASSERT_EQ(test::loadShippedLayout(layout, dir, "qwerty.kbd"), 1);
  data.texts[0] = "f\xFC";  // "fü": no key of the US layout types it
  data.writeTo(dir.path());
  env.Layout = &layout;
  TRevisionBuilder b = builder();
  b.Keys = "f";
  b.LevelLimit = 2;
  b.FindWords(wkWords, 10);
  EXPECT_EQ(std::set<std::string>(b.Lines.begin(), b.Lines.end()),
            (std::set<std::string>{"flask", "fads"}));
}

TEST_F(Builders, MissingWordDataIsReportedOnceAndBuildsNothing) {
  std::filesystem::remove(dir / "eng.wzd");
  TRevisionBuilder b = builder();
  EXPECT_EQ(b.WordLines("fjd", 4, 9), 0);
  EXPECT_EQ(b.Text(), "");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("eng.wzd"), std::string::npos);
  EXPECT_NE(boxes.boxes[0].text.find("#-1"), std::string::npos);
}

TEST_F(Builders, SentencesGetCapitalsAndAFullStop) {
  TRevisionBuilder b = builder();
  EXPECT_EQ(b.SentenceText("fA.", 3, 5), 2);
  EXPECT_EQ(b.Keys, "fa.");
  EXPECT_EQ(std::set<std::string>(b.Lines.begin(), b.Lines.end()),
            (std::set<std::string>{"A sad fad.", "feel As if."}));
  // Without "." among the keys the pieces stay as they are.
  b.SentenceText("f", 3, 5);
  EXPECT_EQ(std::set<std::string>(b.Lines.begin(), b.Lines.end()),
            (std::set<std::string>{"a sad fad", "feel as if"}));
}

TEST_F(Builders, WordTextTitleCasesWordsOfCapitalKeys) {
  TRevisionBuilder b = builder();
  EXPECT_EQ(b.WordText("F", 2, 10), 3);
  EXPECT_EQ(std::set<std::string>(b.Lines.begin(), b.Lines.end()),
            (std::set<std::string>{"dfk", "Flask", "Fads"}))
      << "a line whose first letter is the capital is title-cased";
}

TEST_F(Builders, WordLinesWriteTriplesWithCyclingPunctuation) {
  TRevisionBuilder b = builder();
  // Six words per key asked (18 / 3); "," has its own word, which keeps no mark.
  ASSERT_EQ(b.WordLines("j,?", 4, 18), 2);
  const std::string& j = b.Lines[0];
  EXPECT_EQ(std::count(j.begin(), j.end(), '\n'), 3);
  const std::vector<std::string> rows = splitLines(j);
  std::vector<std::string> marks;
  for (const std::string& row : rows) {
    if (row.empty()) continue;
    const std::vector<std::string> words = splitFields(row, " ");
    ASSERT_EQ(words.size(), 3u) << row;
    EXPECT_EQ(words[0], words[1]);
    EXPECT_EQ(words[1], words[2]);
    marks.push_back(words[0].substr(words[0].size() - 1));
  }
  EXPECT_EQ(marks, (std::vector<std::string>{",", "?", ","}));
  EXPECT_EQ(b.Lines[1], "ja, ja, ja,\r\n");
}

TEST_F(Builders, WordBlocksPutFourWordsToARow) {
  TRevisionBuilder b = builder();
  ASSERT_EQ(b.WordBlocks("f", 4, 10), 1);
  const std::string& text = b.Lines[0];
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1);
  const std::vector<std::string> rows = splitLines(text);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(splitFields(rows[0], " ").size(), 4u);
  EXPECT_EQ(splitFields(rows[1], " ").size(), 1u);
}

TEST_F(Builders, CapitalKeysFindWordsStartingWithTheirLetter) {
  TRevisionBuilder b = builder();
  ASSERT_EQ(b.WordBlocks("F", 4, 10), 1);
  std::vector<std::string> words = splitFields(b.Lines[0], " \r");
  std::sort(words.begin(), words.end());
  EXPECT_EQ(words, (std::vector<std::string>{"Fads", "Field", "Flask", "Fuel"}));
}

TEST_F(Builders, DrillCountsFollowTheKeyCount) {
  EXPECT_EQ(builderWordCount(4), 20);
  EXPECT_EQ(builderWordCount(1), 40);
  EXPECT_EQ(builderWordCount(2), 27);  // 26.67
  EXPECT_EQ(builderWordCount(0), 0);
  EXPECT_EQ(drillPunctuation("a!;.x:", true), ".!;:");
  EXPECT_EQ(drillPunctuation("a!;.x:", false), ".!");
}

// --- Key drills ---

class KeyDrills : public Builders {
 protected:
  KeyDrills() {
    EXPECT_EQ(test::loadShippedLayout(layout, dir, "qwerty.kbd"), 1);
    env.Layout = &layout;
  }
  // The groups of a drill line, each checked to be four characters and a blank.
  std::vector<std::string> groups(const std::string& line) {
    std::vector<std::string> out;
    for (size_t i = 0; i + 5 <= line.size(); i += 5) {
      EXPECT_EQ(line[i + 4], ' ');
      out.push_back(line.substr(i, 4));
    }
    EXPECT_EQ(line.size() % 5, 0u);
    return out;
  }
  TKeyDataExt layout;
};

TEST_F(KeyDrills, SixRepeatsOfFjGiveTwelveGroupsOnTheSameFingers) {
  learner.keyOrder = {"fjdksla;", "ghrutyvbnm", "eiwoqpcx,."};
  for (unsigned seed : {1u, 2u, 3u}) {
    SeededRandom rng(seed);
    TRevisionBuilder b(rng, env);
    ASSERT_EQ(b.KeyDrill("fj", 3, false, 6), 1);
    ASSERT_EQ(b.Lines.size(), 1u);
    const std::vector<std::string> g = groups(b.Lines[0]);
    ASSERT_EQ(g.size(), 12u);
    for (size_t i = 0; i < g.size(); ++i) {
      const char s = i < 6 ? 'f' : 'j';
      const std::string partners = s + layout.getSameFingerKeys(s) + layout.getSameRowKeys(s);
      EXPECT_NE(g[i].find(s), std::string::npos) << g[i];
      for (char c : g[i]) EXPECT_NE(partners.find(c), std::string::npos) << g[i];
    }
  }
}

TEST_F(KeyDrills, PartnersAreKeysTheLearnerKnows) {
  learner.keyOrder = {"fj", "dk"};
  TRevisionBuilder b(random, env);
  ASSERT_EQ(b.KeyDrill("fj", 2, false, 8), 1);
  for (char c : b.Lines[0]) EXPECT_NE(std::string("fjdk ").find(c), std::string::npos) << c;
}

TEST_F(KeyDrills, PairsPrecedeTheRepeatsAndSemicolonsCanBeEscaped) {
  // 12 repeats: r = 8, p = 4; the pair "a;" four times, then ";" eight times.
  TRevisionBuilder b(random, env);
  ASSERT_EQ(b.KeyDrill("a;", 99, true, 12), 1);
  const std::string escaped = b.Lines[0];
  std::string plain;
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '%' && i + 1 < escaped.size() && escaped[i + 1] == ';') continue;
    plain += escaped[i];
  }
  const std::vector<std::string> g = groups(plain);
  ASSERT_EQ(g.size(), 24u);
  std::string sequence;
  for (const std::string& group : g) {
    // The drilled key is the one that occurs most in its group.
    const auto semis = std::count(group.begin(), group.end(), ';');
    sequence += semis >= 2 ? ';' : 'a';
  }
  EXPECT_EQ(sequence.substr(0, 8), "aaaaaaaa");
  // The event splits the line at ";" but keeps the escaped ones.
  const std::vector<std::string> fields = splitEventFields("Event;KEY2;0;" + escaped);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[3], plain);
}

TEST_F(KeyDrills, ManyKeysRepeatFourTimesAndNoKeysIsReported) {
  TRevisionBuilder b(random, env);
  ASSERT_EQ(b.KeyDrill("asdff", 99, false, 6), 1);
  EXPECT_EQ(b.Keys, "asdf");
  EXPECT_EQ(groups(b.Lines[0]).size(), 16u);
  EXPECT_EQ(b.KeyDrill("", 99, false, 6), 0);
  EXPECT_TRUE(b.Lines.empty());
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("Build: Sequence empty with"), std::string::npos);
}

TEST_F(KeyDrills, EventTextBuildersUseTheLearnersLevel) {
  learner.keyLevel = 2;
  const DrillBuilders d = makeDrillBuilders(env, random);
  const std::string keys = d.keyBuilder("fj");
  EXPECT_EQ(keys.size(), 8u * 2 * 5);
  for (char c : keys) EXPECT_NE(std::string("fjdksla; ").find(c), std::string::npos) << c;
  const std::string words = d.wordBuilder("fj");
  EXPECT_NE(words.find("flask flask flask"), std::string::npos);
  EXPECT_EQ(words.find("field"), std::string::npos) << "level 3 words are not known yet";
}

}  // namespace
}  // namespace ks
