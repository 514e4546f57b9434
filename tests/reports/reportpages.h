// A learner store with two courses and the report pages drawn from it, shared by the tests of
// the reports, their preview and their printing. With $KS_SCREENSHOT_DIR set the pages are saved
// there for a look ($KS_SCREENSHOT_LANG "deu" shows them in German).
#pragma once

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <memory>

#include "reports/ui/previewform.h"
#include "reports/ui/treports.h"
#include "store/langres.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "store/userfolders.h"

namespace ks::test {

inline void screenshot(QWidget* w, const QString& name) {
  const QString dir = qEnvironmentVariable("KS_SCREENSHOT_DIR");
  if (!dir.isEmpty()) w->grab().save(dir + "/" + name + ".png");
}

class ReportPages : public UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    // The shipped texts, so the pages read as the learner sees them.
    const std::string language = qEnvironmentVariable("KS_SCREENSHOT_LANG", "eng").toStdString();
    ASSERT_EQ(Localize().LoadStringFile(KS_BINARY_DIR "/share/keyscholar/language." + language, 1),
              0);
    std::filesystem::create_directories(root("lessons"));
    const std::string lesson =
        "begin chapter\r\nbegin exercise\r\nevent=TEXT;30\r\nend exercise\r\nend chapter\r\n";
    writeFile(root("lessons") / "aaa.cnt", "$description=Home row\r\n" + lesson);
    writeFile(root("lessons") / "bbb.cnt", "$description=Numbers\r\n" + lesson);
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
  std::filesystem::path lessons() const { return root("lessons"); }

  std::unique_ptr<TUser> user_;
  TReports reports_;
};

}  // namespace ks::test
