#include "reports/ui/previewform.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cmath>

#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "reports/pdfprint.h"
#include "store/langres.h"

namespace ks {

// The page shown: paints its recording scaled to its own size.
class PreviewPage : public QWidget {
 public:
  explicit PreviewPage(QWidget* parent) : QWidget(parent) {}
  const QPicture* picture = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(rect(), Qt::white);
    if (picture != nullptr) {
      p.setTransform(TPreviewForm::PageTransform(size()), true);
      p.drawPicture(0, 0, *picture);
    }
  }
};

namespace {

QPushButton* toolButton(QWidget* parent, const char* name, const QString& text, bool primary) {
  QPushButton* b =
      makeButton(parent, name, text, primary ? ButtonRole::Primary : ButtonRole::Secondary);
  b->setFocusPolicy(Qt::StrongFocus);
  return b;
}

}  // namespace

TPreviewForm::TPreviewForm(bool printDisabled, bool pdfDisabled, QWidget* parent)
    : QDialog(parent), printDisabled_(printDisabled), pdfDisabled_(pdfDisabled) {
  setObjectName("PreviewForm");
  setWindowTitle(msgText(1189));
  buildWindow();
}

TPreviewForm::~TPreviewForm() {
  Finish();
}

void TPreviewForm::buildWindow() {
  setStyleSheet(studyStyleSheet() +
                "QDialog#PreviewForm { background: #e4efd8; }"
                "QScrollArea { background: #c9d8bb; border: none; }"
                "QPushButton:focus { border: 2px solid #1f5f3a; }"
                "QComboBox { background: white; border: 1px solid #9fb88a; border-radius: 6px;"
                "  padding: 3px 6px; min-width: 110px; }"
                "QComboBox:focus { border: 2px solid #1f5f3a; }");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(12, 8, 12, 8);
  row->setSpacing(8);
  prevBtn_ = toolButton(bar, "PrevPageBtn", withMnemonic(msgText(1192), 'v'), false);
  nextBtn_ = toolButton(bar, "NextPageBtn", withMnemonic(msgText(1193), 'n'), false);
  scaleCombo_ = new QComboBox(bar);
  scaleCombo_->setObjectName("ScaleCombo");
  scaleCombo_->setAccessibleName(tr("Zoom"));
  scaleCombo_->setEditable(true);
  scaleCombo_->addItem(msgText(1002), kFitWidth);
  scaleCombo_->addItem(msgText(1003), kFitHeight);
  for (int p : {200, 100, 75, 50}) scaleCombo_->addItem(QString::number(p) + "%", p);
  printBtn_ = toolButton(bar, "PrintBtn", withMnemonic(msgText(1190), 'p'), true);
  pdfBtn_ = toolButton(bar, "PDFButton", withMnemonic(msgText(1191), 's'), true);
  closeBtn_ = toolButton(bar, "CloseBtn", withMnemonic(msgText(1790), 'c'), false);
  row->addWidget(prevBtn_);
  row->addWidget(nextBtn_);
  row->addSpacing(12);
  row->addWidget(scaleCombo_);
  row->addStretch(1);
  row->addWidget(printBtn_);
  row->addWidget(pdfBtn_);
  row->addWidget(closeBtn_);
  layout->addWidget(bar);

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("ScrollBox1");
  scroll_->setWidgetResizable(false);
  scroll_->setFocusPolicy(Qt::StrongFocus);
  // A scroll bar that came and went would change the width a fitted page has.
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The page follows the room it has, whenever the dialog's layout changes that.
  scroll_->viewport()->installEventFilter(this);
  // A wheel step moves 30 pixels.
  scroll_->verticalScrollBar()->setSingleStep(10);
  auto* holder = new QWidget;
  holder->setObjectName("Panel1");
  holder->setStyleSheet("background: #c9d8bb;");
  panel_ = new PreviewPage(holder);
  panel_->setObjectName("Image1");
  scroll_->setWidget(holder);
  layout->addWidget(scroll_, 1);

  status_ = new QStatusBar(this);
  status_->setObjectName("StatusBar1");
  status_->setSizeGripEnabled(false);
  pageLbl_ = new QLabel(status_);
  titleLbl_ = new QLabel(status_);
  status_->addWidget(titleLbl_, 1);
  status_->addWidget(pageLbl_, 1);
  layout->addWidget(status_);

  connect(prevBtn_, &QPushButton::clicked, this, [this] { ShowPage(current_ - 1); });
  connect(nextBtn_, &QPushButton::clicked, this, [this] { ShowPage(current_ + 1); });
  connect(printBtn_, &QPushButton::clicked, this, &TPreviewForm::Print);
  connect(pdfBtn_, &QPushButton::clicked, this, &TPreviewForm::Save);
  connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(scaleCombo_, &QComboBox::activated, this,
          [this](int index) { SetZoom(scaleCombo_->itemData(index).toInt()); });
  connect(scaleCombo_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    // Another value: the digits before "%".
    const QString text = scaleCombo_->currentText();
    QString digits;
    for (QChar c : text) {
      if (c == '%') break;
      if (c.isDigit()) digits += c;
    }
    const int p = digits.toInt();
    if (p > 0 && scaleCombo_->findText(text) < 0) SetZoom(std::min(p, 800));
  });
  new QShortcut(QKeySequence(Qt::Key_PageDown), this, [this] { ShowPage(current_ + 1); });
  new QShortcut(QKeySequence(Qt::Key_PageUp), this, [this] { ShowPage(current_ - 1); });
  setTabOrder(prevBtn_, nextBtn_);
  setTabOrder(nextBtn_, scaleCombo_);
  setTabOrder(scaleCombo_, printBtn_);
  setTabOrder(printBtn_, pdfBtn_);
  setTabOrder(pdfBtn_, closeBtn_);
  setTabOrder(closeBtn_, scroll_);
}

void TPreviewForm::Begin() {
  if (!printDisabled_) {
    // CUPS answers the printer list; asked once, at the report's start only.
    printerAvailable_ = !QPrinterInfo::availablePrinterNames().isEmpty();
  }
  const QPrinterInfo printer = printerAvailable_ ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
  if (!printer.isNull() && printer.defaultPageSize().isValid()) {
    pageSize_ = printer.defaultPageSize();
  } else {
    pageSize_ = QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                              ? QPageSize::Letter
                              : QPageSize::A4);
  }
  printBtn_->setEnabled(!printDisabled_);
  pdfBtn_->setEnabled(!pdfDisabled_);
  pages_.clear();
  texts_.clear();
  NewPage();
}

void TPreviewForm::NewPage() {
  if (painter_) painter_->end();
  pages_.emplace_back();
  texts_.emplace_back();
  painter_ = std::make_unique<QPainter>(&pages_.back());
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
}

void TPreviewForm::AddText(const QPointF& baseline, qreal width, qreal size, const QString& text) {
  if (texts_.empty() || text.trimmed().isEmpty()) return;
  texts_.back().push_back(PageText{baseline, width, size, text});
}

QString TPreviewForm::DefaultFileName() const {
  QString name = reportName_.isEmpty() ? msgText(1109) : reportName_;
  if (!title_.isEmpty()) name += " - " + title_;
  name += " - " + QDate::currentDate().toString(Qt::ISODate);
  // A learner's name may hold characters a file name cannot.
  for (QChar& c : name)
    if (c == '/' || c == '\\' || c == ':' || c.category() == QChar::Other_Control) c = '_';
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  return QDir(folder).filePath(name + ".pdf");
}

void TPreviewForm::Finish() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

int TPreviewForm::Execute() {
  Finish();
  titleLbl_->setText(title_);
  ShowPage(0);
  SetZoom(zoom_);
  // Without a window manager the maximised state alone keeps the dialog's small size.
  if (const QScreen* s = screen() ? screen() : QApplication::primaryScreen())
    setGeometry(s->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  return exec();
}

void TPreviewForm::ShowPage(int index) {
  if (pages_.empty()) return;
  current_ = std::clamp(index, 0, PageCount() - 1);
  panel_->picture = &pages_[static_cast<size_t>(current_)];
  panel_->update();
  prevBtn_->setEnabled(current_ > 0);
  nextBtn_->setEnabled(current_ < PageCount() - 1);
  pageLbl_->setText(msgText(1092) + QString::number(current_ + 1) + " / " +
                    QString::number(PageCount()));
}

QSize TPreviewForm::PagePanelSize() const {
  const QSizeF points = pageSize_.size(QPageSize::Point);
  const double aspect = points.height() / points.width();
  const QSize client = scroll_->viewport()->size();
  if (zoom_ == kFitWidth) {
    const int w = std::max(50, client.width() - 80);
    return QSize(w, static_cast<int>(std::lround(w * aspect)));
  }
  if (zoom_ == kFitHeight) {
    const int h = std::max(50, client.height() - 120);
    return QSize(static_cast<int>(std::lround(h / aspect)), h);
  }
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  const double ppi = screen ? screen->logicalDotsPerInch() : 96.0;
  const double w = ppi * points.width() / 72.0 * zoom_ / 100.0;
  return QSize(static_cast<int>(std::lround(w)), static_cast<int>(std::lround(w * aspect)));
}

void TPreviewForm::SetZoom(int zoom) {
  zoom_ = zoom;
  // The box says the zoom shown, however it was chosen.
  if (scaleCombo_) {
    const int item = scaleCombo_->findData(zoom);
    if (item >= 0) {
      scaleCombo_->setCurrentIndex(item);
    } else {
      scaleCombo_->setEditText(QString::number(zoom) + "%");
    }
  }
  placePanel();
}

QRect TPreviewForm::PagePanelGeometry() const {
  const QSize size = PagePanelSize();
  // A page narrower than the room stands in the middle.
  const int left = std::max(40, (scroll_->viewport()->width() - size.width()) / 2);
  return QRect(QPoint(left, 40), size);
}

void TPreviewForm::placePanel() {
  if (!panel_ || !scroll_) return;
  const QRect page = PagePanelGeometry();
  panel_->setGeometry(page);
  panel_->parentWidget()->resize(page.right() + 41, page.bottom() + 41);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event) {
  if (scroll_ && watched == scroll_->viewport() && event->type() == QEvent::Resize) placePanel();
  return QDialog::eventFilter(watched, event);
}

QTransform TPreviewForm::PageTransform(const QSizeF& size) {
  const double scale = std::min(size.width() / kLogicalWidth, size.height() / kLogicalHeight);
  return QTransform(scale, 0, 0, scale, (size.width() - kLogicalWidth * scale) / 2, 0);
}

QImage TPreviewForm::RenderPage(int index, const QSize& size) const {
  QImage image(size, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setTransform(PageTransform(size), true);
  p.drawPicture(0, 0, Page(index));
  return image;
}

QSize TPreviewForm::imageSize() const {
  return pageSize_.sizePixels(kImageDpi);
}

bool TPreviewForm::SaveTo(const QString& file, QString* error) {
  Finish();
  if (pages_.empty()) return false;
  const std::filesystem::path path = toPath(file);
  std::string cause;
  bool saved = false;
  if (file.endsWith(".bmp", Qt::CaseInsensitive)) {
    const QImage mono =
        RenderPage(0, imageSize()).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Made whole in memory first, so a failed write leaves the old file as it was.
    if (mono.save(&buffer, "BMP")) {
      saved = writeWholeOrSayWhy(path, std::string_view(bytes.constData(), bytes.size()), cause);
    } else {
      cause = "the picture could not be made";
    }
  } else {
    saved = savePdf(path, cause);
  }
  if (!saved && error) {
    *error = msgText(2650) + QDir::toNativeSeparators(file) + ": " + toQString(cause);
  }
  return saved;
}

bool TPreviewForm::savePdf(const std::filesystem::path& path, std::string& cause) {
  TPDFPrint pdf;
  pdf.Title = toCp1252(title_);
  pdf.FileName = path;
  pdf.Compress = true;
  // The pixels are black or white already: one bit each.
  pdf.ImageBits = 1;
  const QSize points = pageSize_.sizePoints();
  pdf.PageWidth = points.width();
  pdf.PageHeight = points.height();
  const QSize pixels = imageSize();
  // The image fills the page exactly.
  pdf.ImagePpiX = pixels.width() * 72.0 / points.width();
  pdf.ImagePpiY = pixels.height() * 72.0 / points.height();
  // Where the words lie, in points: as the picture places them.
  const QTransform toPoints = PageTransform(QSizeF(points));
  pdf.BeginDoc();
  for (int i = 0; i < PageCount(); ++i) {
    if (i > 0) pdf.NewPage();
    const QImage img = RenderPage(i, pixels);
    GrayImage gray{img.width(), img.height(), {}};
    gray.Pixels.resize(static_cast<size_t>(img.width()) * static_cast<size_t>(img.height()));
    // Black and white, as printed.
    auto out = gray.Pixels.begin();
    for (int y = 0; y < img.height(); ++y) {
      const uchar* line = img.constScanLine(y);
      for (int x = 0; x < img.width(); ++x) *out++ = line[x] < 160 ? 0 : 255;
    }
    pdf.AddImage(0, 0, gray);
    for (const PageText& t : Texts(i)) {
      const QPointF at = toPoints.map(t.Baseline);
      pdf.AddText(at.x(), at.y(), t.Width * toPoints.m11(), t.Size * toPoints.m11(),
                  toCp1252(t.Text));
    }
  }
  if (pdf.EndDoc()) return true;
  cause = pdf.ErrorText();
  return false;
}

void TPreviewForm::PrintTo(QPrinter& printer) {
  Finish();
  printer.setDocName(title_);
  QPainter p(&printer);
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  for (int i = 0; i < PageCount(); ++i) {
    if (i > 0) printer.newPage();
    p.save();
    p.setTransform(PageTransform(page.size()), true);
    // A recording plays back enlarged by the device's resolution over its own (1200 dpi
    // against the screen's 96): undone here, or a page printed twelve times too large.
    const QPicture& picture = Page(i);
    const double enlarged = double(printer.logicalDpiX()) / picture.logicalDpiX();
    p.scale(1 / enlarged, 1 / enlarged);
    p.drawPicture(0, 0, picture);
    p.restore();
  }
}

void TPreviewForm::PreparePrinter(QPrinter& printer) const {
  printer.setDocName(title_);
  printer.setPageSize(pageSize_);
}

void TPreviewForm::Print() {
  if (!printerAvailable_) {
    dialogs().messageBox(Localize().GetString(1005), Localize().GetStringDefault(1),
                         BoxKind::Error);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted || pages_.empty()) return;
  PrintTo(printer);
}

void TPreviewForm::Save() {
  QString filter;
  QString file = QFileDialog::getSaveFileName(
      this, "Save PDF", DefaultFileName(), "PDF Document (*.pdf);;Bitmap image (*.bmp)", &filter);
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += filter.contains("bmp") ? ".bmp" : ".pdf";
  QString error;
  if (SaveTo(file, &error)) {
    status_->showMessage(msgText(2651) + QDir::toNativeSeparators(file));
    return;
  }
  // The status bar keeps the name as written; the box can only show what 1252 has.
  status_->showMessage(error);
  dialogs().messageBox(toCp1252(error), Localize().GetStringDefault(1), BoxKind::Error);
}

}  // namespace ks
