// How the text events differ from each other, as far as it is not drawing: which checking model
// and block rule a keyword uses, whether its text repeats, whether it is an exam, and its fonts.
#pragma once

#include <string_view>

namespace ks {

enum class TextBlocking {
  Whole,       // the whole text at once
  Lines,       // one line at a time (sentences, paragraphs)
  Paragraphs,  // up to six lines at a time
};

struct TextEventTraits {
  const char* Keyword;
  TextBlocking Blocking;
  bool RepeatText;       // the file text is repeated for longer practice
  bool InPlaceTextMode;  // line ends must be typed as Enter
  bool Exam;             // pass criteria, typed-text log, result kind "TEST"
  bool OnScreenKeyboard;
  int FontSize;       // of the text to copy
  int LargeFontSize;  // with the learner's "LargeFonts"
  int IdleLimit;      // seconds without a key before the event pauses; 0 never
};

// The traits of a text event keyword, or null when the keyword is no text event.
const TextEventTraits* TextEventTraitsOf(std::string_view keyword);

}  // namespace ks
