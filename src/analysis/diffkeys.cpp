#include "analysis/diffkeys.h"

#include <algorithm>

#include "analysis/saturate.h"
#include "store/binio.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

const std::string& TDifficultKeys::DefaultKeySet() {
  static const std::string keys =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
      "\xE5\xE4\xF6\xC5\xC4\xD6\xFC\xDC\xC7\xE7\xC6\xE6\x8C\x9C\x8A\x8C\x8E\x9A\x9C\x9E\x9F"
      "\xC0\xC1\xC2\xC3\xC4\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5"
      "\xD6\xDA\xDB\xDC\xDD\xE0\xE1\xE2\xE3\xE4\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0"
      "\xF1\xF2\xF3\xF4\xF5\xF6\xFA\xFB\xFC\xFD\xFF";
  return keys;
}

TDifficultKeys::TDifficultKeys(int window, Variant variant)
    : window_(window < 1 ? 1 : window), variant_(variant) {
  setKeySet(DefaultKeySet());
}

void TDifficultKeys::recordKey(unsigned char c, bool error) {
  if (c < FirstCode) return;
  const int i = index(c);
  if (newPresses_[i] < INT32_MAX) ++newPresses_[i];
  if (error && newErrors_[i] < INT32_MAX) ++newErrors_[i];
}

namespace {

// 4 x the error rate in percent, damped below ten presses; computed in double, kept as float.
float difficultyOf(int64_t total, int64_t presses, int64_t errors) {
  if (presses <= 0) return 0;
  double rate = 100.0 * static_cast<double>(errors) / static_cast<double>(presses);
  if (rate > 0 && total < 10) rate = rate * static_cast<double>(total) / 10.0;
  const double d = 4 * rate;
  return static_cast<float>(std::clamp(d, 0.0, 100.0));
}

int32_t clampTo32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void TDifficultKeys::updateStatistics() {
  const int64_t n = window_;
  for (int i = 0; i < CodeCount; ++i) {
    const int64_t a = newPresses_[i];
    if (a <= 0) continue;
    const int64_t e = newErrors_[i];
    int64_t total = static_cast<int64_t>(savedTotal_[i]) + a;
    if (total > 29000) total = 25000;
    // History decays by 1 - A/N, exactly, and is gone once A reaches N.
    const int64_t keep = a >= n ? 0 : n - a;
    int64_t presses = roundHalfEvenDiv(savedPresses_[i] * keep, n) + a;
    int64_t errors = roundHalfEvenDiv(savedErrors_[i] * keep, n) + e;
    // A difficulty above 100 is brought back to 100 by lowering the errors:
    // 4 x 100E/P x min(T,10)/10 > 100  <=>  2E min(T,10) > 5P, and the errors that give exactly
    // 100 are 5P / (2 min(T,10)).
    const int64_t t10 = std::min<int64_t>(total, 10);
    if (presses > 0 && errors > 0 && t10 > 0 && 2 * errors * t10 > 5 * presses) {
      errors = roundHalfEvenDiv(5 * presses, 2 * t10);
    }
    total_[i] = clampTo32(total);
    presses_[i] = clampTo32(presses);
    errors_[i] = clampTo32(errors);
    lastPresses_[i] = clampTo32(a);
    if (a > n) {
      savedTotal_[i] = total_[i];
      savedPresses_[i] = presses_[i];
      savedErrors_[i] = errors_[i];
      newPresses_[i] = 0;
      newErrors_[i] = 0;
    }
  }
  rankingValid_ = false;
}

float TDifficultKeys::getDifficulty(unsigned char c) const {
  if (c < FirstCode) return 0;
  if (KeySetActive() && !inKeySet(c) && c != ',' && c != '.') return 0;
  const int i = index(c);
  return difficultyOf(total_[i], presses_[i], errors_[i]);
}

void TDifficultKeys::ensureRanking() const {
  if (rankingValid_) return;
  ranking_.clear();
  for (int c = FirstCode; c <= 255; ++c) {
    const auto uc = static_cast<unsigned char>(c);
    if (KeySetActive() && !inKeySet(uc)) continue;
    const int i = index(uc);
    ranking_.emplace_back(uc, difficultyOf(total_[i], presses_[i], errors_[i]));
  }
  // The plain exchange sort: keys of equal difficulty end up in the order it leaves them,
  // which the rankings shown to learners depend on.
  for (size_t i = 0; i + 1 < ranking_.size(); ++i) {
    for (size_t j = i + 1; j < ranking_.size(); ++j) {
      if (ranking_[j].second > ranking_[i].second) std::swap(ranking_[i], ranking_[j]);
    }
  }
  rankingValid_ = true;
}

unsigned char TDifficultKeys::getKeyAtRank(int rank) const {
  ensureRanking();
  if (rank < 1 || rank > CodeCount || static_cast<size_t>(rank) > ranking_.size()) return 0;
  return ranking_[rank - 1].first;
}

float TDifficultKeys::getDifficultyAtRank(int rank) const {
  ensureRanking();
  if (rank < 1 || rank > CodeCount || static_cast<size_t>(rank) > ranking_.size()) return 0;
  return ranking_[rank - 1].second;
}

int TDifficultKeys::getSessionPressesAtRank(int rank) const {
  const unsigned char key = getKeyAtRank(rank);
  return key == 0 ? 0 : lastPresses_[index(key)];
}

std::string TDifficultKeys::getTopKeys(int count, CaseFilter filter) const {
  std::string keys;
  for (int rank = 1; rank <= CodeCount && static_cast<int>(keys.size()) < count; ++rank) {
    const unsigned char key = getKeyAtRank(rank);
    if (key == 0 || getDifficultyAtRank(rank) == 0) break;
    if (filter == CaseFilter::Lower && key != lowerChar(key)) continue;
    if (filter == CaseFilter::Upper && key != upperChar(key)) continue;
    keys.push_back(static_cast<char>(key));
  }
  return keys;
}

float TDifficultKeys::getLevel() const {
  const float d = getDifficultyAtRank(1);
  return std::clamp(4.0f - d / 25.0f, 0.0f, 4.0f);
}

uint32_t TDifficultKeys::getDifficultyColour(float difficulty) const {
  if (difficulty >= static_cast<float>(HighLimit)) return 0xFF014F;
  if (difficulty < static_cast<float>(ModerateLimit)) return 0xA7B4F7;
  return 0xFFD21D;
}

void TDifficultKeys::setKeySet(std::string_view keys) {
  if (variant_ == Variant::Tutor && keys.size() > 255) keys = keys.substr(0, 255);
  keySet_.assign(keys);
  inSet_.fill(false);
  for (char c : keySet_) inSet_[static_cast<unsigned char>(c)] = true;
  rankingValid_ = false;
}

void TDifficultKeys::clearStatistics() {
  for (auto* table : {&newPresses_, &newErrors_, &lastPresses_, &savedTotal_, &savedPresses_,
                      &savedErrors_, &total_, &presses_, &errors_}) {
    table->fill(0);
  }
  rankingValid_ = false;
}

void TDifficultKeys::saveRecord(std::string& out) {
  updateStatistics();
  out.reserve(out.size() + RecordSize);
  for (const auto* table : {&total_, &presses_, &errors_}) {
    for (int32_t v : *table) putInt16LE(out, saturate16(v));
  }
}

bool TDifficultKeys::loadRecord(std::string_view bytes, size_t& pos) {
  if (pos > bytes.size() || bytes.size() - pos < RecordSize) return false;
  size_t at = pos;
  for (auto* table : {&total_, &presses_, &errors_}) {
    for (int32_t& v : *table) {
      // Figures are never negative; a negative one can only come from a damaged file.
      v = std::max<int32_t>(0, getInt16LE(bytes.substr(at, 2)));
      at += 2;
    }
  }
  savedTotal_ = total_;
  savedPresses_ = presses_;
  savedErrors_ = errors_;
  newPresses_.fill(0);
  newErrors_.fill(0);
  lastPresses_.fill(0);
  rankingValid_ = false;
  pos = at;
  return true;
}

TDifficultKeys::Figures TDifficultKeys::figures(unsigned char c) const {
  if (c < FirstCode) return Figures{};
  const int i = index(c);
  return Figures{newPresses_[i],  newErrors_[i], lastPresses_[i], savedTotal_[i], savedPresses_[i],
                 savedErrors_[i], total_[i],     presses_[i],     errors_[i]};
}

}  // namespace ks
