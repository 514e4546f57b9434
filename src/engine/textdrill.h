// The drills that are typed over a text: rows of words ("WORD2"), sentences ("SENTENCE2") and
// the older "KEYBOARD", "KEYBROW" and "KEYBSENTENCE"; and the older one-word-at-a-time drill
// ("WORD") with its repetitions.
#pragma once

#include <memory>
#include <string>

#include "engine/drillbase.h"
#include "engine/inplacechecker.h"

namespace ks {

class TextDrill : public KeyboardDrill {
 public:
  enum class Variant { Row, Sentence, OlderKeyboard, OlderRow, OlderSentence };

  // `view` is the text the learner types over (the drawn canvas, in character mode).
  TextDrill(const DrillContext& context, ViewCanvasModel& view, Variant variant);

  void Setup(const DrillSetup& setup, std::string_view text) override;
  void KeyPress(unsigned char& key) override { checker_.KeyPress(key); }
  // The canvas's share of the text passed; 100 once it is all typed.
  int ProgressPercent() const override;
  std::string Kind() const override;
  void FillResult(TResultItem& result, const ResultSources& sources) const override;

  Variant variant() const { return variant_; }
  const InPlaceChecker& checker() const { return checker_; }

 private:
  bool older() const;

  Variant variant_;
  ViewCanvasModel* view_;
  InPlaceChecker checker_;
};

// One word with its terminator, typed over: the word canvas of the word drill.
class SingleWordModel : public ViewCanvasModel {
 public:
  unsigned char Terminator = 0;  // typed after the word: 0 none, 13 Enter, 32 Space

  // The character at the cursor, the terminator after the word, 0 once it is typed.
  unsigned char ExpectedChar() const override;
  std::string WordAt(int offset) const override { return offset == 0 ? word_ : std::string(); }
  bool CurrentIsLineFinal() const override { return Terminator == 13; }
  void Advance() override;
  void MarkError() override { hadError_ = true; }
  // The drill's word source; no word is on show yet.
  void LoadText(std::string_view text, int startOffset) override;
  // Share of the text taken as words so far; 0 for an empty text.
  int Progress() const override;

  // Shows the next word of the text; false when there is none.
  bool TakeNext();
  // Shows `word` (cut to 70 characters) from its start.
  virtual void SetWord(const std::string& word);
  const std::string& Word() const { return word_; }
  size_t Cursor() const { return cursor_; }
  bool HadError() const { return hadError_; }

 private:
  std::string text_;
  size_t pos_ = 0;
  std::string word_;
  size_t cursor_ = 0;
  bool hadError_ = false;
};

class WordDrill : public KeyboardDrill {
 public:
  WordDrill(const DrillContext& context, SingleWordModel& word);
  ~WordDrill() override;

  void Setup(const DrillSetup& setup, std::string_view text) override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override { return word_->Progress(); }
  // The word drill's result carries its time only.
  std::string Kind() const override { return {}; }
  void FillResult(TResultItem&, const ResultSources&) const override {}

 private:
  class Checker;
  void wordTyped();

  SingleWordModel* word_;
  std::unique_ptr<Checker> checker_;
};

}  // namespace ks
