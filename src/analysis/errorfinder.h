// The error percentage of a typed word against the expected one: an alignment walk that
// recognises swapped, missing and extra characters, so that one slip costs one error however
// far it shifts the rest of the word.
#pragma once

#include <string>
#include <string_view>

namespace ks {

class TDifficultKeys;

class TErrorFinder {
 public:
  // A word whose percentage exceeds this is taken for a different word and scores 100.
  int Threshold = 40;

  // 0 (identical) to 100. Letters compare without regard to case (Windows-1252 folding); a
  // difference of case alone costs half an error.
  int ErrorPercent(std::string_view expected, std::string_view typed) const;
  // The same, and when the word is not a different one, each position of the aligned words is
  // recorded as a right or wrong press in `keys` (when given).
  int ErrorPercentWithKeys(std::string_view expected, std::string_view typed,
                           TDifficultKeys* keys) const;

  // Fills the shorter word and marks the realigned places.
  static constexpr unsigned char Filler = 164;

 private:
  int compare(std::string& e, std::string& t) const;
};

}  // namespace ks
