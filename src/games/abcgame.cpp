#include "games/abcgame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/random.h"
#include "platform/sound.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr double kRevealInterval = 0.1;
constexpr double kSparkInterval = 0.06;
constexpr int kMinDiameter = 8;  // very long sequences still show their bubbles

int randomVelocity(Random& random) {
  const int v = 1 + random.next(3);
  return random.next(2) == 0 ? -v : v;
}

}  // namespace

AbcModel::AbcModel(std::string sequence, const std::string& alphabet, int fieldWidth,
                   int fieldHeight, Random& random, Sound& sound, int64_t now)
    : width_(fieldWidth),
      height_(fieldHeight),
      random_(random),
      sound_(sound),
      lastReveal_(now),
      lastSpark_(now) {
  for (char c : sequence) {
    if (static_cast<unsigned char>(c) >= 32) sequence_ += c;
  }
  if (sequence_ == kPiDigits)
    basePoints_ = 120;
  else if (sequence_ != alphabet)
    basePoints_ = 150;
  for (char c : sequence_) {
    Tbubble b;
    b.Active = true;
    b.X = 1000;  // outside the field until revealed
    b.Letter = c;
    b.Kind = 2;
    bubbles_.push_back(b);
  }
}

int AbcModel::BubbleDiameter() const {
  return std::max<int>(kMinDiameter, static_cast<int>(roundHalfEven(40 - 0.625 * (Length() - 26))));
}

std::string AbcModel::Stopwatch(int64_t e) {
  if (e < 0) e = 0;
  char text[40];
  std::snprintf(text, sizeof text, "%2.2d:%2.2d.%3.3d", static_cast<int>(e / 60000),
                static_cast<int>((e / 1000) % 60), static_cast<int>(e % 1000));
  return std::string(text).substr(0, 8);
}

void AbcModel::reveal() {
  Tbubble& b = bubbles_[static_cast<size_t>(nextReveal_ - 1)];
  b.Kind = nextReveal_ == 1 ? 4 : 2;
  b.Diameter = BubbleDiameter();
  const int n = Length() + 1;
  const double theta =
      std::numbers::pi / 2 - (2 * std::numbers::pi / n) * (nextReveal_ + (3 * n) / 4);
  b.X = static_cast<double>(roundHalfEven(kCentreX + kRadius * std::sin(theta)));
  b.Y = static_cast<double>(roundHalfEven(kCentreY + kRadius * std::cos(theta)));
  ++nextReveal_;
}

void AbcModel::spark() {
  Tbubble s;
  s.Decoration = true;
  s.Active = true;
  s.Diameter = 4 + random_.next(5);
  s.VelocityX = randomVelocity(random_);
  s.VelocityY = randomVelocity(random_);
  s.X = width_ / 2 + 2 * s.VelocityX;
  s.Y = height_ / 2 + 2 * s.VelocityY;
  sparks_.push_back(s);
}

void AbcModel::Step(int64_t now) {
  if (gameIntervalPassed(now, lastReveal_, kRevealInterval) && nextReveal_ <= Length()) {
    reveal();
    lastReveal_ = now;
  }
  if (gameIntervalPassed(now, lastSpark_, kSparkInterval)) {
    spark();
    lastSpark_ = now;
  }
  for (Tbubble& s : sparks_) {
    s.X += s.VelocityX;
    s.Y += s.VelocityY;
  }
  std::erase_if(sparks_, [this](const Tbubble& s) {
    return s.X < 0 || s.Y < 0 || s.X > width_ || s.Y > height_;
  });
}

bool AbcModel::Key(unsigned char c, bool running, int64_t now) {
  if (finished_) return false;
  // A carriage return marks a typed place: Enter, Backspace and other control keys match none.
  const size_t at = c < 32 ? std::string::npos : sequence_.find(static_cast<char>(c));
  const int i = at == std::string::npos ? 0 : static_cast<int>(at) + 1;
  if (i != 0 && i == nextExpected_) {
    bubbles_[at].Active = false;
    sequence_[at] = '\r';
    ++nextExpected_;
    // The last character scores like the others; after 90 s a character is worth less than
    // nothing, but the score stays at 0 or above, as a wrong key leaves it.
    points_ = std::max(
        0, points_ + static_cast<int>(roundHalfEven(basePoints_ * (1 - Elapsed(now) / 90000.0))));
    if (i == Length()) {
      finished_ = true;
      return true;
    }
    bubbles_[at + 1].Kind = 4;
    return true;
  }
  if (running) {
    sound_.play(SoundId::Error);
    points_ = std::max(0, points_ - 100);
  }
  return false;
}

}  // namespace ks
