// A test fixture with the tutor's book window shown and active, and helpers that act while a
// view's modal loop runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "book/bookwindow.h"

namespace ks::test {

class BookWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  // Runs `action` once the modal loop is running.
  static void later(std::function<void()> action, int ms = 0) {
    QTimer::singleShot(ms, std::move(action));
  }
  // Where keys go: the focused widget, else the window.
  QWidget* target() { return QApplication::focusWidget() ? QApplication::focusWidget() : &window_; }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(target(), k, mods);
  }
  void type(const QString& text) { QTest::keyClicks(target(), text); }

  TBookFormEx window_;
};

}  // namespace ks::test
