#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "engine/typist.h"
#include "games/clouds.h"
#include "gametest.h"

namespace ks {
namespace {

constexpr int kWidth = 778, kHeight = 363;

struct Clouds : ::testing::Test {
  test::ScriptedFractions random;
  test::RecordingSound sound;
  std::deque<std::string> words;
  std::vector<std::pair<std::string, int>> added;
  int64_t now = 0;

  // `groupLeft` (0 to 3) and `bonusLeft` (0 to 5) as the game's first draws.
  std::unique_ptr<CloudsModel> game(int groupLeft, int bonusLeft) {
    random.fractions = {(groupLeft + 0.5) / 4, (bonusLeft + 0.5) / 6};
    CloudMetrics m;
    m.TextWidth = [](const std::string& w) { return 12 * static_cast<int>(w.size()); };
    return std::make_unique<CloudsModel>(
        kWidth, kHeight, m,
        [this] {
          std::string w = words.empty() ? "word" : words.front();
          if (!words.empty()) words.pop_front();
          return w;
        },
        [this](const std::string& w, int weight) { added.emplace_back(w, weight); }, random, sound);
  }
  void type(CloudsModel& g, const std::string& text) {
    for (char c : text) g.Key(static_cast<unsigned char>(c), now);
  }
  void step(CloudsModel& g) {
    now += g.StepInterval();
    g.Step(now);
  }
  int count(SoundId id) const {
    return static_cast<int>(std::count(sound.played.begin(), sound.played.end(), id));
  }
};

TEST_F(Clouds, TheFirstCloudIsSunnyAndReadableAtOnce) {
  auto g = game(0, 0);
  words = {"rainy", "house"};
  step(*g);  // the spawn counter starts full
  ASSERT_EQ(g->Clouds().size(), 1u);
  const TCloud& first = g->Clouds()[0];
  EXPECT_EQ(first.CloudType, TCloud::Sunny);
  EXPECT_EQ(first.CloudWord, "house");
  EXPECT_EQ(first.X, kWidth);
  EXPECT_TRUE(first.WordVisible());
  EXPECT_EQ(first.Current(), TCloud::Bonus);
  EXPECT_EQ(g->Selected(), &first);
  type(*g, "housx");
  EXPECT_EQ(g->Clouds()[0].CloudErrors, 1);
  type(*g, "e ");
  EXPECT_EQ(g->Points(), 15);         // Trunc(1) x 5 x 3
  EXPECT_FLOAT_EQ(g->Level(), 1.7f);  // a sunny cloud before any rain cloud: + 0.7
  EXPECT_TRUE(g->Clouds().empty());
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].second, 2);
}

TEST_F(Clouds, EnterSpaceAndBackspaceMoveTheSelectionAndPlainCloudsCannotBeTyped) {
  auto g = game(3, 5);  // a group of plain clouds comes first
  words = {"sun", "ignored"};
  for (int i = 0; i < 3; ++i) g->NewCloud();
  ASSERT_EQ(g->Clouds().size(), 3u);
  EXPECT_EQ(g->Clouds()[0].CloudType, TCloud::Sunny);
  EXPECT_EQ(g->Clouds()[1].CloudType, TCloud::Plain);
  EXPECT_EQ(g->Clouds()[1].Width, 120);
  type(*g, " ");  // Space before typing skips to the next cloud
  EXPECT_EQ(g->SelectedIndex(), 1);
  type(*g, "a");  // a plain cloud has nothing to type
  EXPECT_EQ(g->Clouds()[1].CloudErrors, 1);
  EXPECT_EQ(count(SoundId::Error), 1);
  type(*g, "\b\b");  // back to the first, then round to the last
  EXPECT_EQ(g->SelectedIndex(), 2);
  type(*g, "\r");
  EXPECT_EQ(g->SelectedIndex(), 0);
  type(*g, "su\r");  // not typed out: Enter only moves on
  EXPECT_EQ(g->SelectedIndex(), 1);
  EXPECT_EQ(g->Clouds().size(), 3u);
  type(*g,
       "\b"
       "n\b");  // typed out: Backspace clears it and selects the one before
  EXPECT_EQ(g->Clouds().size(), 2u);
  EXPECT_EQ(g->Points(), 9);
  EXPECT_EQ(g->SelectedIndex(), 1);
}

TEST_F(Clouds, TheLevelTableSetsSpeedSpawnPeriodTierAndZones) {
  auto g = game(0, 0);
  EXPECT_EQ(g->StepInterval(), 25);
  EXPECT_EQ(g->SpawnPeriod(), 90);
  for (int i = 0; i < 40; ++i) {
    const int x = g->ZonePosition(5);  // level 1: always the right third
    EXPECT_TRUE(x >= 536 && x < 678) << x;
  }
  g->SetLevel(3);
  EXPECT_EQ(g->StepInterval(), 22);
  EXPECT_EQ(g->SpawnPeriod(), 85);
  g->SetLevel(7.5f);
  EXPECT_EQ(g->Tier(), 2);
  EXPECT_EQ(g->BonusSpacing(), 4);
  EXPECT_EQ(g->SpawnPeriod(), 60);
  g->SetLevel(11.5f);
  EXPECT_EQ(g->StepInterval(), 14);
  EXPECT_EQ(g->SpawnPeriod(), 45);
  EXPECT_EQ(g->Tier(), 3);
  g->SetLevel(13);
  EXPECT_EQ(g->SpawnPeriod(), 40);
  g->SetLevel(30);
  EXPECT_FLOAT_EQ(g->Speed(), 4);
  g->SetLevel(0.5f);
  EXPECT_FLOAT_EQ(g->Level(), 1);
}

TEST_F(Clouds, HowLateARainCloudIsClearedAdaptsTheLevel) {
  auto g = game(0, 0);
  TCloud rain;
  rain.CloudType = TCloud::Rain;
  rain.Width = 100;
  rain.TurnX2 = 400;
  rain.X = 300;  // a = 0.2
  g->AdaptLevel(rain);
  EXPECT_NEAR(g->Level(), 1.41, 1e-5);
  rain.X = 50;  // a = 0.7
  g->AdaptLevel(rain);
  EXPECT_NEAR(g->Level(), 1.47, 1e-5);
  EXPECT_NEAR(g->MeanRatio(), 0.45, 1e-5);
  rain.X = 400;  // a = 0: the mean of the last two, 0.35, counts
  g->AdaptLevel(rain);
  EXPECT_NEAR(g->Level(), 1.47 + 0.7 - 1.45 * 0.35, 1e-5);
}

// Nobody types: rain clouds escape, each slows the game for about five seconds, and the sixth
// ends it.
TEST_F(Clouds, EscapedRainCloudsSlowTheGameAndTheSixthEndsIt) {
  random.rest = SeededRandom(3);
  auto g = game(0, 0);
  int64_t lastMiss = -1;
  int resumed = 0;
  while (!g->Finished() && now < 3600000) {
    const int before = g->Missed();
    const bool wasSlow = g->SlowingDown();
    step(*g);
    for (const TCloud& c : g->Clouds()) EXPECT_GT(c.X + c.Width, 0);
    EXPECT_LE(g->SelectedIndex(), static_cast<int>(g->Clouds().size()));
    if (g->Missed() > before && !g->Finished()) {
      EXPECT_TRUE(g->SlowingDown());
      EXPECT_FLOAT_EQ(g->Speed(), 1);  // one speed unit less
      lastMiss = now;
    } else if (wasSlow && !g->SlowingDown()) {
      EXPECT_GE(now - lastMiss, 5184);
      EXPECT_LT(now - lastMiss, 5184 + 60);
      EXPECT_FLOAT_EQ(g->Speed(), 2);
      ++resumed;
    }
  }
  EXPECT_TRUE(g->Finished());
  EXPECT_EQ(resumed, 5);
  EXPECT_EQ(g->Missed(), 6);
  EXPECT_EQ(count(SoundId::Error2), 5);
  EXPECT_EQ(g->Points(), 0);
}

}  // namespace
}  // namespace ks
