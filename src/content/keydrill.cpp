// The generated key drill: every key of a sequence becomes a group of four characters mixed
// with a partner typed by the same finger (or a neighbour on the row), so the learner practises
// the movements that are easy to confuse.
#include <algorithm>
#include <array>

#include "analysis/keydataext.h"
#include "content/courseservices.h"
#include "content/revisionbuilder.h"
#include "platform/random.h"
#include "store/errors.h"
#include "text/textutil.h"

namespace ks {
namespace {

// Captions of the plain state of the layout's character keys.
std::string layoutKeys(const TKeyDataExt& layout) {
  std::string keys;
  for (const auto& key : layout.Keys) {
    if (key->Kind != KeyKind::Key && key->Kind != KeyKind::VKey) continue;
    const std::string& c = key->Chars[0];
    if (c.size() == 1 && static_cast<unsigned char>(c[0]) > ' ' &&
        static_cast<unsigned char>(c[0]) != 160 && keys.find(c[0]) == std::string::npos) {
      keys += c[0];
    }
  }
  return keys;
}

char lower(char c) {
  return static_cast<char>(lowerChar(static_cast<unsigned char>(c)));
}

// The key sequence: r repetitions of each key, with p repetitions of each pair (or of a last
// unpaired key) in front.
std::string drillSequence(const std::string& keys, int repeats) {
  const int n = static_cast<int>(keys.size());
  const int r = std::max(0, n > 2 ? 4 : std::min(repeats, 8));
  const int p = std::min(std::max(repeats - 8, 0), 4);
  std::string seq;
  for (int i = 0; i < n; ++i) {
    const int position = i + 1;
    if (position % 2 == 0) {
      for (int k = 0; k < p; ++k) seq += std::string{keys[i - 1], keys[i]};
    } else if (position == n) {
      seq.append(static_cast<size_t>(p), keys[i]);
    }
    seq.append(static_cast<size_t>(r), keys[i]);
  }
  return seq;
}

}  // namespace

std::string TRevisionBuilder::partnerFrom(const std::string& candidates, char s,
                                          const std::string& known) {
  std::string usable;
  for (char c : candidates) {
    if (c != s && (known.empty() || known.find(c) != std::string::npos)) usable += c;
  }
  if (usable.empty()) return {};
  return std::string(
      1, usable[static_cast<size_t>(random_.next(static_cast<int32_t>(usable.size())))]);
}

char TRevisionBuilder::partner(char s, const std::string& known) {
  TKeyDataExt* layout = env_.Layout;
  if (layout == nullptr || layout->Keys.empty()) return s;
  std::string c = partnerFrom(layout->getSameFingerKeys(s), s, known);
  if (c.empty()) c = partnerFrom(layout->getSameRowKeys(s), s, known);
  if (!c.empty()) return c[0];
  const char mapped = layout->mapKeypadDecimal(std::string_view(&s, 1));
  if (mapped != '\0' && mapped != s) return mapped;
  c = partnerFrom(layoutKeys(*layout), s, known);
  return c.empty() ? s : c[0];
}

char TRevisionBuilder::neighbour(char s, char fallback, const std::string& known) {
  TKeyDataExt* layout = env_.Layout;
  if (layout == nullptr || layout->Keys.empty()) return fallback;
  const std::string q = partnerFrom(layout->getSameRowKeys(s), s, known);
  return q.empty() ? fallback : q[0];
}

int TRevisionBuilder::KeyDrill(const std::string& keys, int keyLevel, bool escape, int repeats) {
  Lines.clear();
  std::string distinct;
  for (char c : keys) {
    if (distinct.find(c) == std::string::npos) distinct += c;
  }
  Keys = distinct;
  const std::string sequence = drillSequence(distinct, repeats);
  const std::string known = env_.Learner != nullptr ? env_.Learner->KeysUpTo(keyLevel) : "";

  std::string line;
  for (size_t group = 0; group < sequence.size(); ++group) {
    const char s = sequence[group];
    const char c = partner(s, known);
    const char q = group % 2 == 1 ? neighbour(s, c, known) : c;
    const int choice = random_.next(4);
    std::array<char, 4> pattern;
    if (c != q && q != s) {
      const std::array<std::array<char, 4>, 4> patterns{
          {{s, c, s, q}, {c, s, q, s}, {c, s, lower(s), q}, {s, c, q, s}}};
      pattern = patterns[static_cast<size_t>(choice)];
    } else {
      const std::array<std::array<char, 4>, 4> patterns{
          {{s, c, lower(s), q}, {c, s, q, s}, {lower(c), s, s, q}, {s, c, q, s}}};
      pattern = patterns[static_cast<size_t>(choice)];
    }
    for (char ch : pattern) {
      if (escape && ch == ';') line += '%';
      line += ch;
    }
    line += ' ';
  }
  if (line.empty()) {
    ReportError(0, "Build: Sequence empty with " + keys);
    return 0;
  }
  addLine(line);
  return 1;
}

}  // namespace ks
