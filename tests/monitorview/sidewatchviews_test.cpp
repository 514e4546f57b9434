// The monitor section's wizard and page on the tutor's book window, with a monitor control
// that records starts instead of starting a program. With $KS_SCREENSHOT_DIR set the pages are
// saved there for a look.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "analysis/analyzer.h"
#include "book/bookwindow.h"
#include "book/parthost.h"
#include "content/ui/studystyle.h"
#include "monitor/ui/watchproblem.h"
#include "monitorview/ui/monitorcontrol.h"
#include "monitorview/ui/sidewatch.h"
#include "monitorview/ui/sidewatchview.h"
#include "monitorview/ui/sidewatchwiz.h"
#include "platform/clock.h"
#include "platform/desktop/qtext.h"
#include "store/autostart.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userfolders.h"
#include "support/accesscheck.h"
#include "text/dates.h"

namespace ks {
namespace {

class FakeMonitor : public MonitorRemote {
 public:
  bool Running() override { return running; }
  bool Start() override {
    ++starts;
    if (onStart) onStart();
    running = true;
    return true;
  }
  std::function<void()> onStart;
  bool Stop() override {
    running = false;
    return true;
  }
  std::string WhyNotHere() override { return why ? *why : MonitorRemote::WhyNotHere(); }
  bool running = false;
  int starts = 0;
  std::optional<std::string> why;  // in place of what this machine's session gives
};

class SidewatchViews : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    // KS_TEST_LANGUAGE=deu shows the pages in German, for a look at their screenshots.
    const char* language = std::getenv("KS_TEST_LANGUAGE");
    const std::string file = std::string("language.") + (language ? language : "eng");
    ASSERT_EQ(Localize().LoadStringFile(KS_BINARY_DIR "/share/keyscholar/" + file, 1), 0);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root("config").string()));
    workstationSettings = std::make_unique<TDynamicSettings>();
    ASSERT_EQ(workstationSettings->Open("", omMemory), 1);
    user_ = NewUser("Ann");
    setMonitorControl(&monitor_);
    // As the tutor's frame captions them.
    window_.SetButtonCaptions(msgText(603), msgText(602), msgText(600));
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  void TearDown() override {
    setMonitorControl(nullptr);
    user_.reset();
    UserFolders::TearDown();
  }
  bool account(const std::string& key) { return workstationSettings->ReadBool(key + LoginName()); }
  template <typename T>
  T* child(const char* name) {
    return window_.findChild<T*>(name);
  }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    QTest::keyClick(w ? w : &window_, k, mods);
  }

  FakeMonitor monitor_;
  std::unique_ptr<TUser> user_;
  TBookFormEx window_;
  std::function<void()> act_;  // acts on the views as they come
};

TEST_F(SidewatchViews, TheWizardWritesItsChoicesAndStartsTheMonitor) {
  act_ = [this] {
    TFormView* view = TFormView::ActiveView();
    if (dynamic_cast<TSidewatchLaunchedView*>(view) != nullptr) {
      EXPECT_EQ(child<QLabel>("LaunchedLbl")->text(), msgText(2801));
      saveScreenshot(&window_, "sidewatch_launched");
      child<QAbstractButton>("OKBtn")->click();
      return;
    }
    if (dynamic_cast<TSidewatchWizView*>(view) != nullptr && child<QWidget>("SettingsCard")) {
      saveScreenshot(&window_, "sidewatch_wizard");
      key(Qt::Key_Alt);
      EXPECT_EQ(test::accessFaults(window_, "wizard").join("\n").toStdString(), "");
      // By keyboard: this learner at login, then the training notice switched.
      EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>("UserOptionBox"));
      key(Qt::Key_Home);
      EXPECT_TRUE(account("UseSelectedUser."));
      EXPECT_FALSE(account("ShowUserList."));
      // The monitor never stores typed words, and the box says so before anyone chooses;
      // without tray icons (offscreen) the page names no notification area.
      EXPECT_TRUE(child<QAbstractButton>("SecurityBox")->isChecked());
      EXPECT_EQ(child<QLabel>("InfoLbl")->text().section('\n', 0, 0), msgText(2800));
      key(Qt::Key_Tab);
      EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("TrainingBox"));
      const bool notified = user_->ReadBool("NotifyWhenDifficulties");
      key(Qt::Key_Space);
      EXPECT_EQ(user_->ReadBool("NotifyWhenDifficulties"), !notified);
      child<QAbstractButton>("OKBtn")->click();
    }
    QTimer::singleShot(10, &window_, act_);
  };
  QTimer::singleShot(0, &window_, act_);
  EXPECT_EQ(TSidewatchWiz(*user_).Run(), 1);

  EXPECT_EQ(monitor_.starts, 1);
  EXPECT_TRUE(account("SidewatchInit."));
  EXPECT_TRUE(account("LaunchAtStartup."));
  EXPECT_TRUE(std::filesystem::exists(AutoStartFile()));
  EXPECT_EQ(workstationSettings->ReadString("SelectedUser." + LoginName()), "Ann");
  // The list showed "2 hours" and was left alone: the reminder comes after 2 hours.
  EXPECT_EQ(user_->ReadInteger("BreakTrackBar.position"), 8);
  EXPECT_TRUE(user_->ReadBool("AutoIncludeMode"));
  EXPECT_EQ(user_->ReadInteger("DoNotCollectWords"), 1);
}

// The wizard goes on when the autostart entry cannot be written, but no longer as if it were
// set: the learner is told why.
TEST_F(SidewatchViews, TheWizardTellsTheLearnerWhenSidewatchCannotBeSetToStartAtLogin) {
  std::filesystem::create_directories(root("config"));
  test::writeFile(root("config") / "autostart", "a file where the folder belongs");
  act_ = [this] {
    TFormView* view = TFormView::ActiveView();
    if (dynamic_cast<TSidewatchLaunchedView*>(view) != nullptr) {
      child<QAbstractButton>("OKBtn")->click();
      return;
    }
    if (dynamic_cast<TSidewatchWizView*>(view) != nullptr && child<QWidget>("SettingsCard")) {
      EXPECT_TRUE(boxes_.boxes.empty());
      child<QComboBox>("UserOptionBox")->setFocus();
      key(Qt::Key_Home);  // this learner, started at login
      child<QAbstractButton>("OKBtn")->click();
    }
    QTimer::singleShot(10, &window_, act_);
  };
  QTimer::singleShot(0, &window_, act_);
  EXPECT_EQ(TSidewatchWiz(*user_).Run(), 1);
  EXPECT_TRUE(account("LaunchAtStartup."));
  EXPECT_FALSE(std::filesystem::exists(AutoStartFile()));
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.texts()[0].rfind(Localize().GetString(2601), 0), 0u) << boxes_.texts()[0];
  EXPECT_GT(boxes_.texts()[0].size(), Localize().GetString(2601).size() + 1);
}

TEST_F(SidewatchViews, ACancelledWizardSetsNothingUpAndStartsNothing) {
  policy("DoNotCollectWords=1\r\n");
  QTimer::singleShot(50, [&] {
    EXPECT_TRUE(child<QWidget>("SecurityBox")->isHidden());
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(TSidewatchWiz(*user_).Run(), 0);
  EXPECT_EQ(monitor_.starts, 0);
  EXPECT_FALSE(account("SidewatchInit."));
  EXPECT_EQ(workstationSettings->ReadString("SelectedUser." + LoginName()), "Ann");
}

TEST_F(SidewatchViews, ThePageShowsTheMonitorsFiguresAndWorksByKeyboard) {
  monitor_.running = true;
  workstationSettings->WriteBool("SidewatchInit." + LoginName(), true);
  const int today = dayOfWeek(systemClock().now());
  user_->WriteInteger("TotalHits.day" + std::to_string(today), 3000);
  user_->WriteInteger("TypingSeconds.day" + std::to_string(today), 600);
  user_->WriteInteger("TypedWords.day" + std::to_string(today), 120);
  for (int i = 0; i < 3; ++i) user_->Words().AddOccurrence("wrod", 10, wsMonitor, false);
  user_->Words().AddOccurrence("fine", 0, wsMonitor, false);
  Measures measures(systemClock());
  Analyzer analyzer(measures, user_->Difficulties(), user_->Words());

  TSidewatchView view(*user_, &analyzer);
  QTimer::singleShot(50, [&] {
    EXPECT_EQ(child<QLabel>("StateLbl")->text(), msgText(463));
    EXPECT_EQ(child<QAbstractButton>("ToggleBtn")->text(), msgText(464));
    saveScreenshot(&window_, "sidewatch_training");
    // The charts show the figures' bars; the labels their texts.
    const GraphModel& speed = view.Graph(TSidewatchFigures::SpeedWeek)->Model();
    ASSERT_EQ(speed.Bars.size(), 7u);
    EXPECT_EQ(speed.Bars.back().Value, 60);  // 300 keystrokes a minute in words
    EXPECT_EQ(child<QLabel>("Figure4Lbl")->text(), msgText(484) + " 60 " + msgText(208));
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(view.CurrentPage(), TSidewatchView::Analysis);
    QListWidget* words = view.WordList();
    ASSERT_GE(words->count(), 1);
    EXPECT_TRUE(words->item(0)->text().startsWith("wrod"));
    const int listed = words->count();
    saveScreenshot(&window_, "sidewatch_analysis");
    // Delete hides the chosen word from practice, after asking.
    ASSERT_TRUE(words->hasFocus());
    words->setCurrentRow(0);
    key(Qt::Key_Delete);
    EXPECT_EQ(words->count(), listed - 1);
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(view.CurrentPage(), TSidewatchView::Week);
    saveScreenshot(&window_, "sidewatch_week");
    view.ShowPage(TSidewatchView::Year);
    saveScreenshot(&window_, "sidewatch_year");
    // Enter on the training page starts the chosen practice.
    view.ShowPage(TSidewatchView::Training);
    child<QAbstractButton>("Mode2")->click();
    QTest::keyClicks(child<QWidget>("WordBox"), "teh");
    key(Qt::Key_Return);
  });
  EXPECT_EQ(view.RunModal(), TSidewatchView::Practice);
  EXPECT_EQ(view.Mode, 2);
  EXPECT_EQ(view.WordText, "teh");
  EXPECT_EQ(boxes_.texts(), std::vector<std::string>{Localize().GetString(507)});
}

// A learner who has not typed under the monitor yet is told so, not that the typing is in good
// shape; the monitor following another learner is said once in a run of the tutor.
TEST_F(SidewatchViews, AnEmptyPageSaysNothingWasTypedAndAnotherLearnerIsNamedOnce) {
  monitor_.running = true;
  workstationSettings->WriteBool("SidewatchInit." + LoginName(), true);
  workstationSettings->WriteBool("UseSelectedUser." + LoginName(), true);
  workstationSettings->WriteString("SelectedUser." + LoginName(), "Bob");
  TSidewatchView::SelectedUserNoticeShown = false;
  for (int pass = 0; pass < 2; ++pass) {
    TSidewatchView view(*user_, nullptr);
    QTimer::singleShot(50, [&] {
      EXPECT_EQ(child<QLabel>("CommentLbl")->text(), msgText(2802));
      EXPECT_EQ(child<QLabel>("Comment2Lbl")->text(), msgText(2803));
      if (pass == 0) saveScreenshot(&window_, "sidewatch_empty");
      view.Close();
    });
    view.RunModal();
  }
  ASSERT_EQ(boxes_.texts().size(), 1u);
  EXPECT_EQ(boxes_.texts()[0], Localize().GetString(470) + "Bob\".\r" + Localize().GetString(1406));
}

// While the monitor starts or stops, its button waits with its own caption.
TEST_F(SidewatchViews, TheMonitorsButtonSaysWaitWhileTheMonitorStarts) {
  workstationSettings->WriteBool("SidewatchInit." + LoginName(), true);
  TSidewatchView view(*user_, nullptr);
  QString waiting;
  monitor_.onStart = [&] { waiting = child<QAbstractButton>("ToggleBtn")->text(); };
  QTimer::singleShot(50, [&] {
    QTimer::singleShot(50, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QAbstractButton*>("OKBtn")->click();
    });
    view.ToggleMonitor();
    view.Close();
  });
  view.RunModal();
  EXPECT_EQ(monitor_.starts, 1);
  EXPECT_EQ(waiting, msgText(458));
}

// The tutor shows the monitor's settings with every program listed; the learner's own choice of
// list in the monitor stays as it was.
TEST_F(SidewatchViews, TheTutorsSettingsLeaveTheMonitorsChoiceOfList) {
  user_->WriteInteger("AppListMode", 1);
  QTimer::singleShot(50, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QAbstractButton*>("OkBtn")->click();
  });
  ShowMonitorSettings(*user_);
  EXPECT_EQ(user_->ReadInteger("AppListMode"), 1);
}

// The tutor as the section sees it: this window and this learner.
class SectionHost : public TPartHost {
 public:
  SectionHost(TBookFormEx& window, TUser& user) : window_(window), user_(user) {}
  void SetPart(const QString&, Part) override {}
  TBookFormEx& Window() override { return window_; }
  TUser* User() override { return &user_; }
  Analyzer* LearnerAnalyzer() override { return nullptr; }

 private:
  TBookFormEx& window_;
  TUser& user_;
};

TEST_F(SidewatchViews, WhereTheMonitorCannotWatchThePageSaysSoAndPracticeSaysWhatIsMissing) {
  // No X11 here (offscreen) and no monitor running: no wizard, no start button.
  SectionHost host(window_, *user_);
  TSidewatch section(host, *user_);
  QTimer::singleShot(50, [&] {
    EXPECT_EQ(child<QLabel>("StateLbl")->text(), msgText(2224));
    EXPECT_TRUE(child<QWidget>("ToggleBtn")->isHidden());
    saveScreenshot(&window_, "sidewatch_nowatch");
    host.ActiveTab = "Studying";
    TFormView::ActiveView()->Close();
  });
  EXPECT_EQ(section.Run(), 0);
  EXPECT_EQ(monitor_.starts, 0);

  // Nothing to practise yet: each practice says what is missing and the page comes back.
  host.ActiveTab.clear();
  EXPECT_EQ(section.Practice(2, ""), 5);
  EXPECT_EQ(section.Practice(3, ""), 5);
  EXPECT_EQ(boxes_.texts(),
            (std::vector<std::string>{Localize().GetString(475), Localize().GetString(476)}));
}

TEST_F(SidewatchViews, UnderWaylandThePageSaysWhyNoKeyboardCanBeReadAndWhatAnAdministratorDoes) {
  SectionHost host(window_, *user_);
  TSidewatch section(host, *user_);
  // No keyboard device at all, as the probe of the device folder finds it.
  const auto empty = root("devices");
  std::filesystem::create_directories(empty);
  monitor_.why = waylandWatchProblem(empty.string());
  EXPECT_EQ(*monitor_.why, Localize().GetString(2952));
  QTimer::singleShot(50, [&] {
    EXPECT_EQ(child<QLabel>("StateLbl")->text(), toQString(*monitor_.why));
    TFormView::ActiveView()->Close();
  });
  EXPECT_EQ(section.Run(), 0);

  // Keyboards the account may not read: the page names the group and the command, whole.
  monitor_.why = keyboardProblemText(KeyboardProblem::NoPermission, "annlee");
  QTimer::singleShot(50, [&] {
    auto* label = child<QLabel>("StateLbl");
    // The option's dash is one that does not break; it reads the same.
    const QString shown = label->text().replace(QChar(0x2011), '-');
    EXPECT_TRUE(shown.contains("sudo usermod -aG input annlee")) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(msgText(2950)));
    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << "the reason is cut";
    EXPECT_TRUE(child<QWidget>("ToggleBtn")->isHidden());
    saveScreenshot(&window_, "sidewatch_nokeyboard");
    TFormView::ActiveView()->Close();
  });
  EXPECT_EQ(section.Run(), 0);
  EXPECT_EQ(monitor_.starts, 0);
}

}  // namespace
}  // namespace ks
