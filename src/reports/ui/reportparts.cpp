#include "reports/ui/reportparts.h"

#include "book/parthost.h"
#include "content/studylearner.h"
#include "content/ui/exerciseinfoview.h"
#include "reports/ui/statisticsview.h"
#include "reports/ui/treports.h"
#include "store/programsetup.h"
#include "store/qssettings.h"

namespace ks {
namespace {

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

}  // namespace

void registerReportParts(TPartHost& frame) {
  frame.SetPart("Statistics", [](TPartHost& f) {
    if (f.User() == nullptr || !ProgramSettings) return 0;
    TStatisticsView view(*f.User(), ProgramSettings->lessonsPath());
    return view.RunModal();
  });
  TExercInfoView::PrintReport() = [](StudyLearner& learner, const TResultItem& test,
                                     bool certificate) {
    auto* learnerOfUser = dynamic_cast<UserLearner*>(&learner);
    if (learnerOfUser == nullptr) return;
    if (certificate) {
      PrintTestCertificate(learnerOfUser->User(), test);
    } else {
      PrintTestResults(learnerOfUser->User(), test);
    }
  };
}

void PrintTestCertificate(TUser& user, const TResultItem& test) {
  if (policy("DisableTestDiplomaButton")) return;
  Reports().Certificate(user, test, policy("DisablePDF"), policy("DisablePrintReport"));
}

void PrintTestResults(TUser& user, const TResultItem& test) {
  if (policy("DisableTestDiplomaButton2")) return;
  Reports().ResultReport(user, test, policy("DisablexxxPDF"), policy("DisablePrintReport"));
}

}  // namespace ks
