// The pictures of the bubble games, drawn by the program so that they stay crisp at every
// scale: glossy letter bubbles by kind, background bubbles and sparks, and the marks of the
// missed-bubble display.
#pragma once

#include <QColor>
#include <QImage>

class QPainter;

namespace ks {

struct Tbubble;

// The colour of a letter bubble's kind (1 to 3; 4, the ABC game's target, looks like kind 1).
QColor bubbleColour(int kind);
// Paints a bubble at its place: a background bubble as a thin ring, a letter bubble as a glossy
// ball with its letter.
void paintBubble(QPainter& p, const Tbubble& bubble);
// The marks of the missed display, at the device pixel ratio `dpr`: an open ring or a bubble.
QImage missedMark(bool missed, qreal dpr);

}  // namespace ks
