// The review choice screen on the book page: what it offers and what it answers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "book/bookwindow.h"
#include "coursefakes.h"
#include "engine/ui/builderview.h"

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

}  // namespace
}  // namespace ks
