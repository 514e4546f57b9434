// Folder listings for choosers (courses, word lists, texts) and the small list helpers beside
// them. Patterns are native paths whose last part may hold "*" and "?"; names come back as 1252
// text, matched ignoring letter case and sorted.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/random.h"

namespace ks {

// Names of the regular files that match `pattern`, e.g. "/usr/share/keyscholar/lessons/*.cnt".
std::vector<std::string> ListFiles(const std::string& pattern);
// The titles of those files (FileTitle of each name).
std::vector<std::string> ListFileTitles(const std::string& pattern);
// The policy's own list when it holds a non-empty value under the pattern as name (split at
// commas), else ListFileTitles of `folder` joined with the pattern.
std::vector<std::string> ListPolicyOrFiles(const std::string& pattern,
                                           const std::filesystem::path& folder);
// ListPolicyOrFiles with no folder, `first` at the top.
std::vector<std::string> ListWithFirst(const std::string& pattern, const std::string& first);

// Lower case, then the first letter and the letter after the first blank in upper case when the
// language's list of letters that may be upper-cased (message 13) holds them.
std::string TitleCase(std::string_view text);
// The title of a file name: the part before its first ".", in TitleCase.
std::string FileTitle(std::string_view name);

// Puts the items in random order (every order equally likely).
void ShuffleStrings(std::vector<std::string>& items, Random& random);

}  // namespace ks
