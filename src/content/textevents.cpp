#include "content/textevents.h"

namespace ks {
namespace {

constexpr TextBlocking W = TextBlocking::Whole;
constexpr TextBlocking L = TextBlocking::Lines;
constexpr TextBlocking P = TextBlocking::Paragraphs;

// Keyword, blocking, repeat, in-place line ends, exam, keyboard, font, large font, idle limit.
constexpr TextEventTraits kTraits[] = {
    {"TEXT", W, false, false, false, false, 14, 18, 5},
    {"TEXT2", W, true, true, false, false, 14, 18, 5},
    {"EXAM", W, false, true, true, false, 14, 18, 0},
    {"EXAMINTERNAL", W, false, true, true, false, 14, 18, 0},
    {"EXAM2", W, true, true, true, false, 14, 18, 0},
    {"SENTENCE", L, false, false, false, false, 20, 26, 5},
    {"PARAGRAPH", L, false, false, false, false, 14, 18, 5},
    {"PARAGRAPH2", P, true, true, false, true, 17, 17, 5},
    {"EASYEXAM", P, true, true, true, true, 17, 17, 0},
};

}  // namespace

const TextEventTraits* TextEventTraitsOf(std::string_view keyword) {
  for (const TextEventTraits& t : kTraits) {
    if (keyword == t.Keyword) return &t;
  }
  return nullptr;
}

}  // namespace ks
