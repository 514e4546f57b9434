#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "analysis/analyzer.h"
#include "book/pagestyle.h"
#include "content/eventloader.h"
#include "content/studylearner.h"
#include "content/ui/exerciseinfoview.h"
#include "content/ui/resultviews.h"
#include "content/ui/studystyle.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/textevent.h"
#include "engine/ui/viewfactory.h"
#include "platform/desktop/qtdialogs.h"
#include "platform/desktop/qtext.h"
#include "platform/sharedfile.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "store/typedtexts.h"
#include "store/user.h"
#include "support/booktest.h"
#include "support/eventfixture.h"
#include "support/tempdir.h"
#include "text/textutil.h"
#include "typingtest/ui/choosetextview.h"
#include "typingtest/ui/typingtest.h"

namespace ks {
namespace {

// Tests typed through the tutor's own key path, event views and result view, for a learner
// whose files live in a folder of the test, under a fake clock.
class TypingTestViews : public test::BookWindowTest {
 protected:
  void SetUp() override {
    test::BookWindowTest::SetUp();
    std::filesystem::create_directories(dir_ / "Database");
    std::filesystem::create_directories(dir_ / "Texts");
    test::writeFile(dir_ / "Policy.dyn", "");
    test::writeFile(dir_ / "0.grp", "Name=General\r\n");
    test::writeFile(dir_ / "QSKeyb.ini", "[layouts]\r\nUS=qwerty.kbd;09;XX\r\n");
    OpenPolicySettings("Policy.dyn", dir_.path());
    Localize().SetFolder(std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar");
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    ProgramSettings = std::make_unique<TProgramSettings>(dir_.path());
    text("Short", "Name=Short story\r\ncopyright=Anon\r\nMinAccuracy=99\r\nmustTypeAll=1\r\n",
         "the cat sat on a mat");
    text("Long", "Name=Long story\r\nMinSpeed=20\r\n", "a long text to type here");
  }
  void TearDown() override {
    eventEnvironment() = EventEnvironment{};
    learner_.reset();
    analyzer_.reset();
    user_.reset();
    ProgramSettings.reset();
    PolicySettings.reset();
  }
  void text(const std::string& base, const std::string& descriptor, const std::string& body) {
    test::writeFile(dir_ / "Texts" / (base + ".exi"), descriptor);
    test::writeFile(dir_ / "Texts" / (base + ".exm"), body);
  }
  // Logs "Ann" on as the tutor does for the events.
  void logon(const std::string& settings = "") {
    user_ = NewUser("Ann");
    for (const std::string& line : splitLines(settings)) {
      const size_t eq = line.find('=');
      user_->WriteString(line.substr(0, eq), line.substr(eq + 1));
    }
    learner_ = std::make_unique<UserLearner>(*user_);
    analyzer_ = std::make_unique<Analyzer>(measures_, user_->Difficulties(), user_->Words());
    EventEnvironment& env = test::freshEventEnvironment(clock_, analyzer_.get());
    env.userSettings = user_.get();
    env.learner = learner_.get();
    registerTestEvent();
  }
  template <typename T>
  void whenActive(std::function<void(T&)> action) {
    later(
        [this, action] {
          if (auto* view = dynamic_cast<T*>(TFormView::ActiveView())) return action(*view);
          whenActive<T>(action);
        },
        10);
  }
  // Types the words of the exam three seconds apart (the last one ends with Enter, the end of
  // its line), closes it and its result page, then does `next`.
  void takeTest(std::vector<std::string> words, std::function<void()> next = nullptr) {
    whenActive<TTextEventView>([this, words, next](TTextEventView& exam) {
      for (const std::string& w : words) {
        type(QString::fromStdString(w));
        clock_.advance(3000);
      }
      key(Qt::Key_Return);
      EXPECT_EQ(exam.TEvent::State, esFinished);
      whenActive<TExercInfoView>([this, next](TExercInfoView&) {
        saveScreenshot(&window_, "typingtest_result");
        if (next) next();
        key(Qt::Key_Return);
      });
      key(Qt::Key_Return);
    });
  }
  // Runs `action` on the message box once it is up.
  void whenBox(std::function<void(QMessageBox&)> action) {
    later(
        [this, action] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            return action(*box);
          whenBox(action);
        },
        10);
  }
  int runLine(const std::string& line) {
    TEventLoader loader(line);
    return loader.Execute({factory_, nullptr, nullptr});
  }
  const TResultItem* result(const std::string& name) {
    for (const TResultItem& r : user_->Results().Items()) {
      if (r.Name == name) return &r;
    }
    return nullptr;
  }

  test::TempDir dir_;
  test::RecordingDialogs boxes_;
  FakeClock clock_;
  Measures measures_{clock_};
  std::unique_ptr<TUser> user_;
  std::unique_ptr<UserLearner> learner_;
  std::unique_ptr<Analyzer> analyzer_;
  ViewEventFactory factory_;
};

TEST_F(TypingTestViews, ATypedTestStoresItsFiguresAndWhatWasTypedAndPassesOnlyItsCriteria) {
  logon();
  takeTest({"the ", "cat ", "sat ", "on ", "a ", "mat"});
  EXPECT_EQ(runLine("Event=Test;0;c:\\texts\\short.exm;false;"), 1);
  takeTest({"the ", "cst ", "sat ", "on ", "a ", "mat"});
  EXPECT_EQ(runLine("Event=Test;0;Short;false;"), 1);

  EXPECT_EQ(user_->ReadInteger("TestCounter"), 2);
  const TResultItem* clean = result("TEST1");
  const TResultItem* faulty = result("TEST2");
  ASSERT_TRUE(clean && faulty);
  EXPECT_EQ(clean->Source, "NAME");
  EXPECT_EQ(clean->Kind, "TEST");
  EXPECT_EQ(clean->TestName, "Short story");
  EXPECT_TRUE(clean->Checked);
  EXPECT_EQ(clean->Accuracy, 100);
  EXPECT_EQ(clean->ErrorHits, 0);
  EXPECT_GE(clean->TypingSeconds, 14);
  EXPECT_GT(clean->GrossSpeed, 0);
  EXPECT_EQ(clean->NetSpeed, clean->GrossSpeed);
  EXPECT_FALSE(faulty->Checked);  // 99 % accuracy asked
  EXPECT_LT(faulty->Accuracy, 99);
  EXPECT_GT(faulty->ErrorHits, 0);
  EXPECT_LT(faulty->NetSpeed, faulty->GrossSpeed);
  EXPECT_NE(faulty->Tip.find(Localize().GetString(261)), std::string::npos);

  TTypedTexts typed;
  ASSERT_EQ(typed.Load(user_->TypedTextPath(faulty->Number).string()), 1);
  std::string wrong;
  for (int i = 0; i < typed.Count(); ++i) {
    if (typed.Pairs()[i].Typed[0] != TTypedTexts::SameAsTarget) wrong += typed.TypedLine(i);
  }
  EXPECT_EQ(wrong.substr(0, 3), "cst");
  ASSERT_EQ(typed.Load(user_->TypedTextPath(clean->Number).string()), 1);
  EXPECT_GT(typed.Count(), 0);
  for (const TTypedTexts::Pair& p : typed.Pairs()) EXPECT_EQ(p.Typed[0], TTypedTexts::SameAsTarget);

  // A named text that is missing cancels the test and the learner's assigned test.
  user_->WriteBool("Test.Enabled", true);
  EXPECT_EQ(runLine("Event=Test;60;Gone.exm;false;"), 0);
  EXPECT_FALSE(user_->ReadBool("Test.Enabled"));
}

TEST_F(TypingTestViews, AssignedAndGroupTestsAreAnnouncedTakenOnceAndRemembered) {
  test::writeFile(dir_ / "0.grp",
                  "Name=General\r\nTest.Enabled=1\r\nTest.ID=7\r\nTest.Name=Long\r\n"
                  "Test.Duration=0\r\n");
  logon("Test.Enabled=1\nTest.Name=Short\nTest.Duration=0\nTest.Message=Good luck");
  user_->Difficulties().LessonDifficulties.setKeySet("asdf");
  std::vector<std::string> keySets;
  takeTest({"the ", "cat ", "sat ", "on ", "a ", "mat"}, [&] {
    keySets.push_back(user_->Difficulties().LessonDifficulties.KeySet());
    takeTest({"a ", "long ", "text ", "to ", "type ", "here"},
             [&] { whenActive<TChooseTextView>([](TChooseTextView& view) { view.Close(); }); });
  });
  TTypingTest test(*user_);
  EXPECT_EQ(test.RunTypingTest(), 0);

  ASSERT_EQ(boxes_.texts().size(), 2u) << testing::PrintToString(boxes_.texts());
  EXPECT_NE(boxes_.texts()[0].find(Localize().GetString(1370)), std::string::npos);
  EXPECT_NE(boxes_.texts()[0].find("Good luck"), std::string::npos);
  EXPECT_EQ(boxes_.texts()[1].rfind(Localize().GetString(1369) + " - ", 0), 0u);
  EXPECT_FALSE(user_->ReadBool("Test.Enabled"));
  EXPECT_EQ(user_->ReadString("Test.LastGrpTestID"), "7");
  EXPECT_EQ(user_->ReadInteger("TypingTestsDoneCounter"), 2);
  EXPECT_EQ(keySets, std::vector<std::string>{""});  // every key counts in a test
  EXPECT_EQ(user_->Difficulties().LessonDifficulties.KeySet(), "asdf");
  ASSERT_TRUE(result("TEST1") && result("TEST2"));
  EXPECT_EQ(result("TEST2")->TestName, "Long story");

  // Both were taken: the next visit goes straight to the choice.
  whenActive<TChooseTextView>([](TChooseTextView& view) { view.Close(); });
  TTypingTest again(*user_);
  EXPECT_EQ(again.RunTypingTest(), 0);
  EXPECT_EQ(boxes_.texts().size(), 2u);
}

TEST_F(TypingTestViews, TheChoiceWorksByKeyboardAddsAndDeletesOwnTexts) {
  logon("StoryFile=Short\nStoryTime=5 min");
  test::writeFile(dir_ / "mine.txt", "My own \xE2\x80\x9Ctext\xE2\x80\x9D.\n");
  bool chooserAsked = false;
  whenActive<TChooseTextView>([&](TChooseTextView& view) {
    view.ChooseFile = [&] {
      chooserAsked = true;
      return dir_ / "mine.txt";
    };
    auto* list = window_.findChild<QListWidget*>("TextList");
    ASSERT_TRUE(list && list->hasFocus());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);  // the text chosen last time
    EXPECT_EQ(window_.findChild<QLabel*>("Copyright")->text(), "Anon (required accuracy 99%)");
    EXPECT_EQ(window_.findChild<QComboBox*>("TimeCombo")->currentText(), "5 min");
    EXPECT_FALSE(window_.findChild<QPushButton*>("DiplomaBtn")->isEnabled());
    EXPECT_FALSE(window_.findChild<QPushButton*>("ResultBtn")->isEnabled());
    EXPECT_EQ(window_.findChild<QLabel*>("NetSpeedLbl")->text(), "-");
    key(Qt::Key_A, Qt::AltModifier);  // add a text (the button is clicked a moment later)
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooserAsked; }, 2000));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 0);  // own texts come first
    EXPECT_EQ(list->currentItem()->text(), "mine.txt (added)");
    saveScreenshot(&window_, "typingtest_choice");
    key(Qt::Key_Delete);  // and deleted again (the box says yes)
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 0);  // the next text, "Long story"
    key(Qt::Key_Tab);                  // the duration
    ASSERT_TRUE(window_.findChild<QComboBox*>("TimeCombo")->hasFocus());
    window_.findChild<QComboBox*>("TimeCombo")->setCurrentText("250");
    whenActive<TTextEventView>([this](TTextEventView& exam) {
      EXPECT_EQ(exam.TimeLimit, 200 * 60);
      key(Qt::Key_Escape);
    });
    key(Qt::Key_Return);  // start
  });
  EXPECT_EQ(runLine("Event=Test;3;ask:*.exm;false;"), 2);
  EXPECT_EQ(user_->ReadString("StoryFile"), "Long");
  EXPECT_EQ(user_->ReadString("StoryTime"), "250");
  EXPECT_TRUE(user_->Results().Items().empty());  // a cancelled test is no test
  EXPECT_EQ(boxes_.texts().size(), 1u);           // the question before deleting
  EXPECT_FALSE(std::filesystem::exists(dir_ / "Texts" / "Text1.exm"));
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

TEST_F(TypingTestViews, ATestLineOfACourseIsStoredOnceAsTheCourseExerciseAndPassesWithTheTest) {
  logon("StoryFile=Short\nStoryTime=none");
  whenActive<TChooseTextView>([this](TChooseTextView&) {
    takeTest({"the ", "cat ", "sat ", "on ", "a ", "mat"});
    key(Qt::Key_Return);
  });
  StudyResultPresenter presenter(learner_.get());
  TEventLoader loader("event=test;3;ask:*.exm");
  loader.CourseId = "ENG1";
  EXPECT_EQ(loader.Execute({factory_, &presenter, learner_.get()}), 1);
  ASSERT_EQ(user_->Results().Items().size(), 1u);
  const TResultItem& r = user_->Results().Items()[0];
  EXPECT_EQ(r.Source, "BKM");
  EXPECT_EQ(r.CourseId, "ENG1");
  EXPECT_EQ(r.Kind, "TEST");
  EXPECT_EQ(r.TestName, "Short story");
  EXPECT_TRUE(r.Checked);
  EXPECT_TRUE(loader.Checked);
  TTypedTexts typed;
  EXPECT_EQ(typed.Load(user_->TypedTextPath(r.Number).string()), 1);
  EXPECT_GT(typed.Count(), 0);
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

TEST_F(TypingTestViews, EnterOnTheDeleteQuestionKeepsTheOwnTextOnlyYesDeletesIt) {
  logon("StoryFile=Text1");
  QtDialogs shown(&window_);
  setDialogs(&shown);
  for (const std::string language : {"ENG", "DEU", "SPA", "FRA", "POR", "ITA"}) {
    ActiveLanguage = language;
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    text("Text1", "Name=mine.txt (added)\r\nuserAdded=QSPro\r\ndateAdded=45000\r\n", "mine");
    whenActive<TChooseTextView>([&](TChooseTextView& view) {
      auto* list = window_.findChild<QListWidget*>("TextList");
      ASSERT_TRUE(list);
      EXPECT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }, 2000));
      list->setFocus();
      EXPECT_EQ(list->currentItem()->text(), "mine.txt (added)");
      whenBox([&](QMessageBox& box) {
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        saveScreenshot(&box, QString::fromStdString("typingtest_delete_" + lowerCase(language)));
        QTest::keyClick(&box, Qt::Key_Return);
      });
      key(Qt::Key_Delete);
      EXPECT_EQ(list->count(), 3);
      EXPECT_TRUE(std::filesystem::exists(dir_ / "Texts" / "Text1.exm"));
      EXPECT_TRUE(std::filesystem::exists(dir_ / "Texts" / "Text1.exi"));
      // The keys are the window's again once the box has gone.
      EXPECT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }, 2000));
      list->setFocus();
      whenBox([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
      key(Qt::Key_Delete);
      EXPECT_EQ(list->count(), 2);
      EXPECT_FALSE(std::filesystem::exists(dir_ / "Texts" / "Text1.exm"));
      EXPECT_FALSE(std::filesystem::exists(dir_ / "Texts" / "Text1.exi"));
      view.Close();
    });
    runLine("Event=Test;0;ask:*.exm;false;");
  }
  setDialogs(&boxes_);
  ActiveLanguage = "ENG";
  Localize().LoadLanguage("language", 1);
}

TEST_F(TypingTestViews, OwnTextsLiveInAFolderOfAnyNameFromAFileOfAnyName) {
  // An installation whose folder 1252 cannot spell; the learner's file in another such folder.
  const std::filesystem::path root = dir_ / "\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82\xD1\x8B";
  std::filesystem::create_directories(root / "Texts");
  std::filesystem::create_directories(root / "Database");
  std::filesystem::create_directories(dir_ / "\xD0\x9C\xD0\xBE\xD0\xB8");
  const std::filesystem::path chosen = dir_ / "\xD0\x9C\xD0\xBE\xD0\xB8" / "story.txt";
  test::writeFile(chosen, "the cat sat on a mat\n");
  ProgramSettings = std::make_unique<TProgramSettings>(root);
  logon("StoryTime=none");
  whenActive<TChooseTextView>([&](TChooseTextView& view) {
    view.ChooseFile = [&] { return chosen; };
    key(Qt::Key_A, Qt::AltModifier);
    auto* list = window_.findChild<QListWidget*>("TextList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() == 1; }, 2000));
    EXPECT_EQ(list->currentItem()->text(), "story.txt (added)");
    whenActive<TTextEventView>([this](TTextEventView& exam) {
      // The exam types the file itself, not a name that lost its folder.
      ASSERT_TRUE(exam.Text);
      EXPECT_EQ(*exam.Text, "the cat sat on a mat\r\n");
      takeTest({"the ", "cat ", "sat ", "on ", "a ", "mat"});
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(runLine("Event=Test;0;ask:*.exm;false;"), 1);
  ASSERT_TRUE(result("TEST1"));
  EXPECT_EQ(result("TEST1")->TestName, "story.txt (added)");
  EXPECT_EQ(result("TEST1")->Accuracy, 100);
  EXPECT_TRUE(std::filesystem::exists(root / "Texts" / "Text1.exm"));

  whenActive<TChooseTextView>([&](TChooseTextView& view) {
    key(Qt::Key_Delete);  // the box says yes
    EXPECT_EQ(window_.findChild<QListWidget*>("TextList")->count(), 0);
    view.Close();
  });
  runLine("Event=Test;0;ask:*.exm;false;");
  EXPECT_FALSE(std::filesystem::exists(root / "Texts" / "Text1.exm"));
  EXPECT_FALSE(std::filesystem::exists(root / "Texts" / "Text1.exi"));
}

// A timed test on the shipped texts, in each language of the tutor.
class TimedTypingTest : public TypingTestViews, public ::testing::WithParamInterface<const char*> {
 protected:
  void TearDown() override {
    TypingTestViews::TearDown();
    ActiveLanguage = "ENG";
  }
};

TEST_P(TimedTypingTest, GoesOnWithTheNextTextWrapsParagraphsAndIsJudgedAsATest) {
  ActiveLanguage = GetParam();
  ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
  const std::string suffix = "_" + lowerCase(ActiveLanguage);
  // Two shipped texts of the language, the first of them chosen.
  const std::filesystem::path shipped =
      std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar" / "Texts";
  TestTextList list;
  list.LoadTestTexts(shipped, false, ActiveLanguage);
  ASSERT_GT(list.Count(), 2);
  std::string first, second;
  for (int i = 0; i < 2; ++i) {
    const std::string base = list.TestTextAt(i)->BaseName;
    for (const char* ext : {".exi", ".exm"})
      std::filesystem::copy_file(shipped / (base + ext), dir_ / "Texts" / (base + ext));
    (i == 0 ? first : second) = test::readFile(shipped / (base + ".exm"));
  }
  std::filesystem::remove(dir_ / "Texts" / "Short.exi");
  std::filesystem::remove(dir_ / "Texts" / "Long.exi");
  logon("StoryFile=" + list.TestTextAt(0)->BaseName);
  whenActive<TChooseTextView>([&](TChooseTextView&) {
    auto* combo = window_.findChild<QComboBox*>("TimeCombo");
    ASSERT_EQ(combo->itemText(1), "1 " + msgText(1390));  // the shortest duration
    combo->setCurrentIndex(2);  // two minutes: more than a shipped text holds
    saveScreenshot(&window_, QString::fromStdString("typingtest_choice" + suffix));
    whenActive<TTextEventView>([&](TTextEventView& exam) {
      ASSERT_TRUE(exam.Text);
      EXPECT_EQ(*exam.Text, first + second);  // the next text follows the chosen one
      // Some words of the first line. Key clicks of the tests type ASCII only, so an accented
      // letter is left out: a typing error, as a learner makes them.
      std::string typed;
      for (size_t i = 0; i < first.size() && typed.size() < 80; ++i) {
        const auto c = static_cast<unsigned char>(first[i]);
        if (c == '\r' || c == '\n') break;
        if (c >= 32 && c < 128) typed += first[i];
      }
      type(toQString(typed));
      saveScreenshot(&window_, QString::fromStdString("typingtest_exam" + suffix));
      // What is typed stays above the page's buttons.
      auto* line = window_.findChild<QWidget*>("TypingCanvas");
      ASSERT_TRUE(line);
      const int typedBottom = line->mapTo(&window_, QPoint(0, line->height())).y();
      EXPECT_LT(typedBottom, window_.CancelBtn()->mapTo(&window_, QPoint()).y());
      clock_.advance(120000);
      exam.Tick();
      EXPECT_EQ(exam.TEvent::State, esFinished);
      whenActive<TExercInfoView>([&](TExercInfoView&) {
        auto* status = window_.findChild<QLabel*>("StatusTitle");
        ASSERT_TRUE(status);
        const int expected = status->text() == msgText(2702) ? 2702 : 2700;
        EXPECT_EQ(status->text(), msgText(expected));  // a test, not an exam
        saveScreenshot(&window_, QString::fromStdString("typingtest_result" + suffix));
        key(Qt::Key_Return);
      });
      key(Qt::Key_Return);
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(runLine("Event=Test;0;ask:*.exm;false;"), 1);
  ASSERT_TRUE(result("TEST1"));
  EXPECT_EQ(result("TEST1")->TestName, list.TestTextAt(0)->Name());
}

INSTANTIATE_TEST_SUITE_P(Languages, TimedTypingTest,
                         ::testing::Values("ENG", "DEU", "SPA", "FRA", "ITA"));

// The texts the installation ships.
TEST(ShippedTestTexts, NameTheTestApartFromItsTitleAndFillTenFastMinutes) {
  const std::filesystem::path folder =
      std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar" / "Texts";
  for (const char* language : {"ENG", "DEU", "SPA", "FRA", "POR", "ITA"}) {
    SCOPED_TRACE(language);
    TestTextList list;
    list.LoadTestTexts(folder, false, language);
    ASSERT_GT(list.Count(), 5);
    for (int i = 0; i < list.Count(); ++i) {
      TtypingTest& d = *list.TestTextAt(i);
      SCOPED_TRACE(d.BaseName);
      // Results and certificates carry the name; the list adds the author.
      EXPECT_EQ(d.Name().find('('), std::string::npos);
      EXPECT_EQ(d.Title().rfind(d.Name() + " (", 0), 0u);
      EXPECT_EQ(d.ReadString("Name"), d.Name());
      // Ten minutes at 150 words a minute never run out of text.
      uintmax_t characters = 0;
      for (const auto& file : ContinuedTextFiles(list, d.BaseName, folder, 7500))
        characters += std::filesystem::file_size(file);
      EXPECT_GE(characters, 7500u);
    }
  }
}

}  // namespace
}  // namespace ks
