// The typed-text logs of typing tests (".TT<number>"): loaded, and what loaded saved and read
// back the same.
#include "fuzzfolder.h"
#include "store/typedtexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const std::string path = folder.write("Fuzz.TT1", ks::fuzz::bytesOf(data, size)).string();
  ks::TTypedTexts typed;
  typed.Load(path);
  for (int i = 0; i < typed.Count(); ++i) typed.TypedLine(i);
  const std::string again = (folder / "Fuzz.TT2").string();
  if (typed.Save(again) != 1) return 0;
  ks::TTypedTexts back;
  if (back.Load(again) != 1 || back.Count() != typed.Count()) __builtin_trap();
  for (int i = 0; i < typed.Count(); ++i) {
    if (back.Pairs()[i].Target != typed.Pairs()[i].Target ||
        back.Pairs()[i].Typed != typed.Pairs()[i].Typed)
      __builtin_trap();
  }
  return 0;
}
