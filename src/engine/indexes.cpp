#include "engine/indexes.h"

#include <string>

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "text/numbers.h"

namespace ks {

int DifficultyIndex(const TDifficultKeys& keys) {
  double first = 0;
  double next = 0;
  for (int rank = 1; rank <= 8; ++rank) {
    (rank <= 4 ? first : next) += keys.getDifficultyAtRank(rank);
  }
  return static_cast<int>(roundHalfEven((1.35 * first + 0.65 * next) / 8));
}

namespace {

// The listed keys' difficulties, the first half weighing 1.35 and the rest 0.65, over `count`
// (also when fewer are listed).
int weightedKeys(const TDifficultKeys& keys, const std::string& listed, int count) {
  double sum = 0;
  for (size_t i = 0; i < listed.size(); ++i) {
    const double weight = static_cast<int>(i) < count / 2 ? 1.35 : 0.65;
    sum += keys.getDifficulty(static_cast<unsigned char>(listed[i])) * weight;
  }
  return static_cast<int>(roundHalfEven(sum / count));
}

}  // namespace

int KeyIndex(const TDifficultKeys& keys) {
  return weightedKeys(keys, keys.getTopLowerKeys(8), 8);
}

int CapitalIndex(const TDifficultKeys& keys) {
  return weightedKeys(keys, keys.getTopUpperKeys(6), 6);
}

int ProblemIndex(const TDifficultKeys& keys, const TWordList* words, bool screenshotMode) {
  if (screenshotMode) return 72;
  const int k8 = KeyIndex(keys);
  const int k6 = CapitalIndex(keys);
  if (words != nullptr) {
    const int wd = words->WordIndex(5);
    return static_cast<int>(roundHalfEvenDiv(35 * wd + 45 * k8 + 20 * k6, 100));
  }
  return static_cast<int>(roundHalfEvenDiv(70 * k8 + 30 * k6, 100));
}

int IndexLabel(int value) {
  if (value < 25) return 315;
  if (value < 50) return 316;
  if (value < 70) return 317;
  if (value <= 100) return 318;
  return 0;
}

int IndexLabel2(int value) {
  if (value == 0) return 319;
  if (value >= 1 && value < 25) return 320;
  if (value >= 25 && value < 50) return 321;
  if (value >= 50 && value < 70) return 322;
  if (value >= 70 && value <= 100) return 323;
  return 0;
}

int DisplaySpeed(int keystrokesPerMinute, bool cpm, int wordLength) {
  if (cpm) return keystrokesPerMinute;
  return wordLength > 0 ? keystrokesPerMinute / wordLength : 0;
}

}  // namespace ks
