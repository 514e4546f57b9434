// The input-line model: the learner types into a line below the text; each word is compared
// with the text as a whole when it is ended, and a fuzzy comparison with the neighbouring words
// notices skipped and repeated words so that the two texts stay in step.
#pragma once

#include "engine/typingcore.h"

namespace ks {

class InputLineChecker : public TypingCore {
 public:
  InputLineChecker(const TypingServices& services, TypingHost& host, ViewCanvasModel& view,
                   TypingCanvasModel& line)
      : TypingCore(services, host, view), line_(&line) {}

  void Setup(std::string_view text, int startOffset = 0) override;
  void KeyPress(unsigned char& key) override;
  // Compares the typed word with the text when a word is ended by `key`.
  virtual void CheckWord(unsigned char key);
  void EndOfText() override;

  // Line ends must be typed as Enter: Space there costs an error, Enter elsewhere beeps.
  bool InPlaceTextMode = false;
  // Exams log every compared word; null for other events.
  void SetTypedLog(TypedTextLog* log) { log_ = log; }
  bool PendingLineBreak = false;

 protected:
  TypingCanvasModel& line() { return *line_; }

 private:
  void log(std::string_view expected, std::string_view typed, unsigned char key) {
    if (log_ != nullptr) log_->Add(expected, typed, key);
  }

  TypingCanvasModel* line_;
  TypedTextLog* log_ = nullptr;
};

}  // namespace ks
