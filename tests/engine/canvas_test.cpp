#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "engine/ui/exercisecanvas.h"

namespace ks {
namespace {

// A canvas exactly wide enough for `fits` words of the text's width on a row.
void sizeFor(TExerciseCanvas& c, const std::string& row, int rows) {
  c.resize(c.LeftMargin + c.TextWidth(row + "W") + c.RightMargin + 1,
           c.RowTop(rows + 1) + c.BottomMargin);
}

TEST(ViewCanvas, WrapsSoftlyAndBreaksAtLineEnds) {
  TViewCanvas c;
  sizeFor(c, "aaa bbb ", 4);
  c.LoadText("aaa bbb ccc\rddd", 0);
  const auto& w = c.Words();
  ASSERT_EQ(w.size(), 4u);
  EXPECT_EQ(c.ItemPos(0).y(), 1);
  EXPECT_EQ(c.ItemPos(1).y(), 1);
  EXPECT_EQ(c.ItemPos(2).y(), 2);  // soft wrap
  EXPECT_FALSE(w[1].LineFinal);    // ...which expects no Enter
  EXPECT_TRUE(w[2].LineFinal);
  EXPECT_EQ(c.ItemPos(3).y(), 3);
  EXPECT_TRUE(w[3].LineFinal);  // the end of the text
  EXPECT_EQ(c.ItemPos(2).x(), c.LeftMargin);
}

TEST(ViewCanvas, BlankLinesShowAsEmptyRowsButNotAtThePageStart) {
  TViewCanvas c;
  sizeFor(c, "aaa bbb ", 6);
  c.LoadText("\r\raaa\r\rbbb", 0);
  ASSERT_EQ(c.Words().size(), 2u);
  EXPECT_EQ(c.ItemPos(0).y(), 1);
  EXPECT_EQ(c.ItemPos(1).y(), 3);
}

TEST(ViewCanvas, PagesTurnWhenTheCursorPassesTheLastWord) {
  TViewCanvas c;
  sizeFor(c, "aaa bbb ", 2);
  c.LoadText("aaa bbb ccc ddd eee", 0);
  ASSERT_EQ(c.Words().size(), 4u);  // two rows of two
  for (int i = 0; i < 4; ++i) c.Advance();
  ASSERT_EQ(c.Words().size(), 1u);
  EXPECT_EQ(c.WordAt(0), "eee");
  c.Advance();
  EXPECT_EQ(c.WordAt(0), "");  // the end of the text
}

TEST(ViewCanvas, CharacterModeExpectsSpaceOrEnterAfterWords) {
  TViewCanvas c;
  sizeFor(c, "ab cd ef gh ", 4);
  c.SetCanvasMode(TextModel::CharacterMode);
  EXPECT_EQ(c.LeftMargin, c.FontHeight() + 3);
  c.LoadText("ab cd\ref", 0);
  EXPECT_EQ(c.Progress(), 0);
  EXPECT_EQ(c.ExpectedChar(), 'a');
  c.Advance();
  c.Advance();
  EXPECT_EQ(c.ExpectedChar(), ' ');
  c.Advance();
  c.Advance();
  c.Advance();
  EXPECT_EQ(c.ExpectedChar(), '\r');
  c.MarkError();
  c.Advance();
  c.Advance();
  c.Advance();
  EXPECT_EQ(c.ExpectedChar(), '\r');  // the very last word of the text
  EXPECT_LE(c.Progress(), 100);
  c.Advance();
  EXPECT_EQ(c.ExpectedChar(), 0);
  // Empty texts neither crash nor divide by zero.
  c.LoadText("", 0);
  EXPECT_EQ(c.Progress(), 0);
  EXPECT_EQ(c.WordAt(0), "");
}

TEST(ViewCanvas, LongWordsAreCutToSeventy) {
  TViewCanvas c;
  c.resize(4000, 200);
  c.LoadText(std::string(90, 'x'), 0);
  ASSERT_EQ(c.Words().size(), 1u);
  EXPECT_EQ(c.WordAt(0).size(), 70u);
}

TEST(TypingCanvas, WrapsTheWordOrBreaksItAtSeventyPercent) {
  TTypingCanvas c;
  c.resize(c.LeftMargin + c.TextWidth("abcdef ghi") + c.RightMargin + 1, c.RowTop(4));
  for (char ch : std::string("abcdef")) c.AppendChar(static_cast<unsigned char>(ch));
  c.FinishWord(false, true);
  EXPECT_TRUE(c.Items()[0].ErrorMark);
  // A short word that reaches the edge moves to the next row whole.
  for (char ch : std::string("ghijk")) c.AppendChar(static_cast<unsigned char>(ch));
  EXPECT_EQ(c.Items().back().At.Row, 2);
  EXPECT_EQ(c.TypedWord(), "ghijk");
  c.AppendChar(' ');  // blanks are not typed into the line
  EXPECT_EQ(c.TypedWord(), "ghijk");
  c.DeleteLastChar();
  EXPECT_EQ(c.TypedWord(), "ghij");
  // A word wider than 70 % of the line is broken at the edge instead.
  c.ResetLine();
  for (char ch : std::string("abcdefghijklmn")) c.AppendChar(static_cast<unsigned char>(ch));
  ASSERT_EQ(c.Items().size(), 2u);
  EXPECT_FALSE(c.Items().front().ErrorMark);
  EXPECT_EQ(c.Items().back().At.Row, 2);
  EXPECT_EQ(c.Items().front().Text + c.TypedWord(), "abcdefghijklmn");
}

TEST(TypingCanvas, ScrollsWhenTheRowsAreFull) {
  TTypingCanvas c;
  sizeFor(c, "abcdefghij", 2);
  for (int row = 0; row < 5; ++row) {
    c.AppendChar('x');
    c.FinishWord(true, false);
  }
  for (const auto& item : c.Items()) EXPECT_LE(item.At.Row, 2);
  EXPECT_LE(c.Items().size(), 4u);  // rows that left the view are dropped
}

TEST(WordViewCanvas, TheTerminatorFollowsTheWord) {
  TWordViewCanvas c;
  c.Terminator = 13;
  c.SetWord("ab");
  EXPECT_EQ(c.ExpectedChar(), 'a');
  c.Advance();
  c.Advance();
  EXPECT_EQ(c.ExpectedChar(), '\r');
  c.Advance();
  EXPECT_TRUE(c.Complete());
  c.Terminator = 0;
  c.SetWord("ab");
  c.Advance();
  c.Advance();
  EXPECT_TRUE(c.Complete());
}

// Draws the canvases as an exercise shows them and looks at the pixels that matter; the picture
// goes to $KS_SCREENSHOT_DIR when set, so a developer can look at it.
TEST(Canvases, DrawTheCursorErrorsPassedAndHiddenWords) {
  QWidget page;
  page.resize(560, 420);
  TViewCanvas view(&page);
  view.setGeometry(20, 10, 520, 150);
  view.SetDesignFont("Georgia", 18, false);
  view.FontColour = QColor(132, 175, 84);
  view.CurrentColour = view.RestColour = view.ArrowColour = QColor(52, 0, 202);
  view.SetCanvasMode(TextModel::CharacterMode);
  view.LoadText("The quick brown fox jumps\rover the lazy dog.", 0);
  for (int i = 0; i < 6; ++i) view.Advance();  // "The" typed, the cursor on the "i" of "quick"
  view.MarkError();
  TTypingCanvas line(&page);
  line.setGeometry(20, 180, 520, 120);
  line.SetDesignFont("Georgia", 18, false);
  line.FontColour = QColor(84, 110, 48);
  line.ErrorColour = QColor(233, 79, 105);
  for (char ch : std::string("Teh")) line.AppendChar(static_cast<unsigned char>(ch));
  line.FinishWord(false, true);
  for (char ch : std::string("quick")) line.AppendChar(static_cast<unsigned char>(ch));
  TViewCanvas words(&page);  // the input-line model's text: passed words change colour
  words.setGeometry(20, 320, 520, 80);
  words.SetDesignFont("Georgia", 18, false);
  words.PassedColour = QColor(185, 224, 128);
  words.LoadText("one two three", 0);
  words.Advance();
  QImage shot = page.grab().toImage();
  if (const char* dir = std::getenv("KS_SCREENSHOT_DIR")) shot.save(QString(dir) + "/canvases.png");

  const auto pixels = [&](QRect r, QColor colour) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += shot.pixelColor(x, y) == colour;
    return n;
  };
  // The rectangle of item `i` of a view canvas's page, on the page.
  const auto item = [](const TViewCanvas& c, int i, const std::string& text) {
    const QPoint at = c.ItemPos(i);
    return QRect(c.x() + at.x(), c.y() + c.RowTop(at.y()), c.TextWidth(text), c.RowHeight());
  };
  const QRect typed = item(view, 0, "The");
  EXPECT_EQ(pixels(typed, view.Background), typed.width() * typed.height());  // typed text vanishes
  const QRect current = item(view, 1, "quick");
  EXPECT_GT(pixels(current, QColor(255, 0, 0)), 10);               // the wrong key's cursor
  EXPECT_GT(pixels(current, view.CurrentColour), 10);              // the rest of the word
  EXPECT_GT(pixels(item(view, 2, "brown"), view.FontColour), 10);  // still to come
  EXPECT_EQ(pixels(QRect(20, 10, 520, 150), QColor(255, 0, 0)),
            pixels(current, QColor(255, 0, 0)));  // nowhere else
  const QRect firstRow(20, 180, 520, line.RowHeight());
  EXPECT_GT(pixels(firstRow, line.ErrorColour), 20);  // the wrong word's double underline
  EXPECT_GT(pixels(firstRow, line.FontColour), 10);
  EXPECT_GT(pixels(item(words, 0, "one"), words.PassedColour), 10);
  EXPECT_EQ(pixels(item(words, 1, "two"), words.PassedColour), 0);
  EXPECT_GT(pixels(item(words, 1, "two"), words.CurrentColour), 10);
}

}  // namespace
}  // namespace ks
