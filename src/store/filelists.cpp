#include "store/filelists.h"

#include <algorithm>

#include "platform/paths.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/cp1252.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

// Message 13: the letters that may be upper-cased in titles and names. Without a language
// there are none (the text standing in for a missing message is not a list of letters).
bool mayUpperCase(unsigned char c) {
  std::string letters = Localize().GetString(13);
  if (letters == Localize().GetString(-1)) letters.clear();
  return letters.find(static_cast<char>(c)) != std::string::npos ||
         letters.find(static_cast<char>(upperChar(c))) != std::string::npos;
}

void upperCaseAt(std::string& text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (mayUpperCase(c)) text[i] = static_cast<char>(upperChar(c));
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& pattern) {
  std::string slashed = pattern;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const fs::path path(slashed);
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  return listMatchingFiles(dir, utf8ToCp1252(path.filename().string()));
}

std::vector<std::string> ListFileTitles(const std::string& pattern) {
  std::vector<std::string> titles;
  for (const std::string& name : ListFiles(pattern)) titles.push_back(FileTitle(name));
  return titles;
}

std::vector<std::string> ListPolicyOrFiles(const std::string& pattern, const fs::path& folder) {
  const std::string own = PolicySettings ? PolicySettings->ReadString(pattern) : std::string();
  if (own.empty()) {
    return ListFileTitles(folder.empty() ? pattern : (folder / fs::path(pattern)).string());
  }
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= own.size()) {
    size_t comma = own.find(',', start);
    if (comma == std::string::npos) comma = own.size();
    if (comma > start) items.push_back(own.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

std::vector<std::string> ListWithFirst(const std::string& pattern, const std::string& first) {
  std::vector<std::string> items = ListPolicyOrFiles(pattern, {});
  items.insert(items.begin(), first);
  return items;
}

std::string TitleCase(std::string_view text) {
  std::string title = lowerCase(text);
  if (title.empty()) return title;
  upperCaseAt(title, 0);
  const size_t blank = title.find(' ');
  if (blank != std::string::npos && blank + 1 < title.size()) upperCaseAt(title, blank + 1);
  return title;
}

std::string FileTitle(std::string_view name) {
  return TitleCase(name.substr(0, name.find('.')));
}

void ShuffleStrings(std::vector<std::string>& items, Random& random) {
  for (size_t i = items.size(); i > 1; --i) {
    const auto j = static_cast<size_t>(random.next(static_cast<int32_t>(i)));
    std::swap(items[i - 1], items[j]);
  }
}

}  // namespace ks
