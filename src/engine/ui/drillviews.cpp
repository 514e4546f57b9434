#include "engine/ui/drillviews.h"

#include <QLabel>

#include "analysis/ui/keyboardex.h"
#include "analysis/ui/lcds.h"
#include "book/uistyle.h"
#include "content/contents.h"
#include "content/textblocks.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "store/dynamicsettings.h"

namespace ks {
namespace {

const QColor kPage(239, 255, 215);
const QColor kText(132, 175, 84);
const QColor kCursor(52, 0, 202);

QLabel* label(QWidget* page, const char* name, QRect at, double points) {
  auto* l = new QLabel(page);
  l->setObjectName(name);
  l->setGeometry(at);
  l->setWordWrap(true);
  l->setFont(designFont("Verdana", points, true));
  l->setStyleSheet("color: #28343f;");
  return l;
}

}  // namespace

// ---- Key groups

TNewKeysEvent2::TNewKeysEvent2(const std::string& line, KeyGroupDrill::Generation generation)
    : TCustomKeyboardEvent2(line), generation_(generation) {}

DrillSetup TNewKeysEvent2::MakeSetup() const {
  DrillSetup s = TCustomKeyboardEvent2::MakeSetup();
  s.NewKeysLoops = CourseNewKeysLoops();
  return s;
}

void TNewKeysEvent2::Setup() {
  DrillSetup line;
  line.Fields = EventLine;
  SemicolonChar = KeyGroupDrill::SemicolonCharFor(line, CurrentLayout());
  TCustomKeyboardEvent2::Setup();
}

std::unique_ptr<KeyboardDrill> TNewKeysEvent2::MakeDrill(const DrillContext& context) {
  auto drill = std::make_unique<KeyGroupDrill>(context, generation_);
  groups_ = drill.get();
  return drill;
}

void TNewKeysEvent2::SetupControls(QWidget* page) {
  const bool older = generation_ == KeyGroupDrill::Generation::Older;
  picture_ = new TKeyGroupPicture(groups_->Groups(), CurrentLayout(), page);
  if (older) {
    picture_->setGeometry(120, 44, 260, 35);
    picture_->CapSize = 30;
    picture_->CapWidth = 34;
    picture_->RowHeight = 35;
  } else {
    picture_->setGeometry(40, 65, 521, 80);
  }
  picture_->show();
  fingerLabel_ =
      label(page, "FingerLbl", QRect(40, picture_->geometry().bottom() + 11, 521, 24), 11);
  fingerLabel_->setStyleSheet("color: #354FB1;");
  fingerLabel_->hide();
  AddTip(1708, 28, 30);
  AddTip(1709, 28, 155);
}

void TNewKeysEvent2::StartTyping() {
  TCustomKeyboardEvent2::StartTyping();
  if (fingerLabel_) fingerLabel_->show();
}

void TNewKeysEvent2::GroupChanged() {
  if (picture_) picture_->GroupChanged();
}

void TNewKeysEvent2::ShowFingerLabel(const std::string& text) {
  if (fingerLabel_) fingerLabel_->setText(toQString(text));
}

// ---- Key introduction

TIntroKeysEvent::TIntroKeysEvent(const std::string& line) : TCustomKeyboardEvent2(line) {}

void TIntroKeysEvent::Setup() {
  SemicolonChar = CurrentLayout().SemicolonKey;
  TCustomKeyboardEvent2::Setup();
  // An introduction has no time to show.
  if (QWidget* page = Content()) {
    if (auto* console = page->findChild<QWidget*>("EventConsole")) console->hide();
  }
}

std::unique_ptr<KeyboardDrill> TIntroKeysEvent::MakeDrill(const DrillContext& context) {
  auto drill = std::make_unique<KeyIntroDrill>(context);
  intro_ = drill.get();
  return drill;
}

void TIntroKeysEvent::SetupControls(QWidget* page) {
  auto* panel = new QWidget(page);
  panel->setObjectName("NewKeys");
  panel->setGeometry(40, 60, 520, 120);
  panel->show();
  introText_ = label(panel, "IntroText", QRect(0, 0, 520, 120), 14);
  introText_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  row1_ = label(panel, "IntroRow1", QRect(0, 10, 520, 40), 14);
  row2_ = label(panel, "IntroRow2", QRect(0, 60, 520, 40), 14);
  row1_->hide();
  row2_->hide();
}

void TIntroKeysEvent::ShowIntroLines(const std::string& row1, const std::string& row2) {
  if (!row1_ || !row2_ || !introText_) return;
  row1_->setText(toQString(row1));
  row2_->setText(toQString(row2));
  row1_->show();
  row2_->show();
  introText_->hide();
}

void TIntroKeysEvent::ShowIntroText(const std::string& text) {
  if (!row1_ || !row2_ || !introText_) return;
  introText_->setText(toQString(text));
  introText_->show();
  row1_->hide();
  row2_->hide();
}

void TIntroKeysEvent::FinishTyping() {
  TCustomKeyboardEvent2::FinishTyping();
  // The introduction closes itself, or with Enter or Space: its text stays readable.
  if (QWidget* page = Content()) {
    if (auto* panel = page->findChild<QWidget*>("EventMessagePanel")) panel->hide();
  }
}

// ---- Text typed over

TKeybTextEvent2::TKeybTextEvent2(const std::string& line, TextDrill::Variant variant)
    : TCustomKeyboardEvent2(line), variant_(variant) {}

std::unique_ptr<KeyboardDrill> TKeybTextEvent2::MakeDrill(const DrillContext& context) {
  view_ = new TViewCanvas(Content());
  return std::make_unique<TextDrill>(context, *view_, variant_);
}

void TKeybTextEvent2::SetupControls(QWidget*) {
  const bool row = variant_ == TextDrill::Variant::Row || variant_ == TextDrill::Variant::OlderRow;
  view_->Background = kPage;
  view_->FontColour = kText;
  view_->CurrentColour = view_->RestColour = view_->ArrowColour = kCursor;
  if (row) {
    view_->SetDesignFont("Georgia", 34, false);
    view_->setGeometry(35, 65, 530, 120);
    view_->LineEndMarker = "  ";
    view_->WordGap = 20;
    AddTip(1724, 28, 30);
  } else {
    view_->SetDesignFont("Georgia", variant_ == TextDrill::Variant::OlderKeyboard ? 20 : 26, false);
    view_->setGeometry(35, 65, 535, 90);
    AddTip(1710, 28, 30);
  }
  view_->SetCanvasMode(TextModel::CharacterMode);
  view_->show();
}

std::unique_ptr<KeyboardDrill> TKeybParagraphEvent::MakeDrill(const DrillContext& context) {
  view_ = new TViewCanvas(Content());
  return std::make_unique<KeybParagraphDrill>(context, *view_);
}

void TKeybParagraphEvent::SetupControls(QWidget*) {
  TDynamicSettings* user = eventEnvironment().userSettings;
  const bool large = user && user->ReadBool("LargeFonts");
  view_->Background = kPage;
  view_->FontColour = kText;
  view_->CurrentColour = view_->RestColour = view_->ArrowColour = kCursor;
  view_->SetDesignFont("Georgia", large ? 20 : 14, false);
  view_->setGeometry(10, 39, 520, 80);
  view_->SetCanvasMode(TextModel::CharacterMode);
  view_->show();
}

// ---- Single words

// The word drill's word, shown on the word canvas as it goes.
class TWordEvent::CanvasWord : public SingleWordModel {
 public:
  QPointer<TWordViewCanvas> canvas;

  void SetWord(const std::string& word) override {
    SingleWordModel::SetWord(word);
    if (!canvas) return;
    canvas->Terminator = Terminator;
    canvas->SetDesignFont("Georgia", word.size() > 13 ? 20 : 36, true);
    canvas->SetWord(Word());
  }
  void Advance() override {
    const bool moves = ExpectedChar() != 0;
    SingleWordModel::Advance();
    if (canvas && moves) canvas->Advance();
  }
};

TWordEvent::TWordEvent(const std::string& line)
    : TCustomKeyboardEvent2(line), word_(std::make_unique<CanvasWord>()) {}

TWordEvent::~TWordEvent() = default;

std::unique_ptr<KeyboardDrill> TWordEvent::MakeDrill(const DrillContext& context) {
  return std::make_unique<WordDrill>(context, *word_);
}

void TWordEvent::SetupControls(QWidget* page) {
  canvas_ = new TWordViewCanvas(page);
  canvas_->Background = kPage;
  canvas_->CurrentColour = canvas_->RestColour = kCursor;
  canvas_->setGeometry(35, 39, 360, 70);
  canvas_->show();
  word_->canvas = canvas_;
}

void TWordEvent::GroupChanged() {
  if (canvas_) canvas_->update();
}

// ---- By keyword

std::unique_ptr<LessonEvent> CreateDrillView(const std::string& keyword, const std::string& line) {
  using V = TextDrill::Variant;
  if (keyword == "KEY2") return std::make_unique<TNewKeysEvent2>(line);
  if (keyword == "NEWKEYS") return std::make_unique<TNewKeysEvent>(line);
  if (keyword == "KEYINTRO") return std::make_unique<TIntroKeysEvent>(line);
  if (keyword == "WORD2") return std::make_unique<TKeybRowEvent2>(line);
  if (keyword == "SENTENCE2") return std::make_unique<TKeybSentenceEvent2>(line);
  if (keyword == "KEYBOARD") return std::make_unique<TKeybTextEvent2>(line, V::OlderKeyboard);
  if (keyword == "KEYBROW") return std::make_unique<TKeybTextEvent2>(line, V::OlderRow);
  if (keyword == "KEYBSENTENCE") return std::make_unique<TKeybTextEvent2>(line, V::OlderSentence);
  if (keyword == "KEYBPARAGRAPH") return std::make_unique<TKeybParagraphEvent>(line);
  if (keyword == "WORD") return std::make_unique<TWordEvent>(line);
  return nullptr;
}

}  // namespace ks
