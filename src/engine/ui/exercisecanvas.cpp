#include "engine/ui/exercisecanvas.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "book/uistyle.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

const QColor kHidden(255, 255, 255);
const QColor kErrorCursor(255, 0, 0);
// The return arrow shown after a line's last word (Enter is expected there).
const QString kLineEndSymbol = QString(QChar(0x21B5));

}  // namespace

// --- TExerciseCanvas ---

TExerciseCanvas::TExerciseCanvas(QWidget* parent)
    : QWidget(parent),
      ArrowColour(colours().highlight),
      PassedColour(colours().highlight),
      ErrorColour(colours().errorLine),
      Background(colours().page) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(200, 200);
  SetDesignFont("Arial", 13, true);
}

void TExerciseCanvas::SetDesignFont(const QString& family, double points, bool bold) {
  font_ = designFont(family, points, bold);
  setFont(font_);
  fontChanged();
}

void TExerciseCanvas::fontChanged() {
  FontChanged();
  update();
}

int TExerciseCanvas::FontHeight() const {
  return font_.pixelSize();
}

int TExerciseCanvas::TextWidth(const std::string& text1252) const {
  return QFontMetrics(font_).horizontalAdvance(toQString(text1252, false));
}

void TExerciseCanvas::paintBackground(QPainter& p) {
  p.fillRect(rect(), Background);
}

QRect TExerciseCanvas::ItemRect(const std::string& text, const Placed& at, bool lineFinal) const {
  const int h = FontHeight();
  int x0 = at.X - TextWidth("       ") - 14;
  int x1 = at.X + TextWidth(text + "  ") + (lineFinal ? TextWidth("  ") + h : 0);
  return QRect(x0, RowTop(at.Row), x1 - x0, static_cast<int>(std::lround(h * 1.2)) + 4);
}

void TExerciseCanvas::DrawWord(QPainter& p, const std::string& text, const Placed& at,
                               QColor colour, bool lineFinal, bool highlighted, int charPos,
                               bool errorMark, bool redCursor) {
  if (text.empty()) return;
  const int h = FontHeight();
  const int y = RowTop(at.Row);
  const int baseline = y + QFontMetrics(font()).ascent();
  const bool defaultMarker = LineEndMarker == "\xAB";
  QFont plain = font();
  QFont underlined = plain;
  underlined.setUnderline(true);
  const auto drawText = [&](int x, const std::string& t, const QColor& c, const QFont& f) {
    p.setFont(f);
    p.setPen(c);
    p.drawText(x, baseline, toQString(t, false));
    p.setFont(plain);
  };
  const auto drawLineEnd = [&](const QColor& c) {
    if (!lineFinal || !defaultMarker) return;
    p.setPen(c);
    p.drawText(at.X + TextWidth(text) + 3, baseline, kLineEndSymbol);
  };

  if (highlighted && charPos < 0) {
    drawText(at.X, text, CurrentColour, underlined);
    drawLineEnd(CurrentColour);
  } else if (highlighted) {
    const int typed = std::min<int>(charPos, static_cast<int>(text.size()));
    const int c = at.X + TextWidth(text.substr(0, typed));
    const int tip = c - 2;
    const int mid = y + static_cast<int>(std::lround(h * 0.5));
    QPainterPath arrow;
    arrow.moveTo(tip, mid);
    arrow.lineTo(tip - 12, mid - 8);
    arrow.lineTo(tip - 12, mid + 8);
    arrow.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(arrow, ArrowColour);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor cursor = redCursor ? kErrorCursor : CurrentColour;
    if (charPos < static_cast<int>(text.size())) {
      const std::string cell = text.substr(charPos, 1);
      drawText(c, cell, cursor, underlined);
      drawText(c + TextWidth(cell), text.substr(charPos + 1), RestColour, plain);
    } else if (lineFinal && !defaultMarker) {
      drawText(c, LineEndMarker, cursor, underlined);
    } else if (lineFinal) {
      drawText(c, "    ", cursor, underlined);
    } else {
      drawText(c - 2, "  ", cursor, underlined);
    }
    drawLineEnd(RestColour);
  } else if (colour != kHidden) {
    drawText(at.X, text, colour, plain);
    drawLineEnd(colour);
  }
  if (errorMark) {
    p.setPen(QPen(ErrorColour, 1));
    const int w = TextWidth(text);
    p.drawLine(at.X, y + h, at.X + w, y + h);
    p.drawLine(at.X, y + h + 1, at.X + w, y + h + 1);
  }
}

// --- TViewCanvas ---

TViewCanvas::TViewCanvas(QWidget* parent) : TExerciseCanvas(parent) {
  setObjectName("ViewCanvas");
  setAccessibleName(tr("Text to type"));
  penX_ = LeftMargin;
}

void TViewCanvas::SetCanvasMode(int mode) {
  LeftMargin = mode == CharacterMode ? FontHeight() + 3 : 3;
  SetMode(mode);
  update();
}

void TViewCanvas::FontChanged() {
  if (GetMode() == CharacterMode) LeftMargin = FontHeight() + 3;
  Relayout();
}

void TViewCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A relayout puts the cursor back to the page's start: only a real change of size may do that
  // (a hidden canvas learns of its size late, when it is first shown).
  if (size() != layoutSize_) Relayout();
}

void TViewCanvas::LoadText(std::string_view text, int startOffset) {
  redIndex_ = -1;
  TextModel::LoadText(text, startOffset);
  // A screen reader reads the whole text out; the canvas only paints it.
  setAccessibleDescription(toQString(text));
  update();
}

void TViewCanvas::Advance() {
  redIndex_ = -1;
  TextModel::Advance();
  update();
}

void TViewCanvas::MarkError() {
  TextModel::MarkError();
  redIndex_ = CurrentIndex();
  update();
}

QPoint TViewCanvas::ItemPos(int i) const {
  if (i < 0 || i >= static_cast<int>(placed_.size())) return {};
  return QPoint(placed_[i].X, placed_[i].Row);
}

void TViewCanvas::StartPage() {
  layoutSize_ = size();
  placed_.clear();
  penX_ = LeftMargin;
  currentRow_ = 1;
}

bool TViewCanvas::newRow() {
  if (RowTop(currentRow_ + 2) > height() - BottomMargin) return false;
  penX_ = LeftMargin;
  ++currentRow_;
  return true;
}

bool TViewCanvas::BreakLine() {
  return newRow();
}

bool TViewCanvas::PlaceWord(const std::string& word, const std::string& next) {
  if (Overflows(penX_ + TextWidth(word) + TextWidth("W")) && !newRow()) return false;
  placed_.push_back(Placed{penX_, currentRow_});
  penX_ += TextWidth(word + " " + next) - TextWidth(next) + WordGap;
  return true;
}

void TViewCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintBackground(p);
  const auto& words = Words();
  const bool charMode = GetMode() == CharacterMode;
  for (int i = 0; i < static_cast<int>(words.size()) && i < static_cast<int>(placed_.size()); ++i) {
    const TWordInfo& w = words[i];
    QColor colour = FontColour;
    if (w.Passed) colour = charMode ? kHidden : PassedColour;
    const bool current = i == CurrentIndex();
    DrawWord(p, w.Text, placed_[i], colour, w.LineFinal, current, charMode ? CharPos() : -1, false,
             current && redIndex_ == i);
  }
}

// --- TTypingCanvas ---

TTypingCanvas::TTypingCanvas(QWidget* parent) : TExerciseCanvas(parent) {
  setObjectName("TypingCanvas");
  setAccessibleName(tr("Your typing"));
  setFocusPolicy(Qt::StrongFocus);
  // Input methods deliver their text to the focused canvas; the event takes it from there.
  setAttribute(Qt::WA_InputMethodEnabled);
  ResetLine();
}

void TTypingCanvas::ResetLine() {
  items_.assign(1, Item{});
  items_.back().At = Placed{LeftMargin, 1};
  update();
}

std::string TTypingCanvas::TypedWord() const {
  return items_.back().Text;
}

int TTypingCanvas::CaretX() const {
  const Item& cur = items_.back();
  return cur.At.X + TextWidth(cur.Text);
}

void TTypingCanvas::nextRow() {
  Item& cur = items_.back();
  if (RowTop(cur.At.Row + 2) > height() - BottomMargin) {
    // No room: every row moves up; rows that were already above the top go.
    std::vector<Item> kept;
    for (Item& item : items_) {
      if (&item != &cur && item.At.Row <= 0) continue;
      --item.At.Row;
      kept.push_back(item);
    }
    items_ = std::move(kept);
    items_.back().At.X = LeftMargin;
    items_.back().At.Row += 1;
  } else {
    cur.At.X = LeftMargin;
    cur.At.Row += 1;
  }
}

void TTypingCanvas::AppendChar(unsigned char c) {
  if (c <= 32) return;
  const std::string ch(1, static_cast<char>(c));
  if (Overflows(CaretX() + TextWidth(ch))) {
    const int usable = width() - LeftMargin - RightMargin;
    if (0.7 * usable >= TextWidth(items_.back().Text)) {
      nextRow();
    } else {
      FinishWord(true, false);
    }
  }
  std::string& word = items_.back().Text;
  if (word.size() < TWordInfo::MaxLength) word += ch;
  update();
}

void TTypingCanvas::DeleteLastChar() {
  std::string& word = items_.back().Text;
  if (word.empty()) return;
  word.pop_back();
  update();
}

void TTypingCanvas::FinishWord(bool newRow, bool error) {
  items_.back().ErrorMark = error;
  const Placed start{CaretX() + TextWidth(" "), items_.back().At.Row};
  items_.push_back(Item{});
  items_.back().At = start;
  if (newRow) nextRow();
  update();
}

void TTypingCanvas::focusInEvent(QFocusEvent* event) {
  caretVisible_ = true;
  QWidget::focusInEvent(event);
  update();
}

void TTypingCanvas::focusOutEvent(QFocusEvent* event) {
  caretVisible_ = false;
  QWidget::focusOutEvent(event);
  update();
}

void TTypingCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintBackground(p);
  for (const Item& item : items_) {
    if (item.At.Row < 1) continue;
    DrawWord(p, item.Text, item.At, FontColour, false, false, -1, item.ErrorMark, false);
  }
  if (caretVisible_) {
    const Item& cur = items_.back();
    p.fillRect(QRect(CaretX() + 1, RowTop(cur.At.Row) + 2, 2, FontHeight()), FontColour);
  }
}

// --- TWordViewCanvas ---

TWordViewCanvas::TWordViewCanvas(QWidget* parent) : TExerciseCanvas(parent) {
  setObjectName("WordViewCanvas");
  setAccessibleName(tr("Word to type"));
  ArrowColour = QColor(0, 128, 0);
  TopMargin = 5;
  LeftMargin = static_cast<int>(std::lround(FontHeight() * 0.5)) + 3;
}

void TWordViewCanvas::SetWord(const std::string& text) {
  word_ = text.substr(0, TWordInfo::MaxLength);
  colour_ = QColor(128, 0, 0);
  charPos_ = 0;
  complete_ = word_.empty();
  update();
}

void TWordViewCanvas::Advance() {
  const int last = static_cast<int>(word_.size()) - (Terminator ? 0 : 1);
  if (charPos_ < last) {
    ++charPos_;
  } else {
    complete_ = true;
    colour_ = RestColour;
  }
  update();
}

unsigned char TWordViewCanvas::ExpectedChar() const {
  if (complete_) return 0;
  if (charPos_ < static_cast<int>(word_.size())) return static_cast<unsigned char>(word_[charPos_]);
  return Terminator == 13 ? 13 : 32;
}

void TWordViewCanvas::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paintBackground(p);
  DrawWord(p, word_, Placed{LeftMargin, 1}, colour_, Terminator == 13, !complete_, charPos_, false,
           false);
}

}  // namespace ks
