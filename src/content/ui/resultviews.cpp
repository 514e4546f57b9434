#include "content/ui/resultviews.h"

#include "analysis/diffkeys.h"
#include "content/studylearner.h"

namespace ks {
namespace {

TopTenRunner& topTen() {
  static TopTenRunner runner;
  return runner;
}

}  // namespace

void setTopTenRunner(TopTenRunner runner) {
  topTen() = std::move(runner);
}

void StudyResultPresenter::PrepareWizard(const std::string& knownKeys) {
  if (learner_ == nullptr) return;
  wizard_.RecordBefore(knownKeys, learner_->Difficulties().CurrentDifficulties());
}

void StudyResultPresenter::CollectWizardResult() {
  if (learner_ == nullptr) return;
  wizard_.RecordAfter(learner_->Difficulties().CurrentDifficulties());
}

void StudyResultPresenter::SetExerciseGoals(const EventGoals& goals, bool dynamicDuration) {
  goals_ = goals;
  dynamicDuration_ = dynamicDuration;
}

int StudyResultPresenter::ShowWizardResult(TResultItem& item) {
  wizard_.Item = &item;
  wizard_.CancelVisible = false;
  const int answer = wizard_.RunModal();
  wizard_.Item = nullptr;
  return answer;
}

int StudyResultPresenter::ShowExerciseInfo(TResultItem& item, int keyLevel) {
  TExercInfoView view(learner_);
  view.Item = &item;
  view.KeyLevel = keyLevel;
  view.GoalMode = goals_.Active;
  view.Goals = goals_;
  view.DynamicDuration = dynamicDuration_;
  view.CancelVisible = false;
  return view.RunModal();
}

int StudyResultPresenter::ShowTopTen(TResultItem& item, const std::string& playerName,
                                     const std::string& gameName) {
  if (!topTen()) return 1;
  return topTen()(item, playerName, gameName);
}

}  // namespace ks
