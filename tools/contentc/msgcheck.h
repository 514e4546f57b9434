// Which message numbers the programs look up, and whether a language file defines them all.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

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

// The uses whose id `defined` lacks.
std::vector<MessageUse> missingMessages(const std::vector<MessageUse>& uses,
                                        const std::set<int>& defined);

}  // namespace ks::contentc
