#include "engine/inplacechecker.h"

#include "text/textutil.h"

namespace ks {

namespace {

bool isEnterOrSpace(unsigned char c) {
  return c == 13 || c == 32;
}

}  // namespace

void InPlaceChecker::Setup(std::string_view text, int startOffset) {
  TypingCore::Setup(text, startOffset);
  ExpectedKey = 0;
  WordBuffer.clear();
  ErrorState = false;
  WordErrors = 0;
  DrillWord.clear();
}

bool InPlaceChecker::interchangeable(unsigned char key, unsigned char expected) const {
  const bool strict = variant_ == Variant::Older ? InPlaceTextMode : EnterOnly;
  return !strict && isEnterOrSpace(key) && isEnterOrSpace(expected);
}

void InPlaceChecker::KeyPress(unsigned char& key) {
  const bool current = variant_ == Variant::Current;
  const unsigned char x = view().ExpectedChar();
  ExpectedKey = x;
  Prologue(key);
  // Keys after the end, or swallowed by a goal panel, neither count nor restart the timer.
  const bool live = key != 0 && host().State() != esFinished;

  int interval = 0;
  if (current && live && IsTypingKey(key)) interval = TimeKeystroke(false);

  // Word statistics: only right keys reach the analyzer, so words enter without errors.
  if (current && live && (x == 0 || key == x || interchangeable(key, x))) {
    WordBuffer.push_back(static_cast<char>(key));
    if (Analyzer_CharPressed(analyzer(), key, interval, true)) {
      // The key that ended the word is no part of it, Enter included.
      const std::string word(trim(WordBuffer));
      Analyzer_EndWord(analyzer(), word, word);
      WordBuffer.clear();
    }
  }

  host().StopMissedIndicator();
  if (host().State() == esReady && key != 0) host().StartTyping();
  if (key != 0) host().ShowPressedKey(key);
  host().SwitchCapsLockOff();
  if (key == 0 || host().State() == esFinished) return;

  bool right = key == x;
  if (!right && interchangeable(key, x)) {
    right = true;
    key = x;
  }
  TDifficultKeys& stats = keys();
  if (right) {
    ErrorState = false;
    host().ClearKeyHighlight();
    stats.recordKey(x, false);
    if (IsWordSeparator(x)) {
      Analyzer_AddWord(analyzer(), DrillWord, WordErrors > 0 ? 2 : 0);
      DrillWord.clear();
      WordErrors = 0;
    } else if (DrillWord.size() < 255) {
      DrillWord.push_back(static_cast<char>(x));
    }
    view().Advance();
    host().HighlightKey(view().ExpectedChar());
    host().ShowProgress(ProgressPercent());
    if (view().ExpectedChar() == 0) EndOfText();
    return;
  }

  // A wrong key (Backspace included): the cursor stays.
  view().MarkError();
  if (current) {
    // Only the first wrong key at a place counts.
    if (!ErrorState) {
      ErrorSound();
      ++WordErrors;
      ++measures().Efficiency.Errors;
      stats.recordKey(x, true);
    }
    ErrorState = true;
  } else {
    ErrorSound();
    ++WordErrors;
    stats.recordKey(x, true);
    host().ShowFinger(x);
  }
  host().ShowWrongKey(key, x);
}

}  // namespace ks
