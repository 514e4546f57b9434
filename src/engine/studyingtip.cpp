#include "engine/studyingtip.h"

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "store/langres.h"

namespace ks {

std::vector<int> TStudyingTip::TipMessages(float accuracyScore, float keyLevel, float speedScore) {
  const float s[4] = {accuracyScore, 4.0f, keyLevel, speedScore};
  const float m = (s[0] + s[1] + s[2] + s[3]) / 4.0f;
  float f[4];
  int rank[4];  // 1 is the weakest; equal scores share a rank
  for (int i = 0; i < 4; ++i) {
    f[i] = m * s[i] * 0.5f;
    rank[i] = 1;
    for (int j = 0; j < 4; ++j) {
      if (s[j] < s[i]) ++rank[i];
    }
  }
  std::vector<int> ids;
  // A fragment that praises a strong score or names a weak one; nothing in between.
  auto graded = [&ids](float score, int strong, int weak) {
    if (score >= 3) {
      ids.push_back(strong);
    } else if (score < 2) {
      ids.push_back(weak);
    }
  };
  if (rank[0] == 1 && s[0] < 3 && f[0] < 1.3) {  // accuracy is the weakest
    if (f[3] >= 2) {
      ids.push_back(50);
      graded(s[3], 51, 52);
      ids.push_back(53);
    } else {
      ids.push_back(54);
    }
    ids.insert(ids.end(), {55, 56});
  } else if (rank[2] == 1 && s[2] < 3 && f[2] < 1.3) {  // difficult keys
    if (f[0] >= 2) {
      ids.push_back(64);
      graded(s[0], 65, 66);
      ids.push_back(67);
    } else {
      ids.push_back(68);
    }
    ids.push_back(69);
  } else if (rank[3] == 1 && s[3] < 3 && f[3] < 1.3) {  // speed
    if (m >= 2) {
      ids.push_back(70);
      if (m >= 3) ids.push_back(71);
      ids.push_back(72);
    } else {
      ids.push_back(73);
    }
    ids.insert(ids.end(), {74, 75});
  } else if (rank[3] < rank[0]) {  // speed ranks below accuracy
    if (f[0] >= 2) {
      ids.push_back(80);
      graded(s[0], 81, 82);
      ids.push_back(83);
    }
  } else if (f[3] >= 2) {
    ids.push_back(76);
    graded(s[3], 77, 78);
    ids.push_back(79);
  }
  return ids;
}

std::string TStudyingTip::ComposeTip(int factor) const {
  const TEfficiencyInfo& e = measures_->Efficiency;
  const std::vector<int> ids =
      TipMessages(TEfficiencyInfo::AccuracyScore(e.Accuracy(factor)), keys_->getLevel(),
                  TEfficiencyInfo::SpeedScore(e.GrossSpeed()));
  std::string tip;
  for (int id : ids) tip += lang_->GetString(id);
  if (tip.size() > 255) tip.resize(255);
  return tip;
}

}  // namespace ks
