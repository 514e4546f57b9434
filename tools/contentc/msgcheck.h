// Which message numbers the programs look up, and whether a language file defines them all.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "contentc/compiler.h"

namespace ks::contentc {

struct MessageUse {
  int id = 0;
  std::string file;
  int line = 0;
};

// The ids a C++ source looks up with a literal number: GetString(N), GetStringDefault(N),
// msg(N) and every literal argument of ComposeMessage(...). `file` names the uses.
std::vector<MessageUse> messageUsesIn(std::string_view source, const std::string& file);

// The uses in every .cpp and .h file below the given folders.
std::vector<MessageUse> scanMessageUses(const std::vector<std::filesystem::path>& roots);

// The ids an "id=text" language file defines (an empty text counts as defined).
std::set<int> definedMessageIds(std::string_view languageFile);

// The "id=text" messages of a language file.
std::map<int, std::string> messageTexts(std::string_view languageFile);

// The uses whose id `defined` lacks.
std::vector<MessageUse> missingMessages(const std::vector<MessageUse>& uses,
                                        const std::set<int>& defined);

// Every other language file among `installed` (installed path -> compiled bytes) must give each
// message of "language.eng" a text, with the same "%s"/"%d" placeholders and the same blank at
// either end: a missing text shows English in the middle of a translated page, a lost placeholder
// hands a number to a text that expects none, and a lost blank glues a join together.
std::vector<Diagnostic> checkTranslations(const std::map<std::string, std::string>& installed,
                                          const std::map<std::string, std::string>& displayOf);

}  // namespace ks::contentc
