// The new-key drill: the drill text cut into key groups shown as key caps, each group offered
// until it has been typed without error often enough or tried often enough ("KEY2", and the
// older "NEWKEYS").
#pragma once

#include <memory>
#include <string>

#include "engine/drillbase.h"
#include "engine/inplacechecker.h"
#include "engine/keygroups.h"

namespace ks {

class KeyGroupDrill : public KeyboardDrill {
 public:
  enum class Generation { Current, Older };

  KeyGroupDrill(const DrillContext& context, Generation generation = Generation::Current);
  ~KeyGroupDrill() override;

  // What ";" in the drill's file text becomes: the layout's key in the place of ";", or none
  // when field 6 says "NOSEMI".
  static char SemicolonCharFor(const DrillSetup& setup, const TKeyDataExt& layout);

  void Setup(const DrillSetup& setup, std::string_view text) override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override { return groups_.Progress(); }
  std::string Kind() const override { return "NK"; }
  void FillResult(TResultItem& result, const ResultSources& sources) const override;
  std::vector<PlainTimer*> Timers() override;
  // The end of the drill lights Enter, the key that goes on.
  void FinishTyping() override;

  const KeyGroupModel& Groups() const { return groups_; }
  // The finger of the current key, with the modifier it needs ("Shift + ...").
  std::string FingerLabel() const;
  bool Pausing() const { return pause_.Enabled(); }

  static constexpr int kGroupPauseMs = 400;

 private:
  class Checker;
  void groupTyped();
  void nextGroup();
  void present();

  Generation generation_;
  KeyGroupModel groups_;
  std::unique_ptr<Checker> checker_;
  PlainTimer pause_;    // the typed group stays on show a moment
  std::string queued_;  // keys typed meanwhile, handled after it
};

}  // namespace ks
