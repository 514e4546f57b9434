// What a screen reader and a keyboard-only learner need of a view on the page: each control a
// learner can use is reachable by Tab and has a name, every figure to read has a name, and no
// two mnemonics share a letter. Press Alt before asking, so the letters are handed out.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QStringList>
#include <QTextEdit>

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

}  // namespace ks::test
