#include "wordgen/wordgen.h"

#include <algorithm>
#include <map>
#include <set>

#include "text/fields.h"
#include "text/textutil.h"

namespace ks::wordgen {

namespace {

void putInt16(std::string& out, int value) {
  const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

struct Entry {
  std::string text;
  int level = 0;
};

// Chooses the texts one key keeps: every level gets its share, so that late lessons find words
// with their new keys even when the early levels have plenty.
std::vector<Entry> chooseTexts(std::vector<Entry> entries, int cap, int minShare) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.level < b.level; });
  std::set<int> levels;
  for (const Entry& e : entries) levels.insert(e.level);
  if (levels.empty()) return {};
  const int share = std::max(minShare, cap / static_cast<int>(levels.size()));
  std::vector<Entry> kept;
  std::map<int, int> taken;
  for (const Entry& e : entries) {
    if (static_cast<int>(kept.size()) >= cap) break;
    if (taken[e.level] >= share) continue;
    ++taken[e.level];
    kept.push_back(e);
  }
  return kept;
}

std::vector<std::string> noteFreeLines(std::string_view text) {
  std::vector<std::string> lines;
  for (const std::string& line : splitLines(text)) {
    const std::string_view t = trimBlanks(line);
    if (t.empty() || t[0] == '#') continue;
    lines.emplace_back(t);
  }
  return lines;
}

}  // namespace

std::vector<std::string> courseKeyGroups(std::string_view courseText) {
  std::vector<std::string> groups;
  for (const std::string& raw : splitLines(courseText)) {
    const std::string_view line = trimBlanks(raw);
    if (line.empty() || line[0] == '\'' || line[0] == '$') continue;
    const std::vector<std::string> fields = splitFields(line);
    if (fields.size() < 2 || lowerCase(fields[0]) != "new keys") continue;
    const std::string value(trimBlanks(fields[1]));
    if (value.empty()) continue;
    groups.push_back(value == "SEMICOLON" ? std::string(";") : value);
  }
  return groups;
}

int textLevel(std::string_view text, const std::vector<std::string>& groups) {
  std::string known;
  for (size_t level = 0; level < groups.size(); ++level) {
    known += groups[level];
    const bool all = std::all_of(text.begin(), text.end(), [&](char c) {
      return c == ' ' || known.find(c) != std::string::npos;
    });
    if (all) return static_cast<int>(level) + 1;
  }
  return 0;
}

WordData buildWordData(const std::vector<std::string>& groups,
                       const std::vector<std::string>& words,
                       const std::vector<std::string>& pieces, const Limits& limits) {
  WordData out;
  // key byte -> kind -> texts holding that key
  std::map<unsigned char, std::map<int, std::vector<Entry>>> buckets;
  const auto collect = [&](const std::vector<std::string>& list, int kind) {
    std::set<std::string> seen;
    for (const std::string& text : list) {
      if (text.empty() || text.size() > static_cast<size_t>(kMaxText)) {
        out.errors.push_back("'" + text + "' is empty or longer than 24 characters");
        continue;
      }
      if (!seen.insert(text).second) continue;
      const int level = textLevel(text, groups);
      if (level == 0) {
        out.errors.push_back("'" + text + "' holds a character the course never teaches");
        continue;
      }
      std::set<unsigned char> keys;
      for (char c : text) {
        if (c != ' ') keys.insert(static_cast<unsigned char>(c));
      }
      for (unsigned char key : keys) buckets[key][kind].push_back({text, level});
    }
  };
  collect(words, kKindWords);
  collect(pieces, kKindSentences);

  for (auto& [key, kinds] : buckets) {
    for (auto& [kind, entries] : kinds) {
      const int cap = kind == kKindWords ? limits.wordsPerKey : limits.piecesPerKey;
      const std::vector<Entry> kept = chooseTexts(entries, cap, limits.perLevelShare / 4);
      const int first = static_cast<int>(out.texts.size());
      for (const Entry& e : kept) out.texts.push_back(e.text);
      // Falling levels: the first record within a learner's limit is the fullest usable one.
      for (size_t i = kept.size(); i > 0; --i) {
        if (i < kept.size() && kept[i].level == kept[i - 1].level) continue;
        out.index.push_back({key, kept[i - 1].level, kind, first, static_cast<int>(i)});
      }
    }
  }
  if (out.index.size() > static_cast<size_t>(kMaxIndexRecords)) {
    out.errors.push_back(std::to_string(out.index.size()) +
                         " index records: the builder reads only 2999");
  }
  if (out.texts.size() > static_cast<size_t>(kMaxDataRecords)) {
    out.errors.push_back(std::to_string(out.texts.size()) +
                         " data records: the index cannot address more than 32767");
  }
  return out;
}

std::string WordData::headerBytes() const {
  std::string out;
  for (const IndexRecord& r : index) {
    putInt16(out, r.key);
    putInt16(out, r.level);
    putInt16(out, r.kind);
    putInt16(out, r.first);
    putInt16(out, r.count);
  }
  return out;
}

std::string WordData::dataBytes() const {
  std::string out;
  for (const std::string& text : texts) {
    std::string record(kDataRecordSize, '\0');
    const size_t n = std::min(text.size(), static_cast<size_t>(kMaxText));
    record[0] = static_cast<char>(n);
    record.replace(1, n, text.substr(0, n));
    out += record;
  }
  return out;
}

std::vector<std::string> listWords(std::string_view text) {
  std::vector<std::string> words;
  for (const std::string& line : noteFreeLines(text)) {
    for (const std::string& w : splitFields(line, " \t")) words.push_back(w);
  }
  return words;
}

std::vector<std::string> listPieces(std::string_view text) {
  return noteFreeLines(text);
}

}  // namespace ks::wordgen
