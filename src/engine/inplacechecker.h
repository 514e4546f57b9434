// The in-place model: the learner types over the text; each key is compared with the one
// expected character and the cursor moves on only for the right key. The older drills follow
// the same rules with the differences their variant selects.
#pragma once

#include <string>

#include "engine/typingcore.h"

namespace ks {

class InPlaceChecker : public TypingCore {
 public:
  enum class Variant {
    Current,  // keys feed the analyzer and the rhythm; only the first wrong key counts
    Older,    // time only: every wrong key beeps and is recorded, no error counter
  };

  InPlaceChecker(const TypingServices& services, TypingHost& host, ViewCanvasModel& view,
                 Variant variant = Variant::Current)
      : TypingCore(services, host, view), variant_(variant) {}

  void Setup(std::string_view text, int startOffset = 0) override;
  void KeyPress(unsigned char& key) override;

  // Space and Enter stand for each other unless the event line asks for "ENTER" (the older
  // drills: unless InPlaceTextMode is set).
  bool EnterOnly = false;
  bool InPlaceTextMode = false;

  unsigned char ExpectedKey = 0;  // the character expected before the last key
  std::string WordBuffer;         // right keys of the current word, for the analyzer
  bool ErrorState = false;        // a wrong key at this position has been counted
  int WordErrors = 0;             // wrong keys in the current word
  std::string DrillWord;          // right characters of the current word, for the word table

 private:
  bool interchangeable(unsigned char key, unsigned char expected) const;

  Variant variant_;
};

}  // namespace ks
