// The printed reports: the progress report of a learner, the detailed report of one typing
// test with the typed text marked, and the test's certificate. Each is drawn page by page onto
// a print preview in logical units (2400 across, 3357 down) and then shown.
#pragma once

#include <QFont>
#include <QString>
#include <filesystem>
#include <functional>

#include "store/resultitem.h"

namespace ks {

class TPreviewForm;
class TUser;

class TReports {
 public:
  static constexpr int kMargin = 120;

  // Build the pages in a preview and show it. The learner is the one logged on, so results
  // not yet saved are in the report too.
  void ProgressReport(TUser& user, bool pdfDisabled, bool printDisabled);
  void ResultReport(TUser& user, const TResultItem& test, bool pdfDisabled, bool printDisabled);
  void Certificate(TUser& user, const TResultItem& test, bool pdfDisabled, bool printDisabled);

  // The same reports drawn into a preview that has not begun yet, without showing it.
  void DrawProgress(TPreviewForm& preview, TUser& user, const std::filesystem::path& lessons);
  void DrawResult(TPreviewForm& preview, TUser& user, const TResultItem& test);
  void DrawCertificate(TPreviewForm& preview, TUser& user, const TResultItem& test);

  QString Title;
  // Told how far a long report has come: the notice (message 1110 while the results are
  // gathered, 1111 while the pages are drawn) and rows done of total; false stops the report.
  std::function<bool(int notice, int done, int total)> Progress;
  // The last report was stopped before it was finished.
  bool Cancelled() const { return cancelled_; }
  int PageNumber() const { return page_; }
  int Y() const { return y_; }

 private:
  void begin(TPreviewForm& preview);
  void header();
  // Sets y; at the foot of the page a new page starts and y goes below its header.
  void setY(int y);
  int text(int x, const QString& s, const QFont& font);  // at y; returns the text height
  // Asks Progress whether to go on; remembers a stop.
  bool goOn(int notice, int done, int total);
  void titleLine(const QString& s, double points, int gap, int x = kMargin);
  void rule(int width = 3);
  void pair(int labelX, int valueX, const std::string& label, const std::string& value);
  void drawTypedText(TUser& user, const TResultItem& test);
  // Draws a report into a new preview (the wait cursor meanwhile; with `notice` a progress
  // notice that can stop it) and shows it unless it was stopped.
  void run(bool pdfDisabled, bool printDisabled, bool notice,
           const std::function<void(TPreviewForm&)>& draw);

  TPreviewForm* preview_ = nullptr;
  int page_ = 0;
  int y_ = 0;
  bool cancelled_ = false;
};

// The one instance of the program.
TReports& Reports();

// A font of the design for report pages: its size in points given in logical units.
QFont reportFont(const QString& family, double points, bool bold = false);

}  // namespace ks
