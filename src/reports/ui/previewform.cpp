#include "reports/ui/previewform.h"

#include <QApplication>
#include <QComboBox>
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
#include <QStatusBar>
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
      p.scale(double(width()) / TPreviewForm::kLogicalWidth,
              double(height()) / TPreviewForm::kLogicalHeight);
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
  // A wheel step moves 30 pixels.
  scroll_->verticalScrollBar()->setSingleStep(10);
  auto* holder = new QWidget;
  holder->setObjectName("Panel1");
  holder->setStyleSheet("background: #c9d8bb;");
  panel_ = new PreviewPage(holder);
  panel_->setObjectName("Image1");
  scroll_->setWidget(holder);
  layout->addWidget(scroll_, 1);

  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar1");
  status->setSizeGripEnabled(false);
  pageLbl_ = new QLabel(status);
  titleLbl_ = new QLabel(status);
  status->addWidget(titleLbl_, 1);
  status->addWidget(pageLbl_, 1);
  layout->addWidget(status);

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
  NewPage();
}

void TPreviewForm::NewPage() {
  if (painter_) painter_->end();
  pages_.emplace_back();
  painter_ = std::make_unique<QPainter>(&pages_.back());
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
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
  placePanel();
}

void TPreviewForm::placePanel() {
  if (!panel_) return;
  const QSize size = PagePanelSize();
  panel_->setGeometry(40, 40, size.width(), size.height());
  panel_->parentWidget()->resize(size.width() + 80, size.height() + 80);
}

void TPreviewForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placePanel();
}

QImage TPreviewForm::RenderPage(int index, const QSize& size) const {
  QImage image(size, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(double(size.width()) / kLogicalWidth, double(size.height()) / kLogicalHeight);
  p.drawPicture(0, 0, Page(index));
  return image;
}

QSize TPreviewForm::imageSize() const {
  return pageSize_.sizePixels(kImageDpi);
}

bool TPreviewForm::SaveTo(const QString& file, QString* error) {
  Finish();
  if (pages_.empty()) return false;
  if (file.endsWith(".bmp", Qt::CaseInsensitive)) {
    const QImage mono =
        RenderPage(0, imageSize()).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (mono.save(file, "BMP")) return true;
    if (error) *error = msgText(1191) + " " + file;
    QFile::remove(file);
    return false;
  }
  TPDFPrint pdf;
  pdf.Title = toCp1252(title_);
  pdf.FileName = toCp1252(file);
  pdf.Compress = true;
  const QSize points = pageSize_.sizePoints();
  pdf.PageWidth = points.width();
  pdf.PageHeight = points.height();
  const QSize pixels = imageSize();
  // The image fills the page exactly.
  pdf.ImagePpiX = pixels.width() * 72.0 / points.width();
  pdf.ImagePpiY = pixels.height() * 72.0 / points.height();
  pdf.BeginDoc();
  for (int i = 0; i < PageCount(); ++i) {
    if (i > 0) pdf.NewPage();
    const QImage img = RenderPage(i, pixels);
    GrayImage gray{img.width(), img.height(), {}};
    gray.Pixels.resize(static_cast<size_t>(img.width()) * static_cast<size_t>(img.height()));
    // Black and white, as printed: a quarter of the size of the smoothed greys.
    auto out = gray.Pixels.begin();
    for (int y = 0; y < img.height(); ++y) {
      const uchar* line = img.constScanLine(y);
      for (int x = 0; x < img.width(); ++x) *out++ = line[x] < 160 ? 0 : 255;
    }
    pdf.AddImage(0, 0, gray);
  }
  if (pdf.EndDoc()) return true;
  if (error) *error = toQString(pdf.ErrorText());
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
    p.scale(double(page.width()) / kLogicalWidth, double(page.height()) / kLogicalHeight);
    p.drawPicture(0, 0, Page(i));
    p.restore();
  }
}

void TPreviewForm::Print() {
  if (!printerAvailable_) {
    dialogs().messageBox(Localize().GetString(1005), Localize().GetStringDefault(1),
                         BoxKind::Error);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted || pages_.empty()) return;
  PrintTo(printer);
}

void TPreviewForm::Save() {
  QString filter;
  QString file = QFileDialog::getSaveFileName(
      this, "Save PDF", "Report", "PDF Document (*.pdf);;Bitmap image (*.bmp)", &filter);
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += filter.contains("bmp") ? ".bmp" : ".pdf";
  QString error;
  if (!SaveTo(file, &error)) {
    dialogs().messageBox(toCp1252(error), Localize().GetStringDefault(1), BoxKind::Error);
  }
}

}  // namespace ks
