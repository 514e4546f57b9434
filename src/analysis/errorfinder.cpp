#include "analysis/errorfinder.h"

#include <algorithm>

#include "analysis/diffkeys.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

namespace {

unsigned char at(const std::string& s, size_t pos1) {
  return static_cast<unsigned char>(s[pos1 - 1]);
}

}  // namespace

int TErrorFinder::compare(std::string& e, std::string& t) const {
  if (e == t) return 0;
  if (e.empty() || t.empty()) return 100;
  const size_t length = e.size();
  // Both words only ever grow by fillers that realign them; this bound is never reached by a
  // sound walk and only guards against a pathological one.
  const size_t limit = 4 * (e.size() + t.size()) + 16;
  // Position x of e and y of t exist and are the same letter.
  auto m = [&](size_t x, size_t y) {
    return x <= e.size() && y <= t.size() && upperChar(at(e, x)) == upperChar(at(t, y));
  };
  const char filler = static_cast<char>(Filler);
  int64_t halves = 0;  // the error sum in half errors
  size_t i = 1;
  while (i <= std::max(e.size(), t.size()) && e.size() + t.size() < limit) {
    if (e.size() < i) {
      e.push_back(filler);
    } else if (t.size() < i) {
      t.push_back(filler);
    }
    if (m(i, i)) {  // same letter, perhaps in the other case
      if (e[i - 1] != t[i - 1]) halves += 1;
      i += 1;
    } else if (m(i, i + 1) && m(i + 1, i + 2)) {  // an extra typed character
      e.insert(i - 1, 1, filler);
      halves += 2;
      i += 1;
    } else if (m(i + 1, i) && m(i + 2, i + 1)) {  // a missing character
      t.insert(i - 1, 1, filler);
      halves += 2;
      i += 1;
    } else if (m(i, i + 1) && m(i + 1, i)) {  // a swapped pair
      halves += 2;
      i += 2;
    } else if (m(i, i + 1)) {  // an extra character near the end
      e.insert(i - 1, 1, filler);
      halves += 2;
      i += 1;
    } else if (m(i + 1, i)) {  // a missing character near the end
      t.insert(i - 1, 1, filler);
      halves += 2;
      i += 1;
    } else if (m(i, i + 2) && m(i + 1, i + 3)) {  // two extra typed characters
      e.insert(i - 1, 2, filler);
      halves += 3;
      i += 2;
    } else if (m(i, i + 2)) {  // a wrong character beside an extra one
      halves += 2;
      i += 1;
    } else if (m(i + 2, i) && m(i + 3, i + 1)) {  // two missing characters
      t.insert(i - 1, 2, filler);
      halves += 3;
      i += 2;
    } else {  // a wrong character (also beside a missing one)
      halves += 2;
      i += 1;
    }
  }
  const int64_t percent = roundHalfEvenDiv(100 * halves, 2 * static_cast<int64_t>(length));
  return percent > Threshold ? 100 : static_cast<int>(percent);
}

int TErrorFinder::ErrorPercent(std::string_view expected, std::string_view typed) const {
  std::string e(expected);
  std::string t(typed);
  return compare(e, t);
}

int TErrorFinder::ErrorPercentWithKeys(std::string_view expected, std::string_view typed,
                                       TDifficultKeys* keys) const {
  std::string e(expected);
  std::string t(typed);
  const int percent = compare(e, t);
  if (percent > Threshold || keys == nullptr) return percent;
  for (size_t j = 1; j <= t.size(); ++j) {
    const unsigned char ec = j <= e.size() ? at(e, j) : Filler;
    const unsigned char tc = at(t, j);
    if (upperChar(ec) == upperChar(tc)) {
      keys->recordKey(ec, false);
    } else if (ec == Filler) {
      // A key struck twice is the typed key's fault; other extra characters are nobody's.
      if (j >= 2 && tc == at(t, j - 1)) keys->recordKey(tc, true);
    } else if (ec != ' ') {
      keys->recordKey(ec, true);
    }
  }
  return percent;
}

}  // namespace ks
