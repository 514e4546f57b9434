// What the game view tests share: game lines run through the event loader, the views the tutor
// registers and the top-ten view, with a fake clock that the test moves.
#pragma once

#include <gtest/gtest.h>

#include "analysis/analyzer.h"
#include "content/coursefakes.h"
#include "content/eventloader.h"
#include "content/ui/resultviews.h"
#include "engine/ui/eventenv.h"
#include "engine/ui/viewfactory.h"
#include "games/ui/gameevent.h"
#include "games/ui/registergames.h"
#include "store/langres.h"
#include "support/booktest.h"
#include "support/tempdir.h"

namespace ks::test {

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
  void TearDown() override {
    eventEnvironment() = EventEnvironment{};
    if (ActiveLanguage != "ENG") {
      ActiveLanguage = "ENG";
      Localize().LoadLanguage("language", 1);
    }
  }
  // The tutor in `code` ("ENG", "DEU") from here on.
  void speak(const std::string& code) {
    ActiveLanguage = code;
    ASSERT_EQ(Localize().LoadLanguage("language", 1), 0);
  }

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

}  // namespace ks::test
