#include "content/textblocks.h"

#include "store/resultitem.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr std::string_view kAttributionMarker = "\"\xA4|w\"";

}  // namespace

bool IsAttributionLine(std::string_view line) {
  return line.substr(0, 5) == kAttributionMarker;
}

std::string AttributionCaption(std::string_view line) {
  return "\xA9 " + std::string(line.size() > 5 ? line.substr(5) : std::string_view());
}

void TextBlocks::Reset(std::string_view text) {
  text_.assign(text);
  pos_ = 0;
  blockStart_ = 0;
  block_.clear();
  attribution_.clear();
}

bool TextBlocks::nextLine(std::string& line, size_t& start) {
  if (pos_ >= text_.size()) return false;
  start = pos_;
  size_t end = text_.find_first_of("\r\n", pos_);
  if (end == std::string::npos) end = text_.size();
  line = text_.substr(pos_, end - pos_);
  pos_ = end;
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  return true;
}

bool TextBlocks::attributionAt(size_t pos) const {
  return attributions_ && pos < text_.size() &&
         IsAttributionLine(std::string_view(text_).substr(pos));
}

void TextBlocks::takeFollowingAttributions() {
  // The author line after a text belongs to it: it is shown with the block it follows.
  std::string line;
  size_t start = 0;
  while (attributionAt(pos_) && nextLine(line, start)) attribution_ = AttributionCaption(line);
}

bool TextBlocks::Take() {
  block_.clear();
  std::string line;
  size_t start = 0;
  int lines = 0;
  while (nextLine(line, start)) {
    if (attributions_ && IsAttributionLine(line)) {
      attribution_ = AttributionCaption(line);
      continue;
    }
    if (trim(line).empty()) {
      if (kind_ == Kind::Paragraphs && lines > 0) break;
      continue;
    }
    if (lines == 0) blockStart_ = start;
    ++lines;
    if (kind_ == Kind::Lines) {
      block_ = line;
      break;
    }
    block_ += line;
    block_ += '\r';
    if (lines >= kParagraphLines) break;
  }
  if (lines == 0) {
    blockStart_ = text_.size();
    return false;
  }
  takeFollowingAttributions();
  return true;
}

int TextBlocks::ProgressPercent() const {
  if (text_.empty()) return 100;
  const int64_t rest = static_cast<int64_t>(text_.size() - std::min(blockStart_, text_.size()));
  return static_cast<int>(100 - roundHalfEvenDiv(rest * 100, static_cast<int64_t>(text_.size())));
}

void BlockSequence::Start(std::string_view text, ViewCanvasModel& view,
                          TextBlockListener* listener) {
  text_.assign(text);
  blocks_.Reset(text_);
  blocks_.Take();
  show(view, listener);
}

void BlockSequence::show(ViewCanvasModel& view, TextBlockListener* listener) {
  view.LoadText(blocks_.Block(), 0);
  if (listener != nullptr) listener->BlockShown(blocks_.Attribution());
}

bool BlockSequence::EndOfText(TypingHost& host, ViewCanvasModel& view, TextBlockListener* listener,
                              bool timeLimited) {
  if (blocks_.Take()) {
    // The time between blocks is not typing time; the next key resumes.
    host.PauseTyping();
    show(view, listener);
    return false;
  }
  host.ShowProgress(100);
  if (listener != nullptr) listener->MarkCompleted();
  if (!timeLimited) {
    host.FinishTyping();
    return false;
  }
  host.PauseTyping();
  blocks_.Reset(text_);
  blocks_.Take();
  show(view, listener);
  return true;
}

void BlockTextChecker::Setup(std::string_view text, int startOffset) {
  (void)startOffset;  // block texts always start at their beginning
  InputLineChecker::Setup(text, 0);
  sequence_.Start(text, view(), listener_);
}

void BlockTextChecker::EndOfText() {
  if (kind_ == TextBlocks::Kind::Paragraphs && listener_ != nullptr) listener_->ResetInputLine();
  if (sequence_.EndOfText(host(), view(), listener_, TimeLimited)) SkipNextInterval = true;
}

void KeybBlockChecker::Setup(std::string_view text, int startOffset) {
  (void)startOffset;
  InPlaceChecker::Setup(text, 0);
  sequence_.Start(text, view(), listener_);
}

void KeybBlockChecker::EndOfText() {
  sequence_.EndOfText(host(), view(), listener_, TimeLimited);
}

KeybParagraphDrill::KeybParagraphDrill(const DrillContext& context, ViewCanvasModel& view,
                                       TextBlockListener* listener)
    : KeyboardDrill(context), view_(&view), checker_(context.services, *this, view, listener) {}

void KeybParagraphDrill::Setup(const DrillSetup& setup, std::string_view text) {
  KeyboardDrill::Setup(setup, text);
  ShowExpected = true;
  ShowPressed = keyboard().ShowPressed;
  FingerGuide = layout().FingerGuide;
  KeyDelay = DrillDelaySetting(setup.UserSettings, "WordDrillKeyboardDelay", 2500);
  checker_.Setup(text);
  BeginOnText(*view_);
}

void KeybParagraphDrill::KeyPress(unsigned char& key) {
  checker_.KeyPress(key);
  // A new line is on show after the end of the last: its first key lights up.
  if (State() == esPaused) HighlightKey(view_->ExpectedChar());
}

void KeybParagraphDrill::FillResult(TResultItem& result, const ResultSources&) const {
  result.SubKind = Kind();  // the older drills keep a time-only result
}

}  // namespace ks
