#include "shell/appframe.h"

#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <filesystem>

#include "analysis/analyzer.h"
#include "analysis/keydataext.h"
#include "analysis/measures.h"
#include "book/bookwindow.h"
#include "book/formview.h"
#include "book/pagestyle.h"
#include "book/placeholderview.h"
#include "book/uistyle.h"
#include "content/tempfiles.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/desktoplanguage.h"
#include "platform/desktop/peerlink.h"
#include "platform/desktop/qtext.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/systemkeyboard.h"
#include "shell/infoview.h"
#include "shell/loginview.h"
#include "store/autostart.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "store/usernames.h"
#include "text/cp1252.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

constexpr const char* kVersionStamp = "8.0.816";
constexpr const char* kMonitorMutex = "QSTapwardenMutex";

QString msg(int id) {
  return toQString(Localize().GetString(id));
}
std::string text(int id) {
  return Localize().GetString(id);
}

// The learner's full name from the account, else the login name.
std::string DisplayName() {
  const passwd* pw = ::getpwuid(::geteuid());
  std::string gecos = pw && pw->pw_gecos ? pw->pw_gecos : "";
  gecos = gecos.substr(0, gecos.find(','));
  return gecos.empty() ? LoginName() : utf8ToCp1252(gecos);
}

void box(const std::string& message, BoxKind kind) {
  dialogs().messageBox(message, Localize().GetStringDefault(1), kind);
}

}  // namespace

TAppFrame::TAppFrame(TBookFormEx& window, StartOptions options)
    : window_(window), options_(std::move(options)), sound_(installationFolder()) {
  setSound(&sound_);
  connect(&window_, &TBookFormEx::tabClicked, this, &TAppFrame::onTabClicked);
  connect(&window_, &TBookFormEx::exitClicked, this, [this] { onExitRequest(true); });
  connect(&window_, &TBookFormEx::closeRequested, this, [this] { onExitRequest(false); });
  connect(&window_, &TBookFormEx::languageChanged, this, [this] { languageChanged(); });
  // F1 is the desktop's help key everywhere; it opens the manual the Info page leads to.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &window_);
  connect(help, &QShortcut::activated, this,
          [this] { TInfoView::Open(TInfoView::HelpTarget(options_.typeTest)); });
}

TAppFrame::~TAppFrame() {
  setSound(nullptr);
}

void TAppFrame::SetPart(const QString& tab, Part part) {
  parts_[tab] = std::move(part);
}

bool TAppFrame::loadLanguage() {
  Localize().SetFolder(installationFolder());
  if (Localize().LoadLanguage(LanguageBaseName, 1) != 0) {
    dialogs().messageBox("Required resource Language.Eng not found", LanguageBaseName,
                         BoxKind::Error);
    return false;
  }
  // Until the policy or the learner chooses, a learner sees the desktop's language when the
  // installation has it.
  Localize().SetListedLanguage(desktopLanguageCode());
  ProductName = Localize().GetStringDefault(2);
  applyEdition();
  return true;
}

void TAppFrame::applyEdition() {
  if (!options_.typeTest) return;
  // The typing-test edition goes by its own name; the tutor's names are left out.
  Localize().SetString(1, "");
  Localize().SetString(2, "");
  ProductName = "Quillstroker Typing Test";
}

bool TAppFrame::setLanguage(const std::string& code) {
  if (!Localize().SetLanguage(code)) return false;
  applyEdition();
  return true;
}

void TAppFrame::languageChanged() {
  applyEdition();
  buildMenu();
  window_.MarkTab(currentTab_);
  retitle();
}

namespace {
const QString kActivationToken = QStringLiteral("XDG_ACTIVATION_TOKEN=");
}  // namespace

int TAppFrame::singleInstance() {
  if (options_.noMutex) return 0;
  if (instance_.acquire()) {
    link_ = std::make_unique<PeerLink>("keyscholar");
    link_->listen();
    connect(link_.get(), &PeerLink::messageReceived, this, [this](const QString& m, int arg) {
      // A launcher's token, handed on by a second start, lets the compositor give us the focus
      // (xdg-activation); Qt's activation takes it from the environment.
      if (m.startsWith(kActivationToken))
        qputenv("XDG_ACTIVATION_TOKEN", m.mid(kActivationToken.size()).toUtf8());
      if (m == "QS2001.BRINGFRONT" && (arg == 1 || arg == 2)) window_.BringToFront();
      // An uninstall closes the running tutor as its window's close box would.
      if (m == "WM_CLOSE") onExitRequest(false);
    });
    return 0;
  }
  // Another tutor runs: bring it to the front and leave; when it does not answer, go on as a
  // second instance.
  if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
    PeerLink::post("keyscholar", kActivationToken + token);
  if (PeerLink::post("keyscholar", "QS2001.BRINGFRONT", 1)) return kOtherInstance;
  return 0;
}

bool TAppFrame::openWorkstation() {
  std::string name = options_.noMutex ? SafeFileName(options_.workstationName) : WorkstationName();
  const fs::path dataPath = ProgramSettings->dataPath();
  if (name.empty()) {
    box(text(376), BoxKind::Warning);
    // Beside the named workstations: the folder the program was started in may be anywhere.
    return OpenWorkstationSettings(dataPath, "noname.wks", workstationOpenMode());
  }
  const fs::path file = joinResolved(dataPath, name + ".wks");
  const bool required =
      !options_.in1 || (PolicySettings && PolicySettings->ReadBool("LimitedInstallation"));
  if (!fs::exists(file)) {
    // A per-user data folder sets itself up on the first run; a shared one must be installed.
    const bool perUser = fs::equivalent(dataPath, userDataFolder());
    if (required && !perUser) {
      box(text(377) + "\r" + text(378) + "\r" + text(379), BoxKind::Warning);
      return false;
    }
  }
  return OpenWorkstationSettings(dataPath, name + ".wks", workstationOpenMode());
}

void TAppFrame::stampWorkstation() {
  TDynamicSettings& ws = *workstationSettings;
  ws.WriteFloat("AccessDateTime", static_cast<float>(systemClock().now()));
  ws.WriteString("Version", kVersionStamp);
  ws.WriteString("RootPath", pathTo1252(ProgramSettings->rootPath()));
  ws.WriteInt64("UsageTimes", ws.ReadInt64("UsageTimes") + 1);
  ws.Flush();
}

void TAppFrame::retitle() {
  // The window keeps a name in the task bar even where message 1 is left empty.
  window_.setWindowTitle(msg(1).isEmpty() ? toQString(ProductName) : msg(1));
  window_.SetButtonCaptions(msg(603), msg(602), msg(600));
}

void TAppFrame::buildMenu() {
  window_.ClearTabs();
  if (options_.typeTest || options_.typeTest2) {
    window_.AddTab("Test", options_.typeTest ? "&Typing test" : msg(556));
    window_.AddTab("Games", options_.typeTest ? "Warm up &games" : msg(557));
    window_.AddTab("Info", options_.typeTest ? "&Info" : msg(561));
    window_.SetAdPicture(installationPicture("menuad.bmp"), msg(18));
    return;
  }
  const auto policy = [](const char* key) {
    return PolicySettings && PolicySettings->ReadBool(key);
  };
  window_.AddTab("Studying", msg(1684));
  window_.AddTab("Review", msg(555));
  if (!policy("hidetypetestmenu")) window_.AddTab("Test", msg(556));
  if (!policy("Games.Hide")) window_.AddTab("Games", msg(557));
  const fs::path monitor = programFilePath().parent_path() / "tapwatch";
  if (fs::exists(monitor) && !policy("Keenhand.Hide")) window_.AddTab("Sidewatch", msg(558));
  window_.SetGap();
  window_.AddTab("Settings", msg(560));
  window_.AddTab("Info", msg(561));
}

void TAppFrame::applyWindowMode() {
  const int mode = workstationSettings ? workstationSettings->ReadInteger("FullScreen") : 0;
  const bool fullScreenAllowed = !(PolicySettings && PolicySettings->ReadBool("NoFullScreen"));
  // Full screen is a window mode: the display itself is never switched.
  if (mode == 2 && fullScreenAllowed) {
    // Without a window manager the full-screen state alone keeps the window's size.
    if (const QScreen* screen = window_.screen()) window_.setGeometry(screen->geometry());
    window_.showFullScreen();
  } else if (mode == 1) {
    window_.showNormal();
  } else {
    window_.showMaximized();
  }
}

void TAppFrame::checkScreen() {
  QScreen* screen = window_.screen();
  const bool policyLow = PolicySettings && PolicySettings->ReadBool("256Colors");
  if (policyLow || (screen && screen->depth() <= 8)) {
    if (workstationSettings && !workstationSettings->ReadBool("256Warned") && !policyLow) {
      box(text(1389), BoxKind::Information);
      workstationSettings->WriteBool("256Warned", true);
    }
    setLowColour(true);
  }
  if (screen && screen->availableGeometry().width() <= 640) {
    if (dialogs().messageBox(text(168) + "\r" + text(169) + "\r" + text(170),
                             Localize().GetStringDefault(1), BoxKind::Question)) {
      box(text(171) + "\r" + text(172) + "\r" + text(178) + "\r" + text(177) + "\r" + text(176) +
              "\r" + text(175) + "\r" + text(174) + "\r" + text(173),
          BoxKind::Information);
    }
  }
}

bool TAppFrame::logon() {
  StatisticsHome home;
  std::string warden = workstationSettings ? workstationSettings->ReadString("WardenLogon") : "";
  std::string autoName = PolicySettings ? PolicySettings->ReadString("AutoLogon") : "";
  const bool windowsLogon = PolicySettings && PolicySettings->ReadBool("WindowsAutoLogon");
  std::string name;
  if (!warden.empty()) {
    workstationSettings->WriteString("WardenLogon", "");
    name = warden;
  } else if (!autoName.empty() || windowsLogon) {
    autoName = expandEnvironment(autoName);
    name = (sameText(autoName, "%USERNAME%") || windowsLogon) ? DisplayName() : autoName;
  }
  if (!name.empty()) {
    try {
      user_ = FindUser(name, -1, ulWrite, false, home);
      if (!user_) user_ = NewUser(name, home);
    } catch (const std::exception& e) {
      box(text(417) + name + text(418) + "\r" + e.what(), BoxKind::Error);
      user_.reset();
    }
    // A learner handed over by the monitor, but with a password, still logs in by hand.
    if (user_ && !warden.empty() && !user_->ReadString("Password").empty()) {
      user_.reset();
    } else if (user_) {
      return true;
    }
  }
  TLoginView login;
  login.PreselectedName =
      workstationSettings ? workstationSettings->ReadString("LastUser." + LoginName()) : "";
  if (!warden.empty()) login.PreselectedName = warden;
  if (login.RunModal() != 1) return false;
  user_ = login.TakeUser();
  return user_ != nullptr;
}

void TAppFrame::afterLogon() {
  TUser& user = *user_;
  const double now = systemClock().now();
  user.WriteInteger("TimesUsed", user.ReadInteger("TimesUsed") + 1);
  user.WriteInteger("Date.LastAccess", static_cast<int32_t>(now));
  user.WriteFloat("Time.LastAccess", static_cast<float>(now));
  if (setLanguage(user.ReadString("languagecode"))) {
    buildMenu();
    retitle();
  }
  measures_ = std::make_unique<Measures>(systemClock());
  analyzer_ = std::make_unique<Analyzer>(*measures_, user.Difficulties(), user.Words());
  Analyzer_SetSource(*analyzer_, wsTutor);

  // The load reports a missing or unusable layout itself, and follows the system layout.
  LoadUserLayout(CurrentLayout(), user.LayoutFileName());
  sound_.setEnabled(user.ReadBool("Sounds"));
  if (user.ReadBool("ThemeSound")) sound_.play(SoundId::Intro);
  if (IsGuestName(user.UserName())) {
    box(text(179) + "\r" + text(180) + "\r" + text(181), BoxKind::Information);
  } else if (workstationSettings) {
    workstationSettings->WriteString("LastUser." + LoginName(), user.UserName());
  }
  if (workstationSettings) workstationSettings->WriteString("LastStudent", user.UserName());
  user.Difficulties().LessonDifficulties.setKeySet(user.KeysUpTo(user.KeyLevel()));

  EventEnvironment& env = eventEnvironment();
  env.analyzer = analyzer_.get();
  env.userSettings = &user;
  env.text.coursesFolder = ProgramSettings->lessonsPath();
  env.text.homeRow = CurrentLayout().HomeRow;
}

void TAppFrame::showUserMessages() {
  TUser& user = *user_;
  TDynamicSettings* group = user.Group();
  if (group && !group->ReadString("Message").empty() &&
      group->ReadString("MessageID") != user.ReadString("LastGrpMessageID")) {
    box(text(542) + text(543) + text(544) + "\r" + group->ReadString("Message"),
        BoxKind::Information);
    user.WriteString("LastGrpMessageID", group->ReadString("MessageID"));
  }
  const std::string own = user.ReadString("Message");
  if (!own.empty()) {
    box(text(542) + text(543) + user.UserName() + "\r" + own, BoxKind::Information);
    user.WriteString("Message", "");
  }
  if (user.ReadBool("Test.Enabled")) {
    ActiveTab = "Test";
  } else if (group && group->ReadBool("Test.Enabled") &&
             group->ReadString("Test.ID") != user.ReadString("Test.LastGrpTestID")) {
    ActiveTab = "Test";
  }
}

int TAppFrame::runPart(const QString& tab) {
  auto it = parts_.find(tab);
  if (it != parts_.end()) return it->second(*this);
  if (tab == "Info") {
    TInfoView view(options_.typeTest);
    return view.RunModal();
  }
  // A part this version does not have yet says so instead of showing an empty page.
  TPlaceholderView view(window_.Title(),
                        tr("This part of %1 is not available in this version yet. Choose "
                           "another tab, or Exit to leave.")
                            .arg(msg(1)));
  return view.RunModal();
}

void TAppFrame::mainLoop() {
  static const std::map<QString, int> kTitles = {
      {"Studying", 601},   {"Courses", 601},   {"Review", 562},   {"Games", 563}, {"Test", 564},
      {"Statistics", 565}, {"Sidewatch", 567}, {"Settings", 568}, {"Info", 569}};
  const QString fallback = options_.typeTest || options_.typeTest2 ? "Test" : "Studying";
  while (!ExitRequested && !appTerminating()) {
    if (ActiveTab.isEmpty()) ActiveTab = fallback;
    if (ActiveTab == "SidewatchStatistics") {
      ActiveTab = "Sidewatch";
      StatisticsPage = true;
    }
    const QString tab = ActiveTab;
    currentTab_ = tab;
    window_.MarkTab(tab);
    ActiveTab.clear();
    auto title = kTitles.find(tab);
    window_.SetTitle(title != kTitles.end() ? msg(title->second) : QString());
    const std::string language = ActiveLanguage;
    const int result = runPart(tab);
    // The settings page may have switched the language: the menu and captions follow it.
    if (ActiveLanguage != language) languageChanged();
    if (ActiveTab.isEmpty()) {
      if (tab == "Studying" && result == 55) ActiveTab = "Sidewatch";
      if ((tab == "Studying" || tab == "Courses") && result == 3) ActiveTab = "Settings";
      if ((tab == "Studying" || tab == "Courses") && result == 4) ActiveTab = "Statistics";
    }
    window_.PageState(3);
  }
}

void TAppFrame::onTabClicked(const QString& name) {
  sound().play(SoundId::Click);
  ActiveTab = name;
  if (TFormView* view = TFormView::ActiveView()) {
    if (!view->Close()) ActiveTab.clear();  // a refused close keeps the tab
  }
}

void TAppFrame::onExitRequest(bool fromButton) {
  if (fromButton) sound().play(SoundId::Click);
  if (TFormView* view = TFormView::ActiveView()) {
    if (!view->Close()) return;
  }
  ExitRequested = true;
}

void TAppFrame::uninstall() {
  window_.setWindowTitle(msg(1867));
  window_.showMinimized();
  // The end of the session for the monitor: it saves, then closes; a tutor that still runs
  // closes as its window's close box would close it.
  PeerLink::post("tapwatch", "WM_QUERYENDSESSION", 0, 1000);
  PeerLink::post("tapwatch", "WM_ENDSESSION", 1, 5000);
  PeerLink::post("tapwatch", "WM_CLOSE", 0, 1000);
  PeerLink::post("keyscholar", "WM_CLOSE", 0, 1000);
  QEventLoop pause;
  QTimer::singleShot(500, &pause, &QEventLoop::quit);
  pause.exec();
}

int TAppFrame::start() {
  window_.setWindowTitle("Loading..");
  if (!loadLanguage()) return kFailed;
  retitle();
  if (options_.uninstall) {
    uninstall();
    return 0;
  }
  if (int r = singleInstance()) return r;
  // Review lessons of a run that crashed left their temporary files behind; swept once the
  // first page is up (a review lesson sweeps before it makes its own folder anyway).
  QTimer::singleShot(1000, this, [] { removeStaleReviewFolders(); });
  ProgramSettings = std::make_unique<TProgramSettings>();
  ProgramSettings->versionText = kVersionStamp;
  ProgramSettings->screenshotMode = options_.screenshotMode;
  if (InstanceLock::isHeld(kMonitorMutex)) {
    // The monitor answers only after it has saved and closed the learner's files. Should it not
    // answer in time, the learner's file lock still keeps a second writer out; ENABLE goes at
    // the end either way (the monitor ignores it when it is on).
    PeerLink::request("tapwatch", "QSSidewatch1999.DISABLE", 0, 10000);
    monitorDisabled_ = true;
  }
  if (ProgramSettings->fatal()) return kFailed;
  if (!OpenPolicySettings("Policy.dyn", ProgramSettings->rootPath())) {
    box("Unable to connect the server for loading course policy ERR#2101", BoxKind::Error);
  } else {
    setLanguage(PolicySettings->ReadString("languagecode"));
    retitle();
  }
  if (!openWorkstation()) return kFailed;
  stampWorkstation();
  // The workstation is set up: that is all /IN1 asks for, and an installer reads 0 as success.
  if (options_.in1) return 0;
  if (PolicySettings) {
    const std::string wizard = PolicySettings->ReadString("DefaultWizard");
    const std::string contents = PolicySettings->ReadString("DefaultContents");
    const fs::path lessons = ProgramSettings->lessonsPath();
    if (!wizard.empty() && !fs::exists(joinResolved(lessons, wizard + ".wzd")))
      ReportError(-1, "Default Wizard: " + wizard + ".WZD");
    if (!contents.empty() && !fs::exists(joinResolved(lessons, contents)))
      ReportError(-1, "Default contents: " + contents);
  }
  if (PolicySettings)
    window_.SetMenuLogo(installationPicture(PolicySettings->ReadString("MenuLogoFile")));
  buildMenu();
  window_.SetExitVisible(true);
  window_.SetTitle(msg(393));
  applyWindowMode();
  if (systemKeyboard().capsLockOn()) systemKeyboard().setCapsLock(false);
  checkScreen();
  ExitRequested = false;
  if (options_.sidewatch) ActiveTab = "Sidewatch";
  if (options_.statistics) ActiveTab = "SidewatchStatistics";
  if (options_.screenshotMode) window_.setWindowTitle("SCREENSHOTMODE");
  if (!logon()) {
    if (!user_) return appTerminating() ? 0 : 0;
  }
  if (!user_) {
    box(text(394), BoxKind::Error);
    return kFailed;
  }
  afterLogon();
  retitle();
  showUserMessages();
  mainLoop();
  return 0;
}

int TAppFrame::Initialize() {
  try {
    return start();
  } catch (const std::exception& e) {
    ReportError(-4000, std::string("System Error occured: ") + e.what());
    return kFailed;
  }
}

void TAppFrame::Finalize(int startResult) {
  try {
    instance_.release();
    sound_.setEnabled(false);
    std::error_code ec;
    const bool folderGone = ProgramSettings && !fs::is_directory(ProgramSettings->dataPath(), ec);
    if (folderGone) {
      // A data folder that went away (a network share) cannot take the learner's files.
      ReportError(-4001, std::string("System Error occured: ") + text(1391));
    } else {
      if (user_) SaveUser(*user_);
      if (workstationSettings && workstationSettings->Flush() != 1)
        ReportError(-5, pathTo1252(fs::path(workstationSettings->path())));
      if (PolicySettings) PolicySettings->Flush();
    }
    user_.reset();
    workstationSettings.reset();
    PolicySettings.reset();
    ProgramSettings.reset();
    eventEnvironment() = EventEnvironment{};
  } catch (const std::exception& e) {
    ReportError(-4001, std::string("System Error occured: ") + e.what());
  }
  // The monitor runs again whatever became of the saves; one started from the Sidewatch page
  // while this tutor ran was told to keep quiet until now, too.
  if (startResult != kOtherInstance && (monitorDisabled_ || InstanceLock::isHeld(kMonitorMutex)))
    PeerLink::post("tapwatch", "QSSidewatch1999.ENABLE", 0, 2000);
}

}  // namespace ks
