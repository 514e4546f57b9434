// File names: the stored formats assume Windows names (any letter case, backslashes, 1252 bytes).
// These helpers map them onto the Linux file system.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// A 1252 name or relative path from a data file as a path: backslashes become "/", bytes become
// UTF-8.
std::filesystem::path pathFrom1252(std::string_view name);
// A path (UTF-8) as 1252 text; characters 1252 lacks become "?".
std::string pathTo1252(const std::filesystem::path& path);

// Finds an existing file or folder whose name matches `path` ignoring letter case (1252 folding),
// component by component. Returns the exact path when it exists; when nothing matches, returns
// `path` unchanged (so a caller may create it under the given name).
std::filesystem::path resolveCaseInsensitive(const std::filesystem::path& path);

// `dir` joined with a 1252 name from a data file, resolved case-insensitively.
std::filesystem::path joinResolved(const std::filesystem::path& dir, std::string_view name1252);

// Wildcard match with "*" and "?", ignoring case by 1252 rules. Both sides are 1252.
bool matchesPattern(std::string_view name, std::string_view pattern);

// Names (1252) of the regular files in `dir` that match `pattern`, sorted ignoring case. Names
// that have no 1252 spelling are left out.
std::vector<std::string> listMatchingFiles(const std::filesystem::path& dir,
                                           std::string_view pattern);

}  // namespace ks
