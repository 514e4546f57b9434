#include <gtest/gtest.h>

#include "engine/textmodel.h"

namespace ks {
namespace {

std::vector<std::string> tokens(std::string_view text) {
  std::vector<std::string> out;
  std::string token;
  size_t pos = 0;
  for (;;) {
    pos = NextToken(text, pos, token);
    if (token.empty()) return out;
    out.push_back(token);
  }
}

TEST(Tokens, SplitAtBlanksAndKeepEnterAlone) {
  EXPECT_EQ(tokens("  one\ttwo\r\nthree\xFF"
                   "four\r\r"),
            (std::vector<std::string>{"one", "two", "\r", "three", "four", "\r", "\r"}));
  EXPECT_EQ(tokens(std::string(300, 'x'))[0].size(), 255u);
  EXPECT_TRUE(tokens(" \t\n").empty());
}

TEST(TextModel, MarksLineEndsButNotSoftWrapsOrLeadingBreaks) {
  TextModel m;
  m.LoadText("\r\nab cd\r\n\r\nef", 0);
  ASSERT_EQ(m.Words().size(), 3u);
  EXPECT_FALSE(m.Words()[0].LineFinal);
  EXPECT_TRUE(m.Words()[1].LineFinal);
  EXPECT_TRUE(m.Words()[2].LineFinal);  // the end of the text ends a line
  EXPECT_EQ(m.Words()[1].Offset, 4);    // the scan began after "ab"
}

TEST(TextModel, CharacterModeExpectsSpaceOrEnterAfterAWord) {
  TextModel m;
  m.SetMode(TextModel::CharacterMode);
  m.LoadText("ab\r\ncd ef", 0);
  std::string expected;
  while (unsigned char c = m.ExpectedChar()) {
    expected.push_back(static_cast<char>(c));
    m.Advance();
  }
  EXPECT_EQ(expected, "ab\rcd ef\r");
  EXPECT_EQ(m.WordAt(0), "");
  m.Advance();  // nothing left: nothing happens
  EXPECT_EQ(m.ExpectedChar(), 0);
}

TEST(TextModel, WordModeMovesWordByWordAndKnowsItsNeighbours) {
  TextModel m;
  m.LoadText("one two\r\nthree four", 0);
  EXPECT_EQ(m.WordAt(-1), "");
  EXPECT_EQ(m.WordAt(2), "three");
  m.Advance();
  EXPECT_EQ(m.WordAt(-1), "one");
  EXPECT_TRUE(m.CurrentIsLineFinal());
  EXPECT_EQ(m.LineStartOffset(), 0);
  m.Advance();
  EXPECT_EQ(m.WordAt(0), "three");
  EXPECT_EQ(m.LineStartOffset(), 8);  // "three" is scanned from after the Enter
  EXPECT_TRUE(m.Words()[0].Passed);
}

TEST(TextModel, ProgressFollowsTheCursorAndNeverPassesAHundred) {
  TextModel m;
  m.LoadText("aaaa bbbb cccc dddd", 0);
  EXPECT_EQ(m.Progress(), 0);
  m.Advance();
  EXPECT_EQ(m.Progress(), 21);  // offset 4 of 19
  m.LoadText("aaaa bbbb cccc dddd", 9);
  EXPECT_EQ(m.WordAt(0), "cccc");
  EXPECT_EQ(m.Progress(), 47);
  m.LoadText("aaaa", 99);  // beyond the end: from the start
  EXPECT_EQ(m.WordAt(0), "aaaa");
  m.LoadText("", 0);
  EXPECT_EQ(m.Progress(), 0);
  EXPECT_EQ(m.WordAt(0), "");
}

TEST(TextModel, CutsLongWordsToSeventyCharacters) {
  TextModel m;
  m.LoadText(std::string(80, 'x') + " y", 0);
  EXPECT_EQ(m.WordAt(0).size(), 70u);
  EXPECT_EQ(m.WordAt(1), "y");
}

TEST(InputLineModel, CollectsTheTypedWords) {
  InputLineModel line;
  for (unsigned char c : std::string("ab c")) line.AppendChar(c);
  EXPECT_EQ(line.TypedWord(), "abc");
  line.DeleteLastChar();
  line.FinishWord(true, true);
  line.DeleteLastChar();  // an empty word stays empty
  ASSERT_EQ(line.Items().size(), 2u);
  EXPECT_EQ(line.Items()[0].Text, "ab");
  EXPECT_TRUE(line.Items()[0].ErrorMark);
  EXPECT_EQ(line.Items()[1].Row, 2);
  for (int i = 0; i < 80; ++i) line.AppendChar('z');
  EXPECT_EQ(line.TypedWord().size(), 70u);
}

}  // namespace
}  // namespace ks
