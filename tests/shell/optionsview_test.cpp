// The settings page as a learner uses it: each choice lands in the learner's or the
// workstation's settings, the layout and the sounds change at once, locked choices stay as the
// policy says, and a new language rebuilds the menu.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <cstdlib>
#include <set>

#include "analysis/keydataext.h"
#include "analysis/shippedkbd.h"
#include "analysis/ui/keyboardex.h"
#include "platform/desktop/canberrasound.h"
#include "shell/appframe.h"
#include "shell/optionsview.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "store/user.h"
#include "support/booktest.h"
#include "support/tempdir.h"

namespace ks {
namespace {

using test::readFile;
using test::writeFile;

// An installation with two languages and three layouts, one of them missing.
void writeInstallation(const std::filesystem::path& root, const std::string& policy) {
  std::filesystem::create_directories(root / "Database");
  std::filesystem::create_directories(root / "keyboards");
  writeFile(root / "Policy.dyn", policy);
  writeFile(root / "QSLangs.ini", "[Languages]\r\nlanguage=ENG\r\nEnglish=ENG\r\nTestish=TST\r\n");
  writeFile(root / "language.eng",
            "0=eng\r\n1=Tutor\r\n182=Sounds\r\n191=Window size\r\n196=Keyboard layout\r\n"
            "198=Detect automatically\r\n200=Play the welcome tune\r\n205=none\r\n"
            "560=Settings\r\n561=Info\r\n571=Speed unit\r\n574=Choose a layout:\r\n"
            "598=locked\r\n1107=none\r\n1435=Language\r\n1686=Maximised\r\n"
            "2750=No layout file:\\+\r\n2751=Unusable layout file:\\+\r\n");
  writeFile(root / "language.tst", "0=tst\r\n560=Optionen\r\n1435=Sprache\r\n1686=Maximal\r\n");
  writeFile(root / "QSKeyb.ini",
            "[Keyboards]\r\nEnglish US=qwerty.kbd;09;XX\r\nGerman=german.kbd;07;XX\r\n"
            "Lost=lost.kbd\r\nBroken=broken.kbd\r\n");
  writeFile(root / "keyboards" / "broken.kbd", "not a layout\r\n");
  test::writeShippedLayout(root / "keyboards", "qwerty.kbd");
  test::writeShippedLayout(root / "keyboards", "german.kbd");
  writeFile(root / "Database" / "LAB1.wks", "UsageTimes=1\r\n");
}

class OptionsTest : public test::BookWindowTest {
 protected:
  void SetUp() override {
    BookWindowTest::SetUp();
    setSound(&sound_);
  }
  void TearDown() override {
    user_.reset();
    setSound(nullptr);
    workstationSettings.reset();
    PolicySettings.reset();
    ProgramSettings.reset();
    Localize().Reset();
    ActiveLanguage.clear();  // the next test starts in the installation's first language
  }
  void install(const std::string& policy, const std::string& workstation = "") {
    keyboard_.configured = {"00000409", "00000407"};
    writeInstallation(dir_.path(), policy);
    writeFile(dir_ / "Database" / "LAB1.wks", workstation);
    Localize().SetFolder(dir_.path());
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    ProgramSettings = std::make_unique<TProgramSettings>(dir_.path());
    OpenPolicySettings("Policy.dyn", dir_.path());
    workstationSettings = std::make_unique<TDynamicSettings>();
    ASSERT_EQ(workstationSettings->Open((dir_ / "Database" / "LAB1.wks").string(), omDenyWrite), 1);
    user_ = NewUser("Ann");
    CurrentLayout().loadFromFile((dir_ / "keyboards" / "qwerty.kbd").string());
  }
  template <typename T>
  T* find(const char* name) {
    return window_.findChild<T*>(name);
  }
  // Runs the page; `steps` act while it is shown, then it is left with Escape.
  void run(std::function<void()> steps) {
    TOptionsView view(*user_);
    later([&] {
      steps();
      key(Qt::Key_Escape);
    });
    EXPECT_EQ(view.RunModal(), 2);
  }

  test::TempDir dir_;
  test::RecordingDialogs boxes_;
  test::FakeSystemKeyboard keyboard_;
  CanberraSound sound_{dir_.path()};
  std::unique_ptr<TUser> user_;
};

TEST_F(OptionsTest, EachChoiceIsStoredTheLayoutAndSoundsAtOnceTheRestOnLeaving) {
  install("");
  run([this] {
    auto* layouts = find<QListWidget>("Layout");
    ASSERT_EQ(layouts->count(), 4);
    EXPECT_EQ(layouts->item(2)->text(), "German");  // sorted
    EXPECT_TRUE(find<QRadioButton>("AutoDetect")->text().contains("English US"));

    // A layout from the list: chosen by name, loaded and drawn at once.
    layouts->setCurrentRow(2);
    EXPECT_TRUE(find<QRadioButton>("UserLayout")->isChecked());
    EXPECT_EQ(user_->ReadString("KeyboardLayout"), "German");
    EXPECT_FALSE(user_->ReadBool("KeyboardAutoDetect"));
    EXPECT_NE(CurrentLayout().FileName.find("german.kbd"), std::string::npos);
    EXPECT_EQ(find<TKeyboard>("Keyboard")->Model().KeyCount(), CurrentLayout().Keys.size());
    EXPECT_EQ(keyboard_.active, "00000409");  // the system's layout follows on leaving
    // A layout whose file is missing or unusable is logged, said in the learner's language,
    // and keeps the keyboard there is.
    layouts->setCurrentRow(3);
    EXPECT_NE(CurrentLayout().FileName.find("german.kbd"), std::string::npos);
    EXPECT_EQ(find<QLabel>("LayoutMissing")->text(), "No layout file: lost.kbd");
    layouts->setCurrentRow(0);
    EXPECT_NE(CurrentLayout().FileName.find("german.kbd"), std::string::npos);
    EXPECT_EQ(find<QLabel>("LayoutMissing")->text(), "Unusable layout file: broken.kbd");
    const std::string log = readFile(dir_ / "Database" / "Errors.log");
    EXPECT_NE(log.find("lost.kbd not found!"), std::string::npos) << log;
    EXPECT_NE(log.find("broken.kbd not found!"), std::string::npos) << log;
    layouts->setCurrentRow(2);
    EXPECT_TRUE(find<QLabel>("LayoutMissing")->text().isEmpty());

    find<QComboBox>("SoundsCombo")->setCurrentIndex(1);
    EXPECT_TRUE(sound_.enabled());
    EXPECT_EQ(user_->ReadInteger("Sounds"), 1);

    find<QComboBox>("LangList")->setCurrentIndex(1);
    find<QComboBox>("SpeedUnitCombo")->setCurrentIndex(1);
    find<QComboBox>("FontSizeCombo")->setCurrentIndex(2);
    find<QCheckBox>("GeneralTheme")->setChecked(true);
    EXPECT_EQ(ActiveLanguage, "ENG");  // the language changes when the page is left
  });
  EXPECT_EQ(ActiveLanguage, "TST");
  EXPECT_EQ(Localize().GetString(560), "Optionen");
  EXPECT_EQ(user_->ReadString("LanguageCode"), "TST");
  EXPECT_EQ(user_->ReadInteger("cpm"), 0);
  EXPECT_TRUE(user_->ReadBool("ThemeSound"));
  EXPECT_EQ(workstationSettings->ReadInteger("FullScreen"), 2);
  EXPECT_NE(CurrentLayout().FileName.find("german.kbd"), std::string::npos);
  EXPECT_EQ(keyboard_.active, "00000407");
}

TEST_F(OptionsTest, LockedChoicesStayLockedAndKeepTheirValue) {
  install(
      "Sounds=0\r\nSounds.locked=1\r\ncpm=1\r\ncpm.locked=1\r\nKeyboardLayout=German\r\n"
      "KeyboardLayout.locked=1\r\nNoFullScreen=1\r\nDisableWindowsLayouts=1\r\n",
      "FullScreen=2\r\n");
  user_->WriteInteger("Sounds", 1);
  run([this] {
    for (const char* name : {"SoundsCombo", "SpeedUnitCombo"})
      EXPECT_FALSE(find<QComboBox>(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QListWidget>("Layout")->isEnabled());
    for (const char* name : {"SoundsLocked", "UnitLocked", "KeyboardLocked"})
      EXPECT_TRUE(find<QLabel>(name)->isVisible()) << name;
    for (const char* name : {"ThemeLocked", "LanguageLocked"})
      EXPECT_FALSE(find<QLabel>(name)->isVisible()) << name;
    EXPECT_TRUE(find<QComboBox>("LangList")->isEnabled());
    // The locked layout is the one shown, chosen and loaded.
    EXPECT_TRUE(find<QRadioButton>("UserLayout")->isChecked());
    EXPECT_EQ(find<QListWidget>("Layout")->currentItem()->text(), "German");
    EXPECT_TRUE(find<QListWidget>("Layout")->currentItem()->isSelected());
    EXPECT_NE(CurrentLayout().FileName.find("german.kbd"), std::string::npos);
    // Full screen is not offered; the stored full screen shows as maximised.
    EXPECT_EQ(find<QComboBox>("FontSizeCombo")->count(), 2);
    EXPECT_EQ(find<QComboBox>("FontSizeCombo")->currentIndex(), 0);
  });
  EXPECT_EQ(user_->ReadInteger("Sounds"), 0);
  EXPECT_FALSE(sound_.enabled());
  EXPECT_EQ(workstationSettings->ReadInteger("FullScreen"), 0);
  EXPECT_EQ(keyboard_.switches, 0);
}

// What the keyboard part of the page shows: the layout the learner has chosen marked in the
// list only while it is the choice, names and caps in the learner's language, the keyboard
// on its own colour.
TEST_F(OptionsTest, TheKeyboardPartSpeaksTheLearnersLanguageAndMarksOnlyTheChoice) {
  install("");
  user_->WriteBool("KeyboardAutoDetect", true);
  user_->WriteString("KeyboardLayout", "German");
  writeFile(dir_ / "language.tst", "0=tst\r\n2752=Strg\r\n2765=Deutsch\r\n");
  Localize().SetLanguage("TST");
  run([this] {
    auto* layouts = find<QListWidget>("Layout");
    auto* detect = find<QRadioButton>("AutoDetect");
    ASSERT_TRUE(detect->isChecked());
    ASSERT_TRUE(layouts->currentItem());
    EXPECT_EQ(layouts->currentItem()->text(), "Deutsch");
    EXPECT_TRUE(layouts->selectedItems().isEmpty());  // detection chooses, not the list
    find<QRadioButton>("UserLayout")->setChecked(true);
    EXPECT_EQ(layouts->selectedItems().size(), 1);
    EXPECT_EQ(user_->ReadString("KeyboardLayout"), "German");  // stored by its own name
    detect->setChecked(true);
    EXPECT_TRUE(layouts->selectedItems().isEmpty());

    TKeyboard* keyboard = find<TKeyboard>("Keyboard");
    ASSERT_TRUE(keyboard);
    EXPECT_TRUE(keyboard->autoFillBackground());
    EXPECT_EQ(keyboard->palette().color(QPalette::Window), QColor(231, 246, 231));
    std::set<std::string> caps;
    for (const auto& k : CurrentLayout().Keys) caps.insert(CurrentLayout().getKeyCaption(*k, 0));
    EXPECT_TRUE(caps.count("Strg"));
    EXPECT_FALSE(caps.count("Ctrl"));
    EXPECT_TRUE(caps.count("Alt"));  // a cap the language leaves alone keeps the layout's name
  });
}

// Alt and a letter reaches every choice, each its own letter, none taken from the menu.
TEST_F(OptionsTest, EveryChoiceAnswersItsOwnAltLetter) {
  install("");
  window_.AddTab("Test", "&Typing test");
  run([this] {
    EXPECT_EQ(QApplication::focusWidget(), find<QComboBox>("LangList"));
    key(Qt::Key_Alt);  // the letters show
    std::set<QChar> letters{'t'};
    const auto letterOf = [&letters](const QString& text) {
      const qsizetype at = text.indexOf('&');
      EXPECT_GE(at, 0) << text.toStdString();
      if (at < 0) return QChar();
      EXPECT_TRUE(letters.insert(text[at + 1].toLower()).second) << text.toStdString();
      return text[at + 1];
    };
    const std::pair<const char*, const char*> buddies[] = {{"LanguageC", "LangList"},
                                                           {"SpeedUnit", "SpeedUnitCombo"},
                                                           {"FontsTitle", "FontSizeCombo"},
                                                           {"KeyboardTitle", "Layout"},
                                                           {"SoundsTitle", "SoundsCombo"}};
    for (auto [label, control] : buddies) {
      const QChar c = letterOf(find<QLabel>(label)->text());
      QTest::keyClick(&window_, c.toLatin1(), Qt::AltModifier);
      EXPECT_EQ(QApplication::focusWidget()->objectName(), control) << label;
    }
    for (const char* button : {"AutoDetect", "UserLayout", "GeneralTheme"}) {
      auto* b = find<QAbstractButton>(button);
      QTest::keyClick(&window_, letterOf(b->text()).toLatin1(), Qt::AltModifier);
      EXPECT_EQ(QApplication::focusWidget(), b) << button;
    }
  });
}

// The settings page opens when studying asks for it, and the menu speaks the language chosen
// there as soon as the page is left.
TEST(OptionsPart, ALanguageChangeRebuildsTheMenu) {
  test::TempDir dir;
  test::RecordingDialogs boxes;
  writeInstallation(dir.path(), "AutoLogon=Ann\r\n");
  setenv("KEYSCHOLAR_ROOT", dir.path().c_str(), 1);
  TBookFormEx window;
  QString menuCaption;
  int result = 0;
  {
    StartOptions options;
    options.noMutex = true;
    options.workstationName = "LAB1";
    TAppFrame frame(window, options);
    // Studying ends asking for the settings, as the wrong-keyboard page's Settings button does.
    frame.SetPart("Studying", [](TPartHost&) { return 3; });
    registerOptionsPart(frame);
    frame.SetPart("Info", [&](TPartHost& host) {
      menuCaption = window.Tab("Settings")->text();
      host.ExitRequested = true;
      return 0;
    });
    // Once the settings page is up: another language, then another tab.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* languages = window.findChild<QComboBox*>("LangList");
      if (!languages || !languages->isVisible()) return;
      poll.stop();
      languages->setCurrentIndex(1);
      window.Tab("Info")->click();
    });
    poll.start(10);
    // A test that goes wrong ends instead of waiting for ever.
    QTimer::singleShot(20000, [&] {
      frame.ExitRequested = true;
      if (TFormView* view = TFormView::ActiveView()) view->SetCloseResult(2);
    });
    result = frame.Initialize();
    frame.Finalize(result);
  }
  unsetenv("KEYSCHOLAR_ROOT");
  Localize().Reset();
  ActiveLanguage.clear();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(menuCaption, "Optionen");
  std::string stored;
  for (const auto& e : std::filesystem::directory_iterator(dir / "Database"))
    if (e.path().extension() == ".usr") stored = readFile(e.path());
  EXPECT_NE(stored.find("LanguageCode=TST"), std::string::npos) << stored;
}

}  // namespace
}  // namespace ks
