// What every keyboard drill shares, without a screen: the on-screen keyboard and the finger
// picture it drives, the repetition counter with its one-second reset, the delayed lighting of
// the next key, and the event line's drill fields. The drill views draw what these decide.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyboardmodel.h"
#include "engine/typingcore.h"
#include "platform/plaintimer.h"
#include "platform/random.h"
#include "store/langres.h"

namespace ks {

class TDynamicSettings;
struct TResultItem;
struct ResultSources;

// What the drill views show besides the keyboard.
class DrillDisplay {
 public:
  virtual ~DrillDisplay() = default;
  // The finger picture: one finger (0 none) or a set (bit n for finger n).
  virtual void ShowFinger(int finger) { (void)finger; }
  virtual void ShowFingers(uint16_t mask) { (void)mask; }
  // The repetition marks: `correct` of `target` earned; shown only when `visible`.
  virtual void ShowRepetitions(int correct, int target, bool visible) {
    (void)correct;
    (void)target;
    (void)visible;
  }
  // Key groups and words: the caps (or the word) and the finger label changed.
  virtual void GroupChanged() {}
  virtual void ShowFingerLabel(const std::string& text) { (void)text; }
  // The key introduction: two instruction lines, or one text (the other then empty).
  virtual void ShowIntroLines(const std::string& row1, const std::string& row2) {
    (void)row1;
    (void)row2;
  }
  virtual void ShowIntroText(const std::string& text) { (void)text; }
  // The drill closes itself with this close result.
  virtual void Close(int closeResult) { (void)closeResult; }
};

// What a drill is set up from: the event's own split of its line and what the loader, the
// learner and the course add.
struct DrillSetup {
  std::vector<std::string> Fields;
  std::string ActiveKeys;  // the keys taught so far; empty: all keys are shown as taught
  TDynamicSettings* UserSettings = nullptr;  // the learner's delays; none: the defaults
  std::string LevelKeys;                     // the learner's keys of the current key level
  int NewKeysLoops = 0;                      // the course's "newkeysloops" (0 none)

  // Field `i`, or "" when the line is shorter.
  std::string Field(size_t i) const { return i < Fields.size() ? Fields[i] : std::string(); }
  bool HasField(size_t i) const { return i < Fields.size(); }
};

// A learner's delay setting in milliseconds, or `fallback` when it is not set.
int DrillDelaySetting(TDynamicSettings* settings, const std::string& name, int fallback);

struct DrillContext {
  TypingServices services;
  TypingHost& event;  // the event around the drill: its states and its own displays
  TKeyboardModel& keyboard;
  DrillDisplay& display;
  Random& random;
  const TLocalize& lang = Localize();
};

// Repetitions typed so far against the repetitions wanted, and the one-second reset after the
// target is reached.
class RepetitionCounter {
 public:
  RepetitionCounter(const Clock& clock, DrillDisplay& display);

  int CorrectInRow() const { return correct_; }
  void SetCorrectInRow(int n);
  int RepeatTarget() const { return target_; }
  // The marks show only for a target of 2 or more.
  void SetRepeatTarget(int n);
  int MaxTries = 0;  // how often one group is offered at most
  int Tries = 0;     // how often the current group has been typed

  // A keystroke stops the waiting reset. The reset it waited for happens now: otherwise a
  // learner who types on within the second keeps a full count into the next group, which then
  // counts as done after a single repetition.
  void KeyTyped();
  // A new group or word starts its count afresh, unless the full count is still on show.
  void StartNew();
  void Clear();

  PlainTimer ResetTimer;

 private:
  void show();

  DrillDisplay* display_;
  int correct_ = 0;
  int target_ = 0;
};

class KeyboardDrill : public TypingHost {
 public:
  explicit KeyboardDrill(const DrillContext& context);
  ~KeyboardDrill() override = default;
  KeyboardDrill(const KeyboardDrill&) = delete;
  KeyboardDrill& operator=(const KeyboardDrill&) = delete;

  // The event's setup: `text` is the event's text (empty when it has none).
  virtual void Setup(const DrillSetup& setup, std::string_view text);
  // Every character that reaches the event; a swallowed key comes back as 0.
  virtual void KeyPress(unsigned char& key) = 0;
  virtual int ProgressPercent() const = 0;
  // Fills the drill's part of the result after the event has set its type and times.
  virtual void FillResult(TResultItem& result, const ResultSources& sources) const;
  // The exercise kind of the result ("NK", "KR", ...); empty for drills without one.
  virtual std::string Kind() const = 0;

  // A key was released: the pressed key is no longer shown.
  void KeyUp();
  // A dead key was typed (`accent` is its accent character): shows what follows it.
  void DeadKeyTyped(unsigned char accent);

  // Every timer of the drill, the keyboard's included, for whoever drives time.
  virtual std::vector<PlainTimer*> Timers();

  // TypingHost: the states are the event's; the keyboard displays are the drill's.
  TEventState State() const override { return event_.State(); }
  void StartTyping() override { event_.StartTyping(); }
  void PauseTyping() override { event_.PauseTyping(); }
  void FinishTyping() override { event_.FinishTyping(); }
  void GoalKeyPress(unsigned char& key) override { event_.GoalKeyPress(key); }
  unsigned char MapKeypadDecimal(unsigned char key) override {
    return event_.MapKeypadDecimal(key);
  }
  void ShowRhythmLight(int light) override { event_.ShowRhythmLight(light); }
  void ShowProgress(int percent) override { event_.ShowProgress(percent); }
  // Caps Lock would turn every letter into a wrong key.
  void SwitchCapsLockOff() override;
  void StopMissedIndicator() override { Counter.KeyTyped(); }
  void ShowPressedKey(unsigned char key) override;
  void ClearKeyHighlight() override;
  void HighlightKey(unsigned char expected) override;
  void ShowWrongKey(unsigned char key, unsigned char expected) override;
  void ShowFinger(unsigned char expected) override;

  // The drill fields.
  unsigned char Separator = ' ';  // Enter when the line asks for "ENTER"
  bool EnterOnly = false;
  int KeyDelay = 0;  // ms before the next key lights up
  bool ShowExpected = false;
  bool ShowPressed = false;
  bool FingerGuide = false;  // the finger of the next key is shown
  // A row drill asks for Enter where its lines end, but shows the space bar there.
  bool EnterShownAsSpace = false;
  RepetitionCounter Counter;

 protected:
  // After the text is loaded into `view`: lights its first key, or ends the drill at once when
  // there is nothing to type.
  void BeginOnText(const ViewCanvasModel& view);
  TKeyboardModel& keyboard() { return context_.keyboard; }
  const TKeyboardModel& keyboard() const { return context_.keyboard; }
  TKeyDataExt& layout() const { return context_.keyboard.Layout(); }
  DrillDisplay& display() { return context_.display; }
  const DrillContext& context() const { return context_; }
  const TLocalize& lang() const { return context_.lang; }
  // The fingers of `c` (with its modifier's) on the finger picture.
  void showFingersOf(unsigned char c);

 private:
  DrillContext context_;
  TypingHost& event_;
  PlainTimer fingerTimer_;
  unsigned char fingerChar_ = 0;
};

}  // namespace ks
