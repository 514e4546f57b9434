#include <QComboBox>
#include <cmath>

#include "book/pagestyle.h"
#include "content/ui/studystyle.h"
#include "engine/ui/exercisecanvas.h"
#include "games/ui/cloudsview.h"
#include "games/ui/gamesview.h"
#include "games/ui/toptenview.h"
#include "games/ui/wordtrisview.h"
#include "gameviewtest.h"
#include "platform/desktop/qtext.h"

namespace ks {
namespace {

struct WordGames : test::GameViews {
  std::string wordFile() {
    test::writeFile(dir_ / "words.vcb", "house\r\n\r\n  house  \r\n");
    return (dir_ / "words.vcb").string();
  }
  // Ends the top-ten view and then the finished game.
  void leaveGame() {
    whenActive<TTopTenView>([&](TTopTenView&) { key(Qt::Key_Return); });
    key(Qt::Key_Return);
  }
};

TEST_F(WordGames, WordtrisFromACourseLineScoresTypedWordsAndEndsWithTheSixthLanding) {
  whenActive<TWTrisEvent>([&](TWTrisEvent& game) {
    key(Qt::Key_Space);
    ASSERT_EQ(game.TEvent::State, esRunning);
    EXPECT_EQ(game.Model()->RowText(1), "house");
    play(game, 1000);  // a five-letter word stays 1170 ms in a row
    EXPECT_EQ(game.Model()->FallRow(), 1);
    type("hous");
    EXPECT_EQ(game.WordDisplay()->CharPos(), 4);
    type("e ");
    EXPECT_EQ(game.Points(), 6);
    EXPECT_EQ(game.Model()->FallRow(), 1);  // the next word
    play(game, 40000);
    saveScreenshot(&window_, "wordtris_playing");
    EXPECT_GT(game.Model()->Landed().size(), 1u);
    play(game, 120000);
    EXPECT_EQ(game.TEvent::State, esFinished);
    EXPECT_EQ(game.Model()->Landed().size(), 6u);
    saveScreenshot(&window_, "wordtris_over");
    leaveGame();
  });
  EXPECT_EQ(run("event=wordtris;0;" + wordFile()), 1);
  ASSERT_EQ(learner_.results.size(), 1u);
  EXPECT_EQ(learner_.results[0].Kind, "GAME");
  EXPECT_EQ(learner_.results[0].GameScore, 6);
}

TEST_F(WordGames, CloudsFromACourseLineClearTheSunnyCloudAndEndAtTheSixthMiss) {
  whenActive<TCloudGame>([&](TCloudGame& game) {
    saveScreenshot(&window_, "clouds_ready");
    key(Qt::Key_Space);
    play(game, 100);
    ASSERT_EQ(game.Model()->Clouds().size(), 1u);
    EXPECT_TRUE(game.Model()->Clouds()[0].WordVisible());
    type("house ");
    EXPECT_EQ(game.Points(), 15);
    play(game, 30000);
    saveScreenshot(&window_, "clouds_playing");
    EXPECT_GT(game.Model()->Clouds().size(), 2u);
    play(game, 900000);
    EXPECT_EQ(game.TEvent::State, esFinished);
    EXPECT_EQ(game.Model()->Missed(), 6);
    leaveGame();
  });
  EXPECT_EQ(run("event=clouds;0;" + wordFile() + ";true"), 1);
  ASSERT_EQ(learner_.results.size(), 1u);
  EXPECT_EQ(learner_.results[0].GameScore, 15);
}

double luminance(const QColor& c) {
  const auto channel = [](double v) {
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(WordGames, ACloudsWordStandsOnItsOwnPlateAtAReadableContrast) {
  const CloudWordColours colours = cloudWordColours();
  EXPECT_GE(contrast(colours.Rest, colours.Plate), 4.5);
  EXPECT_GE(contrast(colours.Typed, colours.Plate), 4.5);
  whenActive<TCloudGame>([&](TCloudGame& game) {
    key(Qt::Key_Space);
    play(game, 100);
    ASSERT_EQ(game.Model()->Clouds().size(), 1u);
    type("ho");
    play(game, 2000);
    // Under the word's first letters: the plate, not the sky or the rain.
    const TCloud& c = game.Model()->Clouds()[0];
    const QImage field = game.PlayingField()->grab().toImage();
    const int y = c.Y + TCloudGame::kPictureSize.height() + 4;
    int plate = 0;
    for (int x = c.X; x < c.X + c.Width; ++x) plate += field.pixelColor(x, y) == colours.Plate;
    EXPECT_GT(plate, 10);
    saveScreenshot(&window_, "clouds_word");
    key(Qt::Key_Escape);
  });
  run("event=clouds;0;" + wordFile() + ";true");
}

// The review builder hands its words to the game it creates with the tutor's views.
TEST_F(WordGames, AReviewBuilderLinePlaysTheWordsItIsHanded) {
  const std::vector<std::string> words{"jeff"};
  whenActive<TCloudGame>([&](TCloudGame& game) {
    key(Qt::Key_Space);
    play(game, 100);
    ASSERT_EQ(game.Model()->Clouds().size(), 1u);
    EXPECT_EQ(game.Model()->Clouds()[0].CloudWord, "jeff");
    play(game, 900000);
    EXPECT_EQ(game.TEvent::State, esFinished);
    key(Qt::Key_Return);
  });
  auto event = factory_.Create(*FindEventKeyword("CLOUDS"), "Tris;Tris;0;-none-.vcb.ENG");
  ASSERT_TRUE(event);
  TResultItem item;
  EventHandover h;
  h.Result = &item;
  h.GameWords = &words;
  EXPECT_EQ(event->Execute(h), 1);
  EXPECT_EQ(item.Kind, "GAME");
}

// The menu offers the shipped word lists, starts the chosen game through the loader and shows
// itself again when the game is over; Escape shows it again too, a tab leaves it.
TEST_F(WordGames, TheGamesMenuStartsTheChosenGameAndComesBack) {
  bool left = false;
  TGames games(nullptr, [&left] { return left; });
  int shown = 0;
  std::function<void(TGamesView&)> menu = [&](TGamesView& view) {
    ++shown;
    if (shown == 1) {
      auto* lists = window_.findChild<QComboBox*>("TrisFileList");
      ASSERT_TRUE(lists);
      EXPECT_EQ(lists->itemText(0), "Studied Keys");  // message 236 as a title
      EXPECT_GE(lists->count(), 7);                   // the studied keys and six shipped lists
      EXPECT_TRUE(lists->hasFocus());
      saveScreenshot(&window_, "games_menu");
      // Alt with a letter that names no control leaves the list alone.
      key(Qt::Key_N, Qt::AltModifier);
      key(Qt::Key_H, Qt::AltModifier);
      EXPECT_EQ(lists->currentIndex(), 0);
      const int animals = lists->findText("Animals");
      ASSERT_GT(animals, 0);
      lists->setCurrentIndex(animals);
      EXPECT_EQ(view.WordtrisFile, "animals");
      whenActive<TWTrisEvent>([&](TWTrisEvent& game) {
        EXPECT_EQ(game.EventLine[3], "animals.vcb.eng");
        key(Qt::Key_Space);
        play(game, 200000);
        EXPECT_EQ(game.TEvent::State, esFinished);
        key(Qt::Key_Return);  // without a learner there is no top ten
        whenActive<TGamesView>(menu);
      });
      key(Qt::Key_Return);  // Enter on the list starts its game
    } else if (shown == 2) {
      whenActive<TGamesView>(menu);
      key(Qt::Key_Escape);
    } else {
      left = true;
      view.Close();
    }
  };
  whenActive<TGamesView>(menu);
  EXPECT_EQ(games.RunGamesMenu(), 0);
  EXPECT_EQ(shown, 3);
}

}  // namespace
}  // namespace ks
