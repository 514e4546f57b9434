// The review choice screen on the book page: what it offers and what it answers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "analysis/diffkeys.h"
#include "book/bookwindow.h"
#include "coursefakes.h"
#include "engine/ui/builderview.h"
#include "reports/ui/tgraph.h"
#include "store/langres.h"

namespace ks {
namespace {

class BuilderViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  template <typename T>
  T* find(const char* name) {
    T* w = window_.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  TBookFormEx window_;
  test::ScopedPolicy policy_;
};

TEST_F(BuilderViewTest, WithNothingToOfferTheLearnerTypesKeysAndPicksAMethod) {
  policy_->WriteBool("Games.Review.Disable", true);
  TBuilderView view;
  view.DifficultKeysText = ".";  // a full stop alone is no difficult key
  QTimer::singleShot(0, [&] {
    EXPECT_FALSE(find<QRadioButton>("DifficultKeyOpt")->isEnabled());
    EXPECT_FALSE(find<QRadioButton>("CurrentKeys")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("ChooseKeys")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("KeyboardRev")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("GameMethod")->isEnabled());
    QLineEdit* keys = find<QLineEdit>("YourKeys");
    QTest::keyClicks(keys, "fjdkslgh");
    EXPECT_EQ(keys->text(), "fjdksl");
    find<QRadioButton>("TextRev")->click();
    find<QPushButton>("OKBtn")->click();
  });
  EXPECT_EQ(view.RunModal(), 1);
  EXPECT_EQ(view.KeySource, 3);
  EXPECT_EQ(view.ChosenKeys, "fjdksl");
  EXPECT_EQ(view.ReviewMethod, 2);
}

TEST_F(BuilderViewTest, TheDifficultKeysComeFirstAndTheSecondGameIsWordtris) {
  TBuilderView view;
  view.DifficultKeysText = "fj;k";
  view.StudiedKeysText = "ei";
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(find<QRadioButton>("DifficultKeyOpt")->isChecked());
    find<QComboBox>("GameCombo")->setCurrentIndex(1);
    find<QRadioButton>("GameMethod")->click();
    find<QPushButton>("OKBtn")->click();
  });
  EXPECT_EQ(view.RunModal(), 1);
  EXPECT_EQ(view.KeySource, 1);
  EXPECT_EQ(view.ReviewMethod, 6);
  QTimer::singleShot(0, [&] { find<QPushButton>("CancelBtn")->click(); });
  EXPECT_EQ(view.RunModal(), 2);
}

TEST_F(BuilderViewTest, TheThirdQuestionChartsTheSixteenMostDifficultKeys) {
  TDifficultKeys difficulties(8);
  // f is mistyped every time, j half the time, k never.
  for (int i = 0; i < 12; ++i) {
    difficulties.recordKey('f', true);
    difficulties.recordKey('j', i % 2 == 0);
    difficulties.recordKey('k', false);
  }
  difficulties.updateStatistics();
  TBuilderView view;
  view.Difficulties = &difficulties;
  view.DifficultKeysText = difficulties.getTopKeys(4, TDifficultKeys::CaseFilter::Any);
  QTimer::singleShot(0, [&] {
    TGraph* graph = find<TGraph>("DifficultKeysGraph");
    const QLabel* heading = find<QLabel>("DiffKeysLabel");
    ASSERT_TRUE(graph && heading);
    // 10 pixels left of the question's heading and below it, on the same card.
    EXPECT_EQ(graph->parentWidget(), heading->parentWidget());
    EXPECT_EQ(graph->x(), heading->x() - 10);
    EXPECT_GT(graph->y(), heading->geometry().bottom());
    const GraphModel& chart = graph->Model();
    ASSERT_EQ(chart.Bars.size(), 16u);
    EXPECT_EQ(chart.Bars[0].Label, "f");
    EXPECT_EQ(chart.Bars[1].Label, "j");
    EXPECT_EQ(chart.Bars[2].Label, "");  // keys typed without a mistake have no bar
    EXPECT_EQ(chart.Lines.size(), 3u);
    // The whole chart is on its card and on the page.
    const QRect onCard = graph->geometry();
    EXPECT_TRUE(graph->parentWidget()->rect().contains(onCard));
    EXPECT_TRUE(graph->isVisible());
    find<QPushButton>("CancelBtn")->click();
  });
  EXPECT_EQ(view.RunModal(), 2);

  // A look at the page in the shipped languages.
  if (const char* dir = std::getenv("KS_SCREENSHOT_DIR")) {
    for (const char* language : {"eng", "deu"}) {
      Localize().LoadStringFile(std::string(KS_BINARY_DIR "/share/keyscholar/language.") + language,
                                1);
      QTimer::singleShot(0, [&] {
        window_.grab().save(QString(dir) + "/review_choice_" + language + ".png");
        find<QPushButton>("CancelBtn")->click();
      });
      EXPECT_EQ(view.RunModal(), 2);
    }
    Localize().Reset();
  }
}

}  // namespace
}  // namespace ks
