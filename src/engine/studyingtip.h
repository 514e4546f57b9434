// The studying tip shown after an exercise: it names the learner's weakest area (accuracy,
// difficult keys or speed) with localized message fragments.
#pragma once

#include <string>
#include <vector>

namespace ks {

struct Measures;
class TDifficultKeys;
class TLocalize;

class TStudyingTip {
 public:
  TStudyingTip(const Measures& measures, const TDifficultKeys& keys, const TLocalize& lang)
      : measures_(&measures), keys_(&keys), lang_(&lang) {}

  // The tip for the current exercise with error factor `factor`, at most 255 characters; empty
  // when there is nothing to say.
  std::string ComposeTip(int factor) const;

  // The message numbers of the tip for the three scores (0..4 each): accuracy, key level and
  // speed.
  static std::vector<int> TipMessages(float accuracyScore, float keyLevel, float speedScore);

 private:
  const Measures* measures_;
  const TDifficultKeys* keys_;
  const TLocalize* lang_;
};

}  // namespace ks
