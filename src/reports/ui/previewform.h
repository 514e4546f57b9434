// The print preview: the pages of a report kept as vector recordings, shown one at a time with
// zoom; printed through the system print dialog, or saved as PDF (our own writer, the page as
// a black-and-white picture with its words laid over it invisibly) or as a bitmap of the first
// page.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTransform>
#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

class QPrinter;

namespace ks {

class PreviewPage;

class TPreviewForm : public QDialog {
  Q_OBJECT

 public:
  // Reports draw in these logical units; every device scales them to its page.
  static constexpr int kLogicalWidth = 2400;
  static constexpr int kLogicalHeight = 3357;
  // Resolution of the page images in saved PDFs and bitmaps: crisp text on paper.
  static constexpr int kImageDpi = 200;
  // Zoom values besides percentages.
  static constexpr int kFitWidth = -3;
  static constexpr int kFitHeight = -2;

  TPreviewForm(bool printDisabled, bool pdfDisabled, QWidget* parent = nullptr);
  ~TPreviewForm() override;

  // Chooses the page size (the default printer's, else A4 or Letter by the locale) and starts
  // the first page.
  void Begin();
  void NewPage();
  // The page being drawn, in logical units.
  QPainter& Canvas() { return *painter_; }
  // A text drawn on the page being drawn, kept so saved pages can be searched: its baseline's
  // start, its width and its font's pixel size, in logical units.
  struct PageText {
    QPointF Baseline;
    qreal Width = 0;
    qreal Size = 0;
    QString Text;
  };
  void AddText(const QPointF& baseline, qreal width, qreal size, const QString& text);
  const std::vector<PageText>& Texts(int page) const { return texts_[static_cast<size_t>(page)]; }
  // What the report is ("Progress report"): the first part of the name a save suggests.
  void SetReportName(const QString& name) { reportName_ = name; }
  // The suggested file: in the documents folder, named by the report, the title and the day.
  QString DefaultFileName() const;
  void SetTitle(const QString& title) { title_ = title; }
  const QString& Title() const { return title_; }
  // Ends the recording; shows the first page maximised and waits until the window closes.
  int Execute();
  // Ends the recording (Execute does it too).
  void Finish();

  int PageCount() const { return static_cast<int>(pages_.size()); }
  const QPicture& Page(int index) const { return pages_[static_cast<size_t>(index)]; }
  int CurrentPage() const { return current_; }
  void ShowPage(int index);
  // kFitWidth, kFitHeight or a percentage.
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  QSize PagePanelSize() const;
  QRect PagePanelGeometry() const;
  bool PrinterAvailable() const { return printerAvailable_; }
  QPageSize PageSize() const { return pageSize_; }

  // Logical units onto a page of `size`: one scale for both directions, so a page of other
  // proportions (Letter) is not squashed; the page is centred across.
  static QTransform PageTransform(const QSizeF& size);
  // The page drawn on a white greyscale image of `size`.
  QImage RenderPage(int index, const QSize& size) const;
  // ".bmp" (any case): the first page as a black-and-white bitmap; otherwise every page into a
  // PDF. False with `error` (the file and why) when the file could not be written; a file that
  // was there keeps its content.
  bool SaveTo(const QString& file, QString* error);
  // The printer set for this report before the print dialog: its paper is the report's page.
  void PreparePrinter(QPrinter& printer) const;
  // Every page onto the printer, each at its page's origin.
  void PrintTo(QPrinter& printer);
  // The user commands.
  void Print();
  void Save();

  QPushButton* PrintBtn() const { return printBtn_; }
  QPushButton* PDFButton() const { return pdfBtn_; }
  QStatusBar* StatusBar() const { return status_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();
  void placePanel();
  QSize imageSize() const;
  bool savePdf(const std::filesystem::path& path, std::string& cause);

  bool printDisabled_;
  bool pdfDisabled_;
  bool printerAvailable_ = false;
  QPageSize pageSize_;
  QString title_;
  QString reportName_;
  std::deque<QPicture> pages_;
  std::deque<std::vector<PageText>> texts_;
  std::unique_ptr<QPainter> painter_;
  int current_ = 0;
  int zoom_ = kFitWidth;
  QPointer<QPushButton> prevBtn_, nextBtn_, printBtn_, pdfBtn_, closeBtn_;
  QPointer<QComboBox> scaleCombo_;
  QPointer<QScrollArea> scroll_;
  QPointer<PreviewPage> panel_;
  QPointer<QLabel> titleLbl_, pageLbl_;
  QPointer<QStatusBar> status_;
};

}  // namespace ks
