#include "games/bubbles.h"

#include <algorithm>
#include <cmath>

#include "platform/random.h"
#include "platform/sound.h"
#include "text/numbers.h"

namespace ks {

BubblesModel::BubblesModel(std::string letters, int fieldWidth, int fieldHeight, Random& random,
                           Sound& sound, int64_t now)
    : letters_(std::move(letters)),
      width_(fieldWidth),
      height_(fieldHeight),
      random_(random),
      sound_(sound),
      lastSpawn_(now),
      lastDecoration_(now),
      columnLetters_(kColumns, kFree) {
  const size_t n = letters_.size();
  divisor_ = n <= 8 ? 6 : n <= 12 ? 3 : 1;
  const int columnWidth = (width_ - 10) / kColumns;
  for (int c = 0; c < kColumns; ++c) columns_[static_cast<size_t>(c)].X = c * columnWidth + 5;
}

double BubblesModel::BaseSpeed() const {
  const auto n = roundHalfEven(3 + 8.0 * (tempo_ - 1) / 9);
  return static_cast<double>(std::clamp<int64_t>(n, 1, 13)) / 5;
}

void BubblesModel::AddCatchHeight(double y) {
  if (catchCount_ == 4)
    catchSum_ -= catchHeights_[static_cast<size_t>(catchPos_)];
  else
    ++catchCount_;
  catchHeights_[static_cast<size_t>(catchPos_)] = y;
  catchSum_ += y;
  catchPos_ = (catchPos_ + 1) % 4;
  averageHeight_ = static_cast<int>(roundHalfEven(catchSum_ / catchCount_));
  const int h = height_;
  if (averageHeight_ > h - 80) {
    tempo_ += 0.1f + 0.0025f * static_cast<float>(h - averageHeight_);
  } else if (averageHeight_ > h - 120) {
    tempo_ += 0.03f;
  } else {
    tempo_ += 0.008f;
  }
  tempo_ = std::max(tempo_, 1.0f);
  spawnInterval_ = 1.5f - 0.95f * (tempo_ - 1) / 9;
}

bool BubblesModel::Key(unsigned char c, bool running) {
  if (finished_) return false;
  // Free columns hold a control character: only a letter on screen can match.
  for (size_t col = 0; c >= 32 && col < columns_.size(); ++col) {
    Tbubble& b = columns_[col];
    if (!b.Active || static_cast<unsigned char>(columnLetters_[col]) != c) continue;
    columnLetters_[col] = kFree;
    b.Active = false;
    static constexpr int kKindPoints[] = {3, 8, 13};
    const int k = kKindPoints[std::clamp(b.Kind, 1, 3) - 1];
    points_ += (2 * static_cast<int>(tempo_) + k) / divisor_;
    lastKeyWrong_ = false;
    AddCatchHeight(b.Y);
    return true;
  }
  if (running) {
    sound_.play(SoundId::Error);
    points_ = std::max(0, points_ - 2 * static_cast<int>(tempo_));
    lastKeyWrong_ = true;
  }
  return false;
}

char BubblesModel::chooseLetter() {
  const int n = static_cast<int>(letters_.size());
  if (n == 0) return '?';
  const int start = random_.next(n);
  const bool up = randomFraction(random_) > 0.5;
  const auto onScreen = [this](char c) { return columnLetters_.find(c) != std::string::npos; };
  for (int dir : {up ? 1 : -1, up ? -1 : 1}) {
    for (int i = start; i >= 0 && i < n; i += dir) {
      if (!onScreen(letters_[static_cast<size_t>(i)])) return letters_[static_cast<size_t>(i)];
    }
  }
  return letters_[static_cast<size_t>(random_.next(n))];
}

void BubblesModel::spawn(int column, int64_t now) {
  Tbubble& b = columns_[static_cast<size_t>(column)];
  const double r = randomFraction(random_) * 10;
  double factor = 1;
  b.Kind = 1;
  if (r >= 9.2) {
    b.Kind = 3;
    factor = 1.6;
  } else if (r >= 7) {
    b.Kind = 2;
    factor = 1.3;
  }
  b.Speed = BaseSpeed() * factor;
  if (b.Speed == 0) b.Speed = 1;
  b.Active = true;
  b.Diameter = kBubbleDiameter;
  b.Y = height_;
  b.Wobble = 0;
  b.Letter = chooseLetter();
  columnLetters_[static_cast<size_t>(column)] = b.Letter;
  lastSpawn_ = now;
}

void BubblesModel::Step(int64_t now) {
  if (finished_) return;
  const bool due = gameIntervalPassed(now, lastSpawn_, spawnInterval_);
  std::vector<int> freeColumns;
  for (int col = 0; col < kColumns; ++col) {
    Tbubble& b = columns_[static_cast<size_t>(col)];
    if (!b.Active) {
      freeColumns.push_back(col);
      continue;
    }
    if (random_.next(10) == 9) b.Wobble = (b.Wobble + 1) % 4;
    b.Y -= b.Direction * b.Speed;
    if (b.Y + b.Diameter > 0) continue;
    b.Active = false;
    AddCatchHeight(-30);
    columnLetters_[static_cast<size_t>(col)] = kFree;
    ++missed_;
    if (missed_ >= kMaxMissed) {
      finished_ = true;
      return;
    }
    sound_.play(SoundId::Error2);
  }
  if (due && !freeColumns.empty()) {
    spawn(freeColumns[static_cast<size_t>(random_.next(static_cast<int>(freeColumns.size())))],
          now);
  }
  if (gameIntervalPassed(now, lastDecoration_, decorationInterval_)) {
    Tbubble d;
    d.Decoration = true;
    d.Active = true;
    d.Diameter = 4 + random_.next(5);
    d.X = random_.next(width_ - d.Diameter);
    d.Speed = d.Diameter - 2;
    d.Y = height_;
    decorations_.push_back(d);
    lastDecoration_ = now;
  }
  for (Tbubble& d : decorations_) d.Y -= d.Direction * d.Speed * 0.1;
  std::erase_if(decorations_, [](const Tbubble& d) { return d.Y + d.Diameter <= 0; });
}

}  // namespace ks
