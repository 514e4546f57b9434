#include "engine/keygroupdrill.h"

#include "store/resultitem.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

// The in-place checking of the group: the end of a group is the drill's to handle.
class KeyGroupDrill::Checker : public InPlaceChecker {
 public:
  Checker(KeyGroupDrill& drill, Variant variant)
      : InPlaceChecker(drill.context().services, drill, drill.groups_, variant), drill_(&drill) {}
  void EndOfText() override { drill_->groupTyped(); }

 private:
  KeyGroupDrill* drill_;
};

KeyGroupDrill::KeyGroupDrill(const DrillContext& context, Generation generation)
    : KeyboardDrill(context),
      generation_(generation),
      checker_(std::make_unique<Checker>(*this, generation == Generation::Older
                                                    ? InPlaceChecker::Variant::Older
                                                    : InPlaceChecker::Variant::Current)),
      pause_(context.services.clock) {
  pause_.SetOnTimer([this] {
    pause_.Stop();
    nextGroup();
    // Keys typed during the pause go to the group now on show, as typed.
    while (!queued_.empty() && !pause_.Enabled() && State() != esFinished) {
      unsigned char key = static_cast<unsigned char>(queued_.front());
      queued_.erase(0, 1);
      KeyPress(key);
    }
    if (State() == esFinished) queued_.clear();
  });
}

KeyGroupDrill::~KeyGroupDrill() = default;

char KeyGroupDrill::SemicolonCharFor(const DrillSetup& setup, const TKeyDataExt& layout) {
  if (setup.HasField(6) && sameText(setup.Field(6), "NOSEMI")) return '\0';
  return layout.SemicolonKey;
}

void KeyGroupDrill::Setup(const DrillSetup& setup, std::string_view text) {
  KeyboardDrill::Setup(setup, text);
  ShowExpected = true;
  ShowPressed = keyboard().ShowPressed;
  FingerGuide = layout().FingerGuide;
  KeyDelay = DrillDelaySetting(setup.UserSettings, "NewKeysKeyboardDelay", 1800);
  const std::string target = setup.Field(5), tries = setup.Field(6);
  if (!target.empty()) Counter.SetRepeatTarget(strToIntDef(target, 0));
  if (!tries.empty()) Counter.MaxTries = strToIntDef(tries, 0);
  if (generation_ == Generation::Older && setup.NewKeysLoops > 0) {
    Counter.SetRepeatTarget(setup.NewKeysLoops);
    Counter.MaxTries = setup.NewKeysLoops;
  }
  groups_.Separator = Separator;
  groups_.Older = generation_ == Generation::Older;
  checker_->EnterOnly = EnterOnly;
  checker_->Setup(text);
  pause_.Stop();
  queued_.clear();
  nextGroup();
}

void KeyGroupDrill::KeyPress(unsigned char& key) {
  if (pause_.Enabled()) {
    if (key != 0) queued_.push_back(static_cast<char>(key));
    return;
  }
  checker_->KeyPress(key);
  display().GroupChanged();
  display().ShowFingerLabel(FingerLabel());
}

void KeyGroupDrill::groupTyped() {
  ++Counter.Tries;
  // Only a group typed without a wrong key is a repetition.
  if (!groups_.HadError()) Counter.SetCorrectInRow(Counter.CorrectInRow() + 1);
  display().GroupChanged();
  pause_.Start(kGroupPauseMs);
}

void KeyGroupDrill::nextGroup() {
  const bool fresh = groups_.Group().empty() || Counter.CorrectInRow() >= Counter.RepeatTarget() ||
                     Counter.Tries >= Counter.MaxTries;
  if (!fresh) {
    groups_.Restart();
  } else if (groups_.TakeNext()) {
    Counter.StartNew();
  } else {
    display().GroupChanged();
    display().ShowFingerLabel("");
    ShowProgress(ProgressPercent());
    FinishTyping();
    return;
  }
  present();
}

void KeyGroupDrill::present() {
  display().GroupChanged();
  display().ShowFingerLabel(FingerLabel());
  HighlightKey(groups_.ExpectedChar());
}

std::string KeyGroupDrill::FingerLabel() const {
  const char c = static_cast<char>(groups_.ExpectedChar());
  if (c == 0) return {};
  TKeyDataExt& keys = layout();
  FoundKey f = keys.findKey(std::string_view(&c, 1));
  if (!f.key) f = keys.findDeadKey(c).accent;
  if (!f.key) return {};
  const std::string modifier = f.modifier ? keys.getKeyCaption(*f.modifier, 0) + " + " : "";
  return modifier + keys.getFingerName(f.key->Finger);
}

void KeyGroupDrill::FinishTyping() {
  KeyboardDrill::FinishTyping();
  pause_.Stop();
  keyboard().ShowKeys("", "\r", 0, "");
  showFingersOf(13);
}

void KeyGroupDrill::FillResult(TResultItem& result, const ResultSources& sources) const {
  if (generation_ == Generation::Current) {
    KeyboardDrill::FillResult(result, sources);
  } else {
    result.SubKind = Kind();  // the older drills keep a time-only result
  }
}

std::vector<PlainTimer*> KeyGroupDrill::Timers() {
  std::vector<PlainTimer*> timers = KeyboardDrill::Timers();
  timers.push_back(&pause_);
  return timers;
}

}  // namespace ks
