#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>
#include <QWindow>

#include "shell/bookwindow.h"

namespace ks {
namespace {

TEST(BookWindow, ShowsTheDesignPageAndQuitsOnCtrlQ) {
  BookWindow window;
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(window.page()->size(), QSize(800, 600));
  EXPECT_EQ(window.windowTitle(), "Keyscholar");
  // Without fonts Qt draws boxes silently: the test machine must have real ones.
  EXPECT_FALSE(QFontInfo(window.font()).family().isEmpty());
  QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace ks
