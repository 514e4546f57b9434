// The program's colours and fonts: the two palettes (normal and low-colour) and the mapping of
// the design's font names onto installed families.
#pragma once

#include <QColor>
#include <QFont>
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

// A font of the design ("Verdana", "Arial", "Georgia", ...) at a size given in points at 96
// pixels per inch, mapped to an installed family. Pixel sizes keep the page's geometry on every
// screen; high-DPI screens scale the whole page.
QFont designFont(const QString& family, double pointsAt96, bool bold = false);

}  // namespace ks
