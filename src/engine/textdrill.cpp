#include "engine/textdrill.h"

#include <algorithm>

#include "engine/textmodel.h"
#include "store/resultitem.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

TextDrill::TextDrill(const DrillContext& context, ViewCanvasModel& view, Variant variant)
    : KeyboardDrill(context),
      variant_(variant),
      view_(&view),
      checker_(context.services, *this, view,
               variant == Variant::Row || variant == Variant::Sentence
                   ? InPlaceChecker::Variant::Current
                   : InPlaceChecker::Variant::Older) {}

bool TextDrill::older() const {
  return variant_ != Variant::Row && variant_ != Variant::Sentence;
}

void TextDrill::Setup(const DrillSetup& setup, std::string_view text) {
  KeyboardDrill::Setup(setup, text);
  if (variant_ == Variant::Sentence) {
    EnterOnly = !sameText(setup.Field(4), "NOENTER");
    Separator = EnterOnly ? 13 : ' ';
  }
  ShowExpected = true;
  ShowPressed = keyboard().ShowPressed;
  // The current drills show the finger whatever the layout says.
  FingerGuide = !older() || layout().FingerGuide;
  KeyDelay = DrillDelaySetting(setup.UserSettings, "WordDrillKeyboardDelay", 2500);
  EnterShownAsSpace = variant_ == Variant::Row || variant_ == Variant::OlderRow;
  checker_.EnterOnly = EnterOnly;
  checker_.Setup(text);
  BeginOnText(*view_);
}

int TextDrill::ProgressPercent() const {
  if (!checker_.Text().empty() && view_->ExpectedChar() == 0) return 100;
  return checker_.ProgressPercent();
}

std::string TextDrill::Kind() const {
  switch (variant_) {
    case Variant::Row:
      return "KR";
    case Variant::Sentence:
      return "KS";
    default:
      return "KB";
  }
}

void TextDrill::FillResult(TResultItem& result, const ResultSources& sources) const {
  if (older()) {
    result.SubKind = Kind();  // the older drills keep a time-only result
  } else {
    KeyboardDrill::FillResult(result, sources);
  }
}

unsigned char SingleWordModel::ExpectedChar() const {
  if (cursor_ < word_.size()) return static_cast<unsigned char>(word_[cursor_]);
  return !word_.empty() && cursor_ == word_.size() ? Terminator : 0;
}

void SingleWordModel::Advance() {
  if (ExpectedChar() != 0) ++cursor_;
}

void SingleWordModel::LoadText(std::string_view text, int) {
  text_.assign(text);
  pos_ = 0;
  SetWord("");
}

int SingleWordModel::Progress() const {
  if (text_.empty()) return 0;
  const auto len = static_cast<int64_t>(text_.size());
  return static_cast<int>(std::min<int64_t>(100, roundHalfEvenDiv(int64_t(pos_) * 100, len)));
}

bool SingleWordModel::TakeNext() {
  std::string token;
  for (;;) {
    pos_ = NextToken(text_, pos_, token);
    if (token.empty()) {
      SetWord("");
      return false;
    }
    if (token != "\r") break;  // line ends are not words here
  }
  SetWord(token);
  return true;
}

void SingleWordModel::SetWord(const std::string& word) {
  word_ = word.substr(0, TWordInfo::MaxLength);
  cursor_ = 0;
  hadError_ = false;
}

// The older in-place checking of the word: the end of the word is the drill's to handle.
class WordDrill::Checker : public InPlaceChecker {
 public:
  Checker(WordDrill& drill, SingleWordModel& word)
      : InPlaceChecker(drill.context().services, drill, word, Variant::Older), drill_(&drill) {}
  void EndOfText() override { drill_->wordTyped(); }

 private:
  WordDrill* drill_;
};

WordDrill::WordDrill(const DrillContext& context, SingleWordModel& word)
    : KeyboardDrill(context), word_(&word), checker_(std::make_unique<Checker>(*this, word)) {}

WordDrill::~WordDrill() = default;

void WordDrill::Setup(const DrillSetup& setup, std::string_view text) {
  KeyboardDrill::Setup(setup, text);
  ShowExpected = true;
  ShowPressed = keyboard().ShowPressed;
  FingerGuide = layout().FingerGuide;
  KeyDelay = DrillDelaySetting(setup.UserSettings, "WordDrillKeyboardDelay", 2500);
  if (!setup.Field(5).empty()) Counter.SetRepeatTarget(strToIntDef(setup.Field(5), 0));
  if (!setup.Field(6).empty()) Counter.MaxTries = strToIntDef(setup.Field(6), 0);
  word_->Terminator = Separator;
  checker_->EnterOnly = EnterOnly;
  checker_->Setup(text);
  if (!word_->TakeNext()) {
    display().GroupChanged();
    ShowProgress(0);
    FinishTyping();
    return;
  }
  display().GroupChanged();
  HighlightKey(word_->ExpectedChar());
}

void WordDrill::KeyPress(unsigned char& key) {
  checker_->KeyPress(key);
  display().GroupChanged();
}

void WordDrill::wordTyped() {
  ++Counter.Tries;
  if (!word_->HadError()) Counter.SetCorrectInRow(Counter.CorrectInRow() + 1);
  const bool fresh =
      Counter.CorrectInRow() >= Counter.RepeatTarget() || Counter.Tries >= Counter.MaxTries;
  if (!fresh) {
    word_->SetWord(word_->Word());
  } else if (word_->TakeNext()) {
    Counter.StartNew();
  } else {
    ShowProgress(ProgressPercent());
    FinishTyping();
    return;
  }
  display().GroupChanged();
  ShowProgress(ProgressPercent());
  HighlightKey(word_->ExpectedChar());
}

}  // namespace ks
