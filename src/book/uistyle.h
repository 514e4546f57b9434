// The program's colours and fonts: the two palettes (normal and low-colour) and the mapping of
// the design's font names onto installed families.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

namespace ks {

struct ColourPalette {
  QColor page;       // PalPage: page-coloured backgrounds
  QColor highlight;  // PalHighlight: canvas arrow, passed words, green light
  QColor amber;      // PalAmber
  QColor red;        // PalRed
  QColor errorLine;  // PalErrorLine: error underline
  QColor lightBlue;  // PalLightBlue
  QColor darkBlue;   // PalDarkBlue
  QColor frame;      // PalFrame
  QColor counter;    // PalCounter: repetition display
  QColor panel;      // PalPanel: event and game panels
};

const ColourPalette& normalPalette();
const ColourPalette& lowColourPalette();
// The palette chosen at start-up.
const ColourPalette& colours();
void setLowColour(bool on);
bool lowColour();

// A desktop palette made for high contrast: plain black and white (or the reverse) for window
// and text. The book then takes the desktop's colours and drops its shading and tints.
bool isHighContrast(const QPalette& desktop);
// Follows `desktop` when it is a high-contrast palette, else the design's colours.
void followDesktopPalette(const QPalette& desktop);
bool highContrast();
// The page's text colour: the design's dark ink, or the desktop's text in high contrast.
QColor inkColour();
// The colour of the keyboard focus ring on the page.
QColor focusColour();

// A font of the design ("Verdana", "Arial", "Georgia", ...) at a size given in points at 96
// pixels per inch, mapped to an installed family. Pixel sizes keep the page's geometry on every
// screen; high-DPI screens scale the whole page.
QFont designFont(const QString& family, double pointsAt96, bool bold = false);

}  // namespace ks
