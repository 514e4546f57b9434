// A learner's settings file (".usr": settings, results, bookmark) and the group's index
// ("0.idx"), opened for writing as the programs open them, asked what the views ask, and saved.
#include "fuzzfolder.h"
#include "store/group.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userindex.h"

namespace {

void ask(ks::TUser& user) {
  ks::TResults& results = user.Results();
  results.Tests(true);
  results.LatestTest();
  // A course the file itself names, so that its results are found.
  const std::string course = results.Items().empty() ? "ENG" : results.Items()[0].CourseId;
  results.ResultsOfCourse(course, true);
  results.PassedCount(course);
  results.ExercisePassed(course, 1, 1);
  for (const char* measure : {"NetSpeed", "Accuracy", "GrossSpeed"})
    results.MeasureSeries(measure, course);
  user.GroupId();
  user.GroupName();
  user.StudiedTimeText();
  user.StudiedTimeClock();
  user.GetSetting("Sounds", 1);
  user.GetSettingInt("AccuracyGoal", 0);
  user.GetSettingFloat("TimeStudied", 2);
  user.GetSettingList("Courses", 1);
  user.LayoutSettings();
  user.LayoutFileName();
}

constexpr const char* kAddedName = "Fuzz added";

// A new result of the highest rank, merged as a typing test merges one; its number, or -1 when
// it did not join.
int addResult(ks::TUser& user) {
  ks::TResultItem r;
  r.Source = "NAME";
  r.Name = kAddedName;
  r.Kind = "TEST";
  r.Checked = true;
  r.TypingSeconds = 600;
  r.GrossSpeed = r.NetSpeed = 200;
  r.Event = 1000000;
  ks::TResults& results = user.Results();
  results.AddResult(r);
  for (const ks::TResultItem& item : results.Items()) {
    if (item.Source == "NAME" && item.Name == kAddedName && item.TypingSeconds == 600)
      return item.Number;
  }
  return -1;
}

bool holds(ks::TUser& user, int number) {
  for (const ks::TResultItem& item : user.Results().Items()) {
    if (item.Number == number && item.Name == kAddedName) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  static bool ready = [] {
    ks::Localize().SetString(1, "Keyscholar");
    return true;
  }();
  (void)ready;
  folder.clear();
  const auto [settings, index] = ks::fuzz::splitInput(ks::fuzz::bytesOf(data, size));
  folder.write("Policy.dyn", "");
  folder.write("Database/Fuzz.usr", settings);
  if (!index.empty()) folder.write("Database/0.idx", index);
  ks::ProgramSettings = std::make_unique<ks::TProgramSettings>(folder.path());
  ks::OpenPolicySettings("Policy.dyn", folder.path());

  ks::UserNames(-1);
  int added = -1;
  try {
    auto user = ks::OpenUser("Fuzz", -1, ks::ulWrite, true);
    ask(*user);
    added = addResult(*user);
    if (ks::SaveUser(*user) != 1) added = -1;
  } catch (const ks::UserOpenError&) {
  }
  // What was saved opens again, the new result with it.
  try {
    auto user = ks::OpenUser("Fuzz", -1, ks::ulRead, true);
    ask(*user);
    if (added >= 0 && !holds(*user, added)) __builtin_trap();
  } catch (const ks::UserOpenError&) {
  }
  ks::PolicySettings.reset();
  ks::ProgramSettings.reset();
  return 0;
}
