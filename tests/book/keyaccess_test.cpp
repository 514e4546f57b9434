// The kit's keyboard access as a learner meets it: where Tab goes, what Enter presses, which
// letters Alt gives, that the focus shows, and the high-contrast look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>

#include "book/bookwidgets.h"
#include "book/formview.h"
#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "support/booktest.h"

namespace ks {
namespace {

using KeyAccess = test::BookWindowTest;

TEST_F(KeyAccess, TabRunsThroughThePageThenButtonsMenuAndExit) {
  window_.SetButtonCaptions("Next", "Cancel", "Exit");
  window_.AddTab("Studying", "&Studying");
  window_.AddTab("Review", "Review");
  TCustomBookView view;
  QStringList stops;
  int pressed = 0;
  later([&] {
    QPushButton* first = makeButton(view.Content(), "First", "First");
    QPushButton* second = makeButton(view.Content(), "Second", "Second");
    QObject::connect(second, &QPushButton::clicked, [&] { ++pressed; });
    first->show();
    second->show();
    for (int i = 0; i < 7; ++i) {
      key(Qt::Key_Tab);
      stops << QApplication::focusWidget()->objectName();
    }
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), second);
    key(Qt::Key_Return);  // presses the button tabbed to, and the view stays
    EXPECT_EQ(pressed, 1);
    later([&] { view.SetCloseResult(9); });
  });
  EXPECT_EQ(view.RunModal(), 9);
  EXPECT_EQ(stops, (QStringList{"First", "Second", "CancelBtn", "NextBtn", "Studying", "Review",
                                "CloseBtn"}));
}

TEST_F(KeyAccess, ANestedViewKeepsTabAndAltKeysToItselfAndGivesTheFocusBack) {
  TCustomBookView outer, inner;
  later([&] {
    auto* edit = new QLineEdit(outer.Content());
    edit->show();
    edit->setFocus();
    QPushButton* outerButton = makeButton(outer.Content(), "Outer", "&Open");
    outerButton->show();
    later([&] {
      QPushButton* innerButton = makeButton(inner.Content(), "Inner", "Options");
      innerButton->show();
      key(Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), innerButton);
      key(Qt::Key_Alt);
      EXPECT_EQ(innerButton->text(), "&Options") << "the covered view's O is not taken";
      inner.SetCloseResult(1);
    });
    inner.RunModal();
    EXPECT_EQ(QApplication::focusWidget(), edit);
    outer.SetCloseResult(1);
  });
  outer.RunModal();
}

TEST(Mnemonics, TabsChooseFirstThenThePageThenTheRoundButtonsAndNoLetterTwice) {
  QWidget window;
  auto* tab = new TabButton("Settings", "Settings", true, &window);
  auto* round = new RoundButton("NextBtn", RoundButton::Symbol::Next, &window);
  round->setText("Next");
  QPushButton* fixed = makeButton(&window, "Fixed", "&Start");
  QPushButton* page = makeButton(&window, "Page", "Second step");
  QPushButton* link = makeButton(&window, "Lesson1", "Lesson one", ButtonRole::Link);
  auto* caption = new QLabel("Name:", &window);
  caption->setBuddy(new QLineEdit(&window));
  window.show();
  assignMnemonics(&window);
  EXPECT_EQ(tab->text(), "S&ettings");      // S is taken
  EXPECT_EQ(page->text(), "Se&cond step");  // S and E are taken
  EXPECT_EQ(caption->text(), "&Name:");
  EXPECT_EQ(round->text(), "Ne&xt");  // N went to the page
  EXPECT_EQ(fixed->text(), "&Start");
  EXPECT_EQ(link->text(), "Lesson one");
  assignMnemonics(&window);  // letters stay
  EXPECT_EQ(tab->text(), "S&ettings");

  // A translation that names a tab's letter again on the page: the page's control gives it up.
  QWidget other;
  auto* review = new TabButton("Review", "&Wiederholen", true, &other);
  QPushButton* words = makeButton(&other, "Words", "&Wörter && Tasten");
  other.show();
  assignMnemonics(&other);
  EXPECT_EQ(review->text(), "&Wiederholen");
  EXPECT_EQ(words->text(), "Wörter && &Tasten");
  assignMnemonics(&other);
  EXPECT_EQ(words->text(), "Wörter && &Tasten");
}

TEST_F(KeyAccess, TheFocusedBookButtonsDrawARing) {
  window_.SetExitVisible(true);
  QAbstractButton* tab = window_.AddTab("Games", "&Games");
  window_.SetMenuVisible(true);
  for (QWidget* w : {static_cast<QWidget*>(tab), static_cast<QWidget*>(window_.CloseBtn())}) {
    const QImage plain = w->grab().toImage();
    w->setFocus(Qt::TabFocusReason);
    EXPECT_NE(w->grab().toImage(), plain) << w->objectName().toStdString();
  }
}

TEST_F(KeyAccess, TheBookFollowsAHighContrastDesktopAndOnlyThat) {
  EXPECT_FALSE(isHighContrast(QPalette(QColor(239, 239, 239))));  // an ordinary light theme
  const QPalette before = QApplication::palette();
  QPalette inverse;
  inverse.setColor(QPalette::Window, Qt::black);
  inverse.setColor(QPalette::WindowText, Qt::white);
  inverse.setColor(QPalette::Base, Qt::black);
  inverse.setColor(QPalette::Text, Qt::white);
  inverse.setColor(QPalette::Highlight, Qt::yellow);
  QApplication::setPalette(inverse);  // the desktop switches its theme
  EXPECT_TRUE(QTest::qWaitFor([] { return highContrast(); }, 2000));
  EXPECT_EQ(colours().page, QColor(Qt::black));
  EXPECT_EQ(inkColour(), QColor(Qt::white));
  EXPECT_EQ(focusColour(), QColor(Qt::yellow));
  TCustomBookView view;
  later([&] {
    makeCard(view.Content(), QRect(20, 70, 400, 120), "Card")->show();
    makeButton(view.Content(), "Go", "Go on")->setGeometry(40, 100, 120, 34);
    view.Content()->setStyleSheet(studyStyleSheet());
    view.Content()->findChild<QWidget*>("Go")->show();
    key(Qt::Key_Tab);
    const QImage page = window_.Book()->grab().toImage();
    EXPECT_EQ(page.pixelColor(300, 400), QColor(Qt::black));
    if (const char* dir = std::getenv("KS_SCREENSHOT_DIR"))
      page.save(QString(dir) + "/book_high_contrast.png");
    view.SetCloseResult(1);
  });
  view.RunModal();
  QApplication::setPalette(before);
  EXPECT_TRUE(QTest::qWaitFor([] { return !highContrast(); }, 2000));
  EXPECT_EQ(colours().page, normalPalette().page);
}

}  // namespace
}  // namespace ks
