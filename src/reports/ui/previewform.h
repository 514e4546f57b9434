// The print preview: the pages of a report kept as vector recordings, shown one at a time with
// zoom; printed through the system print dialog, or saved as PDF (our own writer) or as a
// bitmap of the first page.
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
#include <deque>
#include <memory>

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
  bool PrinterAvailable() const { return printerAvailable_; }
  QPageSize PageSize() const { return pageSize_; }

  // The page drawn on a white greyscale image of `size`.
  QImage RenderPage(int index, const QSize& size) const;
  // ".bmp" (any case): the first page as a black-and-white bitmap; otherwise every page into a
  // PDF. False with `error` when the file could not be written.
  bool SaveTo(const QString& file, QString* error);
  // Every page onto the printer, each at its page's origin.
  void PrintTo(QPrinter& printer);
  // The user commands.
  void Print();
  void Save();

  QPushButton* PrintBtn() const { return printBtn_; }
  QPushButton* PDFButton() const { return pdfBtn_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildWindow();
  void placePanel();
  QSize imageSize() const;

  bool printDisabled_;
  bool pdfDisabled_;
  bool printerAvailable_ = false;
  QPageSize pageSize_;
  QString title_;
  std::deque<QPicture> pages_;
  std::unique_ptr<QPainter> painter_;
  int current_ = 0;
  int zoom_ = kFitWidth;
  QPointer<QPushButton> prevBtn_, nextBtn_, printBtn_, pdfBtn_, closeBtn_;
  QPointer<QComboBox> scaleCombo_;
  QPointer<QScrollArea> scroll_;
  QPointer<PreviewPage> panel_;
  QPointer<QLabel> titleLbl_, pageLbl_;
};

}  // namespace ks
