// The "BUILDER" lesson event: the learner picks keys (the most difficult ones, the lesson's, or
// typed ones) and a method, and the event builds the text and runs a key drill, a word drill or
// a game on it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "content/eventfactory.h"
#include "content/revisionbuilder.h"

namespace ks {

class CourseKeyboard;
class CourseLearner;
class TDifficultKeys;
class TKeyDataExt;

// The screen of the choice (the review choice view).
class BuilderChoice {
 public:
  virtual ~BuilderChoice() = default;
  // Shows the choice; 1 when the learner chose, any other answer ends the event with it.
  virtual int RunModal() = 0;

  // Set by the event before the run.
  std::string StudiedKeysText;
  std::string DifficultKeysText;                 // the four most difficult keys
  const TDifficultKeys* Difficulties = nullptr;  // the set the chart of difficult keys shows
  bool KeyboardAllowed = true;
  bool TextAndGamesAllowed = true;
  bool MenuVisible = false;
  // The answers.
  int KeySource = 1;       // 1 the difficult keys, 2 the studied keys, 3 the keys typed
  std::string ChosenKeys;  // at most 6 characters
  int ReviewMethod = 1;    // 1 key drill, 2 word drill, 5 Clouds, 6 Wordtris
};

struct BuilderEventServices {
  EventFactory* Factory = nullptr;               // the drills and games the event runs
  ResultPresenter* Presenter = nullptr;          // the wizard result view
  BuilderEnvironment Env;                        // learner, layout, word data
  CourseKeyboard* Keyboard = nullptr;            // reloads the learner's layout when keys need it
  const TDifficultKeys* Difficulties = nullptr;  // the active set
  Random* Rng = nullptr;                         // required
  std::function<std::unique_ptr<BuilderChoice>()> MakeChoice;
};

class TBuilderEvent : public LessonEvent {
 public:
  TBuilderEvent(const std::string& line, BuilderEventServices services);
  int Execute(const EventHandover& handover) override;

  // What the last run settled on.
  std::string Keys;
  int KeyLevel = 0;
  int ReviewMethod = 0;

 private:
  int chooseKeys(const EventHandover& h, int lessonLevel);
  int runKeyDrill(const EventHandover& h, bool& goOn);
  int runWordDrill(const EventHandover& h, bool keyDrillRan, int keyDrillResult);
  int runGame(const EventHandover& h);
  void reloadLayoutFor(const std::string& known);
  std::string keysUpTo(int level) const;

  std::string line_;
  BuilderEventServices services_;
};

// A key group without its capital letters.
std::string withoutCapitals(const std::string& keys);
// The keys the choice offers as the lesson's keys for key level `level`.
std::string studiedKeysText(CourseLearner& learner, int level);
// The key level raised, key by key, until each key is in the group of the level reached.
int levelCovering(CourseLearner& learner, const std::string& keys, int level);
// Whether the layout types every character of `keys` ("." always; an accented letter through
// its dead key and base letter).
bool layoutTypes(TKeyDataExt& layout, const std::string& keys);
// Minutes of a timed builder word drill for n keys: 2 + 2 (n - 1) / 3, rounded.
int builderDrillMinutes(int keyCount);

}  // namespace ks
