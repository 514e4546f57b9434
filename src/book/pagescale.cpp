#include "book/pagescale.h"

#include <QScreen>
#include <algorithm>
#include <cmath>
#include <vector>

#include "book/bookwindow.h"

namespace ks {

double pageScaleFor(int width, int height) {
  if (width <= 0 || height <= 0) return 1.0;
  const double fit = std::min(static_cast<double>(width) / TBookFormEx::kDesignWidth,
                              static_cast<double>(height) / TBookFormEx::kDesignHeight);
  // Quarter steps keep lines and glyphs on whole pixels more often than an exact fit would.
  const double step = std::floor(fit * 4.0) / 4.0;
  return step >= 1.25 ? step : 1.0;
}

void createScaledApplication(std::optional<QApplication>& app, int& argc, char** argv) {
  // Qt takes its own options (-platform, -display ...) out of the arguments; the second
  // application must see them too.
  const std::vector<char*> given(argv, argv + argc);
  app.emplace(argc, argv);
  // A scale the user gave Qt, for every screen or for each, is theirs to keep.
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ||
      qEnvironmentVariableIsSet("QT_SCREEN_SCALE_FACTORS"))
    return;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect free = screen->availableGeometry();
  const double scale = pageScaleFor(free.width(), free.height());
  if (scale <= 1.0) return;
  // Qt reads its scale once, as the application is made; nothing has been shown yet.
  app.reset();
  qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
  std::copy(given.begin(), given.end(), argv);
  argc = static_cast<int>(given.size());
  argv[argc] = nullptr;
  app.emplace(argc, argv);
  // Programs the tutor starts (the monitor, a web browser) choose their own size.
  qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace ks
