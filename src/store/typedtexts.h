// What the learner typed in a typing test, line by line beside the text to be copied; kept in
// a binary file per result (".TT<number>").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TTypedTexts {
 public:
  // A typed line equal to its target is kept as this one character.
  static constexpr char SameAsTarget = '\x0B';

  struct Pair {
    std::string Target;
    std::string Typed;  // SameAsTarget when typed without a fault
  };

  // Both lines are cut at 255 characters.
  void Add(std::string_view target, std::string_view typed);
  void Clear() { pairs_.clear(); }
  int Count() const { return static_cast<int>(pairs_.size()); }
  const std::vector<Pair>& Pairs() const { return pairs_; }
  // The typed line as typed (the target for a line kept as SameAsTarget).
  std::string TypedLine(int index) const;

  // Replaces the file whole: 1, or the failing status (reported).
  int Save(const std::string& path) const;
  // 1 (a file of the old format loads as empty); otherwise the status, and a damaged file is
  // reported. The lines read before the damage are kept.
  int Load(const std::string& path);

 private:
  std::vector<Pair> pairs_;
};

}  // namespace ks
