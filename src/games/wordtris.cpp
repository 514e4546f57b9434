#include "games/wordtris.h"

#include <algorithm>

#include "platform/sound.h"
#include "text/numbers.h"

namespace ks {

WordtrisModel::WordtrisModel(std::function<std::string()> nextWord,
                             std::function<void(const std::string&, int)> addWord, Sound& sound,
                             std::string completionText)
    : nextWord_(std::move(nextWord)),
      addWord_(std::move(addWord)),
      sound_(sound),
      completion_(std::move(completionText)) {}

void WordtrisModel::Start() {
  // No word has been finished yet: the first one falls at the starting level.
  newWord(false);
}

void WordtrisModel::newWord(bool adapt) {
  word_ = nextWord_ ? nextWord_() : std::string("--");
  cursor_ = 1;
  fallRow_ = 1;
  if (adapt) adaptLevel();
  const double f = 1.3 - 1.05 * (level_ - 1) / 13;
  stepInterval_ = static_cast<int>(roundHalfEven(100 * f * static_cast<double>(word_.size() + 4)));
}

void WordtrisModel::adaptLevel() {
  const int l = static_cast<int>(landed_.size());
  const int c = completionRow_;
  if (c > kRows) {
    level_ -= 2;
  } else if (c < 4 - l) {
    level_ += 0.65f;
  } else {
    const double x = static_cast<double>(9 - l - c) / (9 - l) * 100;
    level_ += static_cast<float>(0.18 + 0.0047 * x);
  }
  level_ = std::clamp(level_, 1.0f, 15.0f);
}

void WordtrisModel::Step() {
  if (finished_ || fallRow_ == 0) return;
  ++fallRow_;
  if (fallRow_ <= kRows - static_cast<int>(landed_.size())) return;
  fallRow_ = 0;
  landed_.push_back(word_);
  completionRow_ = kLanded;
  if (static_cast<int>(landed_.size()) >= kMaxLanded) {
    finished_ = true;
    return;
  }
  sound_.play(SoundId::Error2);
  newWord(true);
}

void WordtrisModel::Key(unsigned char c) {
  if (finished_ || fallRow_ == 0) return;
  const std::string text = word_ + ' ';
  if (c == static_cast<unsigned char>(text[static_cast<size_t>(cursor_ - 1)])) {
    ++cursor_;
    if (cursor_ <= static_cast<int>(text.size())) return;
    points_ += static_cast<int>(level_) * static_cast<int>(word_.size() + 1);
    completionRow_ = fallRow_;
    if (addWord_) addWord_(word_, wordErrors_ > 0 ? 2 : 0);
    wordErrors_ = 0;
    newWord(true);
    return;
  }
  if (points_ > 200) points_ -= 2 * static_cast<int>(level_);
  sound_.play(SoundId::Error);
  ++wordErrors_;
}

std::string WordtrisModel::RowText(int row) const {
  if (row < 1 || row > kRows) return {};
  if (row == fallRow_) return AwaitingSpace() ? completion_ + ' ' : word_;
  // The oldest landed word lies at the bottom.
  const int fromBottom = kRows - row;
  if (fromBottom < static_cast<int>(landed_.size()))
    return landed_[static_cast<size_t>(fromBottom)];
  return {};
}

}  // namespace ks
