#include "engine/textmodel.h"

#include "text/numbers.h"

namespace ks {

namespace {

bool isDelimiter(unsigned char c) {
  return c == 9 || c == 32 || c == 10 || c == 255;
}

}  // namespace

size_t NextToken(std::string_view text, size_t pos, std::string& token) {
  token.clear();
  while (pos < text.size() && isDelimiter(static_cast<unsigned char>(text[pos]))) ++pos;
  if (pos >= text.size()) return pos;
  if (text[pos] == '\r') {
    token = "\r";
    return pos + 1;
  }
  const size_t start = pos;
  while (pos < text.size()) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (isDelimiter(c) || c == '\r') break;
    ++pos;
  }
  token.assign(text.substr(start, std::min<size_t>(pos - start, 255)));
  return pos;
}

// --- TextModel ---

void TextModel::SetMode(int mode) {
  mode_ = mode == CharacterMode ? CharacterMode : WordMode;
  Relayout();
}

bool TextModel::PlaceWord(const std::string&, const std::string&) {
  return true;
}
bool TextModel::BreakLine() {
  return true;
}

void TextModel::Relayout() {
  words_.clear();
  StartPage();
  if (!hasText_) return;
  currentIndex_ = 0;
  charPos_ = mode_ == CharacterMode ? 0 : -1;
  size_t p = pageStart_;
  std::string token;
  std::string next;
  for (;;) {
    const size_t q = NextToken(text_, p, token);
    NextToken(text_, q, next);
    if (token == "\r") {
      // A line break before the first word of a page is not shown.
      if (!words_.empty()) {
        words_.back().LineFinal = true;
        if (!BreakLine()) {
          nextPageStart_ = q;
          break;
        }
      }
    } else if (token.empty()) {
      if (!words_.empty()) words_.back().LineFinal = true;
      nextPageStart_ = q;
      break;
    } else {
      if (!PlaceWord(token, next)) {
        nextPageStart_ = p;
        break;
      }
      TWordInfo item;
      item.Text = token.substr(0, TWordInfo::MaxLength);
      item.Offset = static_cast<int>(p);
      words_.push_back(std::move(item));
    }
    p = q;
  }
}

void TextModel::NextPage() {
  pageStart_ = nextPageStart_;
  Relayout();
}

void TextModel::LoadText(std::string_view text, int startOffset) {
  // The text ends at a NUL, as the drawn canvases see it.
  text_.assign(text.substr(0, text.find('\0')));
  hasText_ = true;
  if (startOffset < 0) startOffset = 0;
  currentOffset_ = lineStartOffset_ = startOffset;
  if (static_cast<size_t>(startOffset) > text_.size()) currentOffset_ = 0;
  pageStart_ = static_cast<size_t>(currentOffset_);
  Relayout();
}

unsigned char TextModel::ExpectedChar() const {
  if (mode_ != CharacterMode || currentIndex_ >= static_cast<int>(words_.size())) return 0;
  const TWordInfo& w = words_[currentIndex_];
  if (charPos_ >= 0 && charPos_ < static_cast<int>(w.Text.size())) {
    return static_cast<unsigned char>(w.Text[charPos_]);
  }
  return w.LineFinal ? 13 : 32;
}

std::string TextModel::WordAt(int offset) const {
  const int i = currentIndex_ + offset;
  if (i < 0 || i >= static_cast<int>(words_.size())) return {};
  return words_[i].Text;
}

bool TextModel::CurrentIsLineFinal() const {
  return currentIndex_ < static_cast<int>(words_.size()) && words_[currentIndex_].LineFinal;
}

void TextModel::Advance() {
  if (currentIndex_ >= static_cast<int>(words_.size())) return;
  bool passedLineFinal = false;
  if (mode_ == WordMode) {
    words_[currentIndex_].Passed = true;
    passedLineFinal = words_[currentIndex_].LineFinal;
    ++currentIndex_;
    if (currentIndex_ >= static_cast<int>(words_.size())) NextPage();
  } else if (charPos_ < static_cast<int>(words_[currentIndex_].Text.size())) {
    ++charPos_;  // the position after the last character is the separator
  } else {
    words_[currentIndex_].Passed = true;
    ++currentIndex_;
    charPos_ = 0;
    if (currentIndex_ >= static_cast<int>(words_.size())) NextPage();
  }
  currentOffset_ =
      currentIndex_ < static_cast<int>(words_.size()) ? words_[currentIndex_].Offset : 0;
  if (passedLineFinal) lineStartOffset_ = currentOffset_;
}

void TextModel::MarkError() {
  if (currentIndex_ < static_cast<int>(words_.size())) ++words_[currentIndex_].ErrorMarks;
}

int TextModel::Progress() const {
  if (text_.empty()) return 0;
  const int64_t p = roundHalfEvenDiv(100 * static_cast<int64_t>(currentOffset_),
                                     static_cast<int64_t>(text_.size()));
  return p > 100 ? 100 : static_cast<int>(p);
}

// --- InputLineModel ---

void InputLineModel::ResetLine() {
  items_.assign(1, Item{});
}

void InputLineModel::AppendChar(unsigned char c) {
  if (c <= 32) return;
  std::string& word = items_.back().Text;
  if (word.size() < TWordInfo::MaxLength) word.push_back(static_cast<char>(c));
}

void InputLineModel::DeleteLastChar() {
  std::string& word = items_.back().Text;
  if (!word.empty()) word.pop_back();
}

void InputLineModel::FinishWord(bool newRow, bool error) {
  items_.back().ErrorMark = error;
  Item next;
  next.Row = items_.back().Row + (newRow ? 1 : 0);
  items_.push_back(next);
}

}  // namespace ks
