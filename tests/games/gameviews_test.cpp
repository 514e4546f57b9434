#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "book/keyaccess.h"
#include "book/pagestyle.h"
#include "content/ui/studystyle.h"
#include "games/ui/abcview.h"
#include "games/ui/bubblesview.h"
#include "games/ui/toptenview.h"
#include "gameviewtest.h"
#include "platform/desktop/qtext.h"
#include "store/recordingdialogs.h"
#include "support/filelimit.h"
#include "text/textutil.h"

namespace ks {
namespace {

using test::GameViews;

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
      // The score shows, though it did not make the list.
      const QString own = window_.findChild<QLabel*>("OwnScore")->text();
      EXPECT_TRUE(own.startsWith("Your score: ")) << own.toStdString();
      EXPECT_TRUE(own.endsWith("(not among the ten best)")) << own.toStdString();
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
      key(Qt::Key_Return);  // the name goes into the list, and the view closes
      EXPECT_FALSE(box->isVisible());
      EXPECT_EQ(top.CloseResult(), 1);
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(run("event=abc;0;keys;abcdefghij"), 1);
  ASSERT_EQ(learner_.results.size(), 1u);
  const TResultItem& r = learner_.results[0];
  EXPECT_EQ(r.Kind, "GAME");
  EXPECT_EQ(r.GameScore, 49 + 9 * 149);  // the last character scores like the others
  EXPECT_TRUE(r.Checked);
  TtopTen list("ABCGame", dir_.path());
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.Entry(0).Name, "Zoe");
  EXPECT_EQ(list.Entry(0).Score, r.GameScore);
  EXPECT_EQ(list.Entry(9).Score, 370);  // 300 fell off the end
}

// A high score the shared list cannot keep: the player is told why, in the view and in a box,
// and the list shows what it really holds instead of a place the score never got.
TEST_F(GameViews, AHighScoreTheListCannotKeepIsToldToThePlayer) {
  for (const char* language : {"ENG", "DEU", "SPA", "FRA", "ITA", "POR"}) {
    Localize().SetLanguage(language);
    test::RecordingDialogs boxes;
    std::filesystem::remove(dir_ / "ABCGame.topten");
    whenActive<TABC>([&](TABC& game) {
      key(Qt::Key_Space);
      play(game, 400);
      type("abcdefghij");
      whenActive<TTopTenView>([&](TTopTenView& top) {
        EXPECT_EQ(top.Rank(), 1);
        {
          test::FileSizeLimit limit(2000);  // the list of ten takes 2,640 bytes
          key(Qt::Key_Return);
        }
        EXPECT_EQ(top.Rank(), 0);
        auto* problem = window_.findChild<QLabel*>("SaveProblem");
        ASSERT_TRUE(problem && problem->isVisible());
        EXPECT_TRUE(problem->text().endsWith("File too large.")) << problem->text().toStdString();
        EXPECT_FALSE(window_.findChild<QLabel*>("OwnRow")->isVisible());
        // The first place is the fresh list's, as the file has it: a score to beat, nobody's.
        EXPECT_EQ(window_.findChild<QLabel*>("Name1")->text().toStdString(), "\u2013");
        saveScreenshot(&window_, QString("topten_unsaved_") + language);
        key(Qt::Key_Return);
      });
      key(Qt::Key_Return);
    });
    EXPECT_EQ(run("event=abc;0;keys;abcdefghij"), 1);
    ASSERT_EQ(boxes.boxes.size(), 1u) << language;
    EXPECT_EQ(boxes.boxes[0].text.rfind(Localize().GetString(2600), 0), 0u) << boxes.boxes[0].text;
    TtopTen list("ABCGame", dir_.path());
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.Entry(0).Score, 930);
  }
  Localize().SetLanguage("ENG");
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

namespace ks {
namespace {

using test::GameViews;

TEST_F(GameViews, AKeyThatResumesAPausedGameNeitherScoresNorCosts) {
  whenActive<TABC>([&](TABC& game) {
    key(Qt::Key_Space);
    play(game, 300);
    type("a");
    const int points = game.Points();
    ASSERT_GT(points, 0);
    game.PauseTyping();
    type("b");  // back in the game
    EXPECT_EQ(game.TEvent::State, esRunning);
    EXPECT_EQ(game.Points(), points);
    EXPECT_EQ(game.Model()->NextExpected(), 2);
    game.PauseTyping();
    type("x");  // a wrong key only resumes too
    EXPECT_EQ(game.TEvent::State, esRunning);
    EXPECT_EQ(game.Points(), points);
    type("b");
    EXPECT_EQ(game.Model()->NextExpected(), 3);
    key(Qt::Key_Escape);
  });
  run("event=abc;60;keys;abcdef");
}

// The card and the list a game ends with, in each language of the tutor.
class GameCardsAndTopTen : public GameViews, public ::testing::WithParamInterface<const char*> {};

TEST_P(GameCardsAndTopTen, NameTheGameShowTheScoreAndTakeTheNameWithOneEnter) {
  const std::string code = GetParam();
  speak(code);
  const QString suffix = QString::fromStdString("_" + lowerCase(code));
  whenActive<TABC>([&](TABC& game) {
    auto* ok = window_.findChild<QPushButton*>("GameOKBtn");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), withMnemonic(msgText(1173), 'O'));
    saveScreenshot(&window_, "abc_ready" + suffix);
    key(Qt::Key_Space);
    type("abcdefghij");
    ASSERT_EQ(game.TEvent::State, esFinished);
    const int points = game.Points();
    whenActive<TTopTenView>([&, points](TTopTenView& top) {
      EXPECT_EQ(top.Rank(), 1);
      EXPECT_EQ(window_.Title(), msgText(613) + " \u2013 " + msgText(1864));
      EXPECT_EQ(window_.findChild<QLabel*>("OwnScore")->text(),
                msgText(2704) + ": " + QString::number(points));
      // The fresh list's places show the score to beat, not a player.
      EXPECT_EQ(window_.findChild<QLabel*>("Name2")->text(), "\u2013");
      EXPECT_EQ(window_.findChild<QLabel*>("Points2")->text(), "930");
      EXPECT_EQ(window_.findChild<QLabel*>("Date2")->text(), "");
      saveScreenshot(&window_, "topten" + suffix);
      type("Zoe");
      key(Qt::Key_Return);  // one Enter takes the name and goes on
      EXPECT_EQ(top.CloseResult(), 1);
    });
    key(Qt::Key_Return);
  });
  EXPECT_EQ(run("event=abc;0;keys;abcdefghij"), 1);
  TtopTen list("ABCGame", dir_.path());
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.Entry(0).Name, "Zoe");
  EXPECT_FALSE(list.IsPlaceholder(0));
  EXPECT_TRUE(list.IsPlaceholder(1));
}

INSTANTIATE_TEST_SUITE_P(Languages, GameCardsAndTopTen,
                         ::testing::Values("ENG", "DEU", "SPA", "FRA", "ITA", "POR"));

}  // namespace
}  // namespace ks
