// A learner's statistics file (".DTA": key statistics and the word list) and list of monitored
// programs (".SET"), opened with the learner and saved again.
#include "fuzzfolder.h"
#include "monitor/spyedapps.h"
#include "store/group.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  static bool ready = [] {
    ks::installSpyedAppsFactory();
    return true;
  }();
  (void)ready;
  folder.clear();
  const auto [statistics, apps] = ks::fuzz::splitInput(ks::fuzz::bytesOf(data, size));
  folder.write("Policy.dyn", "");
  folder.write("Database/Fuzz.DTA", statistics);
  if (!apps.empty()) folder.write("Database/Fuzz.SET", apps);
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>(folder.path());
  ks::OpenPolicySettings("Policy.dyn", folder.path());
  for (int round = 0; round < 2; ++round) {
    try {
      auto user = ks::OpenUser("Fuzz", -1, ks::ulWrite, false);
      // What the difficult-keys view and the review course ask of the statistics.
      ks::TDifficultKeys& lesson = user->Difficulties().LessonDifficulties;
      lesson.updateStatistics();
      lesson.getTopKeys(10, ks::TDifficultKeys::CaseFilter::Lower);
      lesson.getLevel();
      ks::TWordList& words = user->Words();
      words.ListWords(0xFFFF, 0);
      words.WordIndex(3);
      words.AddOccurrence("fuzz", 50, 2, true);
      ks::SaveUser(*user);
      if (user->AppList()) user->AppList()->Save(user->AppListPath());
    } catch (const ks::UserOpenError&) {
    }
  }
  ks::PolicySettings.reset();
  ks::ProgramSettings.reset();
  return 0;
}
