// The review word data of a course: index and data records that the text builders search by key
// and key level. Generated at build time from the course's own key order and a word list, so the
// levels always agree with the lessons.
//
// ".hdr": records of five little-endian signed 16-bit integers: key character, level, kind
//   (1 words, 2 sentence pieces), first data record (0-based), number of data records.
// ".wzd": records of 25 bytes: a length byte and up to 24 characters, zero-filled.
//
// The builder uses the first index record of a key and kind whose level is within its limit, so
// the records of a key come in falling level order and each one holds every text usable up to
// its level: the texts of a key are stored once, sorted by level, and every record is a prefix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks::wordgen {

inline constexpr int kIndexRecordSize = 10;
inline constexpr int kDataRecordSize = 25;
inline constexpr int kMaxText = 24;
inline constexpr int kMaxIndexRecords = 2999;  // the builder reads no more
inline constexpr int kMaxDataRecords = 32767;  // the index addresses records with 16 bits
inline constexpr int kKindWords = 1;
inline constexpr int kKindSentences = 2;

// The key groups a course adds to the learner's key order, in order: the values of its plain
// "new keys" lines, "SEMICOLON" standing for ";". Layout-family variants are left out: they
// replace nothing in the order of the course's own layout.
std::vector<std::string> courseKeyGroups(std::string_view courseText);

// The first level (1-based count of groups) at which every character of `text` but the blank is
// known; 0 when some character is never taught.
int textLevel(std::string_view text, const std::vector<std::string>& groups);

struct IndexRecord {
  int key = 0;
  int level = 0;
  int kind = 0;
  int first = 0;
  int count = 0;
};

struct Limits {
  int wordsPerKey = 240;   // texts of kind 1 kept for one key
  int piecesPerKey = 120;  // texts of kind 2 kept for one key
  int perLevelShare = 40;  // at most this many texts of one key come from one level
};

struct WordData {
  std::vector<IndexRecord> index;
  std::vector<std::string> texts;  // data records in file order
  std::vector<std::string> errors;

  std::string headerBytes() const;
  std::string dataBytes() const;
};

// Builds the records. Texts are Windows-1252, lower case as the learner types them; texts that
// are empty, longer than 24 characters or hold a character the course never teaches are errors,
// so that a broken word list stops the build instead of shrinking silently. Earlier texts of a
// list are preferred when a key has more than its share.
WordData buildWordData(const std::vector<std::string>& groups,
                       const std::vector<std::string>& words,
                       const std::vector<std::string>& pieces, const Limits& limits = {});

// The texts of a word list file: one or more per line separated by blanks (kind 1) or one per
// line (kind 2); lines starting with "#" are notes.
std::vector<std::string> listWords(std::string_view text);
std::vector<std::string> listPieces(std::string_view text);

}  // namespace ks::wordgen
