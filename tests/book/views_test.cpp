#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "book/bookwindow.h"
#include "book/formview.h"
#include "book/pagescale.h"
#include "support/booktest.h"

namespace ks {
namespace {

using ViewsTest = test::BookWindowTest;

TEST_F(ViewsTest, WindowKeepsItsPageCentredAndNeverShrinksTooFar) {
  EXPECT_EQ(window_.Book()->size(), QSize(800, 600));
  window_.resize(1200, 900);
  QTest::qWait(10);
  EXPECT_EQ(window_.Book()->pos(), QPoint(200, 150));
  window_.resize(500, 400);
  QTest::qWait(10);
  EXPECT_GE(window_.width(), 780);
  EXPECT_GE(window_.height(), 550);
  // Without fonts Qt draws boxes silently: the test machine must have real ones.
  EXPECT_FALSE(QFontInfo(window_.TitleLbl()->font()).family().isEmpty());
}

// The desk, the page's frame and its shadow are pieced together from a small picture: no seam
// where the pieces meet, at the plain scale and at a fractional one.
TEST_F(ViewsTest, PageLiesOnTheDeskWithAnEvenFrameAndShadow) {
  for (qreal scale : {1.0, 1.75}) {
    window_.resize(1048, 770);
    QTest::qWait(10);
    QPixmap shot(window_.size() * scale);
    shot.setDevicePixelRatio(scale);
    window_.render(&shot);
    const QImage image = shot.toImage();
    const QRect page = window_.Book()->geometry();
    const auto at = [&](int x, int y) { return QColor(image.pixel(QPoint(x, y) * scale)); };
    EXPECT_EQ(at(0, 0), QColor(74, 98, 128)) << scale;
    EXPECT_EQ(at(0, window_.height() - 1), QColor(42, 58, 82)) << scale;
    // The frame runs around the page, and the shadow falls below it on the right.
    EXPECT_EQ(at(page.left() - 3, page.center().y()), QColor(250, 248, 240)) << scale;
    EXPECT_EQ(at(page.center().x(), page.top() - 3), QColor(250, 248, 240)) << scale;
    const QColor desk = at(0, page.bottom() + 10);
    const QColor shadow = at(page.center().x(), page.bottom() + 10);
    EXPECT_LT(shadow.value(), desk.value()) << scale;
    // Along each straight side the shadow is as deep from the corner's end to the middle (the
    // desk beside the right side darkens downwards: the shadow takes the same share of it).
    const auto depth = [&](int x, int y) { return double(at(x, y).green()) / at(0, y).green(); };
    for (int d = 8; d <= 16; d += 4) {
      EXPECT_EQ(at(page.left() + 30, page.bottom() + d), at(page.center().x(), page.bottom() + d))
          << scale << " " << d;
      EXPECT_NEAR(depth(page.right() + d, page.top() + 40),
                  depth(page.right() + d, page.center().y()), 0.03)
          << scale << " " << d;
    }
  }
}

// A second start brings the tutor forward without undoing the learner's window size.
TEST_F(ViewsTest, BringingToFrontRestoresOnlyAMinimisedWindow) {
  window_.showMaximized();
  window_.BringToFront();
  EXPECT_TRUE(window_.windowState() & Qt::WindowMaximized);
  window_.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
  window_.BringToFront();
  EXPECT_FALSE(window_.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(window_.windowState() & Qt::WindowMaximized);
}

TEST(PageScale, GrowsInQuarterStepsOnlyWhereThereIsRoomForMuchMore) {
  // Laptop and school screens keep the design size.
  EXPECT_EQ(pageScaleFor(1366, 738), 1.0);
  EXPECT_EQ(pageScaleFor(1280, 994), 1.0);
  EXPECT_EQ(pageScaleFor(1024, 740), 1.0);
  EXPECT_EQ(pageScaleFor(800, 570), 1.0);
  // The height is what limits a wide screen; the window must still fit whole.
  EXPECT_EQ(pageScaleFor(1920, 1050), 1.25);
  EXPECT_EQ(pageScaleFor(2560, 1400), 1.75);
  EXPECT_EQ(pageScaleFor(3840, 2130), 2.75);
  EXPECT_EQ(pageScaleFor(1310, 963), 1.25);
  EXPECT_EQ(pageScaleFor(1309, 963), 1.0);
  // A portrait screen is limited by its width.
  EXPECT_EQ(pageScaleFor(1440, 2560), 1.25);
  EXPECT_EQ(pageScaleFor(0, 0), 1.0);
  EXPECT_EQ(pageScaleFor(-5, 2000), 1.0);
}

TEST_F(ViewsTest, TabsKeepTheirPlaceAndTheMarkedOneIsDisabled) {
  QAbstractButton* studying = window_.AddTab("Studying", "Studying");
  QAbstractButton* review = window_.AddTab("Review", "Review");
  window_.SetGap();
  QAbstractButton* settings = window_.AddTab("Settings", "Settings");
  EXPECT_EQ(studying->y(), 50);
  EXPECT_EQ(review->y(), 90);
  EXPECT_EQ(settings->y(), 90 + 40 + 15);
  EXPECT_EQ(window_.AddTab("Review", "Practice"), review);
  EXPECT_EQ(review->text(), "Practice");
  window_.MarkTab("Review");
  EXPECT_FALSE(review->isEnabled());
  EXPECT_TRUE(studying->isEnabled());
  QSignalSpy clicked(&window_, &TBookFormEx::tabClicked);
  window_.SetMenuVisible(true);
  QTest::mouseClick(studying, Qt::LeftButton);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.at(0).at(0).toString(), "Studying");
}

TEST_F(ViewsTest, WindowCloseAndCtrlQAreRequestsOnly) {
  QSignalSpy close(&window_, &TBookFormEx::closeRequested);
  QSignalSpy exit(&window_, &TBookFormEx::exitClicked);
  window_.close();
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(close.count(), 1);
  QTest::keyClick(window_.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(exit.count(), 1);
}

TEST_F(ViewsTest, EscapeAndEnterCloseABookView) {
  TCustomBookView view;
  later([&] { key(Qt::Key_Escape); });
  EXPECT_EQ(view.RunModal(), 2);
  later([&] { key(Qt::Key_Return); });
  EXPECT_EQ(view.RunModal(), 1);
  // A typing view keeps Enter for itself.
  view.EnterCloses = false;
  later([&] {
    key(Qt::Key_Return);
    later([&] { key(Qt::Key_Escape); });
  });
  EXPECT_EQ(view.RunModal(), 2);
}

TEST_F(ViewsTest, StandardButtonsFollowTheViewsFlags) {
  TCustomBookView view;
  view.OKInsteadOfNext = true;
  later([&] {
    EXPECT_TRUE(window_.OKBtn()->isVisible());
    EXPECT_FALSE(window_.NextBtn()->isVisible());
    EXPECT_TRUE(window_.CancelBtn()->isVisible());
    QTest::mouseClick(window_.OKBtn(), Qt::LeftButton);
  });
  EXPECT_EQ(view.RunModal(), 1);
  EXPECT_FALSE(window_.OKBtn()->isVisible());
}

TEST_F(ViewsTest, ARefusedCloseKeepsTheViewRunning) {
  TCustomBookView view;
  int queries = 0;
  view.OnCloseQuery = [&](bool& abort) { abort = ++queries == 1; };
  bool closed = false;
  view.OnClosed = [&] { closed = true; };
  later([&] {
    key(Qt::Key_Escape);
    later([&] {
      EXPECT_TRUE(view.Active());  // still running after the refusal
      key(Qt::Key_Return);
    });
  });
  EXPECT_EQ(view.RunModal(), 1);
  EXPECT_EQ(queries, 2);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(view.Active());
  EXPECT_EQ(TFormView::ActiveView(), nullptr);
}

TEST_F(ViewsTest, ViewsNestAndTheirWidgetsGoWhenHidden) {
  TCustomBookView outer;
  TCustomBookView inner;
  QPointer<QWidget> outerContent;
  QPointer<QWidget> innerContent;
  int innerResult = -1;
  later([&] {
    outerContent = outer.Content();
    ASSERT_TRUE(outerContent);
    auto* edit = new QLineEdit(outer.Content());
    edit->setFocus();
    later([&] {
      innerContent = inner.Content();
      EXPECT_EQ(TFormView::ActiveView(), &inner);
      key(Qt::Key_Escape);  // reaches the inner view only
    });
    innerResult = inner.RunModal();
    EXPECT_TRUE(innerContent.isNull());
    EXPECT_EQ(TFormView::ActiveView(), &outer);
    EXPECT_TRUE(outer.Active());
    later([&] { outer.SetCloseResult(7); });
  });
  EXPECT_EQ(outer.RunModal(), 7);
  EXPECT_EQ(innerResult, 2);
  EXPECT_TRUE(outerContent.isNull());
}

TEST_F(ViewsTest, TerminationEndsEveryLoop) {
  TCustomBookView view;
  view.OnCloseQuery = [](bool& abort) { abort = true; };
  later([] { setAppTerminating(); });
  EXPECT_EQ(view.RunModal(), 0);
  EXPECT_FALSE(view.Active());
  setAppTerminating(false);  // the tests after this one in the same run have a program to run
}

}  // namespace
}  // namespace ks
