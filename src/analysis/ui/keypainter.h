// Drawing of one key cap: the keyboard's keys, legend keys beside it and the caps of the key
// groups in the drills all look alike.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <string>

#include "analysis/keyboardmodel.h"

class QPainter;

namespace ks {

// The legend types of `MakeLegendKey`.
enum TLegendType {
  ltNone = 0,
  ltLit = 1,
  ltLitRedFrame = 2,
  ltStruck = 3,
  ltGreenFrame = 4,
  ltRedFrame = 5,
};

struct KeyPaint {
  int width = 0, height = 0;
  KeyLook look = KeyLook::Plain;
  KeyLookColours colours{};
  std::string cap0, cap1;  // captions of the plain and the Shift state (1252)
  bool singleCaptions = false;
  bool smallCaption = false;
  bool nub = false;
  bool struck = false;
  bool pressed = false;
  int legend = ltNone;
  // Font heights in pixels; `fixedFont` (when above 0) replaces the one-caption height.
  int captionFont = 18, smallCaptionFont = 14, shiftCaptionFont = 14, fixedFont = 0;
  QString fontName;  // empty: "Arial"
  // What the cap shows when its name does not fit it (the Shift arrow), instead of the name
  // squeezed; none when empty.
  QString symbol;
  bool operator==(const KeyPaint&) const = default;
};

// Draws the key with its top left corner at the painter's origin.
void PaintKey(QPainter& p, const KeyPaint& key);

QColor rgb(uint32_t colour);

// The red of struck keys and red frames, and the green of green frames.
constexpr uint32_t kStrikeRed = 0xE6004C;
constexpr uint32_t kFrameGreen = 0x6FBC00;

}  // namespace ks
