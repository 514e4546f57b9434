// What a screen reader and a keyboard-only learner need of a view on the page: each control a
// learner can use is reachable by Tab and has a name, every figure to read has a name, no two
// mnemonics share a letter, and every text fits its place. Press Alt before asking, so the
// letters are handed out.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTextEdit>
#include <algorithm>

#include "book/keyaccess.h"

namespace ks::test {

inline bool interactive(QWidget* w) {
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (qobject_cast<QComboBox*>(p)) return false;  // the combo box's own parts
  }
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
         qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractItemView*>(w) ||
         qobject_cast<QAbstractSpinBox*>(w);
}

inline bool figure(QWidget* w) {
  for (const char* type : {"ks::TExerciseCanvas", "ks::TKeyboard", "ks::TGraph",
                           "ks::TTrafficLightLcd", "ks::TMissedLcd", "ks::KeyBarChart"}) {
    if (w->inherits(type)) return true;
  }
  return qobject_cast<QTextEdit*>(w) != nullptr;
}

inline QString accessibleName(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a ? a->text(QAccessible::Name).trimmed() : QString();
}

inline QString describe(QWidget* w) {
  return QString("%1 \"%2\"").arg(w->metaObject()->className(), w->objectName());
}

// The faults of the view shown in `window`, one line each, headed by `view`.
inline QStringList accessFaults(QWidget& window, const QString& view) {
  QStringList faults;
  QMap<QChar, QWidget*> letters;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible()) continue;
    auto* label = qobject_cast<QLabel*>(w);
    if (w->isEnabled() && (qobject_cast<QAbstractButton*>(w) || (label && label->buddy()))) {
      const QChar letter =
          mnemonicLetter(label ? label->text() : static_cast<QAbstractButton*>(w)->text());
      if (!letter.isNull() && letters.contains(letter)) {
        faults << view + ": Alt+" + letter + " on " + describe(letters[letter]) + " and " +
                      describe(w);
      }
      if (!letter.isNull()) letters[letter] = w;
    }
    const bool control = interactive(w) && w->isEnabled();
    if (control && !(w->focusPolicy() & Qt::TabFocus))
      faults << view + ": out of the tab chain: " + describe(w);
    if ((control || figure(w)) && accessibleName(w).isEmpty())
      faults << view + ": no accessible name: " + describe(w);
  }
  return faults;
}

// The texts of the view shown in `window` that do not fit their place, one line each, headed by
// `view`: a label or a choice whose text is wider or taller than the label (a word-wrapped one:
// taller at its width), and a text cut short with "…" that nothing else shows in full.
inline QStringList clippedTexts(QWidget& window, const QString& view) {
  QStringList faults;
  const auto fault = [&](QWidget* w, const QString& text, const QString& why) {
    faults << view + ": " + describe(w) + " \"" + text.left(60) + "\" " + why;
  };
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->width() <= 0) continue;
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
      if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractItemView*>(p)) w = nullptr;
      if (!w) break;
    }
    if (!w) continue;
    QString text;
    QSize needed;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      text = label->text();
      if (text.trimmed().isEmpty()) continue;
      needed = label->sizeHint();
      // A wrapped label needs its height at its width, and room for its longest word.
      if (label->wordWrap())
        needed = QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()));
    } else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
      text = static_cast<QAbstractButton*>(w)->text();
      if (text.isEmpty()) continue;
      needed = w->sizeHint();
      needed.setHeight(0);  // a choice is drawn centred on its line
    } else if (auto* button = qobject_cast<QPushButton*>(w);
               button && w->metaObject() == &QPushButton::staticMetaObject) {
      // Its text alone, line by line, against the button less a frame of 2 pixels each side.
      text = button->text();
      if (text.isEmpty()) continue;
      const QFontMetrics fm(button->font());
      const QStringList lines = QString(text).remove(QRegularExpression("&(?!&)")).split('\n');
      for (const QString& line : lines)
        needed.setWidth(std::max(needed.width(), fm.horizontalAdvance(line) + 4 - 2));
      needed.setHeight(static_cast<int>(lines.size()) * fm.height() + 4 - 2);
    } else {
      continue;
    }
    if (needed.width() > w->width() + 1)
      fault(w, text, QString("needs %1 pixels across, has %2").arg(needed.width()).arg(w->width()));
    if (needed.height() > w->height() + 1)
      fault(w, text, QString("needs %1 pixels down, has %2").arg(needed.height()).arg(w->height()));
    // A tooltip alone needs a mouse; the description is read out and shown on request.
    if (text.contains(QChar(0x2026)) && w->accessibleDescription().isEmpty())
      fault(w, text, "is cut short and nothing shows it in full");
  }
  return faults;
}

// A round button of the book (Next, OK, Cancel) drawn over a card of the page: faults, one line
// each, headed by `view`.
inline QStringList coveredCards(QWidget& window, const QString& view) {
  QStringList faults;
  for (QWidget* round : window.findChildren<QWidget*>()) {
    if (!round->isVisible() || !round->inherits("ks::RoundButton")) continue;
    const QRect button(round->mapTo(&window, QPoint(0, 0)), round->size());
    for (QFrame* card : window.findChildren<QFrame*>()) {
      if (!card->isVisible() || !card->objectName().endsWith("Card")) continue;
      const QRect frame(card->mapTo(&window, QPoint(0, 0)), card->size());
      // The round button is a disc: its square's corners may touch a card.
      if (frame.intersects(button.adjusted(6, 6, -6, -6)))
        faults << view + ": " + describe(round) + " covers " + describe(card);
    }
  }
  return faults;
}

}  // namespace ks::test
