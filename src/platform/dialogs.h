// Message boxes come in through this interface: the core asks, the user interface shows, tests
// record.
#pragma once

#include <string>

namespace ks {

// `QuestionNo` asks like `Question` but makes "no" the default answer, for questions whose "yes"
// destroys something.
enum class BoxKind { Information, Warning, Error, Question, QuestionNo };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a box with 1252 texts. For questions, returns true for "yes"; otherwise true.
  virtual bool messageBox(const std::string& text, const std::string& caption, BoxKind kind) = 0;
};

// The process-wide instance. Until the user interface installs one, boxes go to standard error.
Dialogs& dialogs();
// Installs `d` (not owned; nullptr restores the standard-error fallback).
void setDialogs(Dialogs* d);

}  // namespace ks
