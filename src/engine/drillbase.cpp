#include "engine/drillbase.h"

#include "engine/resultfill.h"
#include "platform/systemkeyboard.h"
#include "store/dynamicsettings.h"
#include "store/resultitem.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kResetMs = 1000;

int bitCount(uint16_t mask) {
  int n = 0;
  for (; mask; mask &= static_cast<uint16_t>(mask - 1)) ++n;
  return n;
}

}  // namespace

int DrillDelaySetting(TDynamicSettings* settings, const std::string& name, int fallback) {
  if (!settings || trimBlanks(settings->ReadString(name)).empty()) return fallback;
  return std::max(0, settings->ReadInteger(name));
}

RepetitionCounter::RepetitionCounter(const Clock& clock, DrillDisplay& display)
    : ResetTimer(clock), display_(&display) {
  ResetTimer.SetOnTimer([this] {
    ResetTimer.Stop();
    SetCorrectInRow(0);
  });
}

void RepetitionCounter::show() {
  display_->ShowRepetitions(correct_, target_, target_ >= 2);
}

void RepetitionCounter::SetCorrectInRow(int n) {
  correct_ = n;
  show();
  if (n > 0 && n >= target_) ResetTimer.Start(kResetMs);
}

void RepetitionCounter::SetRepeatTarget(int n) {
  target_ = std::max(0, n);
  show();
}

void RepetitionCounter::KeyTyped() {
  if (!ResetTimer.Enabled()) return;
  ResetTimer.Stop();
  SetCorrectInRow(0);
}

void RepetitionCounter::StartNew() {
  Tries = 0;
  if (!ResetTimer.Enabled() && correct_ != 0) SetCorrectInRow(0);
}

void RepetitionCounter::Clear() {
  ResetTimer.Stop();
  MaxTries = 0;
  Tries = 0;
  correct_ = 0;
  target_ = 0;
  show();
}

KeyboardDrill::KeyboardDrill(const DrillContext& context)
    : Counter(context.services.clock, context.display),
      context_(context),
      event_(context.event),
      fingerTimer_(context.services.clock) {
  fingerTimer_.SetOnTimer([this] {
    fingerTimer_.Stop();
    showFingersOf(fingerChar_);
  });
}

void KeyboardDrill::BeginOnText(const ViewCanvasModel& view) {
  if (view.ExpectedChar() == 0) {
    // Nothing to type: the drill ends at once, having done nothing.
    ShowProgress(0);
    FinishTyping();
    return;
  }
  HighlightKey(view.ExpectedChar());
}

void KeyboardDrill::Setup(const DrillSetup& setup, std::string_view) {
  EnterOnly = sameText(setup.Field(4), "ENTER");
  Separator = EnterOnly ? 13 : ' ';
  Counter.Clear();
  fingerTimer_.Stop();
  keyboard().ShowKeys("", "", 0, "");
  if (setup.ActiveKeys.empty()) {
    keyboard().MarkAllKeys();
  } else {
    keyboard().MarkKeys(setup.ActiveKeys);
  }
}

void KeyboardDrill::FillResult(TResultItem& result, const ResultSources& sources) const {
  FillTypingResult(result, CheckingModel::InPlace, sources);
  result.SubKind = Kind();
}

std::vector<PlainTimer*> KeyboardDrill::Timers() {
  return {&keyboard().Timer, &Counter.ResetTimer, &fingerTimer_};
}

void KeyboardDrill::KeyUp() {
  keyboard().ReleasePressedKey();
}

void KeyboardDrill::DeadKeyTyped(unsigned char accent) {
  if (keyboard().AfterKeyTyped(accent)) display().ShowFinger(keyboard().LitFinger);
}

void KeyboardDrill::showFingersOf(unsigned char c) {
  const char ch = static_cast<char>(c);
  const uint16_t mask = layout().getFingerMask(std::string_view(&ch, 1));
  if (bitCount(mask) > 1) {
    display().ShowFingers(mask);
  } else {
    display().ShowFinger(layout().getFinger(ch));
  }
}

void KeyboardDrill::SwitchCapsLockOff() {
  SystemKeyboard& system = systemKeyboard();
  if (system.capsLockOn()) system.setCapsLock(false);
  event_.SwitchCapsLockOff();
}

void KeyboardDrill::ShowPressedKey(unsigned char key) {
  if (ShowPressed) keyboard().ShowPressedKey(static_cast<char>(key));
}

void KeyboardDrill::ClearKeyHighlight() {
  keyboard().ClearHighlights();
  fingerTimer_.Stop();
  if (FingerGuide) display().ShowFinger(0);
}

void KeyboardDrill::HighlightKey(unsigned char expected) {
  if (!ShowExpected || expected == 0) return;
  if (expected == 13 && EnterShownAsSpace) expected = ' ';
  keyboard().ShowKeys("", std::string(1, static_cast<char>(expected)), KeyDelay, "");
  if (!FingerGuide) return;
  // The finger shows with the key, so the learner first tries without either.
  fingerChar_ = expected;
  if (KeyDelay > 0) {
    fingerTimer_.Start(KeyDelay);
  } else {
    showFingersOf(expected);
  }
}

void KeyboardDrill::ShowWrongKey(unsigned char key, unsigned char expected) {
  if (expected == 13 && EnterShownAsSpace) expected = ' ';
  keyboard().ShowKeys(std::string(1, static_cast<char>(key)),
                      std::string(1, static_cast<char>(expected)), 0, "");
  fingerTimer_.Stop();
  if (FingerGuide) showFingersOf(expected);
}

void KeyboardDrill::ShowFinger(unsigned char expected) {
  showFingersOf(expected);
}

}  // namespace ks
