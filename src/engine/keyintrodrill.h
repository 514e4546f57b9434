// The key introduction ("KEYINTRO"): new keys shown on the keyboard and, with "PRESS", presented
// one at a time with the finger to use, praised when typed right.
#pragma once

#include <memory>
#include <string>

#include "engine/drillbase.h"
#include "engine/inplacechecker.h"

namespace ks {

// The keys of an introduction, typed one after the other.
class KeySequenceModel : public ViewCanvasModel {
 public:
  unsigned char ExpectedChar() const override {
    return pos_ < keys_.size() ? static_cast<unsigned char>(keys_[pos_]) : 0;
  }
  std::string WordAt(int offset) const override { return offset == 0 ? keys_ : std::string(); }
  bool CurrentIsLineFinal() const override { return false; }
  void Advance() override {
    if (pos_ < keys_.size()) ++pos_;
  }
  void MarkError() override {}
  void LoadText(std::string_view text, int) override {
    keys_.assign(text);
    pos_ = 0;
  }
  // Keys presented so far against all keys; 0 without keys.
  int Progress() const override;

  const std::string& Keys() const { return keys_; }
  size_t Position() const { return pos_; }

 private:
  std::string keys_;
  size_t pos_ = 0;
};

class KeyIntroDrill : public KeyboardDrill {
 public:
  explicit KeyIntroDrill(const DrillContext& context);
  ~KeyIntroDrill() override;

  // The keys of the line: field 4 ("newkeys" for the keys of the learner's level and ";"),
  // ";" standing for the layout's key in its place; a blank when the field is empty.
  static std::string IntroKeys(const DrillSetup& setup, char semicolonChar);

  void Setup(const DrillSetup& setup, std::string_view text) override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override { return keys_.Progress(); }
  std::string Kind() const override { return "NK"; }
  // An introduction is a plain result, valid once every key was presented.
  void FillResult(TResultItem& result, const ResultSources& sources) const override;
  std::vector<PlainTimer*> Timers() override;

  bool Presenting() const { return presenting_; }
  const KeySequenceModel& Keys() const { return keys_; }
  // The instruction for the key on show: two lines when it needs a modifier, else one text
  // (then `row2` is empty).
  void Instruction(std::string& row1, std::string& row2) const;

  static constexpr int kRestoreMs = 1000;
  static constexpr int kClearMs = 200;
  static constexpr int kCloseMs = 800;

 private:
  class Checker;
  void introduced();
  void showInstruction();
  std::string keyText(unsigned char c) const;
  std::string msg(int id) const { return lang().GetString(id); }

  KeySequenceModel keys_;
  std::unique_ptr<Checker> checker_;
  bool presenting_ = false;
  PlainTimer restore_;  // brings the instruction back after praise or a wrong key
  PlainTimer close_;    // clears the keyboard, then closes the event
  int closeStep_ = 0;
};

}  // namespace ks
