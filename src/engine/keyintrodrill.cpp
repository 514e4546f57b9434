#include "engine/keyintrodrill.h"

#include <algorithm>

#include "store/resultitem.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

int KeySequenceModel::Progress() const {
  if (keys_.empty()) return 0;
  const auto len = static_cast<int64_t>(keys_.size());
  return static_cast<int>(std::min<int64_t>(100, roundHalfEvenDiv(int64_t(pos_) * 100, len)));
}

// The in-place checking of the keys: the last key ends the introduction.
class KeyIntroDrill::Checker : public InPlaceChecker {
 public:
  explicit Checker(KeyIntroDrill& drill)
      : InPlaceChecker(drill.context().services, drill, drill.keys_), drill_(&drill) {}
  void EndOfText() override { drill_->introduced(); }

 private:
  KeyIntroDrill* drill_;
};

KeyIntroDrill::KeyIntroDrill(const DrillContext& context)
    : KeyboardDrill(context),
      checker_(std::make_unique<Checker>(*this)),
      restore_(context.services.clock),
      close_(context.services.clock) {
  restore_.SetOnTimer([this] {
    restore_.Stop();
    if (State() != esFinished) showInstruction();
  });
  close_.SetOnTimer([this] {
    if (closeStep_ == 0) {
      keyboard().ClearHighlights();
      display().ShowFinger(0);
      closeStep_ = 1;
      close_.Start(kCloseMs);
    } else {
      close_.Stop();
      display().Close(3);
    }
  });
}

KeyIntroDrill::~KeyIntroDrill() = default;

std::string KeyIntroDrill::IntroKeys(const DrillSetup& setup, char semicolonChar) {
  std::string keys = setup.Field(4);
  if (sameText(trimBlanks(keys), "newkeys")) keys = setup.LevelKeys + ";";
  if (keys.empty()) keys = " ";
  if (semicolonChar != 0) std::replace(keys.begin(), keys.end(), ';', semicolonChar);
  return keys;
}

void KeyIntroDrill::Setup(const DrillSetup& setup, std::string_view text) {
  KeyboardDrill::Setup(setup, text);
  // Field 4 holds the keys here, so "ENTER" there is a key, not the separator rule.
  EnterOnly = false;
  Separator = ' ';
  ShowPressed = true;
  ShowExpected = true;
  KeyDelay = 0;
  FingerGuide = layout().FingerGuide;
  restore_.Stop();
  close_.Stop();
  const std::string keys = IntroKeys(setup, layout().SemicolonKey);
  checker_->EnterOnly = false;
  checker_->Setup(keys);
  keyboard().ShowKeys("", keys, 0, "");
  presenting_ = findText(setup.Field(5), "PRESS") != std::string::npos && layout().FingerGuide;
  if (!presenting_) {
    display().ShowIntroText(std::string(text));
    display().ShowFingers(layout().getFingerMask(keys));
    FinishTyping();
    return;
  }
  HighlightKey(keys_.ExpectedChar());
  showInstruction();
}

void KeyIntroDrill::KeyPress(unsigned char& key) {
  if (State() == esFinished) {
    if (key == ' ' || key == 13) {
      close_.Stop();
      display().Close(3);
    }
    return;
  }
  // Enter goes on, unless it is the key to type.
  if (key == 13 && keys_.ExpectedChar() != 13) {
    display().Close(3);
    return;
  }
  if (!presenting_) return;
  const size_t before = keys_.Position();
  checker_->KeyPress(key);
  if (key == 0) return;
  if (keys_.Position() > before) {
    const int r = context().random.next(100);
    display().ShowIntroText(msg(r < 30 ? 1720 : (r >= 60 ? 1722 : 1721)));
  } else {
    display().ShowIntroText(msg(1723));
  }
  restore_.Start(kRestoreMs);
}

void KeyIntroDrill::introduced() {
  ShowProgress(100);
  FinishTyping();
  closeStep_ = 0;
  close_.Start(kClearMs);
}

void KeyIntroDrill::FillResult(TResultItem& result, const ResultSources&) const {
  result.Kind = "STD";
  result.SubKind = Kind();
  // An introduction has no measures to judge: seen to the end it is passed like a message page,
  // so an exercise that ends with one can be completed.
  if (State() == esFinished) result.Valid = true;
}

std::vector<PlainTimer*> KeyIntroDrill::Timers() {
  std::vector<PlainTimer*> timers = KeyboardDrill::Timers();
  timers.push_back(&restore_);
  timers.push_back(&close_);
  return timers;
}

std::string KeyIntroDrill::keyText(unsigned char c) const {
  if (c == 13) return msg(164);
  if (c == ' ') return msg(150);
  if (c == '"') return "\"";
  return "\"" + std::string(1, static_cast<char>(c)) + "\"";
}

void KeyIntroDrill::Instruction(std::string& row1, std::string& row2) const {
  row1.clear();
  row2.clear();
  const unsigned char c = keys_.ExpectedChar();
  if (c == 0) return;
  TKeyDataExt& keys = layout();
  const char ch = static_cast<char>(c);
  FoundKey f = keys.findKey(std::string_view(&ch, 1));
  std::string text = keyText(c);
  if (!f.key) {
    // An accented letter typed with a dead key: the accent first, then the letter.
    const DeadKey dead = keys.findDeadKey(ch);
    if (dead.accent.key) {
      f = dead.accent;
      const int slot = !f.modifier ? 0 : (f.modifier2 ? kKeySlots - 1 : f.modifier->ModifierNumber);
      const std::string& accent = f.key->Chars[static_cast<size_t>(std::clamp(slot, 0, 20))];
      text = msg(1714) + "\"" + accent + "\"" + msg(1715) +
             keyText(static_cast<unsigned char>(dead.base));
    }
  }
  const std::string finger = f.key ? keys.getFingerName(f.key->Finger) : std::string();
  if (f.modifier) {
    row1 = msg(1717) + msg(1712) + keys.getKeyCaption(*f.modifier, 0) + msg(1713) +
           keys.getFingerName(f.modifier->Finger);
    row2 = msg(1718) + text + msg(1719) + finger;
  } else if (c == 13 || c == ' ') {
    row1 = msg(1716) + text;
  } else {
    row1 = msg(1725) + text + (finger.empty() ? std::string() : msg(1713) + finger);
  }
}

void KeyIntroDrill::showInstruction() {
  std::string row1, row2;
  Instruction(row1, row2);
  if (row2.empty()) {
    display().ShowIntroText(row1);
  } else {
    display().ShowIntroLines(row1, row2);
  }
}

}  // namespace ks
