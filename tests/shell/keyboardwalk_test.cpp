// The tutor as the program builds it, walked by keyboard alone: at every view, each control a
// learner can use must be reachable by Tab and have a name a screen reader can speak, every
// figure to read must have a name, and no two mnemonics of a view may share a letter.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <set>

#include "book/bookwindow.h"
#include "book/formview.h"
#include "book/keyaccess.h"
#include "content/ui/studyingparts.h"
#include "games/ui/gamesview.h"
#include "games/ui/registergames.h"
#include "monitorview/ui/sidewatch.h"
#include "reports/ui/reportparts.h"
#include "shell/appframe.h"
#include "shell/optionsview.h"
#include "store/recordingdialogs.h"
#include "support/accesscheck.h"
#include "support/booktest.h"
#include "support/tempdir.h"
#include "typingtest/ui/typingtest.h"

namespace ks {
namespace {

class KeyboardWalk : public test::BookWindowTest {
 protected:
  void SetUp() override {
    setenv("KEYSCHOLAR_ROOT", (std::filesystem::path(KS_BINARY_DIR) / "share/keyscholar").c_str(),
           1);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    BookWindowTest::SetUp();
  }

  QStringList check(const QString& view) {
    key(Qt::Key_Alt);  // the mnemonics are handed out
    return test::accessFaults(window_, view) + test::clippedTexts(window_, view) +
           test::coveredCards(window_, view);
  }

  test::TempDir data;
  test::RecordingDialogs boxes;
};

TEST_F(KeyboardWalk, EveryViewIsNamedAndReachable) {
  // Beside the other walk, which may run at the same time, as a second tutor at a school would.
  StartOptions options;
  options.noMutex = true;
  options.workstationName = "LAB1";
  TAppFrame frame(window_, options);
  registerStudyingParts(frame);
  registerGames(data.path() / "topten");
  registerTypingTest(frame);
  registerGamesMenu(frame);
  registerReportParts(frame);
  registerSidewatch(frame);
  registerOptionsPart(frame);

  // Tabs to visit when a view has nothing of its own to do, each by the letter it shows in the
  // language the walk runs in, then the way out.
  const auto byLetter = [&](const char* tab) {
    return [this, tab] {
      QAbstractButton* button = window_.Tab(tab);
      ASSERT_TRUE(button) << tab;
      const QChar letter = mnemonicLetter(button->text());
      ASSERT_FALSE(letter.isNull()) << tab;
      key(Qt::Key(letter.unicode()), Qt::AltModifier);
    };
  };
  std::deque<std::function<void()>> tabs;
  for (const char* tab : {"Review", "Test", "Games", "Sidewatch", "Settings", "Info"})
    tabs.push_back(byLetter(tab));
  tabs.push_back([&] { key(Qt::Key_Q, Qt::ControlModifier); });
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
    // A look at each view, in the walk's language and size.
    if (const char* dir = std::getenv("KS_SCREENSHOT_DIR")) {
      window_.grab().save(QString("%1/walk_%2_%3_%4_%5.png")
                              .arg(dir, qEnvironmentVariable("LANGUAGE", "en"),
                                   qEnvironmentVariable("QT_SCALE_FACTOR", "1"), name)
                              .arg(visit));
    }
    if (name == "TLoginView") {
      key(Qt::Key_F1);  // help from anywhere; offscreen the desktop fails to show it, and says so
      EXPECT_TRUE(!boxes.boxes.empty() &&
                  boxes.boxes.back().text.find("manual/tutor.htm") != std::string::npos);
      boxes.boxes.clear();
      type("Ann");
      key(Qt::Key_Return);
    } else if (name == "TCourseListView" || name == "TCourseContentsView" ||
               (name == "TChpContentsView" && visit == 1)) {
      key(Qt::Key_Return);
    } else if (name == "TChpContentsView" && visit == 2) {
      key(Qt::Key_A, Qt::AltModifier);  // the lesson's statistics
    } else if (!window_.MenuVisible()) {
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
  for (const char* view : {"TLoginView", "TCourseListView", "TCourseContentsView",
                           "TChpContentsView", "TStatisticsView", "TChooseTextView", "TGamesView",
                           "TSidewatchView", "TOptionsView", "TInfoView"}) {
    EXPECT_TRUE(seen.count(view)) << view << " was not reached: " << trail.join(", ").toStdString();
  }
  EXPECT_TRUE(tabs.empty()) << "the walk ended early";
}

}  // namespace
}  // namespace ks
