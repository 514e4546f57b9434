// The reports drawn into the preview from a learner store made here, the preview's PDF, bitmap
// and printer output, and the statistics page. With $KS_SCREENSHOT_DIR set the pages are saved
// there for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "content/studylearner.h"
#include "content/ui/exerciseinfoview.h"
#include "pdftools.h"
#include "platform/desktop/qtext.h"
#include "platform/sharedfile.h"
#include "reportpages.h"
#include "reports/csvexport.h"
#include "reports/ui/previewform.h"
#include "reports/ui/reportparts.h"
#include "reports/ui/statisticsview.h"
#include "reports/ui/treports.h"
#include "shell/appframe.h"
#include "store/langres.h"
#include "store/typedtexts.h"
#include "store/user.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReportPages;
using test::screenshot;

TEST_F(ReportPages, ProgressReportRunsOnNewPagesEachWithItsHeader) {
  for (int i = 0; i < 60; ++i) addExercise("AAA", i, 150 + i, 95);
  for (int i = 0; i < 5; ++i) addExercise("BBB", i, 120, 90);
  addTest();
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  ASSERT_GE(preview.PageCount(), 2);
  EXPECT_EQ(reports_.PageNumber(), preview.PageCount());
  for (int i = 0; i < preview.PageCount(); ++i) {
    const QImage img = page(preview, i);
    const int rule = headerRuleY();
    EXPECT_LT(darkest(img, 1000, rule - 8, 1400, rule + 8), 100) << "page " << i + 1;
    EXPECT_GT(darkest(img, 0, 0, 2400, 140), 200) << "nothing above the header";
  }
  if (qEnvironmentVariableIsSet("KS_SCREENSHOT_DIR")) {
    preview.resize(900, 1000);
    preview.show();
    preview.ShowPage(1);
    preview.SetZoom(TPreviewForm::kFitWidth);
    screenshot(&preview, "report_preview");
    page(preview, 0).save(qEnvironmentVariable("KS_SCREENSHOT_DIR") + "/report_progress.png");
  }
}

TEST_F(ReportPages, ALearnerWithoutResultsGetsTheHeaderBlockAlone) {
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  ASSERT_EQ(preview.PageCount(), 1);
  const QImage img = page(preview, 0);
  EXPECT_LT(darkest(img, 120, 330, 1200, 700), 100) << "the learner's name and header block";
  EXPECT_GT(darkest(img, 0, reports_.Y() + 40, 2400, 3357), 250);
}

TEST_F(ReportPages, ResultReportAndCertificateOfATest) {
  const TResultItem test = addTest();
  TPreviewForm result(true, false);
  reports_.DrawResult(result, *user_, test);
  ASSERT_EQ(result.PageCount(), 1);
  const QImage r = page(result, 0);
  // The typed text ends the page: two lines of it above the end.
  EXPECT_LT(darkest(r, 120, reports_.Y() - 120, 2280, reports_.Y()), 100);
  EXPECT_EQ(result.Title(), "Ann");

  TPreviewForm certificate(true, false);
  reports_.DrawCertificate(certificate, *user_, test);
  ASSERT_EQ(certificate.PageCount(), 1);
  const QImage c = page(certificate, 0);
  const int nameTop = headerRuleY() + 100 + 300;
  EXPECT_LT(darkest(c, 450, nameTop, 900, nameTop + 60), 100) << "the name at x 450";
  EXPECT_GT(darkest(c, 0, nameTop, 440, nameTop + 60), 250);
  if (qEnvironmentVariableIsSet("KS_SCREENSHOT_DIR")) {
    r.save(qEnvironmentVariable("KS_SCREENSHOT_DIR") + "/report_result.png");
    c.save(qEnvironmentVariable("KS_SCREENSHOT_DIR") + "/report_certificate.png");
  }
}

TEST_F(ReportPages, SavedPdfHoldsEveryPageAndShowsTheTextWhereItWasDrawn) {
  for (int i = 0; i < 60; ++i) addExercise("AAA", i, 150, 95);
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  preview.SetTitle("O'Brien (2nd) \\");
  const fs::path pdf = dir_ / "report.pdf";
  QString error;
  ASSERT_TRUE(preview.SaveTo(QString::fromStdString(pdf.string()), &error)) << error.toStdString();
  EXPECT_EQ(test::run("qpdf --check '" + pdf.string() + "' >/dev/null; echo $?"), "0\n");
  EXPECT_EQ(test::pdfPageCount(pdf), preview.PageCount());
  EXPECT_NE(test::run("pdfinfo '" + pdf.string() + "'").find("O'Brien (2nd) \\"),
            std::string::npos);
  // At 100 dpi the header's rule is where the preview drew it (lower, a one-bit page's thin
  // rule is smoothed into grey).
  const test::Rendered shown = test::renderPage(pdf, 2, 100);
  ASSERT_GT(shown.Width, 0);
  const int y = headerRuleY() * shown.Height / TPreviewForm::kLogicalHeight;
  EXPECT_LT(shown.darkest(shown.Width / 3, y - 2, shown.Width * 2 / 3, y + 3), 100);
  EXPECT_GT(shown.darkest(0, 0, shown.Width, y - 30), 200);

  const fs::path bmp = dir_ / "report.BMP";
  ASSERT_TRUE(preview.SaveTo(QString::fromStdString(bmp.string()), &error));
  const QImage first(QString::fromStdString(bmp.string()));
  EXPECT_EQ(first.size(), preview.PageSize().sizePixels(TPreviewForm::kImageDpi));
  EXPECT_LE(first.colorCount(), 2);
}

TEST_F(ReportPages, PrintingDrawsEveryPageOnThePrinter) {
  for (int i = 0; i < 60; ++i) addExercise("AAA", i, 150, 95);
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const fs::path out = dir_ / "printed.pdf";
  printer.setOutputFileName(QString::fromStdString(out.string()));
  preview.PrintTo(printer);
  EXPECT_EQ(test::pdfPageCount(out), preview.PageCount());
  // Printing turned off by the policy: the button is off and no printer is asked for.
  EXPECT_FALSE(preview.PrintBtn()->isEnabled());
  EXPECT_FALSE(preview.PrinterAvailable());
}

// Every text the report drew on page `index`, in drawing order, one a line.
std::string drawnTexts(const TPreviewForm& preview, int index) {
  std::string out;
  for (const TPreviewForm::PageText& t : preview.Texts(index)) out += t.Text.toStdString() + "\n";
  return out;
}

TEST_F(ReportPages, ColumnHeadingsAreWholeTheirColumnsFilledAndOneVisitIsOneTime) {
  user_->WriteString("TimesUsed", "1");
  addExercise("AAA", 0, 150, 95);
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  const std::string texts = drawnTexts(preview, 0);
  EXPECT_NE(texts.find("\n1 time\n"), std::string::npos) << texts;
  EXPECT_EQ(texts.find("\xE2\x80\xA6"), std::string::npos) << "nothing cut short:\n" << texts;
  // "Time used" on two lines if need be, then the time used and the time limit of the row.
  const size_t heading = texts.find("Time");
  ASSERT_NE(heading, std::string::npos);
  EXPECT_NE(texts.find("used\n", heading), std::string::npos) << texts;
  EXPECT_NE(texts.find("Time limit\n"), std::string::npos) << texts;
  EXPECT_NE(texts.find("\n1:30\n2:00\n"), std::string::npos) << texts;

  // German headings and labels are longer; none is cut either.
  ASSERT_EQ(Localize().LoadStringFile(KS_BINARY_DIR "/share/keyscholar/language.deu", 1), 0);
  TPreviewForm german(true, false);
  reports_.DrawProgress(german, *user_, lessons());
  const std::string deu = drawnTexts(german, 0);
  EXPECT_EQ(deu.find("\xE2\x80\xA6"), std::string::npos) << "nothing cut short:\n" << deu;
  EXPECT_NE(deu.find("\nBen\xC3\xB6tigte\nZeit\n"), std::string::npos) << deu;
}

TEST_F(ReportPages, ASavedTenPageReportIsSmallPassesTheCheckAndReadsInOrder) {
  for (int i = 0; i < 600; ++i) addExercise("AAA", i, 150 + i % 50, 95);
  TResultItem test = addTest();
  test.Number = user_->Results().NextNumber();
  test.TestName =
      "\x8A"
      "koda \x80";  // Š and € are 1252's, not Latin-1's
  user_->Results().AddResult(test);
  TPreviewForm preview(true, false);
  reports_.DrawProgress(preview, *user_, lessons());
  ASSERT_GE(preview.PageCount(), 10);
  const fs::path pdf = dir_ / "ten.pdf";
  QString error;
  ASSERT_TRUE(preview.SaveTo(QString::fromStdString(pdf.string()), &error)) << error.toStdString();
  EXPECT_EQ(test::run("qpdf --check '" + pdf.string() + "' >/dev/null; echo $?"), "0\n");
  if (qEnvironmentVariableIsSet("KS_SCREENSHOT_DIR"))
    fs::copy_file(pdf, qEnvironmentVariable("KS_SCREENSHOT_DIR").toStdString() + "/saved.pdf",
                  fs::copy_options::overwrite_existing);
  const auto bytes = fs::file_size(pdf);
  EXPECT_LE(bytes * 10 / static_cast<uintmax_t>(preview.PageCount()), 250u * 1024) << bytes;
  std::cout << preview.PageCount() << " pages: " << bytes / 1024 << " KB\n";
  const std::string text = test::run("pdftotext -enc UTF-8 '" + pdf.string() + "' -");
  size_t at = 0;
  for (const char* word : {"Progress report", "Ann", "Home row", "1.1", "5.10", "Page 2", "60.10",
                           "Course completed", "Typing tests", "\xC5\xA0koda \xE2\x82\xAC"}) {
    const size_t found = text.find(word, at);
    EXPECT_NE(found, std::string::npos) << word << " after " << at;
    if (found != std::string::npos) at = found;
  }
  EXPECT_EQ(test::run("pdftotext -f 2 -l 2 '" + pdf.string() + "' - | grep -c 'Page 2'"), "1\n");
}

TEST_F(ReportPages, OnLetterPaperThePrintedPageKeepsItsProportions) {
  TPreviewForm preview(true, false);
  reports_.DrawCertificate(preview, *user_, addTest());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const fs::path out = dir_ / "letter.pdf";
  printer.setOutputFileName(QString::fromStdString(out.string()));
  printer.setPageSize(QPageSize(QPageSize::Letter));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  preview.PrintTo(printer);
  if (qEnvironmentVariableIsSet("KS_SCREENSHOT_DIR"))
    fs::copy_file(out, qEnvironmentVariable("KS_SCREENSHOT_DIR").toStdString() + "/letter.pdf",
                  fs::copy_options::overwrite_existing);
  const test::Rendered page = test::renderPage(out, 1, 72);
  ASSERT_EQ(page.Width, 612);
  ASSERT_EQ(page.Height, 792);
  // One scale for both directions: the height's, and the page centred across.
  const double scale = 792.0 / TPreviewForm::kLogicalHeight;
  const double left = (612 - TPreviewForm::kLogicalWidth * scale) / 2;
  const int y = static_cast<int>(headerRuleY() * scale);
  int row = y, most = 0;
  for (int r = y - 4; r <= y + 4; ++r) {
    int dark = 0;
    for (int x = 0; x < page.Width; ++x) dark += page.at(x, r) < 128;
    if (dark > most) most = dark, row = r;
  }
  int first = -1, last = -1;
  for (int x = 0; x < page.Width; ++x) {
    if (page.at(x, row) < 128) {
      if (first < 0) first = x;
      last = x;
    }
  }
  EXPECT_NEAR(first, left + TReports::kMargin * scale, 3);
  EXPECT_NEAR(last, left + (TPreviewForm::kLogicalWidth - TReports::kMargin) * scale, 3);
}

TEST_F(ReportPages, ThePreviewOpensFittedToItsWidthAndSavesWhereItSays) {
  TPreviewForm preview(true, false);
  reports_.DrawCertificate(preview, *user_, addTest());
  const QString folder = QString::fromStdString((dir_ / "").string()) +
                         QString::fromUtf8(
                             "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82\xD1\x8B "
                             "\xCE\x91\xCE\xBD\xCE\xB1\xCF\x86\xCE\xBF\xCF\x81\xCE\xAC "
                             "\xE5\xA0\xB1\xE5\x91\x8A");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString file = folder + QString::fromUtf8("/\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82.pdf");
  int room = 0;
  QRect fitted, half;
  QString suggested, said;
  QTimer::singleShot(300, [&] {
    auto* scroll = preview.findChild<QScrollArea*>("ScrollBox1");
    auto* panel = preview.findChild<QWidget*>("Image1");
    room = scroll->viewport()->width();
    fitted = panel->geometry();
    screenshot(&preview, "preview_fit_width");
    preview.SetZoom(50);
    half = panel->geometry();
    // Save, by keyboard: the save dialog opens on the suggested name; another is typed.
    QTimer::singleShot(300, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog) {
        suggested = dialog->selectedFiles().value(0);
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
      }
    });
    preview.PDFButton()->setFocus();
    QTest::keyClick(preview.PDFButton(), Qt::Key_Space);
    said = preview.StatusBar()->currentMessage();
    screenshot(&preview, "preview_saved");
    QTest::keyClick(&preview, Qt::Key_Escape);
  });
  preview.Execute();
  EXPECT_GT(room, 600);
  EXPECT_EQ(fitted.left(), 40);
  EXPECT_EQ(fitted.width(), room - 80);
  EXPECT_NEAR(half.center().x(), room / 2, 2) << "a smaller page stands in the middle";
  const QString name =
      msgText(1063) + " - Ann - " + QDate::currentDate().toString(Qt::ISODate) + ".pdf";
  EXPECT_EQ(QFileInfo(suggested).fileName(), name);
  EXPECT_EQ(QFileInfo(suggested).absolutePath(),
            QFileInfo(preview.DefaultFileName()).absolutePath());
  EXPECT_TRUE(fs::exists(toPath(file))) << "the name as chosen, not bent to 1252";
  EXPECT_EQ(said.toStdString(), (msgText(2651) + file).toStdString());
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(ReportPages, BitmapsAndResultsGoUnderNonLatinNamesAndAFailedSaveKeepsTheOldFile) {
  TPreviewForm preview(true, false);
  reports_.DrawCertificate(preview, *user_, addTest());
  const QString greek =
      QString::fromStdString(dir_.path().string()) +
      QString::fromUtf8("/\xCE\x91\xCE\xBD\xCE\xB1\xCF\x86\xCE\xBF\xCF\x81\xCE\xAC");
  ASSERT_TRUE(QDir().mkpath(greek));
  QString error;
  EXPECT_TRUE(preview.SaveTo(greek + "/page.bmp", &error)) << error.toStdString();
  EXPECT_TRUE(fs::exists(toPath(greek + "/page.bmp")));
  std::string cause;
  EXPECT_TRUE(ExportResultsCsv(*user_, toPath(greek + "/results.csv"), cause)) << cause;
  EXPECT_TRUE(fs::exists(toPath(greek + "/results.csv")));

  for (const char* name : {"/held.bmp", "/held.pdf"}) {
    const QString file = greek + name;
    test::writeFile(toPath(file), "old");
    // Another program holds the file and lets nobody write it.
    SharedFile holder =
        SharedFile::open(toPath(file), FileAccess::ReadWrite, FileShare{false, false}, false);
    ASSERT_TRUE(holder.isOpen());
    EXPECT_FALSE(preview.SaveTo(file, &error));
    EXPECT_TRUE(error.startsWith(msgText(2650) + file + ": ")) << error.toStdString();
    EXPECT_GT(error.size(), (msgText(2650) + file + ": ").size()) << "the cause is named";
    holder = SharedFile();
    std::string content;
    ASSERT_TRUE(readWholeFile(toPath(file), content));
    EXPECT_EQ(content, "old");
  }
}

// The notice stands while the report is made, first gathering, then drawing; Cancel stops it
// and no preview opens.
TEST_F(ReportPages, AProgressReportShowsItsNoticesAndCanBeStopped) {
  for (int i = 0; i < 80; ++i) addExercise("AAA", i, 150, 95);
  for (bool stop : {true, false}) {
    QStringList seen;
    bool previewShown = false;
    // Looks at what stands each time the report lets events through; gone with the test.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* bar = qobject_cast<QProgressDialog*>(modal)) {
        if (seen.isEmpty() || seen.back() != bar->labelText()) seen << bar->labelText();
        if (stop && bar->labelText() == msgText(1111)) bar->cancel();
      } else if (auto* p = qobject_cast<TPreviewForm*>(modal)) {
        previewShown = true;
        p->reject();
      }
    });
    poll.start();
    reports_.ProgressReport(*user_, false, true);
    poll.stop();
    EXPECT_EQ(seen.value(0), msgText(1110));
    EXPECT_TRUE(seen.contains(msgText(1111)));
    EXPECT_EQ(reports_.Cancelled(), stop);
    EXPECT_EQ(previewShown, !stop);
  }
}

// The courses page plans a course with the learner's time per lesson and counts the time used
// in whole minutes as the lesson page does: 90 seconds are 2 minutes there and here.
TEST_F(ReportPages, TheCoursesTimesAgreeWithTheLessonPage) {
  test::writeFile(root("lessons") / "ccc.cnt",
                  "$description=Timed\r\nbegin chapter\r\ndurationpercent=100\r\n"
                  "begin exercise\r\nduration=1\r\nevent=TEXT;30\r\nend exercise\r\n"
                  "end chapter\r\nbegin chapter\r\ndurationpercent=100\r\nbegin exercise\r\n"
                  "duration=1\r\nevent=TEXT;30\r\nend exercise\r\nend chapter\r\n");
  user_->WriteString("Crs.CCC.Chapter", "1");
  user_->WriteInteger("Crs.CCC.Duration", 25);
  user_->WriteInteger("Crs.CCC.Time", 90);
  const std::vector<CourseProgress> courses = StartedCourses(*user_, lessons());
  ASSERT_EQ(courses.size(), 3u);
  const CourseProgress& timed = courses[2];
  EXPECT_EQ(timed.PlannedMinutes, 50);
  EXPECT_EQ(CourseTimesText(timed), "Time planned: 50 min     Time used: 2 min");
}

class StatisticsPage : public ReportPages {
 protected:
  TBookFormEx window_;
};

TEST_F(StatisticsPage, ShowsTheChosenCoursesGraphsAndSaysWhenThereAreNoResults) {
  for (int i = 0; i < 5; ++i) addExercise("AAA", i, 100 + 20 * i, 90 + i);
  window_.show();
  TStatisticsView view(*user_, lessons());
  QTimer::singleShot(0, [&] {
    ASSERT_EQ(view.Courses().size(), 2u);
    EXPECT_EQ(view.Courses()[0].Title, "Home row");
    TGraph* gross = view.Graph(0);
    int bars = 0;
    for (const auto& b : gross->Layout().Bars) bars += b.Positioned;
    EXPECT_EQ(bars, 5);
    const auto none = view.Content()->findChildren<QLabel*>("NoResultsLbl");
    ASSERT_EQ(none.size(), 2);
    EXPECT_TRUE(none[0]->isHidden() && none[1]->isHidden());
    screenshot(&window_, "statistics_speed");
    QTest::keyClick(&window_, Qt::Key_2);
    EXPECT_EQ(view.Page(), 1);
    screenshot(&window_, "statistics_accuracy");
    QTest::keyClick(&window_, Qt::Key_PageDown);
    EXPECT_EQ(view.Page(), 2);
    screenshot(&window_, "statistics_courses");
    view.ChooseCourse(1);
    view.ShowPage(0);
    EXPECT_FALSE(none[0]->isHidden() || none[1]->isHidden()) << "no results in the second course";
    screenshot(&window_, "statistics_empty");
    view.SetCloseResult(1);
  });
  EXPECT_EQ(view.RunModal(), 1);
}

TEST_F(StatisticsPage, TheProgressReportsButtonIsOnTheCoursesPage) {
  addExercise("AAA", 0, 150, 95);
  window_.show();
  TStatisticsView view(*user_, lessons());
  QTimer::singleShot(0, [&] {
    auto* report = view.Content()->findChild<QPushButton*>("ReportBtn");
    ASSERT_NE(report, nullptr);
    EXPECT_FALSE(report->isVisibleTo(view.Content()));
    QTest::keyClick(&window_, Qt::Key_3);
    EXPECT_TRUE(report->isVisibleTo(view.Content()));
    screenshot(&window_, "statistics_report_button");
    QTest::keyClick(&window_, Qt::Key_2);
    EXPECT_FALSE(report->isVisibleTo(view.Content()));
    view.SetCloseResult(1);
  });
  EXPECT_EQ(view.RunModal(), 1);
}

// The result page of a passed test: its two print buttons open the certificate and the detailed
// report in a preview, as the tutor wires them, unless the policy turns a button off.
TEST_F(StatisticsPage, TheResultPagesPrintButtonsOpenTheReportsUnlessThePolicySaysNo) {
  window_.show();
  TAppFrame frame(window_, StartOptions{});
  registerReportParts(frame);
  TResultItem test = addTest();
  UserLearner learner(*user_);
  // Clicks `button` of the running result page; returns the page count of the preview it opened
  // (closed at once), or 0 when none opened.
  const auto click = [](TExercInfoView& view, const char* button) {
    int pages = 0;
    QTimer::singleShot(300, [&pages] {
      if (auto* preview = qobject_cast<TPreviewForm*>(QApplication::activeModalWidget())) {
        pages = preview->PageCount();
        preview->reject();
      }
    });
    auto* b = view.Content()->findChild<QPushButton*>(button);
    EXPECT_TRUE(b && b->isVisibleTo(view.Content())) << button;
    if (b) b->click();
    QTest::qWait(500);
    return pages;
  };
  for (bool disabled : {false, true}) {
    policy(disabled ? "DisableTestDiplomaButton=1\r\nDisableTestDiplomaButton2=1\r\n" : "");
    TExercInfoView view(&learner);
    view.Item = &test;
    QTimer::singleShot(0, [&] {
      if (!disabled) screenshot(&window_, "result_test");
      EXPECT_EQ(click(view, "PrintDiplomaBtn"), disabled ? 0 : 1);
      EXPECT_EQ(click(view, "PrintResultsBtn"), disabled ? 0 : 1);
      view.SetCloseResult(1);
    });
    view.RunModal();
  }
  TExercInfoView::PrintReport() = nullptr;
}

}  // namespace
}  // namespace ks
