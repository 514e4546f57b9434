#include "book/uistyle.h"

#include <QFontDatabase>
#include <cmath>

namespace ks {
namespace {

bool lowColourOn = false;

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
  return lowColourOn ? lowColourPalette() : normalPalette();
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
