// The reports drawn into the preview from a learner store made here, the preview's PDF, bitmap
// and printer output, and the statistics page. With $KS_SCREENSHOT_DIR set the pages are saved
// there for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "book/bookwindow.h"
#include "content/studylearner.h"
#include "content/ui/exerciseinfoview.h"
#include "pdftools.h"
#include "reports/ui/previewform.h"
#include "reports/ui/reportparts.h"
#include "reports/ui/statisticsview.h"
#include "reports/ui/treports.h"
#include "shell/appframe.h"
#include "store/langres.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "store/userfolders.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

void screenshot(QWidget* w, const QString& name) {
  const QString dir = qEnvironmentVariable("KS_SCREENSHOT_DIR");
  if (!dir.isEmpty()) w->grab().save(dir + "/" + name + ".png");
}

class ReportPages : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    // The shipped texts, so the pages read as the learner sees them.
    ASSERT_EQ(Localize().LoadStringFile(KS_BINARY_DIR "/share/keyscholar/language.eng", 1), 0);
    fs::create_directories(root("lessons"));
    const std::string lesson =
        "begin chapter\r\nbegin exercise\r\nevent=TEXT;30\r\nend exercise\r\nend chapter\r\n";
    test::writeFile(root("lessons") / "aaa.cnt", "$description=Home row\r\n" + lesson);
    test::writeFile(root("lessons") / "bbb.cnt", "$description=Numbers\r\n" + lesson);
    user_ = NewUser("Ann");
    user_->WriteString("Crs.AAA.Chapter", "1");
    user_->WriteString("Crs.BBB.Chapter", "1");
    user_->WriteString("ContentsFile", "aaa.cnt");
  }
  void TearDown() override {
    user_.reset();
    UserFolders::TearDown();
  }
  void addExercise(const std::string& course, int exercise, int gross, int accuracy) {
    TResultItem r;
    r.Number = user_->Results().NextNumber();
    r.Source = "BKM";
    r.CourseId = course;
    r.Chapter = 1 + exercise / 10;
    r.Exercise = exercise % 10 + 1;
    r.Kind = "TEXT";
    r.HasMeasures = r.Valid = r.Complete = r.Passed = true;
    r.TypingSeconds = 90;
    r.TimeLimit = 120;
    r.GrossSpeed = gross;
    r.NetSpeed = gross - 10;
    r.Accuracy = accuracy;
    r.Date = 45292.5 + exercise;
    user_->Results().AddResult(r);
  }
  // A passed test without a time limit, typed with one wrong and one left-out word.
  TResultItem addTest() {
    TResultItem t;
    t.Number = user_->Results().NextNumber();
    t.Source = "NAME";
    t.Kind = "TEST";
    t.TestName = "Alice";
    t.HasMeasures = t.Valid = t.Complete = t.Passed = true;
    t.TypingSeconds = 60;
    t.GrossSpeed = 200;
    t.NetSpeed = 180;
    t.Accuracy = 96;
    t.TotalHits = 300;
    t.ErrorHits = 2;
    t.ErrorFactor = 5;
    t.Date = 45300.5;
    TTypedTexts typed;
    typed.Add("Alice was beginning to get very tired", "Alice was begining to get tired");
    typed.Add("of sitting by her sister", "of sitting by her sister");
    typed.Save(user_->TypedTextPath(t.Number).string());
    user_->Results().AddResult(t);
    return t;
  }
  // The page at a quarter of the logical size.
  QImage page(const TPreviewForm& preview, int index) const {
    return preview.RenderPage(index, QSize(600, 839));
  }
  // The darkest grey in a logical rectangle of a quarter-size page.
  static int darkest(const QImage& img, int x0, int y0, int x1, int y1) {
    int d = 255;
    for (int y = y0 / 4; y < y1 / 4; ++y)
      for (int x = x0 / 4; x < x1 / 4; ++x) d = std::min(d, qGray(img.pixel(x, y)));
    return d;
  }
  // Where the thick rule under the page header runs.
  static int headerRuleY() {
    return 150 + QFontMetrics(reportFont("Arial", 10, true)).height() + 20;
  }
  fs::path lessons() const { return root("lessons"); }

  std::unique_ptr<TUser> user_;
  TReports reports_;
};

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
  // At 50 dpi the header's rule is where the preview drew it.
  const test::Rendered shown = test::renderPage(pdf, 2, 50);
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
