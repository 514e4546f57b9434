// The monitor's list of programs (".SET", 772-byte records): loaded, changed as the monitor
// changes it, saved, and the saved list loaded again the same.
#include "fuzzfolder.h"
#include "monitor/spyedapps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::filesystem::path path = folder.write("Fuzz.SET", ks::fuzz::bytesOf(data, size));
  ks::TSpyedApps apps;
  if (!apps.loadApps(path)) return 0;
  for (const auto& entry : apps.entries()) {
    apps.find(entry->name);
    apps.findByProcess(entry->pids[0]);
  }
  apps.setPID(4242, "FUZZ");
  apps.updateSpyedState("FUZZ", true);
  const std::filesystem::path again = folder / "Again.SET";
  if (!apps.saveApps(again)) return 0;
  ks::TSpyedApps back;
  if (!back.loadApps(again) || back.entries().size() != apps.entries().size()) __builtin_trap();
  return 0;
}
