#include "book/uistyle.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>

namespace ks {
namespace {

bool lowColourOn = false;
bool highContrastOn = false;
ColourPalette desktopColours;
QColor desktopInk, desktopFocus;

double luminance(const QColor& c) {
  const auto channel = [](double v) {
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The design names Windows fonts; these are the installed families that look closest.
QString installedFamily(const QString& family) {
  static const QStringList families = QFontDatabase::families();
  const auto pick = [&](std::initializer_list<const char*> wanted) -> QString {
    for (const char* name : wanted) {
      if (families.contains(QString::fromLatin1(name), Qt::CaseInsensitive)) return name;
    }
    return QString();
  };
  QString f = family.toLower();
  QString chosen;
  if (f == "georgia" || f == "times new roman") {
    chosen = pick({"Georgia", "Liberation Serif", "DejaVu Serif"});
  } else if (f == "courier new" || f == "courier") {
    chosen = pick({"Liberation Mono", "DejaVu Sans Mono"});
  } else if (f == "verdana" || f == "tahoma") {
    chosen = pick({"Verdana", "DejaVu Sans", "Liberation Sans"});
  } else if (f == "arial" || f == "ms sans serif" || f == "small fonts" || f.isEmpty()) {
    chosen = pick({"Arial", "Liberation Sans", "DejaVu Sans"});
  } else {
    chosen = pick({family.toLatin1().constData(), "DejaVu Sans"});
  }
  return chosen.isEmpty() ? QStringLiteral("Sans Serif") : chosen;
}

}  // namespace

const ColourPalette& normalPalette() {
  static const ColourPalette p{QColor(239, 255, 215), QColor(165, 206, 173), QColor(248, 218, 50),
                               QColor(255, 0, 128),   QColor(77, 105, 197),  QColor(234, 231, 255),
                               QColor(0, 0, 132),     QColor(53, 79, 177),   QColor(206, 198, 255),
                               QColor(161, 145, 255)};
  return p;
}

const ColourPalette& lowColourPalette() {
  static const ColourPalette p{QColor(255, 255, 255), QColor(192, 220, 192), QColor(248, 218, 50),
                               QColor(255, 0, 0),     QColor(0, 0, 128),     QColor(166, 202, 240),
                               QColor(0, 0, 128),     QColor(0, 128, 128),   QColor(206, 198, 255),
                               QColor(166, 202, 240)};
  return p;
}

const ColourPalette& colours() {
  if (highContrastOn) return desktopColours;
  return lowColourOn ? lowColourPalette() : normalPalette();
}

bool isHighContrast(const QPalette& desktop) {
  // Ordinary light themes have grey windows (Fusion, Adwaita, Breeze: 86-91 % luminance);
  // high-contrast ones use pure white or black behind the opposite text.
  const double window = luminance(desktop.color(QPalette::Window));
  const double text = luminance(desktop.color(QPalette::WindowText));
  const double ratio = (std::max(window, text) + 0.05) / (std::min(window, text) + 0.05);
  return ratio >= 15 && (window >= 0.96 || window <= 0.01);
}

void followDesktopPalette(const QPalette& desktop) {
  highContrastOn = isHighContrast(desktop);
  if (!highContrastOn) return;
  const QColor base = desktop.color(QPalette::Base);
  const QColor text = desktop.color(QPalette::Text);
  const QColor mark = desktop.color(QPalette::Highlight);
  const ColourPalette& design = normalPalette();
  desktopColours =
      ColourPalette{base, mark, design.amber, design.red, text, base, text, text, base, base};
  desktopInk = text;
  desktopFocus = mark;
}

bool highContrast() {
  return highContrastOn;
}

QColor inkColour() {
  return highContrastOn ? desktopInk : QColor(40, 52, 64);
}

QColor focusColour() {
  return highContrastOn ? desktopFocus : QColor(20, 48, 140);
}
void setLowColour(bool on) {
  lowColourOn = on;
}
bool lowColour() {
  return lowColourOn;
}

QFont designFont(const QString& family, double pointsAt96, bool bold) {
  QFont font(installedFamily(family));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pointsAt96 * 96.0 / 72.0))));
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace ks
