#include "engine/inputlinechecker.h"

namespace ks {

namespace {

// Marks a line end in the typed word when Space ended a line (the text display's line-break
// sign), so that it counts as an error.
constexpr char kLineBreakMark = static_cast<char>(171);

}  // namespace

void InputLineChecker::Setup(std::string_view text, int startOffset) {
  TypingCore::Setup(text, startOffset);
  PendingLineBreak = false;
}

void InputLineChecker::KeyPress(unsigned char& key) {
  if (host().State() == esFinished || !IsTypingKey(key)) return;
  Prologue(key);
  // A key a goal panel swallowed is no keystroke: it neither ends an interval nor starts one.
  if (key == 0) return;
  const int interval = TimeKeystroke(true);
  const bool wordEnd = Analyzer_CharPressed(analyzer(), key, interval, true);
  if (wordEnd) {
    if (key == 13 && InPlaceTextMode) {
      if (!view().CurrentIsLineFinal() || line().TypedWord().empty()) ErrorSound();
      CheckWord(13);
    } else if (key == 32 && InPlaceTextMode) {
      if (view().CurrentIsLineFinal()) ErrorSound();
      CheckWord(32);
    } else {
      CheckWord(key);
    }
  } else if (key == 8) {
    // Backspace edits only the word being typed, and not at all where the policy forbids it.
    if (line().TypedWord().empty() || options().preventBackspace) {
      ErrorSound();
    } else {
      line().DeleteLastChar();
    }
  } else {
    line().AppendChar(key);
  }
  // The first keystroke both counts and starts the exercise.
  if (host().State() == esReady) host().StartTyping();
}

void InputLineChecker::CheckWord(unsigned char key) {
  const std::string typed = line().TypedWord();
  if (typed.empty()) return;
  if (PendingLineBreak) {
    log("\r", "\r", 13);
    PendingLineBreak = false;
  }
  if (view().CurrentIsLineFinal()) PendingLineBreak = true;

  const std::string e0 = view().WordAt(0);
  const std::string e1 = view().WordAt(1);
  const std::string e2 = view().WordAt(2);
  const std::string ep = view().WordAt(-1);
  const TErrorFinder& finder = measures().ErrorFinder;
  const int theta = finder.Threshold;
  const int a = finder.ErrorPercent(e0, typed);
  const int b = finder.ErrorPercent(e1, typed);
  const int c = finder.ErrorPercent(e2, typed);
  const int d = finder.ErrorPercent(ep, typed);
  TEfficiencyInfo& counters = measures().Efficiency;

  int r;
  if (b < a - 20 && b <= theta) {  // the learner skipped a word
    r = Analyzer_EndWord(analyzer(), e1, typed);
    log(e0, "", 0);
    log(e1, typed, key);
    view().Advance();
    counters.AddMissedWord(e0);
    view().Advance();
  } else if (c < a - 50 && c <= 5) {  // two words skipped
    r = Analyzer_EndWord(analyzer(), e2, typed);
    // Every skipped word is logged, so the stored log shows the whole text.
    log(e0, "", 0);
    log(e1, "", 0);
    log(e2, typed, key);
    view().Advance();
    counters.AddMissedWord(e0);
    view().Advance();
    counters.AddMissedWord(e1);
    view().Advance();
  } else if (!(d >= a - 20 || d > theta)) {  // the previous word typed again
    r = Analyzer_EndWord(analyzer(), ep, typed);
    log("", typed, key);
    counters.AddExtraWord(ep);
  } else {
    std::string compared = typed;
    if (key == 32 && InPlaceTextMode && view().CurrentIsLineFinal()) {
      compared.push_back(kLineBreakMark);
    }
    r = Analyzer_EndWord(analyzer(), e0, compared);
    log(e0, compared, key);
    view().Advance();
  }

  line().FinishWord(key == 13, r != 0);
  if (view().WordAt(0).empty()) EndOfText();
  if (host().State() != esFinished) host().ShowProgress(ProgressPercent());
}

void InputLineChecker::EndOfText() {
  // The jump back to the start of the text is no keystroke interval.
  SkipNextInterval = true;
  TypingCore::EndOfText();
}

}  // namespace ks
