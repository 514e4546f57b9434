#include "contentc/typingtime.h"

#include "text/fields.h"
#include "text/textutil.h"

namespace ks::contentc {
namespace {

constexpr std::string_view kAuthorMarker = "\"\xA4|w\"";

struct TimedKind {
  const char* keyword;
  bool repeated;  // the event repeats a file text six times
};

// The events whose results are measured over a whole text.
constexpr TimedKind kTimedKinds[] = {
    {"TEXT", false}, {"EXAM", false}, {"PARAGRAPH", false}, {"SENTENCE", false},
    {"TEXT2", true}, {"EXAM2", true}, {"EASYEXAM", true},   {"PARAGRAPH2", true},
};

const TimedKind* timedKind(const std::string& keyword) {
  for (const TimedKind& k : kTimedKinds) {
    if (sameText(keyword, k.keyword)) return &k;
  }
  return nullptr;
}

}  // namespace

int typingKeystrokes(const std::string& text1252, bool repeated) {
  int keys = 0;
  int lines = 0;
  for (const std::string& line : splitLines(text1252)) {
    if (line.rfind(kAuthorMarker, 0) == 0 || trim(line).empty()) continue;
    keys += static_cast<int>(line.size());
    ++lines;
  }
  if (lines > 1) keys += lines - 1;
  return repeated ? keys * 6 : keys;
}

std::vector<Diagnostic> checkTypingTimes(const std::map<std::string, std::string>& installed,
                                         const std::map<std::string, std::string>& displayOf) {
  std::vector<Diagnostic> errors;
  for (const auto& [name, bytes] : installed) {
    if (!name.starts_with("lessons/") || !name.ends_with(".cnt")) continue;
    const std::string display = displayOf.count(name) ? displayOf.at(name) : name;
    int lineNumber = 0;
    for (const std::string& raw : splitLines(bytes)) {
      ++lineNumber;
      const std::string line(trim(raw));
      if (!startsWithText(line, "event")) continue;
      // "event=text2;2;file:t.txt" and "event;TEXT2;2;file:t.txt" split alike: the keyword is
      // field 1 and the text field 3.
      const std::vector<std::string> fields = splitEventFields(line);
      if (fields.size() < 4) continue;
      const std::string keyword(trim(fields[1]));
      const TimedKind* kind = timedKind(keyword);
      if (!kind) continue;
      const std::string textField(trim(fields[3]));
      std::string text = textField;
      bool repeated = false;
      if (startsWithText(textField, "file:")) {
        const std::string file = "lessons/" + lowerCase(textField.substr(5));
        auto it = installed.find(file);
        if (it == installed.end()) {
          errors.push_back({display, lineNumber, "the text " + textField + " is not installed"});
          continue;
        }
        text = it->second;
        repeated = kind->repeated;
      }
      const int keys = typingKeystrokes(text, repeated);
      if (keys <= kTenSecondsAtTopSpeed) {
        errors.push_back({display, lineNumber,
                          keyword + " " + textField + " is typed in " + std::to_string(keys) +
                              " keystrokes: a 150 wpm typist finishes it in ten seconds, and "
                              "such results are not measured (more than " +
                              std::to_string(kTenSecondsAtTopSpeed) + " are needed)"});
      }
    }
  }
  return errors;
}

}  // namespace ks::contentc
