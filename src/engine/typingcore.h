// What every keystroke checker shares: the event around it, the services it feeds, the timing
// of keystrokes and the prologue every typing key goes through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analyzer.h"
#include "engine/canvasmodel.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "store/qssettings.h"

namespace ks {

// The state of a lesson event.
enum TEventState : uint8_t { esReady = 0, esRunning = 1, esPaused = 2, esFinished = 3 };

// The event that hosts a checker: its state changes and what it shows. Only the state
// operations are required; the display calls default to nothing.
class TypingHost {
 public:
  virtual ~TypingHost() = default;

  virtual TEventState State() const = 0;
  virtual void StartTyping() = 0;  // start or resume
  virtual void PauseTyping() = 0;
  virtual void FinishTyping() = 0;

  // Goal panels see a key first and may swallow it (set it to 0).
  virtual void GoalKeyPress(unsigned char& key) { (void)key; }
  // The keypad's decimal key on layouts that swap "." and ",".
  virtual unsigned char MapKeypadDecimal(unsigned char key) { return key; }
  virtual void ShowRhythmLight(int light) { (void)light; }
  virtual void ShowProgress(int percent) { (void)percent; }
  // The on-screen keyboard of the in-place drills.
  virtual void StopMissedIndicator() {}
  virtual void ShowPressedKey(unsigned char key) { (void)key; }
  virtual void SwitchCapsLockOff() {}
  virtual void ClearKeyHighlight() {}
  virtual void HighlightKey(unsigned char expected) { (void)expected; }
  virtual void ShowWrongKey(unsigned char key, unsigned char expected) {
    (void)key;
    (void)expected;
  }
  virtual void ShowFinger(unsigned char expected) { (void)expected; }
};

// A host with the event states and the typing timer only: for drivers without a screen.
class BasicTypingHost : public TypingHost {
 public:
  explicit BasicTypingHost(Measures& measures) : measures_(&measures) {}

  void Reset() { state_ = esReady; }
  TEventState State() const override { return state_; }
  void StartTyping() override;
  void PauseTyping() override;
  void FinishTyping() override;

 private:
  Measures* measures_;
  TEventState state_ = esReady;
};

// The log of an exam: (expected word, typed word, ending key); an empty text stands for none.
class TypedTextLog {
 public:
  virtual ~TypedTextLog() = default;
  virtual void Add(std::string_view expected, std::string_view typed, unsigned char key) = 0;
};

// What a checker feeds. The analyzer brings the measures and the key statistics.
struct TypingServices {
  const Clock& clock;
  Analyzer& analyzer;
  Sound& sound;
  const LessonOptions& options = lessonOptions();
};

class TypingCore {
 public:
  TypingCore(const TypingServices& services, TypingHost& host, ViewCanvasModel& view);
  virtual ~TypingCore() = default;
  TypingCore(const TypingCore&) = delete;
  TypingCore& operator=(const TypingCore&) = delete;

  // The event's setup: loads the text and measures the exercise from zero.
  virtual void Setup(std::string_view text, int startOffset = 0);
  // Every character that reaches the event; a swallowed key comes back as 0.
  virtual void KeyPress(unsigned char& key) = 0;
  // The cursor has passed the last word: start again (time-limited exams) or finish.
  virtual void EndOfText();
  virtual int ProgressPercent() const { return view_->Progress(); }

  // At the end of the text, start it again instead of finishing.
  bool TimeLimited = false;
  // The next keystroke's interval is not measured (set when the text starts again).
  bool SkipNextInterval = false;

  const std::string& Text() const { return text_; }

 protected:
  static bool IsTypingKey(unsigned char key) { return key == 8 || key == 13 || key >= 32; }
  // Times a keystroke against the previous one (rhythm meter, optional light) and returns the
  // analyzer's interval in 1/100000000 day; 0 when it was not measured.
  int TimeKeystroke(bool showLight);
  // Resume a paused event, let the goal panels see the key, map the keypad's decimal key.
  void Prologue(unsigned char& key);
  void ErrorSound() { services_.sound.play(SoundId::Error); }

  Analyzer& analyzer() { return services_.analyzer; }
  Measures& measures() { return services_.analyzer.measures(); }
  TDifficultKeys& keys() { return services_.analyzer.keys().CurrentDifficulties(); }
  const LessonOptions& options() const { return services_.options; }
  TypingHost& host() { return *host_; }
  ViewCanvasModel& view() { return *view_; }

 private:
  TypingServices services_;
  TypingHost* host_;
  ViewCanvasModel* view_;
  std::string text_;
  bool hasLastKey_ = false;
  int64_t lastKeyTick_ = 0;
};

}  // namespace ks
