#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "engine/typist.h"
#include "games/bubbles.h"
#include "gametest.h"

namespace ks {
namespace {

constexpr int kWidth = 650, kHeight = 419;

struct Bubbles : ::testing::Test {
  test::ScriptedFractions random;
  test::RecordingSound sound;
  int64_t now = 0;

  std::unique_ptr<BubblesModel> game(const std::string& letters) {
    return std::make_unique<BubblesModel>(letters, kWidth, kHeight, random, sound, now);
  }
  // Lets the next bubble rise in column `column` with the kind that `kindFraction` draws.
  void spawn(BubblesModel& g, int column, double kindFraction, int free = 10) {
    now += 2000;
    random.fractions = {(column + 0.5) / free, kindFraction, 0.0, 0.9};
    g.Step(now);
  }
  int pop(BubblesModel& g, int column) {
    const int before = g.Points();
    EXPECT_TRUE(g.Key(static_cast<unsigned char>(g.ColumnLetters()[column]), true));
    return g.Points() - before;
  }
  int errors(SoundId id) const {
    return static_cast<int>(std::count(sound.played.begin(), sound.played.end(), id));
  }
};

TEST_F(Bubbles, PopsScoreByKindTempoAndNumberOfLetters) {
  auto eight = game("asdfjkl;");
  EXPECT_EQ(eight->Divisor(), 6);
  spawn(*eight, 0, 0.95);
  EXPECT_EQ(eight->ColumnBubbles()[0].Kind, 3);
  EXPECT_EQ(eight->ColumnLetters()[0], 'a');
  EXPECT_EQ(eight->ColumnBubbles()[0].X, 5);
  EXPECT_EQ(pop(*eight, 0), 2);  // (2 + 13) div 6
  spawn(*eight, 0, 0.1);
  EXPECT_EQ(eight->ColumnBubbles()[0].Kind, 1);
  EXPECT_EQ(pop(*eight, 0), 0);  // (2 + 3) div 6

  auto thirteen = game("abcdefghijklm");
  EXPECT_EQ(thirteen->Divisor(), 1);
  spawn(*thirteen, 3, 0.1);
  EXPECT_EQ(thirteen->ColumnBubbles()[3].X, 3 * 64 + 5);
  EXPECT_EQ(pop(*thirteen, 3), 5);
  spawn(*thirteen, 3, 0.95);
  EXPECT_EQ(pop(*thirteen, 3), 15);

  auto ten = game("abcdefghij");
  spawn(*ten, 9, 0.8);
  EXPECT_EQ(ten->ColumnBubbles()[9].Kind, 2);
  EXPECT_DOUBLE_EQ(ten->ColumnBubbles()[9].Speed, 0.6 * 1.3);
  EXPECT_EQ(pop(*ten, 9), 3);          // (2 + 8) div 3
  EXPECT_FALSE(ten->Key('\n', true));  // a free column's mark pops nothing
}

TEST_F(Bubbles, CatchHeightsRaiseTheTempoAndShortenTheSpawnInterval) {
  auto g = game("asdf");
  g->AddCatchHeight(400);
  EXPECT_FLOAT_EQ(g->Tempo(), 1.1475f);
  EXPECT_NEAR(g->SpawnInterval(), 1.5 - 0.95 * 0.1475 / 9, 1e-6);
  g->AddCatchHeight(200);  // average 300: between H - 120 and H - 80
  EXPECT_EQ(g->AverageHeight(), 300);
  EXPECT_FLOAT_EQ(g->Tempo(), 1.1775f);
  g->AddCatchHeight(-30);
  g->AddCatchHeight(-30);
  g->AddCatchHeight(-30);             // the ring keeps the last four: 200, -30, -30, -30
  EXPECT_EQ(g->AverageHeight(), 28);  // 27.5 to even
  EXPECT_FLOAT_EQ(g->Tempo(), 1.1775f + 3 * 0.008f);
}

TEST_F(Bubbles, AWrongKeyCostsTwiceTheTempoButNeverBelowZero) {
  auto g = game("abcdefghijklm");
  EXPECT_FALSE(g->Key('z', true));
  EXPECT_EQ(g->Points(), 0);
  EXPECT_TRUE(g->LastKeyWrong());
  for (int i = 0; i < 5; ++i) g->AddCatchHeight(kHeight);
  EXPECT_NEAR(g->Tempo(), 1.5, 1e-5);
  spawn(*g, 0, 0.95);
  pop(*g, 0);
  EXPECT_EQ(g->Points(), 15);
  g->Key('z', true);
  EXPECT_EQ(g->Points(), 13);
  g->Key('z', false);  // paused: nothing lost
  EXPECT_EQ(g->Points(), 13);
  EXPECT_EQ(errors(SoundId::Error), 2);
}

TEST_F(Bubbles, TheSixthEscapeEndsTheGame) {
  auto g = game("asdf");
  int steps = 0;
  while (!g->Finished() && steps < 60000) {
    now += BubblesModel::kStepMs;
    g->Step(now);
    ++steps;
  }
  EXPECT_TRUE(g->Finished());
  EXPECT_EQ(g->MissedCount(), 6);
  EXPECT_EQ(errors(SoundId::Error2), 5);         // the sixth ends the game instead
  EXPECT_NEAR(g->Tempo(), 1 + 6 * 0.008, 1e-5);  // escapes raise the tempo least
  EXPECT_FALSE(g->Key(static_cast<unsigned char>('a'), true));
  const auto decorations = g->Decorations().size();
  g->Step(now + 1000);
  EXPECT_EQ(g->Decorations().size(), decorations);
}

TEST_F(Bubbles, NoBubbleComesWhileAllColumnsAreBusy) {
  auto g = game("abcdefghijklm");
  for (int i = 0; i < 400; ++i) g->AddCatchHeight(kHeight);  // the fastest tempo
  for (int i = 0; i < 30; ++i) {
    now += BubblesModel::kStepMs;
    g->Step(now);
  }
  const std::string& letters = g->ColumnLetters();
  EXPECT_EQ(letters.find(BubblesModel::kFree), std::string::npos);
  EXPECT_EQ(std::set<char>(letters.begin(), letters.end()).size(), 10u);  // all different
  for (const Tbubble& b : g->ColumnBubbles()) EXPECT_TRUE(b.Active);
  EXPECT_DOUBLE_EQ(g->BaseSpeed(), 13.0 / 5);
  const char first = letters[0];
  g->Key(static_cast<unsigned char>(first), true);
  EXPECT_EQ(g->ColumnLetters()[0], BubblesModel::kFree);
  now += BubblesModel::kStepMs;
  g->Step(now);
  EXPECT_TRUE(g->ColumnBubbles()[0].Active);
}

// A quick typist pops each bubble soon after it appears for half a minute, then stops: the tempo
// climbs, pops score more, and the game ends at the sixth escape with the sum of the pops.
TEST_F(Bubbles, AScriptedTypistPlaysAWholeGame) {
  random.rest = SeededRandom(42);
  auto g = game("asdfghjkl");
  static constexpr int kKind[] = {0, 3, 8, 13};
  int expected = 0, pops = 0, poppedAtTempo2 = 0;
  double firstSpeed = 0, lastSpeed = 0;
  while (!g->Finished() && now < 600000) {
    now += BubblesModel::kStepMs;
    g->Step(now);
    for (size_t c = 0; c < 10 && now < 30000; ++c) {
      const Tbubble& b = g->ColumnBubbles()[c];
      if (!b.Active || b.Y > kHeight - 30) continue;
      if (firstSpeed == 0) firstSpeed = b.Speed / (b.Kind == 1 ? 1 : b.Kind == 2 ? 1.3 : 1.6);
      lastSpeed = g->BaseSpeed();
      const int tempo = static_cast<int>(g->Tempo());
      expected += (2 * tempo + kKind[b.Kind]) / g->Divisor();
      poppedAtTempo2 += tempo >= 2;
      EXPECT_TRUE(g->Key(static_cast<unsigned char>(g->ColumnLetters()[c]), true));
      ++pops;
    }
  }
  EXPECT_TRUE(g->Finished());
  EXPECT_GT(pops, 20);
  EXPECT_GT(poppedAtTempo2, 0);
  EXPECT_GT(lastSpeed, firstSpeed);
  EXPECT_EQ(g->Points(), expected);
  EXPECT_EQ(g->MissedCount(), 6);
  EXPECT_EQ(errors(SoundId::Error), 0);
}

}  // namespace
}  // namespace ks
