#include "book/pagestyle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QPalette>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "book/bmpreader.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "text/textutil.h"

namespace ks {

QString msgText(int id) {
  return toQString(Localize().GetString(id));
}

QLabel* makeLabel(QWidget* parent, const QString& text, double points, bool bold,
                  const QString& colour) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Verdana", points, bold));
  const QString ink = highContrast() ? inkColour().name() : colour;
  l->setStyleSheet("color: " + ink + "; background: transparent;");
  return l;
}

QLabel* makeHeading(QWidget* parent, const QString& text, double points) {
  auto* l = new QLabel(text, parent);
  l->setFont(designFont("Georgia", points, true));
  const QString ink = highContrast() ? inkColour().name() : QString("#1f5f3a");
  l->setStyleSheet("color: " + ink + "; background: transparent;");
  return l;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text,
                        ButtonRole role) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setFont(designFont("Verdana", role == ButtonRole::Link ? 9 : 10, role == ButtonRole::Primary));
  b->setCursor(Qt::PointingHandCursor);
  // Tab and Alt with its letter reach it; a click leaves the focus where the learner types.
  b->setFocusPolicy(Qt::TabFocus);
  switch (role) {
    case ButtonRole::Primary:
      b->setProperty("role", "primary");
      b->setMinimumHeight(36);
      break;
    case ButtonRole::Secondary:
      b->setProperty("role", "secondary");
      b->setMinimumHeight(30);
      break;
    case ButtonRole::Link:
      b->setProperty("role", "link");
      break;
  }
  return b;
}

QStringList wrappedLines(const QString& text, const QFont& font, int width, int lines) {
  const QFontMetrics fm(font);
  width = std::max(1, width);
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  QStringList shown;
  int lastStart = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    if (static_cast<int>(shown.size()) == lines) {
      shown.back() = fm.elidedText(text.mid(lastStart).simplified(), Qt::ElideRight, width);
      break;
    }
    lastStart = line.textStart();
    shown << text.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  return shown;
}

void fitButtonText(QAbstractButton* b, double minPoints) {
  b->ensurePolished();  // the style sheet's padding counts
  QFont f = b->font();
  const int smallest = static_cast<int>(std::lround(minPoints * 96.0 / 72.0));
  while (b->sizeHint().width() > b->width() && f.pixelSize() > smallest) {
    f.setPixelSize(f.pixelSize() - 1);
    b->setFont(f);
  }
}

void setElidedText(QLabel* label, const QString& text, int lines) {
  label->setToolTip(text);
  const QFontMetrics fm(label->font());
  // Room to spare: on a scaled screen text is drawn a few percent wider than it measures.
  const int width = std::max(1, label->contentsRect().width() * 24 / 25 - fm.averageCharWidth());
  // Lay the text out here and give the label its lines as they are: it cannot wrap them once
  // more and push the end of the text out of sight.
  label->setWordWrap(false);
  label->setText(wrappedLines(text, label->font(), width, lines).join('\n'));
  // Cut short: a screen reader, and a learner without a mouse to hover, still get all of it.
  const bool cut = label->text().contains(QChar(0x2026)) && !text.contains(QChar(0x2026));
  label->setAccessibleDescription(cut ? text : QString());
}

void fitText(QLabel* label, const QString& text, double minPoints) {
  label->setToolTip(QString());
  QFont font = label->font();
  const int width = std::max(1, label->contentsRect().width());
  // Smaller in half-point steps until it fits on one line; then as many lines as the label has
  // room for.
  const double start = font.pixelSize() * 72.0 / 96.0;
  for (double points = start; points >= minPoints; points -= 0.5) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
  }
  label->setFont(font);
  if (QFontMetrics(font).horizontalAdvance(text) <= width) {
    label->setWordWrap(false);
    label->setText(text);
    return;
  }
  label->setWordWrap(true);
  const int lines = std::max(1, label->height() / QFontMetrics(font).lineSpacing());
  setElidedText(label, text, lines);
}

namespace {

// A BMP read in one go. Read, not mapped: a picture on a shared folder that is replaced while
// being read must not end the program.
QImage readPlainBmpFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  std::string bytes;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n =
          ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
  }
  ::close(fd);
  return readPlainBmp(bytes);
}

}  // namespace

QImage readPicture(const std::filesystem::path& file) {
  const QString name = QString::fromStdString(file.string());
  // Naming the format keeps Qt from loading every image plugin to ask it about a BMP; other
  // kinds (a school's JPEG logo) and a BMP that is something else are recognised by content.
  if (sameText(file.extension().string(), ".bmp")) {
    QImage picture = readPlainBmpFile(file);
    if (!picture.isNull()) return picture;
    QImageReader bmp(name, "BMP");
    bmp.setAutoDetectImageFormat(false);
    picture = bmp.read();
    if (!picture.isNull()) return picture;
  }
  return QImage(name);
}

QPixmap installationPicture(const std::string& name1252) {
  if (name1252.empty()) return QPixmap();
  const std::filesystem::path name = pathFrom1252(name1252);
  std::vector<std::filesystem::path> candidates;
  if (name.is_absolute()) {
    candidates.push_back(name);
  } else {
    // The root folder (a school's shared one) first, then the installation itself.
    if (ProgramSettings) candidates.push_back(joinResolved(ProgramSettings->rootPath(), name1252));
    candidates.push_back(joinResolved(installationFolder(), name1252));
  }
  for (const auto& file : candidates) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) continue;
    QPixmap picture = QPixmap::fromImage(readPicture(file));
    if (!picture.isNull()) return picture;
  }
  return QPixmap();
}

QLabel* makeBadge(QWidget* parent, const QString& text, const QPoint& at) {
  auto* badge = makeLabel(parent, text, 12, true, "white");
  badge->setAlignment(Qt::AlignCenter);
  badge->setStyleSheet("background: #2e8b57; color: white; border-radius: 14px;");
  badge->setGeometry(at.x(), at.y(), 28, 28);
  return badge;
}

QFrame* makeCard(QWidget* parent, const QRect& geometry, const QString& name) {
  auto* card = new QFrame(parent);
  card->setObjectName(name);
  card->setProperty("card", true);
  card->setGeometry(geometry);
  return card;
}

namespace {

// Plain desktop colours, strong frames and a filled focus for a high-contrast desktop.
QString highContrastSheet() {
  const QPalette p = QGuiApplication::palette();
  return QString(
             "QFrame[card=\"true\"] { background: %1; border: 2px solid %2; border-radius: 12px; }"
             "QFrame[card=\"true\"] QLabel { border: none; }"
             "QPushButton, QListWidget, QLineEdit, QComboBox { background: %1; color: %2;"
             "  border: 2px solid %2; border-radius: 6px; padding: 4px 8px; }"
             "QPushButton[role=\"link\"] { border: none; text-decoration: underline;"
             "  text-align: left; padding: 0px; }"
             "QPushButton:focus, QListWidget:focus, QLineEdit:focus, QComboBox:focus {"
             "  border: 3px solid %3; }"
             "QPushButton:hover, QListWidget::item:selected { background: %3; color: %4; }"
             "QPushButton:disabled { color: %5; border-color: %5; }"
             "QRadioButton { color: %2; background: transparent; spacing: 8px; }")
      .arg(p.color(QPalette::Base).name(), p.color(QPalette::Text).name(),
           p.color(QPalette::Highlight).name(), p.color(QPalette::HighlightedText).name(),
           p.color(QPalette::Disabled, QPalette::Text).name());
}

}  // namespace

QString studyStyleSheet() {
  if (highContrast()) return highContrastSheet();
  return "QFrame[card=\"true\"] { background: white; border: 1px solid #b9d3a0;"
         "  border-radius: 12px; }"
         "QFrame[card=\"true\"] QLabel { border: none; }"
         "QPushButton[role=\"primary\"] { background: #2e8b57; color: white; border: none;"
         "  border-radius: 8px; padding: 6px 10px; }"
         "QPushButton[role=\"primary\"]:hover { background: #3aa86a; }"
         "QPushButton[role=\"primary\"]:disabled { background: #a9c9b4; }"
         "QPushButton[role=\"secondary\"] { background: #e4efd8; color: #28343f;"
         "  border: 1px solid #b9d3a0; border-radius: 8px; padding: 4px 8px; }"
         "QPushButton[role=\"secondary\"]:hover { background: #d3e6c0; }"
         "QPushButton[role=\"secondary\"]:disabled { color: #8a9a8a; background: #eef4e8; }"
         "QPushButton[role=\"link\"] { background: transparent; color: #000084; border: none;"
         "  text-decoration: underline; padding: 0px; text-align: left; }"
         "QPushButton[role=\"link\"]:hover { color: #2e8b57; }"
         // The focus is plain to see on every control a learner can tab to.
         "QPushButton[role=\"primary\"]:focus { border: 3px solid #14308c; padding: 3px 7px; }"
         "QPushButton[role=\"secondary\"]:focus { border: 2px solid #14308c; padding: 3px 7px; }"
         "QPushButton[role=\"link\"]:focus { border: 2px solid #14308c; border-radius: 4px; }"
         "QListWidget:focus { border: 2px solid #14308c; }"
         "QLineEdit:focus { border: 2px solid #14308c; }"
         "QListWidget { border: 1px solid #9fb88a; border-radius: 6px; padding: 3px;"
         "  background: #fbfff5; color: #28343f; }"
         "QComboBox { color: #28343f; }"
         "QListWidget::item { padding: 3px; }"
         "QListWidget::item:selected { background: #a5cead; color: black; }"
         "QRadioButton { color: #28343f; background: transparent; spacing: 8px; }"
         "QRadioButton:disabled { color: #9aa59a; }"
         "QRadioButton::indicator { width: 14px; height: 14px; border-radius: 8px;"
         "  border: 1px solid #7fa66a; background: white; }"
         "QRadioButton::indicator:hover { border-color: #2e8b57; }"
         "QRadioButton::indicator:checked { border: 1px solid #2e8b57; background:"
         "  qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 #2e8b57,"
         "  stop: 0.5 #2e8b57, stop: 0.6 white, stop: 1 white); }"
         "QRadioButton::indicator:disabled { border-color: #c9d6c0; background: #f2f5ef; }"
         "QLineEdit { border: 1px solid #9fb88a; border-radius: 6px; padding: 2px 6px;"
         "  background: #fbfff5; color: #28343f; }"
         "QScrollBar:vertical { background: #f2f7ec; width: 10px; border: none; margin: 0px; }"
         "QScrollBar::handle:vertical { background: #b9d3a0; border-radius: 5px; min-height: 24px; "
         "}"
         "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
         "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";
}

}  // namespace ks
