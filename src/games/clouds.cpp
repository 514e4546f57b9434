#include "games/clouds.h"

#include <algorithm>
#include <cmath>

#include "games/gameloop.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "text/numbers.h"

namespace ks {
namespace {

// One row of the level table; 0 (or an empty weight list) keeps the value of the row above.
struct LevelRow {
  float Speed;
  int SpawnPeriod;
  int Tier;
  int BonusSpacing;
  std::array<int, 3> Weights;
  std::array<int, 3> MaxRepeats;
};

constexpr std::array<int, 3> kKeep{-1, -1, -1};
constexpr LevelRow kLevels[] = {
    {2.0f, 90, 1, 6, {3, 1, 0}, {3, 1, 0}},  // level 1
    {0, 85, 0, 5, {2, 2, 0}, {2, 2, 0}},     // 2
    {2.2f, 0, 0, 0, {2, 3, 1}, {2, 2, 1}},   // 3
    {2.5f, 80, 0, 0, {2, 3, 2}, {2, 2, 2}},  // 4
    {2.8f, 75, 0, 0, kKeep, kKeep},          // 5
    {3.0f, 0, 2, 0, kKeep, kKeep},           // 6
    {3.1f, 60, 0, 4, {1, 3, 2}, {1, 2, 2}},  // 7
    {3.2f, 0, 0, 0, kKeep, kKeep},           // 8
    {3.3f, 55, 0, 0, {1, 2, 2}, {1, 2, 1}},  // 9
};

constexpr size_t kWordMax = 50;

}  // namespace

int TCloud::Stage() const {
  if (CloudType == Plain || X > TurnX1) return 1;
  return X > TurnX2 ? 2 : 3;
}

CloudsModel::CloudsModel(int fieldWidth, int fieldHeight, CloudMetrics metrics,
                         std::function<std::string()> nextWord,
                         std::function<void(const std::string&, int)> addWord, Random& random,
                         Sound& sound)
    : width_(fieldWidth),
      height_(fieldHeight),
      metrics_(std::move(metrics)),
      nextWord_(std::move(nextWord)),
      addWord_(std::move(addWord)),
      random_(random),
      sound_(sound),
      zoneRight_(fieldWidth) {
  groupLeft_ = random_.next(4);
  bonusLeft_ = random_.next(6);
  ApplyLevel();
}

const TCloud* CloudsModel::Selected() const {
  return selected_ >= 0 && selected_ < static_cast<int>(clouds_.size())
             ? &clouds_[static_cast<size_t>(selected_)]
             : nullptr;
}

void CloudsModel::ApplyLevel() {
  level_ = std::max(level_, 1.0f);
  zoneRight_ = width_ - 100;
  zoneLeft_ = 250;
  for (size_t i = 0; i < std::size(kLevels) && (i == 0 || level_ >= static_cast<float>(i + 1));
       ++i) {
    const LevelRow& row = kLevels[i];
    if (row.Speed > 0) speed_ = row.Speed;
    if (row.SpawnPeriod > 0) spawnPeriod_ = row.SpawnPeriod;
    if (row.Tier > 0) tier_ = row.Tier;
    if (row.BonusSpacing > 0) bonusSpacing_ = row.BonusSpacing;
    if (row.Weights[0] >= 0) zoneWeights_ = row.Weights;
    if (row.MaxRepeats[0] >= 0) zoneMaxRepeats_ = row.MaxRepeats;
  }
  if (level_ >= 10) {
    speed_ = level_ > 50 ? 5.0f : level_ > 35 ? 4.5f : level_ > 25 ? 4.0f : 3.5f;
    spawnPeriod_ = static_cast<int>(roundHalfEven(50 - 10 * (level_ - 10) / 3));
    tier_ = 3;
  }
  spawnPeriod_ = std::max(spawnPeriod_, 40);
  if (slowDown_) speed_ -= 1;
  speed_ = std::max(speed_, 1.0f);
}

int CloudsModel::GroupSize() {
  const int r = random_.next(100);
  switch (tier_) {
    case 1:
      return r < 40 ? 3 : r < 70 ? 4 : 2;
    case 2:
      return r < 10 ? 1 : r < 40 ? 2 : 3;
    case 3:
      return r < 30 ? 1 : r < 80 ? 2 : 3;
    default:
      return 1;
  }
}

int CloudsModel::ZonePosition(size_t length) {
  const int span = zoneRight_ - zoneLeft_;
  const int l = span / 3;
  const int w1 = zoneWeights_[0], w2 = zoneWeights_[1], w3 = zoneWeights_[2];
  const auto used = [this](int zone) {
    return lastZone_ == zone && zoneRepeats_ >= zoneMaxRepeats_[static_cast<size_t>(zone - 1)];
  };
  int zone = 1;
  for (int attempts = 1;; ++attempts) {
    const int g = random_.next(w1 + w2 + w3);
    if (g > w1 && attempts <= 10) {
      if (g > w1 + w2) {
        if (used(3) || length > 8) continue;
        zone = 3;
      } else {
        if (used(2) || length > 13) continue;
        zone = 2;
      }
      break;
    }
    if (used(1) && attempts <= 10) continue;
    zone = 1;
    break;
  }
  zoneRepeats_ = zone == lastZone_ ? zoneRepeats_ + 1 : 1;
  lastZone_ = zone;
  switch (zone) {
    case 3:
      return zoneLeft_ + random_.next(l);
    case 2:
      return zoneLeft_ + l + random_.next(span - 2 * l);
    default:
      return zoneRight_ - l + random_.next(l);
  }
}

int CloudsModel::placeVertically() {
  const int h = CloudHeight();
  int y = 3;
  const size_t n = clouds_.size();
  for (int tries = 0; tries < 100; ++tries) {
    y = 3 + random_.next(height_ - h - 6);
    bool overlaps = false;
    for (size_t i = n >= 2 ? n - 2 : 0; i < n; ++i) {
      const int other = clouds_[i].Y;
      overlaps = overlaps || (y < other + h && other < y + h);
    }
    if (!overlaps) break;
  }
  return y;
}

void CloudsModel::NewCloud() {
  TCloud c;
  const auto word = [this] {
    return (nextWord_ ? nextWord_() : std::string("--")).substr(0, kWordMax);
  };
  if (groupLeft_ > 0) {
    --groupLeft_;
    if (bonusLeft_ > 0) {
      --bonusLeft_;
    } else {
      c.CloudType = TCloud::Sunny;
      bonusLeft_ = random_.next(3) + bonusSpacing_ - 1;
      c.CloudWord = word();
      c.TurnX1 = c.TurnX2 = ZonePosition(c.CloudWord.size());
    }
  } else {
    c.CloudType = TCloud::Rain;
    groupLeft_ = GroupSize();
    c.CloudWord = word();
    c.TurnX1 = ZonePosition(c.CloudWord.size());
    c.TurnX2 = c.TurnX1 - 80;
  }
  if (firstIsBonus_) {
    // The very first cloud can be read at once.
    c.CloudType = TCloud::Sunny;
    c.CloudWord = word();
    c.TurnX1 = c.TurnX2 = width_;
    firstIsBonus_ = false;
  }
  if (c.CloudType == TCloud::Rain) c.Pictures = {TCloud::White, TCloud::Gray, TCloud::Dark};
  if (c.CloudType == TCloud::Sunny) c.Pictures = {TCloud::White, TCloud::White, TCloud::Bonus};
  c.Width = metrics_.PictureWidth;
  if (c.CloudType != TCloud::Plain && metrics_.TextWidth)
    c.Width = std::max(c.Width, metrics_.TextWidth(c.CloudWord));
  c.X = width_;
  c.Y = placeVertically();
  if (clouds_.empty()) selected_ = 0;
  clouds_.push_back(std::move(c));
}

void CloudsModel::AdaptLevel(const TCloud& cloud) {
  float a = 0;
  if (cloud.CloudType == TCloud::Rain) {
    a = 1 -
        static_cast<float>(cloud.Width + cloud.X) / static_cast<float>(cloud.Width + cloud.TurnX2);
    if (ratioCount_ == 2)
      ratios_[static_cast<size_t>(ratioPos_)] = a;
    else
      ratios_[static_cast<size_t>(ratioCount_++)] = a;
    ratioPos_ = (ratioPos_ + 1) % 2;
    meanRatio_ =
        (ratios_[0] + (ratioCount_ == 2 ? ratios_[1] : 0)) / static_cast<float>(ratioCount_);
  }
  if (a > 0.97f) {
  } else if (a > 0.85f) {
    level_ += 0.03f;
  } else if (a > 0.65f) {
    level_ += 0.06f;
  } else if (meanRatio_ < 0.4f) {
    level_ += cloud.CloudType == TCloud::Rain ? 0.7f - 1.45f * meanRatio_ : 0.7f - 1.45f * a;
  } else {
    level_ += 0.12f;
  }
  ApplyLevel();
}

void CloudsModel::remove(size_t index) {
  clouds_.erase(clouds_.begin() + static_cast<std::ptrdiff_t>(index));
  // The selection stays on its cloud; when that one went, the next one takes its place.
  if (static_cast<int>(index) < selected_) --selected_;
  selected_ = std::clamp(selected_, 0, static_cast<int>(clouds_.size()));
}

void CloudsModel::moveSelection(int by) {
  const int n = static_cast<int>(clouds_.size());
  if (n == 0) {
    selected_ = 0;
    return;
  }
  selected_ += by;
  if (selected_ >= n) selected_ = 0;
  if (selected_ < 0) selected_ = n - 1;
}

void CloudsModel::Step(int64_t now) {
  if (finished_) return;
  if (slowDown_ && gameIntervalPassed(now, slowDownStart_, kSlowDownUnits)) {
    slowDown_ = false;
    ApplyLevel();
  }
  for (size_t i = 0; i < clouds_.size();) {
    TCloud& c = clouds_[i];
    --c.X;
    if (c.X + c.Width > 0) {
      ++i;
      continue;
    }
    const TCloud gone = c;
    remove(i);
    if (gone.CloudType == TCloud::Rain) {
      ++missed_;
      if (missed_ >= kMaxMissed) {
        finished_ = true;
        return;
      }
      sound_.play(SoundId::Error2);
      slowDown_ = true;
      slowDownStart_ = now;
    }
    if (gone.CloudType != TCloud::Plain) AdaptLevel(gone);
  }
  spawnCounter_ += 1;
  if (spawnCounter_ >= static_cast<float>(spawnPeriod_)) {
    spawnCounter_ = 0;
    NewCloud();
  }
}

void CloudsModel::Key(unsigned char c, int64_t) {
  if (finished_) return;
  const bool hasCloud = Selected() != nullptr;
  const bool typedOut = hasCloud && Selected()->TypedOut();
  if ((c == ' ' && typedOut) || c == '\r' || c == 8) {
    if (typedOut) {
      const TCloud done = *Selected();
      const int factor = done.CloudType == TCloud::Sunny ? 3 : 1;
      points_ += static_cast<int>(level_) * static_cast<int>(done.CloudWord.size()) * factor;
      AdaptLevel(done);
      if (addWord_) addWord_(done.CloudWord, done.CloudErrors > 0 ? 2 : 0);
      remove(static_cast<size_t>(selected_));
    }
    if (c == 8)
      moveSelection(-1);
    else if (!typedOut)
      moveSelection(1);
    return;
  }
  if (c == ' ' && hasCloud && Selected()->Cursor == 1) {
    moveSelection(1);
    return;
  }
  if (hasCloud) {
    TCloud& cloud = clouds_[static_cast<size_t>(selected_)];
    const size_t at = static_cast<size_t>(cloud.Cursor - 1);
    if (cloud.CloudType != TCloud::Plain && at < cloud.CloudWord.size() &&
        static_cast<unsigned char>(cloud.CloudWord[at]) == c) {
      ++cloud.Cursor;
      return;
    }
    ++cloud.CloudErrors;
  }
  sound_.play(SoundId::Error);
  if (points_ > 200) points_ -= 2 * static_cast<int>(level_);
}

}  // namespace ks
