// The exercise text as word items with a cursor, without drawing: the tokenizing, line ends,
// cursor movement and progress that the drawn canvases share. A drawn canvas derives from
// TextModel and supplies the page layout through PlaceWord and BreakLine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/canvasmodel.h"

namespace ks {

// The next token of `text` from `pos`: delimiters (Tab, blank, line feed, 255) are skipped; an
// Enter is a token of its own ("\r"); other tokens run to the next delimiter or Enter and are
// cut to 255 characters. Returns the position after the token; an empty token is the end.
size_t NextToken(std::string_view text, size_t pos, std::string& token);

struct TWordInfo {
  static constexpr size_t MaxLength = 70;

  std::string Text;  // cut to MaxLength
  bool LineFinal = false;
  int Offset = 0;  // where the scan for this word began, from the start of the text
  bool Passed = false;
  int ErrorMarks = 0;
};

class TextModel : public ViewCanvasModel {
 public:
  enum Mode { CharacterMode = 0, WordMode = 1 };

  void SetMode(int mode);
  int GetMode() const { return mode_; }

  unsigned char ExpectedChar() const override;
  std::string WordAt(int offset) const override;
  bool CurrentIsLineFinal() const override;
  void Advance() override;
  void MarkError() override;
  void LoadText(std::string_view text, int startOffset) override;
  int Progress() const override;

  // The items of the page on show and the cursor.
  const std::vector<TWordInfo>& Words() const { return words_; }
  int CurrentIndex() const { return currentIndex_; }
  int CharPos() const { return charPos_; }
  int CurrentOffset() const { return currentOffset_; }
  int LineStartOffset() const { return lineStartOffset_; }
  const std::string& Text() const { return text_; }

  // Lays out the page from its start: the cursor goes to its first word.
  void Relayout();
  void NextPage();

 protected:
  // Page layout hooks. PlaceWord: room for `word` (followed by `next`) on the page; false ends
  // the page before it. BreakLine: a new row after a line break; false ends the page after it.
  virtual bool PlaceWord(const std::string& word, const std::string& next);
  virtual bool BreakLine();
  // Called before a relayout so the drawn canvas can restart its pen.
  virtual void StartPage() {}

 private:
  std::string text_;
  bool hasText_ = false;
  std::vector<TWordInfo> words_;
  int mode_ = WordMode;
  int currentIndex_ = 0;
  int charPos_ = -1;
  size_t pageStart_ = 0;
  size_t nextPageStart_ = 0;
  int currentOffset_ = 0;
  int lineStartOffset_ = 0;
};

// The input line as word items; the last one is the word being typed.
class InputLineModel : public TypingCanvasModel {
 public:
  struct Item {
    std::string Text;
    bool ErrorMark = false;
    int Row = 1;
  };

  InputLineModel() { ResetLine(); }

  void ResetLine();
  std::string TypedWord() const override { return items_.back().Text; }
  void AppendChar(unsigned char c) override;
  void DeleteLastChar() override;
  void FinishWord(bool newRow, bool error) override;

  const std::vector<Item>& Items() const { return items_; }

 private:
  std::vector<Item> items_;
};

}  // namespace ks
