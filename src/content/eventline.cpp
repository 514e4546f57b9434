#include "content/eventline.h"

#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

const std::vector<EventKeyword>& EventKeywords() {
  // Keyword, class, error factor W, game list, timed.
  static const std::vector<EventKeyword> table = {
      {"HTMLMESSAGE", "THTMLMessageEvent", false, "", false},
      {"MESSAGE", "TMessageEvent", false, "", false},
      {"BUILDER", "TBuilderEvent", false, "", false},
      {"KEYBOARD", "TKeyboardEvent", false, "", true},
      {"KEYBROW", "TKeybRowEvent", false, "", true},
      {"KEYBSENTENCE", "TKeybSentenceEvent", false, "", true},
      {"KEYBPARAGRAPH", "TKeybParagraphEvent", true, "", true},
      {"WORD", "TWordEvent", false, "", true},
      {"TEXT", "TTextEvent", true, "", true},
      {"EXAM", "TExamEvent", true, "", true},
      {"EXAMINTERNAL", "TExamEvent", true, "", true},
      {"EXAM2", "TExamEvent2", true, "", true},
      {"EASYEXAM", "TEasyExamEvent", true, "", true},
      {"FINALTEST", "", false, "", false},
      {"TEST", "TTestEvent", true, "", false},
      {"SENTENCE", "TSentenceEvent", true, "", true},
      {"PARAGRAPH", "TParagraphEvent", true, "", true},
      {"WORDTRIS", "TWTrisEvent", true, "Wordtris", true},
      {"CLOUDS", "TCloudGame", true, "Clouds", true},
      {"BUBBLES", "TBubbles", false, "Bubbles", true},
      {"ABC", "TABC", false, "ABCGame", true},
      {"KEY2", "TNewKeysEvent2", false, "", true},
      {"WORD2", "TKeybRowEvent2", false, "", true},
      {"SENTENCE2", "TKeybSentenceEvent2", false, "", true},
      {"PARAGRAPH2", "TParagraphEvent2", true, "", true},
      {"KEYINTRO", "TIntroKeysEvent", false, "", true},
      {"TEXT2", "TTextEvent2", true, "", true},
      {"NEWKEYS", "TNewKeysEvent", false, "", true},
  };
  return table;
}

const EventKeyword* FindEventKeyword(std::string_view keyword) {
  for (const EventKeyword& row : EventKeywords()) {
    if (keyword == row.Keyword) return &row;
  }
  return nullptr;
}

bool CreatesEvent(std::string_view keyword) {
  const EventKeyword* row = FindEventKeyword(keyword);
  return row != nullptr && row->ClassName[0] != '\0';
}

std::string EventSourceFile(std::string_view field) {
  std::string name(field);
  if (startsWithText(name, "FILE:")) name.erase(0, 5);
  // A drive letter or a web address cannot be a lesson text here.
  if (name.find(':') != std::string::npos) return {};
  if (findText(name, ".TXT") == std::string::npos && findText(name, ".INT") == std::string::npos &&
      findText(name, ".EX") == std::string::npos) {
    return {};
  }
  if (name == "none") return {};
  return name;
}

EventLine ParseEventLine(std::string_view line) {
  EventLine e;
  e.Line.assign(line);
  e.Fields = splitFields(line, "=;");
  if (!e.Fields.empty()) e.Name = upperCase(e.Fields[0]);
  if (e.Fields.size() > 1) e.Keyword = upperCase(std::string_view(e.Fields[1]).substr(0, 255));
  if (e.Fields.size() > 2) {
    int32_t weight = 0;
    if (tryStrToInt(e.Fields[2], weight)) {
      e.Weight = weight;
    } else {
      e.WeightMalformed = true;
    }
  }
  if (e.Fields.size() > 3) e.SourceFile = EventSourceFile(e.Fields[3]);
  return e;
}

}  // namespace ks
