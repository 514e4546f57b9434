// "QSNPath.ini", the file that sends the programs to another installation or data folder: its
// values are read as the start-up reads them, and must come out as folders below a base or as
// absolute ones, never as something that is no path at all.
#include "fuzzfolder.h"
#include "store/programsetup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  const std::string bytes(ks::fuzz::bytesOf(data, size));
  const ks::PathRedirection r = ks::ParseRedirection(bytes, folder.path());
  for (const std::filesystem::path* p : {&r.dataPath, &r.dataBase}) {
    if (!p->empty() && !p->is_absolute()) __builtin_trap();
  }
  return 0;
}
