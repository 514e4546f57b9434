// The ABC game: a fixed sequence appears bubble by bubble on a circle while sparks fly from the
// centre; the player types it in order against a stopwatch. A correct character is worth less
// the longer the game runs; a wrong one costs 100 points.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "games/gameloop.h"

namespace ks {

class Random;
class Sound;

class AbcModel {
 public:
  static constexpr int kStepMs = 30;
  static constexpr int kCentreX = 350, kCentreY = 190, kRadius = 185;
  static constexpr const char* kPiDigits = "3141592653589793238462643383279502884197169399";

  // `sequence` (control characters are dropped: a carriage return marks a typed place);
  // `alphabet` is the language's alphabet, which plays for 100 points a character.
  AbcModel(std::string sequence, const std::string& alphabet, int fieldWidth, int fieldHeight,
           Random& random, Sound& sound, int64_t now);

  // The stopwatch starts with the game.
  void Start(int64_t now) { startTick_ = now; }
  // A typed character while the game runs or is paused; true when it was the next one.
  bool Key(unsigned char c, bool running, int64_t now);
  void Step(int64_t now);

  // Milliseconds since the start, as "mm:ss.hh".
  static std::string Stopwatch(int64_t elapsedMs);
  int64_t Elapsed(int64_t now) const { return now - startTick_; }

  const std::string& Sequence() const { return sequence_; }
  int Length() const { return static_cast<int>(sequence_.size()); }
  int BasePoints() const { return basePoints_; }
  int Points() const { return points_; }
  int NextExpected() const { return nextExpected_; }
  int NextReveal() const { return nextReveal_; }
  bool Finished() const { return finished_; }
  int BubbleDiameter() const;
  // Bubble i (1 to Length()).
  const Tbubble& Bubble(int i) const { return bubbles_.at(static_cast<size_t>(i - 1)); }
  const std::vector<Tbubble>& Sparks() const { return sparks_; }
  int FieldWidth() const { return width_; }
  int FieldHeight() const { return height_; }

 private:
  void reveal();
  void spark();

  std::string sequence_;
  int width_, height_;
  Random& random_;
  Sound& sound_;
  int basePoints_ = 100;
  int points_ = 0;
  int nextReveal_ = 1;
  int nextExpected_ = 1;
  int64_t lastReveal_, lastSpark_;
  int64_t startTick_ = 0;
  bool finished_ = false;
  std::vector<Tbubble> bubbles_;
  std::vector<Tbubble> sparks_;
};

}  // namespace ks
