#include "games/ui/wordtrisview.h"

#include <QLinearGradient>
#include <QPainter>

#include "analysis/analyzer.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/exercisecanvas.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

const QColor kGameBackground(0xEF, 0xFF, 0xD7);
const QColor kTypedColour(0x54, 0x6E, 0x30);
constexpr int kRowGap = 2;

// The row pictures: a green bar for the falling word, a pale one for the landed words.
void paintRowPicture(QPainter& p, const QRectF& r, bool active) {
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  if (active) {
    fill.setColorAt(0, QColor(0x9C, 0xCB, 0x4E));
    fill.setColorAt(1, QColor(0x6F, 0x9E, 0x2C));
  } else {
    fill.setColorAt(0, QColor(0xF4, 0xF7, 0xEE));
    fill.setColorAt(1, QColor(0xDD, 0xE3, 0xD2));
  }
  p.setPen(QPen(active ? QColor(0x55, 0x7A, 0x22) : QColor(0xB9, 0xC2, 0xAA), 1));
  p.setBrush(fill);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

}  // namespace

TWTrisEvent::TWTrisEvent(const std::string& line) : TCustomGameEvent(line) {}

TWTrisEvent::~TWTrisEvent() = default;

void TWTrisEvent::Setup() {
  TCustomGameEvent::Setup();
  PlaceField(kRowsPanel, kGameBackground);
  auto addWord = [](const std::string& word, int weight) {
    if (Analyzer* a = eventEnvironment().analyzer) Analyzer_AddWord(*a, word, weight);
  };
  model_ = std::make_unique<WordtrisModel>([this] { return NextWord(false); }, addWord, sound(),
                                           toCp1252(msgText(143)));
  started_ = false;
  QWidget* page = Content();
  if (!page) return;
  wordDisplay_ = new TWordViewCanvas(page);
  wordDisplay_->Terminator = 32;
  wordDisplay_->Background = QColor(0xD2, 0xF5, 0x9F);
  wordDisplay_->FontColour = kTypedColour;
  wordDisplay_->RestColour = kTypedColour;
  wordDisplay_->SetDesignFont("Georgia", 15, true);
  // A little left of its designed place, clear of the event's Cancel button.
  wordDisplay_->setGeometry(240, 460, 200, 32);
  wordDisplay_->show();
  SetInstructions(msgText(612), {msgText(276), msgText(277), msgText(278)}, 230);
}

void TWTrisEvent::StartTyping() {
  if (TEvent::State == esReady && model_ && !started_) {
    started_ = true;
    model_->Start();
    follow();
  }
  TCustomGameEvent::StartTyping();
}

void TWTrisEvent::follow() {
  if (!model_) return;
  SetStepInterval(model_->StepInterval());
  if (!wordDisplay_) return;
  if (model_->FallRow() == 0) {
    wordDisplay_->SetWord("");
    shownWord_.clear();
    return;
  }
  if (model_->Word() != shownWord_ || model_->Cursor() < shownCursor_) {
    shownWord_ = model_->Word();
    shownCursor_ = 1;
    wordDisplay_->SetWord(shownWord_);
  }
  for (; shownCursor_ < model_->Cursor(); ++shownCursor_) wordDisplay_->Advance();
}

void TWTrisEvent::GameStep(int64_t) {
  model_->Step();
  follow();
}

void TWTrisEvent::GameKey(unsigned char key) {
  model_->Key(key);
  SetPoints(model_->Points());
  follow();
}

void TWTrisEvent::PaintField(QPainter& p) {
  if (!model_) return;
  const QRect area = PlayingField()->rect().adjusted(8, 6, -8, -6);
  const double rowHeight =
      (area.height() - kRowGap * (WordtrisModel::kRows - 1)) / double(WordtrisModel::kRows);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(designFont("Georgia", 14, true));
  for (int row = 1; row <= WordtrisModel::kRows; ++row) {
    const QRectF r(area.x(), area.y() + (row - 1) * (rowHeight + kRowGap), area.width(), rowHeight);
    const std::string text = model_->RowText(row);
    if (text.empty()) {
      // Free rows are faint slots, so the player sees how far a word can fall.
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xE2, 0xF2, 0xC8));
      p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
      continue;
    }
    const bool falling = row == model_->FallRow();
    paintRowPicture(p, r, falling);
    const QRectF textBox = r.adjusted(18, 0, -8, 0);
    if (!falling) {
      p.setPen(QColor(0x80, 0x80, 0x80));
      p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, toQString(text));
      continue;
    }
    const bool completion = model_->AwaitingSpace();
    const int typed = completion ? 0 : std::min<int>(model_->TypedCount(), text.size());
    const QString done = toQString(text.substr(0, static_cast<size_t>(typed)));
    const QString rest = toQString(text.substr(static_cast<size_t>(typed)));
    p.setPen(kTypedColour);
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, done);
    const qreal at = p.fontMetrics().horizontalAdvance(done);
    p.setPen(Qt::white);
    p.drawText(textBox.adjusted(at, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, rest);
  }
}

void TWTrisEvent::Hide() {
  TCustomGameEvent::Hide();
  wordDisplay_ = nullptr;
}

}  // namespace ks
