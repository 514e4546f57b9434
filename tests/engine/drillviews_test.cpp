// The keyboard drills inside the tutor's window: keys typed into the view, the keyboard and the
// hands guiding, the drill closing with its result. With $KS_SCREENSHOT_DIR set the screens are
// saved there for a look.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "analysis/analyzer.h"
#include "analysis/shippedkbd.h"
#include "analysis/ui/finger.h"
#include "analysis/ui/keyboardex.h"
#include "analysis/ui/lcds.h"
#include "book/bookwindow.h"
#include "content/eventline.h"
#include "engine/ui/drillviews.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/viewfactory.h"
#include "store/qssettings.h"
#include "store/recordingdialogs.h"
#include "support/booktest.h"
#include "support/eventfixture.h"

namespace ks {
namespace {

class DrillViews : public test::BookWindowTest {
 protected:
  void SetUp() override {
    test::setKeyMessages();
    for (const auto& [id, text] : {std::pair<int, const char*>{157, "left index finger"},
                                   {158, "right index finger"},
                                   {1713, " with your "},
                                   {1725, "Press "},
                                   {1720, "Well done!"},
                                   {1721, "Right!"},
                                   {1722, "Excellent!"},
                                   {136, "Correct"}})
      Localize().SetString(id, text);
    test::BookWindowTest::SetUp();
    test::freshEventEnvironment(clock_, &analyzer_, dir_.path());
    layout("qwerty.kbd");
  }
  void TearDown() override {
    eventEnvironment() = EventEnvironment{};
    CurrentLayout().clearLayout();
  }
  void layout(const std::string& file) {
    ASSERT_EQ(test::loadShippedLayout(CurrentLayout(), dir_, file), 1);
  }
  // Lets the drill's timers run for `ms` of the fake clock.
  void wait(TCustomKeyboardEvent2& event, int ms) {
    RunTimers(clock_, event.Drill()->Timers(), ms);
  }
  void save(const QString& name) {
    if (const char* dir = std::getenv("KS_SCREENSHOT_DIR"))
      window_.grab().save(QString(dir) + "/" + name);
  }
  // The face colour of the key that types `c`, as drawn.
  uint32_t faceOf(TKeyboard& kb, char c) {
    const QImage shot = kb.grab().toImage();
    const size_t i = static_cast<size_t>(kb.Model().KeyIndexOf(c));
    return shot.pixel(kb.FacePoint(i).toPoint()) & 0xFFFFFF;
  }

  test::TempDir dir_;
  FakeClock clock_;
  Measures measures_{clock_};
  DifficultKeySets keys_;
  Analyzer analyzer_{measures_, keys_};
  test::RecordingDialogs dialogs_;
};

TEST_F(DrillViews, KeyGroupsAreTypedWithTheKeyboardAndHandsGuiding) {
  TNewKeysEvent2 event("event;KEY2;1;text;x;2;3");
  event.TextOverride = std::string("fj fj\r\njf");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = "KEY2";
  later([&] {
    ASSERT_TRUE(event.Keyboard() && event.Fingers() && event.Picture());
    EXPECT_EQ(event.Groups()->Groups().Group(), "fj fj");
    EXPECT_TRUE(event.Repetitions()->isVisible());
    EXPECT_EQ(event.Repetitions()->Total(), 2);
    wait(event, 1800);  // the first key lights after the learner's delay
    EXPECT_EQ(faceOf(*event.Keyboard(), 'f'), KeyColours(3, KeyLook::Lit).face);
    EXPECT_TRUE(event.Fingers()->IsLit(4));
    save("drill-key2-qwerty.png");
    type("fj fj");
    EXPECT_EQ(event.FingerLabel()->text(), "");
    wait(event, 400);
    EXPECT_EQ(event.FingerLabel()->text(), "left index finger");
    type("fj fj");
    EXPECT_EQ(event.Repetitions()->Missed(), 2);
    wait(event, 400);
    EXPECT_EQ(event.Groups()->Groups().Group(), "jf");
    type("jf");
    wait(event, 400);
    type("jf");
    wait(event, 400);
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  EXPECT_EQ(event.Execute(h), 1);  // Enter after the end: next
  EXPECT_EQ(result.SubKind, "NK");
  EXPECT_TRUE(result.HasMeasures);
  EXPECT_TRUE(result.Complete);
}

TEST_F(DrillViews, AKeyIntroductionPresentsItsKeysAndClosesItself) {
  TIntroKeysEvent event("event;KEYINTRO;1;NIL;fj;PRESS");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  later([&] {
    ASSERT_TRUE(event.IntroText());
    EXPECT_EQ(event.IntroText()->text(), "Press \"f\" with your left index finger");
    EXPECT_EQ(faceOf(*event.Keyboard(), 'f'), KeyColours(3, KeyLook::Lit).face);
    save("drill-keyintro-qwerty.png");
    type("f");
    EXPECT_TRUE(
        QStringList({"Well done!", "Right!", "Excellent!"}).contains(event.IntroText()->text()));
    type("j");
    EXPECT_EQ(event.TEvent::State, esFinished);
    wait(event, 1000);  // closes by itself
  });
  EXPECT_EQ(event.Execute(h), 3);
  EXPECT_EQ(result.Kind, "STD");
  EXPECT_EQ(result.SubKind, "NK");
}

// On the British keyboard the pound sign is the shifted 3 and the at sign shares the apostrophe's
// key: the introduction lights those keys, not the US places.
TEST_F(DrillViews, AKeyIntroductionOnTheUkKeyboardShowsTheBritishPlaces) {
  layout("uk.kbd");
  TIntroKeysEvent event("event;KEYINTRO;1;NIL;\xA3@;PRESS");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  later([&] {
    TKeyboard& kb = *event.Keyboard();
    EXPECT_EQ(kb.Model().KeyIndexOf('\xA3'), kb.Model().KeyIndexOf('3'));
    EXPECT_EQ(faceOf(kb, '3'), KeyColours(2, KeyLook::Lit).face) << "the middle finger's key";
    save("drill-keyintro-uk-pound.png");
    type(QString::fromUtf8("\xC2\xA3"));
    EXPECT_EQ(kb.Model().KeyIndexOf('@'), kb.Model().KeyIndexOf('\''));
    EXPECT_NE(kb.Model().KeyIndexOf('@'), kb.Model().KeyIndexOf('2'));
    EXPECT_EQ(faceOf(kb, '\''), KeyColours(0, KeyLook::Lit).face) << "the little finger's key";
    save("drill-keyintro-uk-at.png");
    type("@");
    EXPECT_EQ(event.TEvent::State, esFinished);
    wait(event, 1000);
  });
  EXPECT_EQ(event.Execute(h), 3);
}

TEST_F(DrillViews, ASentenceDrillWantsEnterAndEndsWithIt) {
  TKeybSentenceEvent2 event("event;SENTENCE2;1;text");
  event.TextOverride = std::string("Ab cd.\r\nEf.");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = "SENTENCE2";
  later([&] {
    ASSERT_TRUE(event.ViewCanvas());
    type("Ab cd.");
    wait(event, 2500);
    EXPECT_EQ(faceOf(*event.Keyboard(), '\r'), KeyColours(0, KeyLook::Lit).face);
    save("drill-sentence2-qwerty.png");
    key(Qt::Key_Return);
    type("Ef.");
    key(Qt::Key_Return);
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  EXPECT_EQ(event.Execute(h), 1);  // Enter after the end: next
  EXPECT_EQ(result.SubKind, "KS");
}

// The drills draw every shipped layout; the screens of three are saved for a look.
TEST_F(DrillViews, RowDrillsOnOtherLayoutsLightTheirKeys) {
  for (const char* file : {"french.kbd", "dvorak.kbd"}) {
    layout(file);
    TKeybRowEvent2 event("event;WORD2;1;text");
    event.TextOverride = std::string("qui sait");
    EventHandover h;
    later([&] {
      wait(event, 2500);
      EXPECT_EQ(event.Keyboard()->Model().LitFinger, CurrentLayout().getFinger('q'));
      const size_t q = static_cast<size_t>(event.Keyboard()->Model().KeyIndexOf('q'));
      EXPECT_TRUE(event.Keyboard()->Model().Display(q).Lit);
      save(QString("drill-word2-%1.png").arg(QString(file).section('.', 0, 0)));
      // A dead key shows the space bar that types its accent.
      QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Circumflex, Qt::NoModifier, QString());
      QApplication::sendEvent(target(), &dead);
      EXPECT_TRUE(event.Fingers()->IsLit(9));
      key(Qt::Key_Escape);
    });
    EXPECT_EQ(event.Execute(h), 2);
  }
}

// The older paragraph drill: a line at a time over the text, the keyboard and hands guiding,
// the pause between lines not counted, and a result of time only (no result page follows it).
TEST_F(DrillViews, TheOlderParagraphDrillTypesLineByLineForItsTimeOnly) {
  TKeybParagraphEvent event("event;KEYBPARAGRAPH;0;text");
  event.TextOverride = std::string("ab cd\r\n\r\nef");
  TResultItem result;
  EventHandover h;
  h.Result = &result;
  h.EventType = "KEYBPARAGRAPH";
  later([&] {
    ASSERT_TRUE(event.ViewCanvas() && event.Keyboard() && event.Fingers());
    EXPECT_EQ(event.ViewCanvas()->WordAt(0), "ab");
    type("ab cd");
    key(Qt::Key_Return);                       // each line ends with Enter
    EXPECT_EQ(event.TEvent::State, esPaused);  // between lines
    EXPECT_EQ(event.ViewCanvas()->WordAt(0), "ef");
    clock_.advance(5000);
    type("ef");
    key(Qt::Key_Return);
    EXPECT_EQ(event.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  EXPECT_EQ(event.Execute(h), 1);
  EXPECT_EQ(result.Kind, "TIME");
  EXPECT_EQ(result.SubKind, "KB");
  EXPECT_LT(result.TypingSeconds, 5);  // the pause between the lines is not typing time
  EXPECT_FALSE(result.HasMeasures);
  EXPECT_TRUE(result.Complete);
}

TEST_F(DrillViews, TheFactoryMakesEveryDrill) {
  ViewEventFactory factory;
  for (const char* kw : {"KEY2", "NEWKEYS", "KEYINTRO", "WORD2", "SENTENCE2", "KEYBOARD", "KEYBROW",
                         "KEYBSENTENCE", "KEYBPARAGRAPH", "WORD"}) {
    const EventKeyword* row = FindEventKeyword(kw);
    ASSERT_TRUE(row) << kw;
    auto event = factory.Create(*row, std::string("event;") + kw + ";1;abc");
    EXPECT_TRUE(event) << kw;
    // The older paragraph drill is a keyboard drill, not a text typed into an input line.
    if (std::string(kw) == "KEYBPARAGRAPH") {
      EXPECT_TRUE(dynamic_cast<TCustomKeyboardEvent2*>(event.get())) << kw;
    }
  }
}

}  // namespace
}  // namespace ks
