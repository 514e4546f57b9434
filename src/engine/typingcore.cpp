#include "engine/typingcore.h"

#include <algorithm>
#include <climits>

#include "text/numbers.h"

namespace ks {

void BasicTypingHost::StartTyping() {
  measures_->Timer.StartOrResume();
  state_ = esRunning;
}

void BasicTypingHost::PauseTyping() {
  PauseMeasures(*measures_);
  state_ = esPaused;
}

void BasicTypingHost::FinishTyping() {
  measures_->Timer.Pause();
  state_ = esFinished;
}

TypingCore::TypingCore(const TypingServices& services, TypingHost& host, ViewCanvasModel& view)
    : services_(services), host_(&host), view_(&view) {}

void TypingCore::Setup(std::string_view text, int startOffset) {
  text_.assign(text);
  view_->LoadText(text_, startOffset);
  ResetMeasures(measures());
  // A word left half typed by the previous exercise must not carry its struggles over.
  analyzer().CurrentWord.Clear();
  hasLastKey_ = false;
  lastKeyTick_ = 0;
  SkipNextInterval = false;
}

int TypingCore::TimeKeystroke(bool showLight) {
  // The monotonic tick, in units of 1/100000 day (864 ms): a change of the wall clock must not
  // make an interval negative or huge.
  const int64_t now = services_.clock.tickMs();
  double interval = 0;
  bool measured = false;
  if (SkipNextInterval) {
    SkipNextInterval = false;
  } else if (hasLastKey_) {
    interval = static_cast<double>(now - lastKeyTick_) / 864.0;
    measured = true;
    TDeviationMeter& meter = measures().DeviationMeter;
    if (interval > 5) {  // a pause of more than 4.32 s starts the rhythm afresh
      meter.Reset();
    } else {
      meter.AddInterval(interval);
      if (showLight) host_->ShowRhythmLight(meter.Light);
    }
  }
  hasLastKey_ = true;
  lastKeyTick_ = now;
  if (!measured) return 0;
  return static_cast<int>(std::min<int64_t>(roundHalfEven(interval * 1000), INT_MAX));
}

void TypingCore::Prologue(unsigned char& key) {
  if (host_->State() == esPaused) host_->StartTyping();
  host_->GoalKeyPress(key);
  if (key != 0) key = host_->MapKeypadDecimal(key);
}

void TypingCore::EndOfText() {
  host_->ShowProgress(100);
  if (TimeLimited) {
    view_->LoadText(text_, 0);
  } else {
    host_->FinishTyping();
  }
}

}  // namespace ks
