// The words a game plays with: loaded from a word file or a built word drill, handed out one
// after another and shuffled whenever the list has been gone through.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ks {

class Random;

class GameWords {
 public:
  // From the event line's word source: nothing for "", "0", "-stud-…" and "-none-…"; for
  // "WORDBUILDER:…" the lines of `builtText`; otherwise a word file (a bare name lives in
  // `programFolder`), one trimmed word per non-empty line.
  void Load(const std::string& source, const std::filesystem::path& programFolder,
            const std::string& builtText);
  // A copy of `words`; the next word shuffles it first.
  void Set(const std::vector<std::string>& words);
  void Clear() { words_.reset(); }

  // The next word ("--" without a list, "n/a" for an empty one), lower case when asked.
  std::string Next(Random& random, bool lower);
  const std::string& Current() const { return current_; }
  bool HasList() const { return words_.has_value(); }
  const std::vector<std::string>* Words() const { return words_ ? &*words_ : nullptr; }

 private:
  std::optional<std::vector<std::string>> words_;
  size_t index_ = 0;
  std::string current_;
};

}  // namespace ks
