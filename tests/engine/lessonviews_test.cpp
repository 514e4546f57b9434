// The lesson screens as a course runs them: event lines of a course file, through the event
// loader and the tutor's view factory, into the window. With $KS_SCREENSHOT_DIR set the screens
// are saved there for a look.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "analysis/analyzer.h"
#include "analysis/shippedkbd.h"
#include "analysis/ui/keyboardex.h"
#include "content/contents.h"
#include "content/coursefakes.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/exercisecanvas.h"
#include "engine/ui/messageevent.h"
#include "engine/ui/textevent.h"
#include "engine/ui/viewfactory.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/booktest.h"
#include "support/eventfixture.h"

namespace ks {
namespace {

class LessonViews : public test::BookWindowTest {
 protected:
  void SetUp() override {
    for (const auto& [id, text] : {std::pair<int, const char*>{124, "Lesson "},
                                   {2150, "Exercise "},
                                   {130, "Time"},
                                   {1848, "Type here: "},
                                   {2152, "To pass this exam:"},
                                   {261, "Accuracy at least "},
                                   {262, "Speed at least "},
                                   {208, "wpm"},
                                   {586, "net speed"},
                                   {2153, "Open &Sidewatch"},
                                   {2154, "Open the &review"}})
      Localize().SetString(id, text);
    test::BookWindowTest::SetUp();
    test::freshEventEnvironment(clock_, &analyzer_, dir_.path());
    ASSERT_EQ(test::loadShippedLayout(CurrentLayout(), dir_, "qwerty.kbd"), 1);
    test::writeFile(dir_ / "t.txt", "jug fed kid\r\nfig dug\r\n");
    // The second lesson's text borrows the goals of lesson 1, exercise 1.
    const std::string path = (dir_ / "ENG1.CNT").string();
    test::writeFile(path,
                    "begin chapter\r\nchapter name=1;F and J\r\nbegin exercise\r\ntype=Text\r\n"
                    "event=TEXT2;1;file:t.txt;0;0;0;0;0;0;2;45;55;35;40;5\r\n"
                    "event=WORD2;1;file:t.txt\r\nevent=TEXT;1;x;0;0;0;0;0;0;9;9;9\r\n"
                    "end exercise\r\n"
                    "begin exercise\r\ntype=Exam\r\nevent=EXAM2;1;file:t.txt\r\n"
                    "event=PARAGRAPH2;1;file:t.txt\r\nend exercise\r\nend chapter\r\n"
                    "begin chapter\r\nchapter name=2;D and K\r\nbegin exercise\r\n"
                    "type=Text\r\nevent=TEXT;1;file:t.txt;0;0;0;0;0;0;1.1;1.1;7;1.1;1.1\r\n"
                    "end exercise\r\nend chapter\r\n");
    course_ = std::make_unique<TContents>(path, -1, 0, CourseServices{&learner_, &keyboard_});
  }
  void TearDown() override {
    eventEnvironment() = EventEnvironment{};
    CurrentLayout().clearLayout();
    Localize().Reset();
  }
  // Runs event `n` of exercise `e` of lesson `l` as the course loop does; `look` runs on its
  // screen and must close it.
  int run(int l, int e, int n, const std::function<void(TTimedEvent&)>& look) {
    TEventLoader& loader = *course_->Lessons[l - 1]->Exercises[e - 1]->Events[n - 1];
    loader.CourseId = course_->CourseId;
    loader.ResultShowMode = 1;
    later([&] {
      auto* event = dynamic_cast<TTimedEvent*>(TFormView::ActiveView());
      ASSERT_TRUE(event);
      look(*event);
      if (TFormView::ActiveView()) key(Qt::Key_Escape);
    });
    return loader.Execute(EventRuntime{factory_, nullptr, &learner_});
  }
  void save(const QString& name) {
    if (const char* dir = std::getenv("KS_SCREENSHOT_DIR"))
      window_.grab().save(QString(dir) + "/" + name);
  }
  template <typename T>
  T* child(const char* name) {
    return window_.findChild<T*>(name);
  }

  test::TempDir dir_;
  FakeClock clock_;
  Measures measures_{clock_};
  DifficultKeySets keys_;
  Analyzer analyzer_{measures_, keys_};
  test::RecordingDialogs dialogs_;
  test::ScopedPolicy policy_;
  test::FakeLearner learner_;
  test::FakeKeyboard keyboard_;
  ViewEventFactory factory_;
  std::unique_ptr<TContents> course_;
};

TEST_F(LessonViews, TextsAndDrillsTellWhereTheLearnerIsAndWhereToType) {
  run(1, 1, 1, [&](TTimedEvent&) {
    EXPECT_EQ(child<QLabel>("ExerciseContext")->text(),
              QString::fromUtf8("Lesson 1: F and J \u2013 Exercise 1: Text"));
    auto* prompt = child<QLabel>("TypeHerePanel");
    auto* divider = child<QWidget>("DividerLine");
    auto* line = child<QWidget>("TypingCanvas");
    ASSERT_TRUE(prompt && divider && line);
    EXPECT_EQ(prompt->text(), "Type here:");
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_EQ(divider->y() + divider->height() + 4, line->y());  // just above the input line
    save("lesson-text2.png");
    type("j");
    EXPECT_FALSE(prompt->isVisible());  // the learner has found the place
  });
  run(1, 1, 2, [&](TTimedEvent&) {
    EXPECT_TRUE(child<QLabel>("ExerciseContext")->text().startsWith("Lesson 1: F and J"));
    EXPECT_FALSE(child<QLabel>("TypeHerePanel"));  // typed over the text: no input line
  });
}

TEST_F(LessonViews, GoalFieldsMayReferToAnotherExercise) {
  run(2, 1, 1, [&](TTimedEvent& event) {
    EXPECT_EQ(event.AccuracyBonus, 9);  // the exercise's last event with goals wins
    EXPECT_EQ(event.CompletionSpeed, 9);
    EXPECT_EQ(event.SpeedFinalGoal, 7);   // a plain number stays
    EXPECT_EQ(event.SpeedStartGoal, 35);  // the last event's line ends before these fields
    EXPECT_EQ(event.SpeedMidGoal, 40);
  });
}

TEST_F(LessonViews, AnExamShowsWhatItAsksAndRunsForItsWholeDuration) {
  policy_->WriteInteger("ENG1.chapter_exam_duration", 3);
  policy_->WriteInteger("ENG1.chapter_min_accuracy", 90);
  policy_->WriteInteger("ENG1.chapter_min_speed", 20);
  run(1, 2, 1, [&](TTimedEvent& event) {
    EXPECT_EQ(event.TimeLimit, 180);
    EXPECT_EQ(child<QLabel>("TimeLbl")->text(), "Time  [3:00]");
    EXPECT_EQ(child<QLabel>("TimeValue")->text(), "03:00");
    auto* gauge = child<QProgressBar>("Gauge");
    EXPECT_EQ(gauge->maximum(), 180);  // not the line's one minute: the gauge fills at the end
    auto* asks = child<QLabel>("ExamRequirements");
    ASSERT_TRUE(asks && asks->isVisible());
    EXPECT_TRUE(asks->text().contains("To pass this exam:"));
    EXPECT_TRUE(asks->text().contains("Accuracy at least 90%"));
    EXPECT_TRUE(asks->text().contains("Speed at least 20 wpm (net speed)"));
    EXPECT_TRUE(child<QLabel>("TypeHerePanel"));
    save("lesson-exam2.png");
    type("jug ");
    clock_.advance(70000);  // past the line's own minute
    event.Tick();
    EXPECT_EQ(event.TEvent::State, esRunning);
    EXPECT_EQ(gauge->value(), 70);
  });
}

TEST_F(LessonViews, ParagraphsShowTheKeyboardWithTheKeysTyped) {
  run(1, 2, 2, [&](TTimedEvent& event) {
    auto* text = dynamic_cast<TTextEventView*>(&event);
    ASSERT_TRUE(text);
    TKeyboard* kb = text->Keyboard();
    ASSERT_TRUE(kb && kb->isVisible());
    EXPECT_EQ(kb->geometry(), QRect(40, 335, 502, 250));
    EXPECT_EQ(child<QWidget>("TypingCanvas")->y(), 180);
    const auto onWindow = [&](QWidget* w) {
      return QRect(w->mapTo(&window_, QPoint()), w->size());
    };
    for (QWidget* button : {window_.NextBtn(), window_.CancelBtn()})
      EXPECT_FALSE(onWindow(kb).intersects(onWindow(button)));  // out of the keyboard's way
    QTest::keyPress(target(), Qt::Key_J, Qt::NoModifier, -1);
    EXPECT_EQ(kb->Model().PressedKey(), kb->Model().KeyIndexOf('j'));
    save("lesson-paragraph2.png");
    QTest::keyRelease(target(), Qt::Key_J);
    EXPECT_EQ(kb->Model().PressedKey(), -1);
  });
}

TEST_F(LessonViews, TheKeypadDecimalKeyTypesWhatTheLayoutSwaps) {
  test::FakeSystemKeyboard system;
  system.keys[83] = {",", "", "", ""};
  ASSERT_EQ(test::loadLines(CurrentLayout(), dir_, {"commadot;1", "key;7;0;0;0;0;-;,;."}), 1);
  test::writeFile(dir_ / "n.txt", "3.5 4.5");
  TTextEventView event("event;TEXT;1;file:n.txt", "TEXT");
  EXPECT_EQ(event.KeypadDecimalChar, ',');
  EventHandover h;
  h.EventType = "TEXT";
  later([&] {
    EXPECT_EQ(event.ViewCanvas()->WordAt(0), "3,5");  // file texts follow the keypad
    type("3.5 ");                                     // and so does the keypad's key
    EXPECT_EQ(event.ViewCanvas()->WordAt(0), "4,5");
    EXPECT_EQ(measures_.Efficiency.Errors, 0);
    key(Qt::Key_Escape);
  });
  event.Execute(h);
}

TEST_F(LessonViews, AMessagePageLeadsOnToTheMonitorOrTheReview) {
  window_.AddTab("Review", "Review");
  QStringList asked;
  QObject::connect(&window_, &TBookFormEx::tabClicked, [&](const QString& tab) { asked << tab; });
  TMessageEvent page("event;MESSAGE;0;Your everyday typing counts.;Sidewatch;-;-;SIDEWATCH");
  EventHandover h;
  later([&] {
    auto* action = child<QPushButton>("ActionBtn");
    ASSERT_TRUE(action && action->isVisible());
    EXPECT_EQ(action->text(), "Open the &review");  // no monitor here
    save("lesson-message-action.png");
    action->click();
  });
  EXPECT_EQ(page.Execute(h), 3);
  EXPECT_EQ(asked, QStringList{"Review"});
  TMessageEvent plain("event;MESSAGE;0;Hello.;Hi");
  later([&] {
    EXPECT_FALSE(child<QPushButton>("ActionBtn"));
    key(Qt::Key_Return);
  });
  plain.Execute(h);
  EXPECT_EQ(asked.size(), 1);
}

TEST_F(LessonViews, LinksOfHtmlPagesOpenTheCoursesPagesInTheViewer) {
  test::writeFile(dir_ / "a.htm", "<p>First <a href=\"b.htm\">next</a></p>");
  test::writeFile(dir_ / "b.htm", "<p>Second <a href=\"FILE:more/c.htm#end\">more</a></p>");
  std::filesystem::create_directories(dir_ / "more");
  test::writeFile(dir_ / "more" / "c.htm", "<p>Third</p><p><a name=\"end\">End</a></p>");
  THTMLMessageEvent page("event;HTMLMESSAGE;0;a.htm");
  EventHandover h;
  later([&] {
    QTextBrowser* viewer = page.Viewer();
    ASSERT_TRUE(viewer);
    emit viewer->anchorClicked(QUrl("b.htm"));
    EXPECT_TRUE(viewer->toPlainText().startsWith("Second"));
    emit viewer->anchorClicked(QUrl("FILE:more/c.htm#end"));
    EXPECT_TRUE(viewer->toPlainText().startsWith("Third"));
    emit viewer->anchorClicked(QUrl("missing.htm"));  // the page on show stays
    EXPECT_TRUE(viewer->toPlainText().startsWith("Third"));
    key(Qt::Key_Return);
  });
  EXPECT_EQ(page.Execute(h), 1);
}

}  // namespace
}  // namespace ks
