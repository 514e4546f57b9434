// The letter bubbles game: ten columns of letter bubbles rise from the bottom of the field; the
// player pops them by typing their letters before they escape at the top. Quick pops raise the
// tempo, which brings bubbles faster and scores more; the sixth escape ends the game.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "games/gameloop.h"

namespace ks {

class Random;
class Sound;

class BubblesModel {
 public:
  static constexpr int kColumns = 10;
  static constexpr int kMaxMissed = 6;
  static constexpr int kStepMs = 20;
  static constexpr int kBubbleDiameter = 40;
  static constexpr char kFree = '\n';  // a column without a letter bubble

  // `letters`: the letters the game may use (never empty: the caller falls back).
  BubblesModel(std::string letters, int fieldWidth, int fieldHeight, Random& random, Sound& sound,
               int64_t now);

  // A typed character while the game runs or is paused. Returns true when it popped a bubble.
  bool Key(unsigned char c, bool running);
  // One step of the game (every kStepMs).
  void Step(int64_t now);

  const std::string& Letters() const { return letters_; }
  int Divisor() const { return divisor_; }
  int Points() const { return points_; }
  float Tempo() const { return tempo_; }
  float SpawnInterval() const { return spawnInterval_; }
  int AverageHeight() const { return averageHeight_; }
  int MissedCount() const { return missed_; }
  bool Finished() const { return finished_; }
  bool LastKeyWrong() const { return lastKeyWrong_; }
  int FieldWidth() const { return width_; }
  int FieldHeight() const { return height_; }
  const std::array<Tbubble, kColumns>& ColumnBubbles() const { return columns_; }
  const std::string& ColumnLetters() const { return columnLetters_; }
  const std::vector<Tbubble>& Decorations() const { return decorations_; }
  // The base speed at the current tempo, in pixels per step.
  double BaseSpeed() const;
  // Records the height at which a bubble ended (-30: escaped) and raises the tempo.
  void AddCatchHeight(double y);

 private:
  void spawn(int column, int64_t now);
  char chooseLetter();

  std::string letters_;
  int width_, height_;
  Random& random_;
  Sound& sound_;
  int divisor_ = 1;
  int points_ = 0;
  float tempo_ = 1;
  float spawnInterval_ = 2;
  int64_t lastSpawn_, lastDecoration_;
  float decorationInterval_ = 0.8f;
  std::array<double, 4> catchHeights_{};
  int catchPos_ = 0, catchCount_ = 0;
  double catchSum_ = 0;
  int averageHeight_ = 0;
  int missed_ = 0;
  bool finished_ = false;
  bool lastKeyWrong_ = false;
  std::array<Tbubble, kColumns> columns_;
  std::string columnLetters_;
  std::vector<Tbubble> decorations_;
};

}  // namespace ks
