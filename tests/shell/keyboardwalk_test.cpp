// The tutor as the program builds it, walked by keyboard alone: at every view, each control a
// learner can use must be reachable by Tab and have a name a screen reader can speak, every
// figure to read must have a name, and no two mnemonics of a view may share a letter.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <set>

#include "book/formview.h"
#include "book/keyaccess.h"
#include "content/ui/studyingparts.h"
#include "games/ui/gamesview.h"
#include "games/ui/registergames.h"
#include "reports/ui/reportparts.h"
#include "shell/appframe.h"
#include "store/recordingdialogs.h"
#include "support/booktest.h"
#include "support/tempdir.h"
#include "typingtest/ui/typingtest.h"

namespace ks {
namespace {

bool interactive(QWidget* w) {
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (qobject_cast<QComboBox*>(p)) return false;  // the combo box's own parts
  }
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
         qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractItemView*>(w) ||
         qobject_cast<QAbstractSpinBox*>(w);
}

bool figure(QWidget* w) {
  for (const char* type : {"ks::TExerciseCanvas", "ks::TKeyboard", "ks::TGraph",
                           "ks::TTrafficLightLcd", "ks::TMissedLcd", "ks::KeyBarChart"}) {
    if (w->inherits(type)) return true;
  }
  return qobject_cast<QTextEdit*>(w) != nullptr;
}

QString accessibleName(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a ? a->text(QAccessible::Name).trimmed() : QString();
}

QString describe(QWidget* w) {
  return QString("%1 \"%2\"").arg(w->metaObject()->className(), w->objectName());
}

class KeyboardWalk : public test::BookWindowTest {
 protected:
  void SetUp() override {
    setenv("KEYSCHOLAR_ROOT", (std::filesystem::path(KS_BINARY_DIR) / "share/keyscholar").c_str(),
           1);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("KEYSCHOLAR_WORKSTATION", "LAB1", 1);
    BookWindowTest::SetUp();
  }

  // The faults of the view on the page now, one line each.
  QStringList check(const QString& view) {
    key(Qt::Key_Alt);  // the mnemonics are handed out
    QStringList faults;
    QMap<QChar, QWidget*> letters;
    for (QWidget* w : window_.findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      auto* label = qobject_cast<QLabel*>(w);
      if (w->isEnabled() && (qobject_cast<QAbstractButton*>(w) || (label && label->buddy()))) {
        const QChar letter =
            mnemonicLetter(label ? label->text() : static_cast<QAbstractButton*>(w)->text());
        if (!letter.isNull() && letters.contains(letter)) {
          faults << view + ": Alt+" + letter + " on " + describe(letters[letter]) + " and " +
                        describe(w);
        }
        if (!letter.isNull()) letters[letter] = w;
      }
      const bool control = interactive(w) && w->isEnabled();
      if (control && !(w->focusPolicy() & Qt::TabFocus))
        faults << view + ": out of the tab chain: " + describe(w);
      if ((control || figure(w)) && accessibleName(w).isEmpty())
        faults << view + ": no accessible name: " + describe(w);
    }
    return faults;
  }

  test::TempDir data;
  test::RecordingDialogs boxes;
};

TEST_F(KeyboardWalk, EveryViewIsNamedAndReachable) {
  TAppFrame frame(window_, StartOptions{});
  registerStudyingParts(frame);
  registerGames(data.path() / "topten");
  registerTypingTest(frame);
  registerGamesMenu(frame);
  registerReportParts(frame);

  // Tabs to visit when a view has nothing of its own to do, then the way out.
  std::deque<std::function<void()>> tabs = {
      [&] { key(Qt::Key_R, Qt::AltModifier); }, [&] { key(Qt::Key_T, Qt::AltModifier); },
      [&] { key(Qt::Key_G, Qt::AltModifier); }, [&] { key(Qt::Key_E, Qt::AltModifier); },
      [&] { key(Qt::Key_I, Qt::AltModifier); }, [&] { key(Qt::Key_Q, Qt::ControlModifier); }};
  std::set<QString> seen;
  QStringList trail;
  QStringList faults;
  QMap<QString, int> visits;
  QPointer<QWidget> lastPage;
  int stable = 0;
  QTimer walker;
  walker.setInterval(100);
  QObject::connect(&walker, &QTimer::timeout, [&] {
    auto* view = dynamic_cast<TCustomBookView*>(TFormView::ActiveView());
    if (!view || !view->Shown() || !view->Content()) return;
    if (view->Content() != lastPage) {
      lastPage = view->Content();
      stable = 0;
      return;
    }
    if (++stable != 3) return;
    const QString name = QString(view->metaObject()->className()).remove("ks::");
    seen.insert(name);
    trail << name;
    const int visit = ++visits[name];
    faults << check(name);
    if (name == "TLoginView") {
      type("Ann");
      key(Qt::Key_Return);
    } else if (name == "TCourseListView" || name == "TCourseContentsView" ||
               (name == "TChpContentsView" && visit == 1)) {
      key(Qt::Key_Return);
    } else if (name == "TChpContentsView" && visit == 2) {
      key(Qt::Key_A, Qt::AltModifier);  // the lesson's statistics
    } else if (!window_.MenuVisible() || name == "TStatisticsView") {
      key(Qt::Key_Escape);  // exercises, results and questions without the menu
    } else if (!tabs.empty()) {
      tabs.front()();
      tabs.pop_front();
    }
  });
  walker.start();
  QTimer::singleShot(120000, [&] {
    ADD_FAILURE() << "the walk did not end: " << trail.join(", ").toStdString();
    setAppTerminating();
  });
  frame.Finalize(frame.Initialize());

  EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
  for (const char* view :
       {"TLoginView", "TCourseListView", "TCourseContentsView", "TChpContentsView",
        "TStatisticsView", "TChooseTextView", "TGamesView", "TPlaceholderView"}) {
    EXPECT_TRUE(seen.count(view)) << view << " was not reached";
  }
  EXPECT_TRUE(tabs.empty()) << "the walk ended early";
}

}  // namespace
}  // namespace ks
