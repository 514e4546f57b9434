#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/typist.h"
#include "games/abcgame.h"
#include "gametest.h"

namespace ks {
namespace {

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz";

struct Abc : ::testing::Test {
  test::ScriptedFractions random;
  test::RecordingSound sound;
  int64_t now = 1000;
  AbcModel game(const std::string& sequence) {
    AbcModel g(sequence, kAlphabet, 725, 419, random, sound, now);
    g.Start(now);
    return g;
  }
  void play(AbcModel& g, int64_t ms) {
    for (int64_t end = now + ms; now < end;) {
      now += AbcModel::kStepMs;
      g.Step(now);
    }
  }
};

TEST_F(Abc, TheSequenceSetsTheBasePointsAndTheBubbleSize) {
  EXPECT_EQ(game(kAlphabet).BasePoints(), 100);
  EXPECT_EQ(game("zyxwvutsrqponmlkjihgfedcba").BasePoints(), 150);
  EXPECT_EQ(game(AbcModel::kPiDigits).BasePoints(), 120);
  EXPECT_EQ(game("abcdefghij").BubbleDiameter(), 50);
  EXPECT_EQ(game(AbcModel::kPiDigits).BubbleDiameter(), 28);   // 27.5, to even
  EXPECT_EQ(game(std::string(200, 'x')).BubbleDiameter(), 8);  // never vanishes
  EXPECT_EQ(game("ab\rc").Sequence(), "abc");
}

TEST_F(Abc, BubblesAppearClockwiseOnTheCircleAndSparksStayInTheField) {
  AbcModel g = game(kAlphabet);
  play(g, 3000);
  EXPECT_EQ(g.NextReveal(), 27);
  const auto at = [&](int i) { return std::pair<double, double>(g.Bubble(i).X, g.Bubble(i).Y); };
  EXPECT_EQ(at(1), std::make_pair(382.0, 8.0));
  EXPECT_EQ(at(2), std::make_pair(423.0, 20.0));
  EXPECT_EQ(at(26), std::make_pair(297.0, 13.0));
  EXPECT_EQ(g.Bubble(1).Kind, 4);
  EXPECT_EQ(g.Bubble(2).Kind, 2);
  EXPECT_FALSE(g.Sparks().empty());
  for (const Tbubble& s : g.Sparks()) {
    EXPECT_TRUE(s.X >= 0 && s.X <= 725 && s.Y >= 0 && s.Y <= 419);
    EXPECT_TRUE(std::abs(s.VelocityX) >= 1 && std::abs(s.VelocityX) <= 3);
  }
}

TEST_F(Abc, PointsShrinkWithTimeAndAWrongCharacterCosts100) {
  AbcModel g = game(kAlphabet);
  EXPECT_TRUE(g.Key('a', true, now));
  EXPECT_EQ(g.Points(), 100);
  EXPECT_EQ(g.Bubble(2).Kind, 4);       // the next target
  EXPECT_FALSE(g.Key('a', true, now));  // typed places no longer match
  EXPECT_EQ(g.Points(), 0);
  EXPECT_EQ(sound.played, std::vector<SoundId>{SoundId::Error});
  EXPECT_TRUE(g.Key('b', true, now + 30000));
  EXPECT_EQ(g.Points(), 67);                     // 100 * (1 - 30000 / 90000)
  EXPECT_FALSE(g.Key('z', false, now + 30000));  // paused: nothing lost
  EXPECT_EQ(g.Points(), 67);
  EXPECT_TRUE(g.Key('c', true, now + 135000));
  EXPECT_EQ(g.Points(), 17);  // after 90 s a character costs
  EXPECT_TRUE(g.Key('d', true, now + 180000));
  EXPECT_EQ(g.Points(), 0);  // but the score never goes below zero
  EXPECT_EQ(AbcModel::Stopwatch(83456), "01:23.45");
}

TEST_F(Abc, EnterBackspaceAndOtherControlKeysAreWrongKeysLikeAnyOther) {
  AbcModel g = game(kAlphabet);
  g.Key('a', true, now);
  g.Key('b', true, now);
  ASSERT_EQ(g.Points(), 200);
  EXPECT_FALSE(g.Key('\r', true, now));  // a typed place holds a carriage return
  EXPECT_EQ(g.Points(), 100);
  EXPECT_FALSE(g.Key(8, true, now));
  EXPECT_EQ(g.Points(), 0);
  EXPECT_EQ(sound.played, (std::vector<SoundId>{SoundId::Error, SoundId::Error}));
  EXPECT_EQ(g.NextExpected(), 3);
}

TEST_F(Abc, RepeatedDigitsAreTypedInOrderAndTheLastEndsTheGame) {
  AbcModel pi = game(AbcModel::kPiDigits);
  for (char c : std::string("3141")) EXPECT_TRUE(pi.Key(static_cast<unsigned char>(c), true, now));
  EXPECT_EQ(pi.NextExpected(), 5);
  EXPECT_EQ(pi.Points(), 4 * 120);

  AbcModel g = game("xyz");
  g.Key('x', true, now);
  g.Key('y', true, now);
  const int before = g.Points();
  EXPECT_TRUE(g.Key('z', true, now));
  EXPECT_TRUE(g.Finished());
  EXPECT_EQ(g.Points(), before + 150);  // the last character scores like the others
  EXPECT_FALSE(g.Key('q', true, now));
  EXPECT_EQ(g.Points(), before + 150);
}

}  // namespace
}  // namespace ks
