#include "book/keyaccess.h"

#include <algorithm>

#include <QAbstractButton>
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

}  // namespace

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
    } else if (!qobject_cast<QAbstractButton*>(w) || w->property("role") == "link") {
      continue;
    }
    const int group = qobject_cast<TabButton*>(w) ? 0 : qobject_cast<RoundButton*>(w) ? 2 : 1;
    holders.push_back({w, group});
  }
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
    if (!letter.isNull()) {
      taken.insert(letter);
    } else if (!text.isEmpty()) {
      open.push_back(h);
    }
  }
  std::stable_sort(open.begin(), open.end(),
                   [](const Holder& a, const Holder& b) { return a.group < b.group; });
  for (const Holder& h : open) {
    QString text = textOf(h.widget);
    for (int at : candidates(text)) {
      const QChar letter = text.at(at).toUpper();
      if (taken.contains(letter)) continue;
      taken.insert(letter);
      h.widget->setProperty(kPlainText, text);
      text.insert(at, '&');
      setTextOf(h.widget, text);
      h.widget->setProperty(kGivenText, text);
      break;
    }
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
