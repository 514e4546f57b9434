// The tray program as tapwatch wires it: choosing the learner, the tutor's DISABLE and ENABLE
// over the real link, the menu and the settings dialog. Offscreen, under a fake clock.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <future>

#include "monitor/spyedapps.h"
#include "monitor/ui/trayprogram.h"
#include "platform/desktop/peerlink.h"
#include "platform/instancelock.h"
#include "store/autostart.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/userfolders.h"

namespace ks {
namespace {

constexpr uint32_t kOwn = 7, kEditor = 100, kHidden = 300;

struct FixedRandom : Random {
  int32_t next(int32_t) override { return 0; }
};

// tapwatch's parts, joined as its main() joins them.
struct Monitor {
  explicit Monitor(bool autoLogon = false)
      : session({tray, program, program, stats, notices, keys, words}, autoLogon) {
    program.attach(tray, session, notices);
  }
  FakeClock clock{45292.5};
  Measures measures{clock};
  DifficultKeySets keys{TDifficultKeys::Variant::Monitor};
  TWordList words;
  Analyzer analyzer{measures, keys, words};
  FixedRandom random;
  MonitorStats stats{measures, keys, clock};
  TTrayProgram program{measures, clock};
  TTrayMain tray{analyzer, program, kOwn};
  MonitorNotices notices{stats, clock, random, program.notifier()};
  MonitorSession session;

  std::string who() { return session.user() ? session.user()->UserName() : ""; }
  void type(const std::string& text, uint32_t pid) {
    for (char c : text) {
      const auto vk = static_cast<uint32_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
      time += 150;
      tray.CMKeyInfo({vk, static_cast<unsigned char>(c), false, pid, time});
      program.noteKey(pid, kOwn);
    }
  }
  uint32_t time = 1000;
};

class Tray : public test::UserFolders {
 protected:
  void SetUp() override {
    UserFolders::SetUp();
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (runtime_ / "config").c_str(), 1);
    for (int id : {417, 418, 1260, 1261, 1270, 1277, 1278, 1285, 1286, 1379})
      Localize().SetString(id, "m" + std::to_string(id));
    installSpyedAppsFactory();
    workstation("SidewatchInit.$=1\r\n");
  }
  void TearDown() override {
    setUserAppListFactory(nullptr);
    UserFolders::TearDown();
  }
  // A workstation file; "$" stands for the login name.
  void workstation(std::string text) {
    for (size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, LoginName());
    workstationSettings.reset();  // writes back what it holds: before the new file
    test::writeFile(data("LAB1.wks"), text);
    OpenWorkstationSettings(data(""), "LAB1.wks", 2);
  }
  // A workstation value: the monitor's store while it holds the file, else the file itself.
  std::string ws(const char* key) {
    if (workstationSettings->file().opened())
      return workstationSettings->ReadString(key + LoginName());
    TDynamicSettings file;
    file.Open(data("LAB1.wks").string(), omReadShared);
    return file.ReadString(key + LoginName());
  }
  // Answers the login window once it shows.
  void answerLogin(Monitor& m, const QString& name, bool go, bool dontShowAgain) {
    QTimer::singleShot(0, [&m, name, go, dontShowAgain] {
      TLogForm& login = m.program.loginWindow();
      ASSERT_TRUE(login.isVisible());
      login.findChild<QCheckBox*>("DontShowAgain")->setChecked(dontShowAgain);
      if (go) {
        login.findChild<QComboBox*>("NameField")->setEditText(name);
        login.findChild<QPushButton*>("GoBtn")->click();
      } else {
        login.findChild<QPushButton*>("CancelBtn")->click();
      }
    });
  }

  test::TempDir runtime_;
};

TEST_F(Tray, EveryWayOfChoosingTheLearner) {
  {  // not set up for this account by the tutor: the program ends
    workstation("UseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
    Monitor m;
    m.program.Initialize();
    EXPECT_TRUE(m.program.Terminating());
    EXPECT_EQ(m.who(), "");
  }
  {  // the preselected learner becomes the last one
    workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
    Monitor m;
    m.program.Initialize();
    EXPECT_EQ(m.who(), "Ann");
    EXPECT_EQ(ws("LastUser."), "Ann");
    EXPECT_EQ(m.program.iconState(), 1);
    EXPECT_TRUE(m.program.menu().actions()[7]->isChecked());
  }
  {  // an automatic logon takes the last learner
    workstation("SidewatchInit.$=1\r\nLastUser.$=Bob\r\n");
    Monitor m(true);
    m.program.Initialize();
    EXPECT_EQ(m.who(), "Bob");
  }
  {  // logged-off mode: no window, off, and the enable item offers to log in
    workstation("SidewatchInit.$=1\r\nLoggedOffMode.$=1\r\n");
    Monitor m;
    m.program.Initialize();
    EXPECT_EQ(m.who(), "");
    EXPECT_EQ(m.program.iconState(), 3);
    EXPECT_EQ(m.program.menu().actions()[7]->text().remove('&'), "m1260");
    answerLogin(m, "Dora", false, false);
    m.program.EnableClick();
    EXPECT_FALSE(m.program.Terminating());  // cancelled from logged-off mode: still running
    answerLogin(m, "Dora", true, false);
    m.program.EnableClick();
    EXPECT_EQ(m.who(), "Dora");
  }
  {  // the login window, told not to ask again
    workstation("SidewatchInit.$=1\r\n");
    Monitor m;
    answerLogin(m, "Cleo", true, true);
    m.program.Initialize();
    EXPECT_EQ(m.who(), "Cleo");
    EXPECT_EQ(ws("SelectedUser."), "Cleo");
    EXPECT_EQ(ws("UseSelectedUser."), "1");
  }
  {  // the login window cancelled at start, not to be shown again: no autostart, the end
    workstation("SidewatchInit.$=1\r\nLaunchAtStartup.$=1\r\n");
    MakeAutoStartable("/usr/bin/tapwatch");
    ASSERT_TRUE(std::filesystem::exists(AutoStartFile()));
    Monitor m;
    answerLogin(m, "", false, true);
    m.program.Initialize();
    EXPECT_TRUE(m.program.Terminating());
    EXPECT_EQ(ws("LaunchAtStartup."), "0");
    EXPECT_FALSE(std::filesystem::exists(AutoStartFile()));
  }
}

// Off and on again by the menu, as the tutor's DISABLE and ENABLE do: recording stops while
// off, and the program in front, not announced again, is analysed again.
TEST_F(Tray, OffStopsRecordingAndOnAnalysesTheProgramInFrontAgain) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  std::vector<bool> recording;  // outlives the monitor, which stops recording as it ends
  Monitor m;
  m.program.watchWith([&](bool on) { recording.push_back(on); });
  m.program.Initialize();
  m.session.user()->WriteBool("AutoIncludeMode", true);
  m.tray.RegisterNewModule({kEditor, "editor", "/usr/bin/", "Editor"});
  m.type("hello", kEditor);
  EXPECT_EQ(m.tray.Counters.monitoredHits, 5);

  m.program.EnableClick();  // off
  EXPECT_EQ(m.who(), "");
  m.type("zq", kEditor);    // still queued when it went off
  m.program.EnableClick();  // on: the learner's list is read anew
  EXPECT_EQ(m.who(), "Ann");
  m.type("world", kEditor);
  EXPECT_EQ(m.tray.Counters.totalHits, 10);
  EXPECT_EQ(m.tray.Counters.monitoredHits, 10);
  EXPECT_EQ(recording, (std::vector<bool>{true, false, true}));

  // The settings dialog stops it as long as it is open.
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(recording.back(), false);
    m.program.settingsDialog().findChild<QPushButton*>("OkBtn")->click();
  });
  m.program.ChooseAppsClick();
  EXPECT_EQ(recording, (std::vector<bool>{true, false, true, false, true}));
}

// Off, the monitor lets go of the workstation's file, so the tutor reads and clears there what
// the monitor wrote for it.
TEST_F(Tray, OffTheWorkstationsFileIsTheTutorsAgain) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  Monitor m;
  m.program.Initialize();
  workstationSettings->WriteString("WardenLogon", "Ann");
  m.program.EnableClick();  // off
  {
    TDynamicSettings tutor;
    ASSERT_EQ(tutor.Open(data("LAB1.wks").string(), omDenyWrite), 1);
    ASSERT_NE(tutor.Load(), -1);
    EXPECT_EQ(tutor.ReadString("WardenLogon"), "Ann");
    tutor.WriteString("WardenLogon", "");
    tutor.WriteString("Marker", "tutor");
  }
  m.program.EnableClick();  // on again: the file as the tutor left it
  EXPECT_EQ(m.who(), "Ann");
  EXPECT_EQ(workstationSettings->ReadString("WardenLogon"), "");
  EXPECT_EQ(workstationSettings->ReadString("Marker"), "tutor");
  EXPECT_EQ(workstationSettings->path(), data("LAB1.wks").string());
}

// A learner the tutor holds cannot be chosen in the login window: it says so and stays open.
TEST_F(Tray, TheLoginWindowStaysOpenForALearnerThatCannotBeOpened) {
  workstation("SidewatchInit.$=1\r\nLastUser.$=Ann\r\n");
  auto tutor = OpenUser("Ann", -1, ulWrite, false);
  ASSERT_NE(NewUser("Bob"), nullptr);
  Monitor m;
  QTimer::singleShot(0, [&] {
    TLogForm& login = m.program.loginWindow();
    login.findChild<QPushButton*>("GoBtn")->click();  // Ann, held by the tutor
    EXPECT_TRUE(login.isVisible());
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text.rfind("m417Annm418\r", 0), 0u);
    login.findChild<QComboBox*>("NameField")->setEditText("Bob");
    login.findChild<QPushButton*>("GoBtn")->click();
  });
  m.program.Initialize();
  EXPECT_EQ(m.who(), "Bob");
  EXPECT_TRUE(m.session.enabled());
  EXPECT_EQ(ws("LastUser."), "Bob");
}

// The data folder gone (a removed network share): nothing can be saved; the monitor says so
// and ends.
TEST_F(Tray, ADataFolderThatIsGoneEndsTheMonitor) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  Monitor m;
  m.program.Initialize();
  ASSERT_EQ(m.who(), "Ann");
  std::filesystem::remove_all(data(""));
  m.program.EnableClick();
  EXPECT_EQ(m.who(), "");
  EXPECT_TRUE(m.program.Terminating());
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "m1379");
  EXPECT_FALSE(std::filesystem::exists(data("")));  // nothing half written in its place
}

// In logged-off mode the enable item logs a learner on; while it asks, the item cannot be
// chosen again.
TEST_F(Tray, LoggingOnFromLoggedOffModeLocksTheEnableItemWhileItAsks) {
  workstation("SidewatchInit.$=1\r\nLoggedOffMode.$=1\r\n");
  Monitor m;
  m.program.Initialize();
  QAction* enable = m.program.menu().actions()[7];
  EXPECT_TRUE(enable->isEnabled());
  bool lockedWhileAsking = false;
  QTimer::singleShot(0, [&] {
    lockedWhileAsking = !enable->isEnabled();
    m.program.loginWindow().findChild<QComboBox*>("NameField")->setEditText("Dora");
    m.program.loginWindow().findChild<QPushButton*>("GoBtn")->click();
  });
  m.program.EnableClick();
  EXPECT_TRUE(lockedWhileAsking);
  EXPECT_EQ(m.who(), "Dora");
  EXPECT_TRUE(enable->isEnabled());
  EXPECT_EQ(enable->text().remove('&'), "m1261");
}

TEST_F(Tray, ALearnerTheTutorHoldsIsNotOpenedTwice) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  auto tutor = OpenUser("Ann", -1, ulWrite, false);
  Monitor m;
  m.program.Initialize();
  EXPECT_EQ(m.who(), "");
  EXPECT_EQ(m.program.iconState(), 3);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text.rfind("m1286 Annm1285\r", 0), 0u);
}

// The tutor asks from another thread, as another process would, while typing goes on.
std::future<QString> tutorSends(const char* message) {
  return std::async(std::launch::async,
                    [message] { return PeerLink::request("tapwatch", message, 0, 10000); });
}

QString waitAnswer(std::future<QString>& answer) {
  const bool ready = QTest::qWaitFor(
      [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000);
  return ready ? answer.get() : "(no answer)";
}

TEST_F(Tray, DisableIsAnsweredOnlyWhenTheLearnersFilesAreSavedAndClosed) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  InstanceLock lock("QSTapwardenMutex");
  ASSERT_TRUE(lock.acquire());
  PeerLink link("tapwatch");
  ASSERT_TRUE(link.listen());
  Monitor m;
  m.program.listenTo(link);
  m.program.Initialize();
  m.session.user()->WriteBool("AutoIncludeMode", true);
  m.tray.RegisterNewModule({kEditor, "editor", "/usr/bin/", "Editor"});
  QTimer typist;  // a learner under load: a key every 5 ms
  QObject::connect(&typist, &QTimer::timeout, [&] { m.type("e", kEditor); });
  typist.start(5);
  QTest::qWait(100);

  auto answer = tutorSends("QSSidewatch1999.DISABLE");
  EXPECT_EQ(waitAnswer(answer), "DISABLED");
  typist.stop();
  EXPECT_EQ(m.session.user(), nullptr);
  {  // the tutor alone writes the learner now, and finds the monitor's figures saved
    auto tutor = OpenUser("Ann", -1, ulWrite, false);
    EXPECT_GT(tutor->ReadInt64("monitoredHits"), 0);
    EXPECT_EQ(tutor->ReadInt64("monitoredHits"), m.tray.Counters.monitoredHits);
    tutor->WriteBool("NotifyWhenDifficulties", true);
    SaveUser(*tutor);
  }
  auto enable = tutorSends("QSSidewatch1999.ENABLE");
  EXPECT_EQ(waitAnswer(enable), "OK");
  ASSERT_TRUE(QTest::qWaitFor([&] { return m.session.user() != nullptr; }));
  EXPECT_EQ(m.who(), "Ann");
  EXPECT_TRUE(m.notices.NotifyWhenDifficulties);  // the tutor's change is read anew

  // With the settings dialog open, the answer waits until the dialog has closed and saved.
  std::future<QString> again;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(m.program.settingsDialog().isVisible());
    const int64_t analysed = m.tray.Counters.monitoredHits;
    m.type("ab", kEditor);
    EXPECT_EQ(m.tray.Counters.monitoredHits, analysed);  // nothing analysed meanwhile
    again = tutorSends("QSSidewatch1999.DISABLE");
    QTest::qWait(300);  // the message is handled; the dialog leaves when this returns
    EXPECT_NE(again.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_NE(m.session.user(), nullptr);
  });
  m.program.ChooseAppsClick();
  EXPECT_EQ(waitAnswer(again), "DISABLED");
  EXPECT_EQ(m.who(), "");
  EXPECT_EQ(m.session.PreviousUser, "Ann");
  EXPECT_EQ(m.program.iconState(), 3);
}

TEST_F(Tray, TheMenuFollowsTheProgramTypedIn) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  Monitor m;
  m.program.Initialize();
  auto* apps = dynamic_cast<TSpyedApps*>(m.session.user()->AppList());
  apps->add(true, "writer", false, "/opt/", "A word processor with a very long name");
  apps->add(false, "lock", true, "", "Locker");
  apps->setPID(kEditor, "writer");
  apps->setPID(kHidden, "lock");
  QAction* item = m.program.menu().actions()[4];

  m.type("hi", kEditor);
  EXPECT_FALSE(m.program.paused());
  m.program.BeforePopupEvent();
  EXPECT_EQ(item->text().toStdString(), "m1277 A word processor with a ver..");
  EXPECT_TRUE(item->isChecked());
  m.program.IncludeExcludeClick();
  EXPECT_EQ(apps->find("WRITER"), 0);
  m.type("hi", kEditor);
  EXPECT_TRUE(m.program.paused());  // typing there is no longer followed

  m.type("x", kHidden);  // hidden programs are never offered
  m.program.BeforePopupEvent();
  EXPECT_EQ(item->text().toStdString(), "m1278");
  EXPECT_FALSE(item->isEnabled());
}

TEST_F(Tray, SettingsSwitchProgramsAtOnceAndSaveTheRestOnOk) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  Monitor m;
  m.program.Initialize();
  auto* apps = dynamic_cast<TSpyedApps*>(m.session.user()->AppList());
  apps->add(true, "writer", false, "/opt/", "Writer");
  QTimer::singleShot(0, [&] {
    TChooseApplications& d = m.program.settingsDialog();
    d.findChild<QRadioButton*>("ViewAllChk")->click();
    QListWidget* list = d.appsList();
    int shown = 0;  // the built-in entries stay out of sight
    for (const auto& e : apps->entries()) shown += e->hidden ? 0 : 1;
    ASSERT_EQ(list->count(), shown);
    const auto found = list->findItems("Writer", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    found[0]->setCheckState(Qt::Unchecked);
    EXPECT_EQ(apps->find("WRITER"), 0);  // at once
    d.findChild<QCheckBox*>("TakeABreak")->setChecked(true);
    d.findChild<QSlider*>("BreakInterval")->setValue(6);
    d.findChild<QCheckBox*>("LaunchAtStartup")->setChecked(true);
    d.findChild<QPushButton*>("OkBtn")->click();
  });
  m.program.ChooseAppsClick();
  EXPECT_EQ(m.who(), "Ann");
  EXPECT_TRUE(m.session.enabled());
  EXPECT_EQ(m.notices.BreakInterval, 6);
  EXPECT_EQ(ws("LaunchAtStartup."), "1");
  EXPECT_TRUE(std::filesystem::exists(AutoStartFile()));
  EXPECT_EQ(m.session.user()->ReadInteger("AppListMode"), 2);
}

TEST_F(Tray, TheInformationWindowShrinksToItsCaptionAndStopsWhenClosed) {
  workstation("SidewatchInit.$=1\r\nUseSelectedUser.$=1\r\nSelectedUser.$=Ann\r\n");
  Localize().SetString(1366, "Typing now");
  Monitor m;
  m.program.Initialize();
  m.program.InfoOnTopClick();
  TInfoOnTop& info = m.program.infoWindow();
  ASSERT_TRUE(info.isVisible());
  info.resize(200, 30);
  m.program.UpdateInfo();
  EXPECT_TRUE(info.compact());
  EXPECT_NE(info.windowTitle(), "Typing now");
  info.resize(200, 90);
  EXPECT_EQ(info.windowTitle(), "Typing now");
  info.close();  // the close box: hidden, unchecked, and the placement kept for the next time
  EXPECT_FALSE(m.program.menu().actions()[5]->isChecked());
  EXPECT_FALSE(m.program.InfoWindow().visible);
  EXPECT_EQ(m.program.InfoWindow().width, 200);
}

}  // namespace
}  // namespace ks
