#include "platform/paths.h"

#include <algorithm>
#include <system_error>

#include "text/cp1252.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {

fs::path pathFrom1252(std::string_view name) {
  std::string slashed(name);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  return fs::path(cp1252ToUtf8(slashed));
}

std::string pathTo1252(const fs::path& path) {
  return utf8ToCp1252(path.string());
}

namespace {

// The entry of `dir` whose name folds to the same 1252 text as `name`, if any.
bool findFolded(const fs::path& dir, const std::string& name, fs::path& found) {
  int bad = 0;
  std::string wanted = utf8ToCp1252(name, '?', &bad);
  if (bad) return false;
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  if (ec) return false;
  for (const auto& entry : it) {
    std::string candidate = utf8ToCp1252(entry.path().filename().string(), '?', &bad);
    if (!bad && sameText(candidate, wanted)) {
      found = dir / entry.path().filename();
      return true;
    }
  }
  return false;
}

}  // namespace

fs::path resolveCaseInsensitive(const fs::path& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(fs::symlink_status(path, ec))) return path;
  fs::path current;
  auto it = path.begin();
  if (path.has_root_path()) {
    current = path.root_path();
    ++it;
  }
  for (; it != path.end(); ++it) {
    const fs::path& part = *it;
    fs::path next = current / part;
    if (part == "." || part == ".." || fs::exists(fs::symlink_status(next, ec))) {
      current = next;
      continue;
    }
    fs::path found;
    if (!findFolded(current, part.string(), found)) return path;
    current = found;
  }
  return current;
}

fs::path joinResolved(const fs::path& dir, std::string_view name1252) {
  return resolveCaseInsensitive(dir / pathFrom1252(name1252));
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with backtracking to the last "*".
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || upperChar(static_cast<unsigned char>(pattern[p])) ==
                                  upperChar(static_cast<unsigned char>(name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> listMatchingFiles(const fs::path& dir, std::string_view pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(resolveCaseInsensitive(dir), ec);
  if (ec) return names;
  for (const auto& entry : it) {
    if (!entry.is_regular_file(ec)) continue;
    int bad = 0;
    std::string name = utf8ToCp1252(entry.path().filename().string(), '?', &bad);
    if (!bad && matchesPattern(name, pattern)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return compareText(a, b) < 0; });
  return names;
}

}  // namespace ks
