// The result views the event loader shows after an event, for a learner: the exercise result
// page, the review builder's before-and-after page and, once the games bring one, the top ten.
#pragma once

#include <functional>
#include <string>

#include "content/eventfactory.h"
#include "content/ui/exerciseinfoview.h"

namespace ks {

class StudyLearner;

// The top-ten view of a game result; without one the result is not shown (answer 1).
using TopTenRunner = std::function<int(TResultItem& item, const std::string& playerName,
                                       const std::string& gameName)>;
void setTopTenRunner(TopTenRunner runner);

class StudyResultPresenter : public ResultPresenter {
 public:
  explicit StudyResultPresenter(StudyLearner* learner) : learner_(learner) {}

  void PrepareWizard(const std::string& knownKeys) override;
  void CollectWizardResult() override;
  void SetExerciseGoals(const EventGoals& goals, bool dynamicDuration) override;
  int ShowWizardResult(TResultItem& item) override;
  int ShowExerciseInfo(TResultItem& item, int keyLevel) override;
  int ShowTopTen(TResultItem& item, const std::string& playerName,
                 const std::string& gameName) override;

 private:
  StudyLearner* learner_;
  EventGoals goals_;
  bool dynamicDuration_ = false;
  TWizResultView wizard_;
};

}  // namespace ks
