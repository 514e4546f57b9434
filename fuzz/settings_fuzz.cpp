// Settings stores (workstation file, policy, learners' and groups' settings, test descriptors):
// read every kind of value, change a few and write the store back.
#include "fuzzfolder.h"
#include "store/dynamicsettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::string_view in = ks::fuzz::bytesOf(data, size);
  const std::string path = folder.write("store.dyn", in).string();

  ks::TDynamicSettings store;
  if (store.Open(path, ks::omDenyWrite) != 1 || store.Load() != 1) return 0;
  // Names the programs read, and names taken from the input itself.
  std::vector<std::string> names = {"UserName", "ReCnt", "Re1", "Password", "Groups", "x"};
  if (auto keys = store.file().KeyNames()) {
    for (size_t i = 0; i < keys->size() && i < 8; ++i) names.push_back((*keys)[i]);
  }
  for (const std::string& name : names) {
    store.ReadString(name);
    store.ReadInteger(name);
    store.ReadInt64(name);
    store.ReadFloat(name);
    store.ReadBool(name);
    store.ReadList(name);
  }
  store.file().KeyValuePairs();
  // Values may hold anything, line ends included: the store must keep one line per value.
  const std::string value(in.substr(0, 64));
  store.WriteString(names.back(), value);
  store.WriteInteger("Count", static_cast<int32_t>(size));
  store.WriteFloat("Rate", 1.5f);
  if (store.Close() != 2) return 0;

  ks::TDynamicSettings back;
  if (back.Open(path, ks::omReadShared) != 1 || back.Load() != 1) __builtin_trap();
  if (back.ReadInteger("Count") != static_cast<int32_t>(size)) __builtin_trap();
  return 0;
}
