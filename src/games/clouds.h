// Clouds: clouds drift from the right edge of the field to the left. At a turning point a cloud
// becomes a rain cloud or a sunny bonus cloud and shows its word; the player selects a cloud
// (Enter and Space forward, Backspace back), types its word and a Space to clear it. A rain
// cloud that leaves the field untyped is missed; the sixth miss ends the game.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ks {

class Random;
class Sound;

struct TCloud {
  enum Type : uint8_t { Plain = 0, Rain = 1, Sunny = 2 };
  enum Picture : uint8_t { White, Gray, Dark, Bonus };

  int X = 0, Y = 0;
  uint8_t CloudType = Plain;
  std::string CloudWord;  // at most 50 characters
  int Cursor = 1;         // the next character to type, from 1
  int CloudErrors = 0;
  std::array<Picture, 3> Pictures{White, White, White};
  int TurnX1 = 0, TurnX2 = 0;
  int Width = 0;  // the larger of the picture's and the word's width

  // 1 before the first turning point, 2 before the second, 3 from it on.
  int Stage() const;
  Picture Current() const { return Pictures[static_cast<size_t>(Stage() - 1)]; }
  bool WordVisible() const { return CloudType != Plain && Stage() == 3; }
  bool TypedOut() const {
    return CloudType != Plain && Cursor > static_cast<int>(CloudWord.size());
  }
};

// What the game measures with the view's pictures and font.
struct CloudMetrics {
  int PictureWidth = 120;
  int PictureHeight = 60;
  int TextHeight = 22;  // the height of "Ty" in the word font
  std::function<int(const std::string&)> TextWidth;
};

class CloudsModel {
 public:
  static constexpr int kMaxMissed = 6;
  static constexpr double kSlowDownUnits = 6;

  CloudsModel(int fieldWidth, int fieldHeight, CloudMetrics metrics,
              std::function<std::string()> nextWord,
              std::function<void(const std::string&, int)> addWord, Random& random, Sound& sound);

  // One step at `now` (ms ticks): the clouds move one pixel and new ones come.
  void Step(int64_t now);
  // A typed character (Enter 13, Backspace 8) while the game runs.
  void Key(unsigned char c, int64_t now);
  // Applies the level table to `Level` (raised to 1 first).
  void ApplyLevel();

  const std::vector<TCloud>& Clouds() const { return clouds_; }
  int SelectedIndex() const { return selected_; }
  const TCloud* Selected() const;
  float Level() const { return level_; }
  float Speed() const { return speed_; }
  int StepInterval() const { return static_cast<int>(50 / speed_); }
  int SpawnPeriod() const { return spawnPeriod_; }
  int Tier() const { return tier_; }
  int BonusSpacing() const { return bonusSpacing_; }
  int ZoneLeft() const { return zoneLeft_; }
  int ZoneRight() const { return zoneRight_; }
  bool SlowingDown() const { return slowDown_; }
  float MeanRatio() const { return meanRatio_; }
  int Missed() const { return missed_; }
  int Points() const { return points_; }
  bool Finished() const { return finished_; }
  int FieldWidth() const { return width_; }
  int FieldHeight() const { return height_; }
  int CloudHeight() const { return metrics_.TextHeight + metrics_.PictureHeight + 1; }

  // The pieces of the game's arithmetic, open for tests.
  void SetLevel(float level) {
    level_ = level;
    ApplyLevel();
  }
  // A turning point for a word of `length` characters in one of the three zones.
  int ZonePosition(size_t length);
  int GroupSize();
  // Adapts the level to how late `cloud` was cleared (or left).
  void AdaptLevel(const TCloud& cloud);
  // Adds a cloud as the game does when one is due.
  void NewCloud();

 private:
  void moveSelection(int by);
  void remove(size_t index);
  int placeVertically();

  int width_, height_;
  CloudMetrics metrics_;
  std::function<std::string()> nextWord_;
  std::function<void(const std::string&, int)> addWord_;
  Random& random_;
  Sound& sound_;

  std::vector<TCloud> clouds_;
  int selected_ = 0;
  float level_ = 1;
  float speed_ = 2;
  int spawnPeriod_ = 400;
  float spawnCounter_ = 400;  // the first cloud comes at once
  int tier_ = 0;
  int groupLeft_ = 0;
  int bonusSpacing_ = 6, bonusLeft_ = 0;
  bool firstIsBonus_ = true;
  int zoneLeft_ = 0, zoneRight_ = 0;
  std::array<int, 3> zoneWeights_{10, 10, 10};
  std::array<int, 3> zoneMaxRepeats_{1, 1, 1};
  int lastZone_ = 0, zoneRepeats_ = 0;
  bool slowDown_ = false;
  int64_t slowDownStart_ = 0;
  std::array<float, 2> ratios_{};
  int ratioPos_ = 0, ratioCount_ = 0;
  float meanRatio_ = 0;
  int missed_ = 0;
  int points_ = 0;
  bool finished_ = false;
};

}  // namespace ks
