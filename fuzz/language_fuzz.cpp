// Language files ("language.<code>") and the language list ("QSLangs.ini"): loaded whole, as an
// override of a loaded table and through the list, then every message the table holds composed.
#include "fuzzfolder.h"
#include "store/langres.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ks::fuzz::FuzzFolder folder;
  folder.clear();
  const auto [file, list] = ks::fuzz::splitInput(ks::fuzz::bytesOf(data, size));
  const std::filesystem::path path = folder.write("language.eng", file);
  if (!list.empty()) folder.write("QSLangs.ini", list);
  ks::TLocalize lang;
  lang.SetFolder(folder.path());
  for (int mode : {1, 2, 3}) {
    if (lang.LoadStringFile(path, mode) != 0) continue;
    for (int id = -1; id <= lang.tableSize(); ++id) lang.GetStringDefault(id);
    lang.ComposeMessage(0, 1, 2, lang.tableSize() - 1, lang.tableSize(), 1 << 30);
  }
  ks::ActiveLanguage.clear();
  lang.LoadLanguage("language", 1);
  for (int i = -1; i <= static_cast<int>(lang.languageList().size()); ++i)
    lang.LanguageIndex(lang.LanguageCodeAt(i));
  lang.SetLanguage("ENG");
  ks::ActiveLanguage.clear();
  return 0;
}
