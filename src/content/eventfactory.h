// The seam between the event loader and the event views: a factory makes the event a keyword
// names, the loader hands it its fields and runs it; a presenter shows the result views.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/resultitem.h"

namespace ks {

struct EventKeyword;
class TContents;

// What the loader hands an event before running it.
struct EventHandover {
  TResultItem* Result = nullptr;
  std::string EventType;  // the keyword, as the loader normalised it
  std::string CourseId;
  int PageIndex = 0;  // the bookmark's event among the opening message pages
  int PageCount = 0;  // message pages that open the exercise
  bool DynamicDuration = false;
  bool CancelVisible = true;
  bool MenuVisible = false;
  int TimeLimit = 0;  // seconds; timed events only
  std::string ActiveKeys;
  bool Internal = false;  // the typing test's own exam
  // Builder events: the loader's time value and key level.
  int BuilderTime = 0;
  int BuilderKeyLevel = 0;
  // Game events: the words to play with, when the loader has any.
  const std::vector<std::string>* GameWords = nullptr;
  // Events run on a built text: this text instead of the line's text field.
  const std::string* TextOverride = nullptr;
  // Events run on text files named outside the line (a folder 1252 cannot spell, texts that
  // follow one another): these files, one after the other, instead of the line's text field.
  const std::vector<std::filesystem::path>* TextFiles = nullptr;
  // The course the event belongs to (goal fields may refer to its exercises); none outside one.
  const TContents* Course = nullptr;
  // Where the learner is, for the screen's title: lesson and exercise number (0: not in a
  // course), the lesson's name and the exercise's type.
  int Lesson = 0;
  int Exercise = 0;
  std::string LessonName;
  std::string ExerciseTitle;
};

// The accuracy and speed goals an event ran with, for the exercise result.
struct EventGoals {
  bool Active = false;
  int GoalAccuracy = 0;
  int NextLevelTarget = 0;
  int CompletionSpeed = 0;
  int SpeedFinalGoal = 0;
  int SpeedMidGoal = 0;
  int SpeedStartGoal = 0;
  int BaseTime = 0;
};

// One run of one event.
class LessonEvent {
 public:
  virtual ~LessonEvent() = default;
  // Runs the event as a view until it closes; returns its close result.
  virtual int Execute(const EventHandover& handover) = 0;
  virtual EventGoals Goals() const { return {}; }
};

class EventFactory {
 public:
  virtual ~EventFactory() = default;
  // The event for a row of the keyword table, built from the whole line; null when this
  // program has no such event.
  virtual std::unique_ptr<LessonEvent> Create(const EventKeyword& keyword,
                                              const std::string& line) = 0;
};

// The views shown after an event. Each returns the view's answer; they run without a cancel
// button.
class ResultPresenter {
 public:
  virtual ~ResultPresenter() = default;
  // Builder events: the wizard result view learns the known keys before the run and collects
  // the builder's result after it.
  virtual void PrepareWizard(const std::string& knownKeys) = 0;
  virtual void CollectWizardResult() = 0;
  // The goals the exercise result view grades against (inactive: no goal mode).
  virtual void SetExerciseGoals(const EventGoals& goals, bool dynamicDuration) = 0;
  virtual int ShowWizardResult(TResultItem& item) = 0;
  virtual int ShowExerciseInfo(TResultItem& item, int keyLevel) = 0;
  virtual int ShowTopTen(TResultItem& item, const std::string& playerName,
                         const std::string& gameName) = 0;
};

}  // namespace ks
