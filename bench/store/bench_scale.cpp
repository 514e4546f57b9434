// A school-sized data folder: 2,000 learners in ten groups, one of them with 20,000 stored
// results. The login list, opening that learner and storing one more result must each stay
// under 100 ms. The folder is made once, through the store code, and removed at exit.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "store/group.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userindex.h"
#include "text/numbers.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLearners = 2000;
constexpr int kGroups = 10;
constexpr int kResults = 20000;
const char* const kHeavy = "Heavy Learner";

std::string learnerName(int i) {
  return "Learner " + ks::intToStr(10000 + i).substr(1);
}

// Result i of the heavy learner: a course exercise of its own (20 courses of 40 chapters of 25
// exercises), so that the merge keeps every one of them.
ks::TResultItem result(int i) {
  ks::TResultItem r;
  r.Source = "BKM";
  r.CourseId = "C" + ks::intToStr(i / 1000);
  r.Chapter = i / 25 % 40 + 1;
  r.Exercise = i % 25 + 1;
  r.Event = 2;
  r.Checked = i % 3 != 0;
  r.Date = 45000.0 + i * 0.01;
  r.StudySeconds = 9;
  r.SubKind = i % 2 ? "NK" : "CT";
  r.ExerciseStudySeconds = 14;
  r.Kind = i % 4 == 0 ? "TEXT" : "STD";
  if (r.Kind == "TEXT") {
    r.Valid = r.HasMeasures = true;
    r.TypingSeconds = 60 + i % 50;
    r.GrossSpeed = 180 + i % 40;
    r.NetSpeed = 170 + i % 30;
    r.Accuracy = 90 + i % 10;
    r.Rhythm = 70;
    r.Efficiency = 80;
  }
  return r;
}

class School {
 public:
  School() {
    std::string pattern = (fs::temp_directory_path() / "ks_bench_scale.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    fs::create_directories(dir_ / "Database");
    { std::ofstream(dir_ / "Policy.dyn", std::ios::binary); }
    ks::OpenPolicySettings("Policy.dyn", dir_);
    ks::TLocalize& lang = ks::Localize();
    lang.SetString(1, "Keyscholar");
    lang.SetString(1107, "none");
    lang.SetString(1162, "General");
    lang.SetString(1376, "Name used by");
    lang.SetString(1377, "Unusable name.");
    lang.SetString(1390, "min");
    ks::ProgramSettings = std::make_unique<ks::TProgramSettings>(dir_);
    for (int g = 0; g < kGroups; ++g) ks::OpenGroup(g, ks::omShared);

    for (int i = 0; i < kLearners - 1; ++i) {
      auto user = ks::NewUser(learnerName(i));
      user->SetGroupId(i % kGroups);
      ks::SaveUser(*user);
      // New learners are unindexed; the login list would rebuild the indexes from 30 on.
      if (i % 25 == 24) ks::RebuildIndexes();
    }
    auto heavy = ks::NewUser(kHeavy);
    heavy->SetGroupId(3);
    for (int i = 0; i < kResults; ++i) heavy->Results().AddResult(result(i));
    ks::SaveUser(*heavy);
    heavy.reset();
    ks::RebuildIndexes();
  }
  ~School() {
    ks::ProgramSettings.reset();
    ks::PolicySettings.reset();
    ks::Localize().Reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

 private:
  fs::path dir_;
};

void school() {
  static School instance;
}

void BM_LoginList(benchmark::State& state) {
  school();
  for (auto _ : state) {
    const auto names = ks::UserNames(-1);
    if (names.size() != kLearners) state.SkipWithError("the list misses learners");
    benchmark::DoNotOptimize(names.data());
  }
}
BENCHMARK(BM_LoginList)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

// As the login does it: found by name among every group, held for writing, with statistics.
void BM_OpenHeavyLearner(benchmark::State& state) {
  school();
  for (auto _ : state) {
    auto user = ks::FindUser(kHeavy, -1, ks::ulWrite, false);
    if (!user || user->Results().Items().size() != kResults)
      state.SkipWithError("the learner lost results");
  }
}
BENCHMARK(BM_OpenHeavyLearner)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

// What the event loader does after an exercise: merge the attempt, write the learner.
void BM_StoreOneResult(benchmark::State& state) {
  school();
  auto user = ks::OpenUser(kHeavy, -1, ks::ulWrite, false);
  static int next = kResults;  // across repetitions too: every attempt is a new exercise
  for (auto _ : state) {
    user->Results().AddResult(result(next++));
    if (ks::SaveUser(*user) != 1) state.SkipWithError("the learner was not written");
  }
}
BENCHMARK(BM_StoreOneResult)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

}  // namespace
