// Word data made by the build's generator, read back by the builders: texts found for a learner
// use only the keys of the learner's key level.
#include <gtest/gtest.h>

#include "content/revisionbuilder.h"
#include "platform/random.h"
#include "platform/sharedfile.h"
#include "reviewfixtures.h"
#include "text/fields.h"
#include "wordgen/wordgen.h"

namespace ks {
namespace {

TEST(WordDataRoundTrip, GeneratedDataGivesOnlyTextsOfLearnedKeys) {
  const std::string course =
      "$description=x\r\nbegin chapter\r\n  new keys=fjdk\r\n  new keys=sla\r\n"
      "  new keys=SEMICOLON\r\nend chapter\r\nbegin chapter\r\n  new keys=ei\r\n"
      "  new keys=ru\r\nend chapter\r\n";
  const std::vector<std::string> groups = wordgen::courseKeyGroups(course);
  ASSERT_EQ(groups.size(), 5u);
  const wordgen::WordData generated =
      wordgen::buildWordData(groups,
                             {"dad", "sad", "lad", "ask", "flask", "fads", "jaffa", "idea", "side",
                              "said", "fir", "rude", "juries", "field", "fuel", "sure"},
                             {"a sad lad", "ask dad", "a fir is red", "a side field"});
  ASSERT_TRUE(generated.errors.empty());

  test::TempDir dir;
  ASSERT_TRUE(writeWholeFile(dir / "eng.hdr", generated.headerBytes()));
  ASSERT_TRUE(writeWholeFile(dir / "eng.wzd", generated.dataBytes()));
  test::ScopedPolicy policy;
  policy->WriteString("DefaultWizard", "eng");
  test::RecordingDialogs boxes;
  test::FakeLearner learner;
  for (const std::string& g : groups) learner.AddKeyGroup(g);
  SeededRandom random(3);
  BuilderEnvironment env;
  env.Learner = &learner;
  env.LessonsPath = dir.path();

  for (int level = 1; level <= 5; ++level) {
    const std::string known = learner.KeysUpTo(level) + " ";
    TRevisionBuilder b(random, env);
    b.WordText("fjdksla;eiru", level, 50);
    for (const std::string& word : b.Lines) {
      for (char c : word) EXPECT_NE(known.find(c), std::string::npos) << word << " at " << level;
    }
    b.SentenceText("fjdksla;eiru", level, 50);
    for (const std::string& piece : b.Lines) {
      for (char c : piece) EXPECT_NE(known.find(c), std::string::npos) << piece << " at " << level;
    }
    if (level == 2) {
      EXPECT_FALSE(b.Lines.empty()) << "\"a sad lad\" is known at level 2";
    }
  }
  // Every generated word is found again once all keys are known.
  TRevisionBuilder all(random, env);
  all.WordText("fjdksla;eiru", 99, 1000);
  EXPECT_EQ(all.Lines.size(), 16u);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace ks
