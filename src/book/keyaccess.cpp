#include "book/keyaccess.h"

#include <algorithm>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QRectF>
#include <QSet>
#include <QVariant>
#include <QWidget>
#include <vector>

#include "book/bookwidgets.h"

namespace ks {
namespace {

// The text a button had before the kit gave it a letter, and the text with the letter.
constexpr const char* kPlainText = "ksPlainText";
constexpr const char* kGivenText = "ksGivenText";

bool usableLetter(QChar c) {
  return c.unicode() < 0x80 && c.isLetter();
}

// Candidates in order of preference: the first letter of each word, then every letter.
std::vector<int> candidates(const QString& text) {
  std::vector<int> wordStarts, others;
  bool startOfWord = true;
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (usableLetter(c)) {
      (startOfWord ? wordStarts : others).push_back(i);
      startOfWord = false;
    } else {
      startOfWord = c.isSpace() || c == '-' || c == '/' || c == '(';
    }
  }
  wordStarts.insert(wordStarts.end(), others.begin(), others.end());
  return wordStarts;
}

// The text with its mnemonic marker taken out; "&&" stays, as it is a plain ampersand.
QString withoutMnemonic(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text.at(i) == '&' && i + 1 < text.size()) {
      if (text.at(i + 1) == '&') {
        out += "&&";
        ++i;
      }
      continue;
    }
    out += text.at(i);
  }
  return out;
}

struct Holder {
  QWidget* widget;
  int group;  // 0 menu tabs, 1 the page's controls, 2 round standard buttons
};

QString textOf(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  return static_cast<QLabel*>(w)->text();
}

void setTextOf(QWidget* w, const QString& text) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(text);
  } else {
    static_cast<QLabel*>(w)->setText(text);
  }
}

class ModifiedKeysOut : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Alt+Down still opens the list: only keys that type something are kept out.
    const bool typing =
        !key->text().isEmpty() || (key->key() >= Qt::Key_Space && key->key() <= Qt::Key_AsciiTilde);
    return typing &&
           (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) != 0;
  }
};

}  // namespace

void keepModifiedKeysOut(QWidget* list) {
  list->installEventFilter(new ModifiedKeysOut(list));
}

QString withMnemonic(QString text, QChar letter) {
  const int at = text.indexOf(letter, 0, Qt::CaseInsensitive);
  text.insert(at < 0 ? 0 : at, '&');
  return text;
}

QChar mnemonicLetter(const QString& text) {
  const QKeySequence seq = QKeySequence::mnemonic(text);
  if (seq.isEmpty()) return QChar();
  return QChar(static_cast<char16_t>(seq[0].key())).toUpper();
}

void assignMnemonics(QWidget* window) {
  if (window == nullptr) return;
  std::vector<Holder> holders;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (label->buddy() == nullptr || label->textFormat() == Qt::RichText) continue;
    } else if (!qobject_cast<QAbstractButton*>(w)) {
      continue;
    } else if (w->property("role") == "link" && mnemonicLetter(textOf(w)).isNull() &&
               !w->property(kGivenText).isValid()) {
      continue;  // links get no letter of the kit's, but one of their own counts
    }
    // Exit stays on every view as the tabs do, so it keeps its letter as they do.
    const bool everywhere = qobject_cast<TabButton*>(w) || w->objectName().startsWith("CloseBtn");
    const int group = everywhere ? 0 : qobject_cast<RoundButton*>(w) ? 2 : 1;
    holders.push_back({w, group});
  }
  // Tabs choose first, as they stay on every view, then the page, then the round buttons. A
  // letter already taken is given up (a translation may name the same one twice) and the
  // control gets a free one.
  std::stable_sort(holders.begin(), holders.end(),
                   [](const Holder& a, const Holder& b) { return a.group < b.group; });
  QSet<QChar> taken;
  std::vector<Holder> open;
  for (const Holder& h : holders) {
    // A letter the kit gave earlier is given again: the buttons of the window outlive the
    // views, and a later view may name the same letter itself.
    QString text = textOf(h.widget);
    if (h.widget->property(kGivenText).toString() == text && !text.isEmpty()) {
      text = h.widget->property(kPlainText).toString();
      setTextOf(h.widget, text);
    }
    const QChar letter = mnemonicLetter(text);
    if (!letter.isNull() && !taken.contains(letter)) {
      taken.insert(letter);
    } else if (!text.isEmpty()) {
      open.push_back(h);
    }
  }
  for (const Holder& h : open) {
    const QString original = textOf(h.widget);
    QString text = withoutMnemonic(original);
    const bool link = h.widget->property("role") == "link";
    for (int at : link ? std::vector<int>{} : candidates(text)) {
      const QChar letter = text.at(at).toUpper();
      if (taken.contains(letter)) continue;
      taken.insert(letter);
      text.insert(at, '&');
      break;
    }
    if (text == original) continue;
    h.widget->setProperty(kPlainText, original);
    setTextOf(h.widget, text);
    h.widget->setProperty(kGivenText, text);
  }
}

void nameByCaptions(QWidget* area) {
  if (area == nullptr) return;
  for (QLabel* caption : area->findChildren<QLabel*>()) {
    QWidget* control = caption->buddy();
    if (control == nullptr || !control->accessibleName().isEmpty()) continue;
    control->setAccessibleName(QString(caption->text()).remove('&').trimmed());
  }
}

QWidget* firstInTabChain(QWidget* area, bool backwards) {
  if (area == nullptr) return nullptr;
  QWidget* found = nullptr;
  for (QWidget* w = area->nextInFocusChain(); w != area && w != nullptr;
       w = w->nextInFocusChain()) {
    if (!area->isAncestorOf(w)) continue;
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(w->window()))
      continue;
    found = w;
    if (!backwards) break;
  }
  return found;
}

void paintFocusRing(QPainter& p, const QRectF& r, double radius, const QColor& colour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.0));
  p.drawRoundedRect(r, radius, radius);
  p.restore();
}

}  // namespace ks
