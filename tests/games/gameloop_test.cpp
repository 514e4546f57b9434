#include <gtest/gtest.h>

#include <set>

#include "games/gameloop.h"
#include "games/gamewords.h"
#include "platform/random.h"
#include "support/tempdir.h"

namespace ks {
namespace {

// Counts the steps of one minute polled at uneven moments, as a busy event loop would.
int stepsInAMinute(int interval) {
  GameLoop loop(interval);
  const int64_t start = 5000;
  loop.Start(start);
  const int gaps[] = {4, 4, 7, 3, 13, 1, 9, 5};
  int steps = 0;
  int64_t now = start;
  for (size_t i = 0; now < start + 60000; ++i) {
    steps += loop.DueSteps(now);
    now += gaps[i % std::size(gaps)];
  }
  return steps + loop.DueSteps(start + 59999);
}

TEST(GameLoop, NeverDriftsOverAMinuteOfUnevenPolls) {
  EXPECT_EQ(stepsInAMinute(20), 3000);  // bubbles
  EXPECT_EQ(stepsInAMinute(30), 2000);  // the ABC game
  EXPECT_EQ(stepsInAMinute(100), 600);
}

TEST(GameLoop, ALongStallRestartsTheCadenceInsteadOfRacing) {
  GameLoop loop(20);
  loop.Start(0);
  EXPECT_EQ(loop.DueSteps(0), 1);
  EXPECT_EQ(loop.DueSteps(19), 0);
  EXPECT_EQ(loop.DueSteps(65), 3);  // 20, 40, 60: a late poll catches up
  EXPECT_EQ(loop.DueSteps(2000), 1);
  EXPECT_EQ(loop.DueSteps(2019), 0);
  EXPECT_EQ(loop.DueSteps(2020), 1);
  loop.Stop();
  EXPECT_EQ(loop.DueSteps(5000), 0);
}

TEST(GameLoop, ANewIntervalCountsFromTheLastStepNotFromTheStepAlreadyDue) {
  GameLoop loop(1170);  // a five-letter word at level 1
  loop.Start(0, false);
  EXPECT_EQ(loop.DueSteps(1170), 1);
  loop.SetInterval(1500);  // a longer word comes in
  EXPECT_EQ(loop.DueSteps(2340), 0);
  EXPECT_EQ(loop.DueSteps(2669), 0);
  EXPECT_EQ(loop.DueSteps(2670), 1);
  loop.SetInterval(600);  // a quicker level
  EXPECT_EQ(loop.DueSteps(3000), 0);
  EXPECT_EQ(loop.DueSteps(3270), 1);
  loop.SetInterval(600);  // the same interval again changes nothing
  EXPECT_EQ(loop.DueSteps(3869), 0);
  EXPECT_EQ(loop.DueSteps(3870), 1);
}

TEST(GameWords, HandsOutShuffledWordsAndSaysWhenThereAreNone) {
  SeededRandom random(3);
  GameWords words;
  EXPECT_EQ(words.Next(random, false), "--");
  words.Set({});
  EXPECT_EQ(words.Next(random, false), "n/a");
  words.Load("WORDBUILDER:asdf", {}, "Dad\r\n  sad \r\n\r\nads");
  std::multiset<std::string> seen;
  for (int i = 0; i < 3; ++i) seen.insert(words.Next(random, true));
  EXPECT_EQ(seen, (std::multiset<std::string>{"ads", "dad", "sad"}));

  test::TempDir dir;
  test::writeFile(dir / "animals.vcb.eng", "cat\r\n dog \r\n\r\n");
  words.Load("animals.vcb.eng", dir.path(), "");
  ASSERT_TRUE(words.Words());
  EXPECT_EQ(*words.Words(), (std::vector<std::string>{"cat", "dog"}));
  words.Load("-none-", dir.path(), "");
  EXPECT_FALSE(words.HasList());
  words.Load("missing.vcb", dir.path(), "");
  EXPECT_EQ(words.Next(random, false), "n/a");
}

}  // namespace
}  // namespace ks
