#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "analysis/analyzer.h"
#include "analysis/ui/lcds.h"
#include "book/bookwindow.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/exercisecanvas.h"
#include "engine/ui/messageevent.h"
#include "engine/ui/textevent.h"
#include "engine/ui/timedevent.h"
#include "platform/dialogs.h"
#include "store/dynamicsettings.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/booktest.h"
#include "support/eventfixture.h"
#include "support/tempdir.h"

namespace ks {
namespace {

// A timed event that types nothing itself: a key starts it.
class KeyCountingEvent : public TTimedEvent {
 public:
  using TTimedEvent::TTimedEvent;
  void KeyPress(unsigned char& key) override {
    keys += static_cast<char>(key);
    NoteKeystroke();
    if (TEvent::State != esRunning) StartTyping();
  }
  std::string keys;
};

class EventsTest : public test::BookWindowTest {
 protected:
  void SetUp() override {
    test::BookWindowTest::SetUp();
    test::freshEventEnvironment(clock_, &analyzer_, dir_.path());
    dialogs_.answer = false;
  }
  void TearDown() override {
    eventEnvironment() = EventEnvironment{};
    PolicySettings.reset();
  }
  test::TempDir dir_;
  FakeClock clock_;
  Measures measures_{clock_};
  DifficultKeySets keys_;
  Analyzer analyzer_{measures_, keys_};
  test::RecordingDialogs dialogs_;
};

TEST_F(EventsTest, AMessageShowsItsTextAndClosesOnEnter) {
  TMessageEvent event("event;MESSAGE;0;Welcome to the course.;First steps");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  later([&] {
    auto* text = window_.findChild<QLabel*>("MessageText");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), "Welcome to the course.");
    EXPECT_EQ(window_.Title(), "First steps");
    key(Qt::Key_Return);
  });
  EXPECT_EQ(event.Execute(h), 1);
  EXPECT_TRUE(result.Valid);
  later([&] { key(Qt::Key_Escape); });
  EXPECT_EQ(event.Execute(h), 2);
}

TEST_F(EventsTest, AnHtmlPageFallsBackToPlainTextWhenMissing) {
  test::writeFile(dir_ / "page.htm", "<h1>Hello</h1><p>World</p>");
  THTMLMessageEvent shown("event;HTMLMESSAGE;0;page.htm");
  THTMLMessageEvent missing("event;HTMLMESSAGE;0;none.htm");
  EventHandover h;
  later([&] {
    EXPECT_TRUE(window_.findChild<QWidget*>("HtmlViewer"));
    key(Qt::Key_Return);
  });
  EXPECT_EQ(shown.Execute(h), 1);
  later([&] {
    EXPECT_FALSE(window_.findChild<QWidget*>("HtmlViewer"));
    EXPECT_TRUE(window_.findChild<QLabel*>("MessageText"));
    key(Qt::Key_Return);
  });
  EXPECT_EQ(missing.Execute(h), 1);
}

TEST_F(EventsTest, ATimedEventFinishesAtItsTimeLimitAndTypesCharacters) {
  KeyCountingEvent event("event;TEXT;1;abc");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.TimeLimit = 60;
  later([&] {
    type("ab");
    key(Qt::Key_Backspace);
    key(Qt::Key_Return);  // Enter is a typing key in a running event
    EXPECT_EQ(event.TEvent::State, esRunning);
    clock_.advance(61000);
    event.Tick();
    EXPECT_EQ(event.TEvent::State, esFinished);
    EXPECT_TRUE(result.Complete);
    key(Qt::Key_Return);  // finished: Enter closes
  });
  EXPECT_EQ(event.Execute(h), 1);  // Enter after the end: next
  EXPECT_EQ(event.keys, std::string("ab\b\r"));
  EXPECT_EQ(result.Kind, "TIME");
  EXPECT_EQ(result.TypingSeconds, 61);
  EXPECT_EQ(result.TimeLimit, 60);
}

TEST_F(EventsTest, InputMethodTextIsTypedLikeKeys) {
  KeyCountingEvent event("event;TEXT;1;abc");
  EventHandover h;
  later([&] {
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\u00e9t\u00e9\u2603"));
    QApplication::sendEvent(
        QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget*>(&window_),
        &commit);
    key(Qt::Key_Escape);
  });
  event.Execute(h);
  EXPECT_EQ(event.keys, "\xE9t\xE9");  // the snowman has no 1252 code
}

TEST_F(EventsTest, IdleSecondsPauseTheEvent) {
  KeyCountingEvent event("event;TEXT;1;abc");
  EventHandover h;
  later([&] {
    event.IdleLimit = 5;
    type("a");
    clock_.advance(4000);
    event.Tick();
    EXPECT_EQ(event.TEvent::State, esRunning);
    clock_.advance(1500);
    event.Tick();
    EXPECT_EQ(event.TEvent::State, esPaused);
    type("b");  // the next key resumes
    EXPECT_EQ(event.TEvent::State, esRunning);
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(event.Execute(h), 2);  // cancelled before the end
}

TEST_F(EventsTest, ALockedExerciseAsksBeforeItIsLeft) {
  test::writeFile(dir_ / "Policy.dyn", "Exercise_Lock=1\n");
  ASSERT_TRUE(OpenPolicySettings("Policy.dyn", dir_.path()));
  KeyCountingEvent event("event;TEXT;1;abc");
  EventHandover h;
  later([&] {
    type("a");
    QTest::mouseClick(window_.NextBtn(), Qt::LeftButton);  // next before the end: cancel
    later([&] {
      EXPECT_EQ(dialogs_.boxes.size(), 1u);  // "No" kept the exercise
      EXPECT_TRUE(event.Active());
      dialogs_.answer = true;
      key(Qt::Key_Escape);
    });
  });
  EXPECT_EQ(event.Execute(h), 2);
  EXPECT_EQ(dialogs_.boxes.size(), 2u);
}

TEST_F(EventsTest, ATextIsTypedIntoTheInputLineAndMeasured) {
  TTextEventView event("event;TEXT;1;the cat sat on a mat", "TEXT");
  TResultItem result;
  result.ErrorFactor = 5;
  EventHandover h;
  h.Result = &result;
  h.EventType = "TEXT";
  later([&] {
    ASSERT_TRUE(event.ViewCanvas() && event.InputLine());
    for (const char* word : {"the ", "cat ", "sat ", "on ", "a ", "mat "}) {
      type(word);
      clock_.advance(3000);
    }
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  EXPECT_EQ(event.Execute(h), 1);  // Enter after the end: next
  EXPECT_TRUE(result.Complete);
  EXPECT_TRUE(result.HasMeasures);
  EXPECT_EQ(result.Accuracy, 100);
}

TEST_F(EventsTest, SentencesComeOneLineAtATimeWithTheirAuthor) {
  TTextEventView event("event;SENTENCE;1;ab cd\r\n\"\xA4|w\"Anon\r\nef", "SENTENCE");
  event.TextOverride = std::string("ab cd\r\n\"\xA4|w\"Anon\r\nef");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = "SENTENCE";
  later([&] {
    auto* author = window_.findChild<QLabel*>("CopyrightLbl");
    ASSERT_TRUE(author);
    EXPECT_EQ(author->text(), QString::fromUtf8("© Anon"));
    type("ab cd ");
    EXPECT_EQ(event.TEvent::State, esPaused);  // between blocks
    EXPECT_EQ(event.ViewCanvas()->WordAt(0), "ef");
    type("ef ");
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(event.Execute(h), 2);  // Escape cancels, finished or not
  EXPECT_TRUE(result.Complete);
}

TEST_F(EventsTest, GoalsAreIntroducedAndJudgedAtTheEnd) {
  TDynamicSettings user;
  ASSERT_EQ(user.Open("", omMemory), 1);
  user.WriteInteger("C1.GoalLevel", 2);
  eventEnvironment().userSettings = &user;
  eventEnvironment().accuracyGoals = {85, 90, 95};
  KeyCountingEvent event("event;TEXT;1;abc;-;-;-;-;-;-;2;100;200;100;150;3");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.CourseId = "C1";
  h.TimeLimit = 60;
  later([&] {
    ASSERT_TRUE(event.GoalsActive);
    EXPECT_EQ(event.GoalAccuracy, 92);  // level 2 target and the line's bonus
    EXPECT_EQ(event.NextLevelTarget, 95);
    GoalPanels* panels = event.Panels();
    ASSERT_TRUE(panels && panels->IntroVisible());
    auto* levels = window_.findChild<QListWidget*>("AccuracyGoalList");
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->count(), 3);
    EXPECT_EQ(levels->currentRow(), 1);
    levels->setCurrentRow(0);  // aim higher
    EXPECT_EQ(user.ReadInteger("C1.GoalLevel"), 3);
    EXPECT_EQ(event.GoalAccuracy, 97);
    unsigned char space = ' ';
    event.GoalKeyPress(space);  // hides the introduction and is swallowed
    EXPECT_EQ(space, 0);
    EXPECT_FALSE(panels->IntroVisible());
    type("a");
    clock_.advance(61000);
    event.Tick();
    EXPECT_TRUE(panels->StatusVisible());
    unsigned char enter = 13;
    event.GoalKeyPress(enter);  // the results
  });
  EXPECT_EQ(event.Execute(h), 3);
  EXPECT_FALSE(user.ReadBool("DoNotInterruptGoals"));
}

// The buttons translate a choice (next 3, cancel 4 once finished); a message event is finished
// from the start.
TEST_F(EventsTest, ButtonsOfMessageEventsCloseAsNextAndCancelAfterTheEnd) {
  TMessageEvent event("event;MESSAGE;0;Welcome.;Start");
  EventHandover h;
  for (const auto& [name, expected] : {std::pair{"NextBtn", 3}, std::pair{"CancelBtn", 4}}) {
    later([&, name = QString(name)] {
      auto* button = window_.findChild<QAbstractButton*>(name);
      ASSERT_TRUE(button);
      button->click();
    });
    EXPECT_EQ(event.Execute(h), expected);
  }
}

class GoalEventsTest : public EventsTest {
 protected:
  void SetUp() override {
    EventsTest::SetUp();
    ASSERT_EQ(user_.Open("", omMemory), 1);
    user_.WriteInteger("C1.GoalLevel", 1);
    eventEnvironment().userSettings = &user_;
    eventEnvironment().accuracyGoals = {85, 90, 95};
    h_.Result = &result_;
    h_.CourseId = "C1";
    h_.TimeLimit = 60;
  }
  TDynamicSettings user_;
  TResultItem result_;
  EventHandover h_;
};

// Next on the goal introduction takes the panel away and the exercise stays.
TEST_F(GoalEventsTest, NextOnTheGoalIntroductionKeepsTheExercise) {
  KeyCountingEvent event("event;TEXT;1;abc;-;-;-;-;-;-;2;100;200;100;150;3");
  later([&] {
    ASSERT_TRUE(event.Panels() && event.Panels()->IntroVisible());
    auto* next = window_.findChild<QAbstractButton*>("NextBtn");
    ASSERT_TRUE(next);
    next->click();
    EXPECT_FALSE(event.Panels()->IntroVisible());
    EXPECT_EQ(event.CloseResult(), 0);
    type("a");
    EXPECT_EQ(event.TEvent::State, esRunning);
    key(Qt::Key_Escape);
  });
  EXPECT_EQ(event.Execute(h_), 2);
}

// The close question of a locked exercise stops the clock while it is asked; "No" goes on.
TEST_F(GoalEventsTest, TheCloseQuestionStopsTheClock) {
  test::writeFile(dir_ / "Policy.dyn", "Exercise_Lock=1\r\n");
  OpenPolicySettings("Policy.dyn", dir_.path());
  KeyCountingEvent event("event;TEXT;1;abc");
  dialogs_.onBox = [&] {
    EXPECT_EQ(event.TEvent::State, esPaused);
    clock_.advance(20000);  // the learner thinks it over
  };
  later([&] {
    type("a");
    clock_.advance(1000);
    key(Qt::Key_Escape);  // asked, and refused
    later(
        [&] {
          EXPECT_EQ(dialogs_.boxes.size(), 1u);
          EXPECT_EQ(event.TEvent::State, esRunning);
          clock_.advance(1000);
          dialogs_.onBox = nullptr;
          dialogs_.answer = true;
          key(Qt::Key_Escape);
        },
        20);
  });
  EXPECT_EQ(event.Execute(h_), 2);
  EXPECT_EQ(result_.TypingSeconds, 2);
}

// The key that closes the goal introduction is no keystroke: even typing after it has a
// perfect rhythm, and the reading pause before the first letter is no hesitation.
TEST_F(GoalEventsTest, TheKeyThatClosesTheIntroductionIsNoKeystroke) {
  // Long enough to be measured: more than ten seconds at 150 ms a key.
  std::string text;
  for (int i = 0; i < 16; ++i) text += i % 2 ? "efgh " : "abcd ";
  text.pop_back();
  test::writeFile(dir_ / "t.txt", text);
  TTextEventView event("event;TEXT;1;file:t.txt;-;-;-;-;-;-;2;100;200;100;150;3", "TEXT");
  later([&] {
    ASSERT_TRUE(event.Panels() && event.Panels()->IntroVisible());
    key(Qt::Key_Return);
    EXPECT_FALSE(event.Panels()->IntroVisible());
    clock_.advance(3000);  // reading the text before the first letter
    for (char c : text + " ") {
      type(QString(QChar(c)));
      clock_.advance(150);
    }
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  event.Execute(h_);
  EXPECT_EQ(result_.Rhythm, 100);
  // The pause before the first letter is no hesitation over it.
  EXPECT_EQ(keys_.LessonDifficulties.figures('a').Errors, 0);
}

// Where the policy asks for it, the rhythm light shows how evenly the learner types.
TEST_F(EventsTest, TheRhythmLightShowsEvenTyping) {
  for (const bool on : {false, true}) {
    test::writeFile(dir_ / "Policy.dyn", on ? "Rhythm=1\r\n" : "");
    OpenPolicySettings("Policy.dyn", dir_.path());
    TTextEventView event("event;TEXT;1;abcd efgh abcd efgh abcd efgh", "TEXT");
    EventHandover h;
    later([&] {
      EXPECT_EQ(event.RhythmLight() != nullptr, on);
      EXPECT_EQ(window_.findChild<QLabel*>("RhythmTitle") != nullptr, on);
      for (char c : std::string("abcd efgh abcd ")) {
        type(QString(QChar(c)));
        clock_.advance(200);
      }
      if (on) {
        EXPECT_EQ(event.RhythmLight()->Light(), 1);  // steady
        if (const char* dir = std::getenv("KS_SCREENSHOT_DIR"))
          window_.grab().save(QString(dir) + "/text-rhythm-light.png");
      }
      key(Qt::Key_Escape);
    });
    event.Execute(h);
  }
}

TEST(KeyConversion, DeadKeysCompose) {
  unsigned dead = 0;
  QKeyEvent acute(QEvent::KeyPress, Qt::Key_Dead_Acute, Qt::NoModifier, QString());
  QKeyEvent e(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e");
  EXPECT_EQ(keyEventTo1252(&acute, dead), 0);
  EXPECT_EQ(keyEventTo1252(&e, dead), 0xE9);
  EXPECT_EQ(keyEventTo1252(&e, dead), 'e');
  QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("€"));
  EXPECT_EQ(keyEventTo1252(&euro, dead), 0x80);
  QKeyEvent snow(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("☃"));
  EXPECT_EQ(keyEventTo1252(&snow, dead), 0);
}

}  // namespace
}  // namespace ks
