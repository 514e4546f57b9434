// Texts typed a piece at a time: sentence and paragraph exercises show one line, or one
// paragraph of up to six lines, pause at its end and go on with the next. Lines that name the
// author of a text are shown under it and never typed.
#pragma once

#include <string>
#include <string_view>

#include "engine/drillbase.h"
#include "engine/inplacechecker.h"
#include "engine/inputlinechecker.h"

namespace ks {

// A line framed by the marker ("\"", 164, "|", "w", "\"") names the text's author.
bool IsAttributionLine(std::string_view line);
// What is shown for it: the copyright sign, a blank and the rest of the line.
std::string AttributionCaption(std::string_view line);

class TextBlocks {
 public:
  enum class Kind { Lines, Paragraphs };
  static constexpr int kParagraphLines = 6;

  explicit TextBlocks(Kind kind, bool attributions = true)
      : kind_(kind), attributions_(attributions) {}

  void Reset(std::string_view text);
  // Takes the next block; false when nothing is left to type.
  bool Take();

  // The block as the view loads it (paragraph lines end with CR).
  const std::string& Block() const { return block_; }
  // The caption of the last author line met ("" when none).
  const std::string& Attribution() const { return attribution_; }
  // The share of the text before the current block, 0-100 (100 for an empty text).
  int ProgressPercent() const;

 private:
  bool nextLine(std::string& line, size_t& start);
  bool attributionAt(size_t pos) const;
  void takeFollowingAttributions();

  Kind kind_;
  bool attributions_;
  std::string text_;
  size_t pos_ = 0;
  size_t blockStart_ = 0;
  std::string block_;
  std::string attribution_;
};

// What a block event shows besides the text.
class TextBlockListener {
 public:
  virtual ~TextBlockListener() = default;
  // A new block is on show, with this author line under it.
  virtual void BlockShown(const std::string& attribution) { (void)attribution; }
  // The last block has been typed: the result is complete.
  virtual void MarkCompleted() {}
  // Paragraph events start every paragraph on an empty input line.
  virtual void ResetInputLine() {}
};

// The block rules the checkers below share.
class BlockSequence {
 public:
  BlockSequence(TextBlocks::Kind kind, bool attributions) : blocks_(kind, attributions) {}

  void Start(std::string_view text, ViewCanvasModel& view, TextBlockListener* listener);
  // At the end of a block: pause and show the next one; after the last, complete and finish,
  // or start again when the event is time-limited. True when the text started again.
  bool EndOfText(TypingHost& host, ViewCanvasModel& view, TextBlockListener* listener,
                 bool timeLimited);
  int ProgressPercent() const { return blocks_.ProgressPercent(); }
  const TextBlocks& Blocks() const { return blocks_; }

 private:
  void show(ViewCanvasModel& view, TextBlockListener* listener);

  TextBlocks blocks_;
  std::string text_;
};

// Sentence and paragraph events (one line at a time) and paragraph events of up to six lines,
// typed into the input line.
class BlockTextChecker : public InputLineChecker {
 public:
  BlockTextChecker(const TypingServices& services, TypingHost& host, ViewCanvasModel& view,
                   TypingCanvasModel& line, TextBlocks::Kind kind,
                   TextBlockListener* listener = nullptr)
      : InputLineChecker(services, host, view, line),
        kind_(kind),
        listener_(listener),
        sequence_(kind, true) {}

  void Setup(std::string_view text, int startOffset = 0) override;
  void EndOfText() override;
  int ProgressPercent() const override { return sequence_.ProgressPercent(); }
  const TextBlocks& Blocks() const { return sequence_.Blocks(); }

 private:
  TextBlocks::Kind kind_;
  TextBlockListener* listener_;
  BlockSequence sequence_;
};

// The older paragraph drill: one line at a time, typed over the text, no author lines.
class KeybBlockChecker : public InPlaceChecker {
 public:
  KeybBlockChecker(const TypingServices& services, TypingHost& host, ViewCanvasModel& view,
                   TextBlockListener* listener = nullptr)
      : InPlaceChecker(services, host, view, Variant::Older),
        listener_(listener),
        sequence_(TextBlocks::Kind::Lines, false) {}

  void Setup(std::string_view text, int startOffset = 0) override;
  void EndOfText() override;
  int ProgressPercent() const override { return sequence_.ProgressPercent(); }

 private:
  TextBlockListener* listener_;
  BlockSequence sequence_;
};

// The older paragraph drill ("KEYBPARAGRAPH") as a keyboard drill: the text a line at a time,
// typed over, with the on-screen keyboard and the finger guide; its result carries time only.
class KeybParagraphDrill : public KeyboardDrill {
 public:
  KeybParagraphDrill(const DrillContext& context, ViewCanvasModel& view,
                     TextBlockListener* listener = nullptr);

  void Setup(const DrillSetup& setup, std::string_view text) override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override { return checker_.ProgressPercent(); }
  std::string Kind() const override { return "KB"; }
  void FillResult(TResultItem& result, const ResultSources& sources) const override;

 private:
  ViewCanvasModel* view_;
  KeybBlockChecker checker_;
};

}  // namespace ks
