// Keyboard access every view shares: mnemonics (Alt and a letter), the Tab chain of the page and
// the focus ring of the book's painted widgets.
#pragma once

#include <QColor>
#include <QString>

class QPainter;
class QRectF;
class QWidget;

namespace ks {

// `text` with a mnemonic before the first `letter` in it (any case), else before its first
// character.
QString withMnemonic(QString text, QChar letter);

// The letter of `text`'s mnemonic in upper case, or a null character.
QChar mnemonicLetter(const QString& text);

// Gives every visible button of `window` (and every label that names a control) without a
// mnemonic the first free letter of its words, else of its text: the menu tabs first, then the
// page's controls, the round standard buttons last. Letters already given stay, so a button
// keeps its key while the view lasts. Lists of links (a course's lessons) have keys of their own
// and are left out.
void assignMnemonics(QWidget* window);

// Names every control that a caption labels (QLabel::setBuddy) after its caption, unless it has
// a name: lists and tables do not take their caption's name by themselves.
void nameByCaptions(QWidget* area);

// Keeps keys held with Alt or Ctrl out of `list`: a drop-down list jumps to the entry that
// starts with any letter typed into it, so an Alt letter that chooses nothing would change it.
void keepModifiedKeysOut(QWidget* list);

// The first (or, backwards, the last) widget inside `area` that Tab can reach; null when none.
QWidget* firstInTabChain(QWidget* area, bool backwards = false);

// The ring a painted widget draws round itself while it has the keyboard focus.
void paintFocusRing(QPainter& p, const QRectF& r, double radius, const QColor& colour);

}  // namespace ks
