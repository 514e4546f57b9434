// What keystroke checking needs of the two exercise canvases: the text to copy with its cursor,
// and the learner's input line. The drawn canvases implement these; TextModel and
// InputLineModel are the plain in-memory versions.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// The text to copy, as word items with a cursor.
class ViewCanvasModel {
 public:
  virtual ~ViewCanvasModel() = default;

  // Character mode: the character at the cursor; Enter (13) past the end of a line-final word,
  // Space (32) past the end of any other word; 0 at the end of the text.
  virtual unsigned char ExpectedChar() const = 0;
  // The word `offset` items from the current one (0 current, 1 next, 2 the one after,
  // -1 previous); empty when out of range. An empty current word is the end of the text.
  virtual std::string WordAt(int offset) const = 0;
  virtual bool CurrentIsLineFinal() const = 0;
  // To the next character (character mode) or the next word (word mode).
  virtual void Advance() = 0;
  // Shows an error at the cursor; the cursor stays.
  virtual void MarkError() = 0;
  virtual void LoadText(std::string_view text, int startOffset) = 0;
  // Share of the text passed, 0..100.
  virtual int Progress() const = 0;
};

// The input line of the input-line model.
class TypingCanvasModel {
 public:
  virtual ~TypingCanvasModel() = default;

  // The word being typed.
  virtual std::string TypedWord() const = 0;
  // Characters up to 32 are not added.
  virtual void AppendChar(unsigned char c) = 0;
  virtual void DeleteLastChar() = 0;
  // Closes the typed word (with an error mark when `error`) and starts the next one, on a new
  // row when `newRow`.
  virtual void FinishWord(bool newRow, bool error) = 0;
};

}  // namespace ks
