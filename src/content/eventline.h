// Event lines of an exercise: the loader's reading of the first four fields, the event's own
// split of the same line, and the table of keywords with the event each one creates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ks {

// One row of the keyword table.
struct EventKeyword {
  const char* Keyword;    // upper case, compared exactly
  const char* ClassName;  // the event class; empty when the keyword creates none
  bool WordErrorFactor;   // the result's error factor is the word length W (else 1)
  const char* GameName;   // the high-score list of a game; empty for other events
  bool Timed;             // the event takes a time limit
};

// The row of `keyword` (already upper-cased), or null for a keyword outside the table.
const EventKeyword* FindEventKeyword(std::string_view keyword);
const std::vector<EventKeyword>& EventKeywords();
// True when the keyword creates an event ("FINALTEST" and unknown keywords do not).
bool CreatesEvent(std::string_view keyword);

// The loader's reading of a line.
struct EventLine {
  std::string Line;                 // as read, trimmed
  std::vector<std::string> Fields;  // split at "=" and ";"
  std::string Name;                 // field 0, upper case
  std::string Keyword;              // field 1, upper case, at most 255 characters
  int Weight = 0;                   // field 2; 0 when missing or not a number
  bool WeightMalformed = false;     // field 2 exists but is not a number
  std::string SourceFile;           // field 3 when it names a text file
};

EventLine ParseEventLine(std::string_view line);

// Field 3 of a line as a text file name: a leading "FILE:" is dropped; names holding ":",
// names without ".TXT", ".INT" or ".EX", and "none" give "".
std::string EventSourceFile(std::string_view field);

}  // namespace ks
