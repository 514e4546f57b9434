#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "engine/typist.h"
#include "games/wordtris.h"

namespace ks {
namespace {

struct Wordtris : ::testing::Test {
  std::deque<std::string> words;
  std::vector<std::pair<std::string, int>> added;
  test::RecordingSound sound;
  WordtrisModel game{[this] {
                       std::string w = words.empty() ? "n/a" : words.front();
                       if (!words.empty()) words.pop_front();
                       return w;
                     },
                     [this](const std::string& w, int weight) { added.emplace_back(w, weight); },
                     sound, "Go"};

  void type(const std::string& text) {
    for (char c : text) game.Key(static_cast<unsigned char>(c));
  }
  int count(SoundId id) const {
    return static_cast<int>(std::count(sound.played.begin(), sound.played.end(), id));
  }
};

TEST_F(Wordtris, AWordTypedWithItsSpaceScoresAndQuickWordsRaiseTheLevel) {
  words = {"house", "garden", "tree"};
  game.Start();
  EXPECT_EQ(game.FallRow(), 1);
  EXPECT_EQ(game.StepInterval(), 1170);  // five letters at level 1
  EXPECT_EQ(game.RowText(1), "house");
  type("hous");
  EXPECT_EQ(game.TypedCount(), 4);
  type("e");
  EXPECT_TRUE(game.AwaitingSpace());
  EXPECT_EQ(game.RowText(1), "Go ");  // only the space is left
  type(" ");
  EXPECT_EQ(game.Points(), 6);           // Trunc(1) x (5 + 1)
  EXPECT_FLOAT_EQ(game.Level(), 1.65f);  // completed in row 1 with nothing landed
  EXPECT_EQ(game.Word(), "garden");
  EXPECT_EQ(game.StepInterval(), 1248);  // 100 x (1.3 - 1.05 x 0.65 / 13) x 10, to even
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0], std::make_pair(std::string("house"), 0));

  // Completed in row 5 with nothing landed: + 0.18 + 0.0047 x 44.4.
  for (int i = 0; i < 4; ++i) game.Step();
  EXPECT_EQ(game.RowText(5), "garden");
  EXPECT_EQ(game.RowText(1), "");
  game.SetLevel(3.4f);
  type("garden ");
  EXPECT_EQ(game.Points(), 6 + 21);  // Trunc(3.4) x 7
  EXPECT_NEAR(game.Level(), 3.4 + 0.18 + 0.0047 * 400.0 / 9, 1e-5);
}

TEST_F(Wordtris, WrongKeysCostOnlyAbove200PointsAndMarkTheWord) {
  words = {"ab"};
  words.insert(words.end(), 10, "cd");
  game.Start();
  type("ax");
  EXPECT_EQ(game.Points(), 0);
  EXPECT_EQ(game.WordErrors(), 1);
  type("b ");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].second, 2);
  EXPECT_EQ(game.WordErrors(), 0);
  EXPECT_EQ(count(SoundId::Error), 1);
  game.SetLevel(15);
  for (int i = 0; i < 10; ++i) type("cd ");
  EXPECT_EQ(game.Points(), 3 + 450);
  const int before = game.Points();
  type("z");
  EXPECT_EQ(game.Points(), before - 30);  // 2 x Trunc(15)
}

// Nobody types: words land and pile up, each landing lowers the level by 2 (not below 1), and
// the sixth landed word ends the game.
TEST_F(Wordtris, LandedWordsPileUpAndTheSixthEndsTheGame) {
  words = {"one", "two", "three", "four", "five", "six", "seven"};
  game.Start();
  game.SetLevel(4);
  int steps = 0;
  while (!game.Finished() && steps < 1000) {
    if (game.Landed().size() == 5 && game.FallRow() == 1) {
      // Five landed words leave five rows for the drop.
      for (int i = 0; i < 4; ++i) game.Step();
      EXPECT_EQ(game.FallRow(), 5);
      EXPECT_EQ(game.RowText(5), "six");
      EXPECT_EQ(game.RowText(6), "five");
    }
    game.Step();
    ++steps;
  }
  EXPECT_TRUE(game.Finished());
  EXPECT_EQ(steps, 10 + 9 + 8 + 7 + 6 + 5 - 4);
  EXPECT_EQ(game.RowText(10), "one");
  EXPECT_EQ(game.RowText(5), "six");
  EXPECT_EQ(game.CompletionRow(), WordtrisModel::kLanded);
  EXPECT_FLOAT_EQ(game.Level(), 1);
  EXPECT_EQ(count(SoundId::Error2), 5);
  type("seven ");
  EXPECT_EQ(game.Points(), 0);
}

}  // namespace
}  // namespace ks
