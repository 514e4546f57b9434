#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "analysis/analyzer.h"
#include "content/coursefakes.h"
#include "content/eventldr.h"
#include "content/ui/resultviews.h"
#include "content/ui/studystyle.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/viewfactory.h"
#include "games/ui/abcview.h"
#include "games/ui/bubblesview.h"
#include "games/ui/registergames.h"
#include "games/ui/toptenview.h"
#include "store/langres.h"
#include "support/booktest.h"
#include "support/tempdir.h"

namespace ks {
namespace {

// Game lines run through the event loader, the views the tutor registers and the top-ten view
// the result presenter shows, with a fake clock that the test moves.
class GameViews : public test::BookWindowTest {
 protected:
  void SetUp() override {
    test::BookWindowTest::SetUp();
    Localize().SetFolder(std::filesystem::path(KS_BINARY_DIR) / "share" / "keyscholar");
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
    eventEnvironment() = EventEnvironment{};
    eventEnvironment().clock = &clock_;
    eventEnvironment().analyzer = &analyzer_;
    registerGames(dir_.path());
  }
  void TearDown() override { eventEnvironment() = EventEnvironment{}; }

  // Runs `action` once a view of type T is the active one.
  template <typename T>
  void whenActive(std::function<void(T&)> action) {
    later(
        [this, action] {
          if (auto* view = dynamic_cast<T*>(TFormView::ActiveView())) return action(*view);
          whenActive<T>(action);
        },
        10);
  }
  // Moves the clock on by `ms` in game steps, as the loop timer would.
  void play(TCustomGameEvent& game, int ms) {
    for (int t = 0; t < ms; t += 10) {
      clock_.advance(10);
      game.Poll();
    }
  }
  int run(const std::string& line) {
    TEventLoader loader(line);
    loader.CourseId = "ENG1";
    return loader.Execute({factory_, &presenter_, &learner_});
  }

  test::TempDir dir_;
  FakeClock clock_;
  Measures measures_{clock_};
  DifficultKeySets keys_;
  Analyzer analyzer_{measures_, keys_};
  test::FakeLearner learner_;
  test::ScopedPolicy policy_;
  ViewEventFactory factory_;
  StudyResultPresenter presenter_{nullptr};
};

TEST_F(GameViews, BubblesPlayFromACourseLineUntilSixEscapeAndALowScoreAsksNoName) {
  int popped = 0;
  whenActive<TBubbles>([&](TBubbles& game) {
    EXPECT_EQ(game.Model()->Letters(), "asdf");
    EXPECT_TRUE(window_.findChild<QWidget*>("InstructionCard")->isVisible());
    saveScreenshot(&window_, "bubbles_ready");
    key(Qt::Key_Space);
    EXPECT_EQ(game.TEvent::State, esRunning);
    EXPECT_FALSE(window_.findChild<QWidget*>("InstructionCard")->isVisible());
    play(game, 6000);
    saveScreenshot(&window_, "bubbles_playing");
    for (const Tbubble& b : game.Model()->ColumnBubbles()) {
      if (!b.Active) continue;
      type(QString(QChar(b.Letter)));
      ++popped;
    }
    play(game, 120000);
    EXPECT_EQ(game.TEvent::State, esFinished);
    EXPECT_EQ(game.Model()->MissedCount(), 6);
    saveScreenshot(&window_, "bubbles_over");
    whenActive<TTopTenView>([&](TTopTenView& top) {
      EXPECT_EQ(top.Rank(), 0);
      EXPECT_FALSE(window_.findChild<QLineEdit*>("NameBox"));
      key(Qt::Key_Return);
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(run("event=bubbles;0;keys;asdf"), 1);
  EXPECT_GT(popped, 0);
  ASSERT_EQ(learner_.results.size(), 1u);
  const TResultItem& r = learner_.results[0];
  EXPECT_EQ(r.Kind, "GAME");
  EXPECT_TRUE(r.Checked);
  EXPECT_TRUE(r.Valid);         // played to its end
  EXPECT_LT(r.GameScore, 300);  // below the tenth of the fresh list
  TtopTen list("Bubbles", dir_.path());
  ASSERT_TRUE(list.Load());  // the fresh list was saved, the low score not
  EXPECT_EQ(list.Entry(9).Score, 300);
}

TEST_F(GameViews, AnAbcHighScoreTakesThePlayersNameIntoTheList) {
  whenActive<TABC>([&](TABC& game) {
    EXPECT_EQ(game.Model()->BasePoints(), 150);
    key(Qt::Key_Space);
    play(game, 400);
    saveScreenshot(&window_, "abc_playing");
    type("ax");                    // a wrong character costs 100
    EXPECT_EQ(game.Points(), 49);  // 150 * (1 - 400 / 90000) - 100
    type("bcdefghij");
    EXPECT_EQ(game.TEvent::State, esFinished);
    whenActive<TTopTenView>([&](TTopTenView& top) {
      EXPECT_EQ(top.Rank(), 1);
      auto* box = window_.findChild<QLineEdit*>("NameBox");
      ASSERT_TRUE(box && box->isVisible() && box->hasFocus());
      EXPECT_EQ(box->text(), "Ann");
      box->selectAll();
      type("Zoe");
      saveScreenshot(&window_, "abc_topten");
      key(Qt::Key_Return);  // the name goes into the list
      EXPECT_FALSE(box->isVisible());
      key(Qt::Key_Return);  // and the view closes
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(run("event=abc;0;keys;abcdefghij"), 1);
  ASSERT_EQ(learner_.results.size(), 1u);
  const TResultItem& r = learner_.results[0];
  EXPECT_EQ(r.Kind, "GAME");
  EXPECT_EQ(r.GameScore, 49 + 8 * 149);  // the last character scores nothing
  EXPECT_TRUE(r.Checked);
  TtopTen list("ABCGame", dir_.path());
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.Entry(0).Name, "Zoe");
  EXPECT_EQ(list.Entry(0).Score, r.GameScore);
  EXPECT_EQ(list.Entry(9).Score, 370);  // 300 fell off the end
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

TEST(BubbleLetters, TheLineTheKnownKeysTheLayoutAndTheAlphabetChooseThem) {
  const std::string keypad = std::string("Num/*-789+456123") + '\r' + "0.|, ";
  const std::string qwerty = "abcdefghijklmnopqrstuvwxyz;,. ";
  EXPECT_EQ(TBubbles::ChooseLetters("asdf", "jkl", qwerty, "xyz"), "asdf");
  EXPECT_EQ(TBubbles::ChooseLetters("", "j\xE9k l", qwerty, "xyz"),
            "jkl");  // what the layout types
  EXPECT_EQ(TBubbles::ChooseLetters("", "456+", keypad, "xyz"), "456+");
  EXPECT_EQ(TBubbles::ChooseLetters("", "\xE9", qwerty, "xyz"), "xyz");
  EXPECT_EQ(gameKeysParam({"event", "bubbles", "0", "KEYS", "asdf"}), "asdf");
  EXPECT_EQ(gameKeysParam({"event", "bubbles", "0", "keys"}), "");
}

}  // namespace
}  // namespace ks
