// The drawn exercise canvases: the text to copy page by page with its cursor (TViewCanvas), the
// learner's input line with a caret (TTypingCanvas) and a single word (TWordViewCanvas). Layout
// and cursor rules live in the plain models; these widgets measure words and paint them.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <vector>

#include "engine/canvasmodel.h"
#include "engine/textmodel.h"

namespace ks {

// What every canvas shares: margins, colours, the drawing font and row geometry.
class TExerciseCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit TExerciseCanvas(QWidget* parent = nullptr);

  int TopMargin = 2, BottomMargin = 2, RightMargin = 3, LeftMargin = 3;
  QColor CurrentColour = Qt::black;
  QColor RestColour = Qt::black;
  QColor ArrowColour;
  QColor PassedColour;
  QColor ErrorColour;
  QColor FontColour = Qt::black;
  QColor Background;
  // What a line end looks like; the default draws a return arrow after line-final words.
  std::string LineEndMarker = "\xAB";
  int WordGap = 0;

  // A font of the design at a size in points at 96 pixels per inch.
  void SetDesignFont(const QString& family, double points, bool bold);
  int FontHeight() const;
  int RowHeight() const { return FontHeight() + 6; }
  int RowTop(int row) const { return TopMargin + (row - 1) * RowHeight(); }
  bool Overflows(int x) const { return x > width() - RightMargin; }
  int TextWidth(const std::string& text1252) const;

 protected:
  struct Placed {
    int X = 0;
    int Row = 1;
  };
  // Draws one word item. `highlighted`: the current item; `charPos` < 0 is word mode.
  void DrawWord(QPainter& p, const std::string& text, const Placed& at, QColor colour,
                bool lineFinal, bool highlighted, int charPos, bool errorMark, bool redCursor);
  QRect ItemRect(const std::string& text, const Placed& at, bool lineFinal) const;
  void paintBackground(QPainter& p);
  void fontChanged();
  virtual void FontChanged() {}

 private:
  QFont font_;
};

class TViewCanvas : public TExerciseCanvas, public TextModel {
  Q_OBJECT

 public:
  explicit TViewCanvas(QWidget* parent = nullptr);

  // Character mode leaves room for the cursor arrow before the first word of a row.
  void SetCanvasMode(int mode);
  void LoadText(std::string_view text, int startOffset) override;
  void Advance() override;
  void MarkError() override;
  // The placement of the item `i` of the page on show.
  QPoint ItemPos(int i) const;
  int RowCount() const { return currentRow_; }

 protected:
  bool PlaceWord(const std::string& word, const std::string& next) override;
  bool BreakLine() override;
  void StartPage() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void FontChanged() override;

 private:
  bool newRow();

  std::vector<Placed> placed_;
  int penX_ = 0;
  int currentRow_ = 1;
  int redIndex_ = -1;  // the item whose cursor shows an error until the next advance
  QSize layoutSize_;
};

class TTypingCanvas : public TExerciseCanvas, public TypingCanvasModel {
  Q_OBJECT

 public:
  explicit TTypingCanvas(QWidget* parent = nullptr);

  void ResetLine();
  std::string TypedWord() const override;
  void AppendChar(unsigned char c) override;
  void DeleteLastChar() override;
  void FinishWord(bool newRow, bool error) override;

  struct Item {
    std::string Text;
    bool ErrorMark = false;
    Placed At;
  };
  const std::vector<Item>& Items() const { return items_; }
  int CaretX() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // A new row for the current word; scrolls the rows up when there is no room.
  void nextRow();

  std::vector<Item> items_;
  bool caretVisible_ = false;
};

class TWordViewCanvas : public TExerciseCanvas {
  Q_OBJECT

 public:
  explicit TWordViewCanvas(QWidget* parent = nullptr);

  // The character to type after the word: 0 none, 13 Enter, 32 Space.
  int Terminator = 0;

  void SetWord(const std::string& text);
  void Advance();
  // The character at the cursor; the terminator at the end; 0 when the word is complete.
  unsigned char ExpectedChar() const;
  bool Complete() const { return complete_; }
  int CharPos() const { return charPos_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string word_;
  int charPos_ = 0;
  bool complete_ = true;
  QColor colour_{128, 0, 0};
};

}  // namespace ks
