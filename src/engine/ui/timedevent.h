// A timed event: the 100 ms clock, the time limit, the pause after idle seconds, the finish, the
// time and progress display, and the accuracy goals of the learner's level.
#pragma once

#include <QTimer>

#include "engine/goals.h"
#include "engine/ui/event.h"
#include "engine/ui/goalpanels.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ks {

struct Measures;

class TTimedEvent : public TEvent, public TypingHost {
  Q_OBJECT

 public:
  // The console on the right of the page: time, progress and the pause button.
  static constexpr int kConsoleLeft = 615;
  static constexpr int kConsoleTop = 70;
  static constexpr int kConsoleWidth = 170;
  static constexpr int kConsoleHeight = 190;

  explicit TTimedEvent(const std::string& line);
  ~TTimedEvent() override;

  int Execute(const EventHandover& handover) override;
  EventGoals Goals() const override;
  void Setup() override;
  void Show() override;
  void Hide() override;

  // TypingHost
  TEventState State() const override { return TEvent::State; }
  void StartTyping() override;
  void PauseTyping() override;
  void FinishTyping() override;
  void ShowProgress(int percent) override;
  // The goal panels see every key first while goals apply.
  void GoalKeyPress(unsigned char& key) override;
  // The keypad's decimal key types what the layout says ("," on layouts that swap them).
  unsigned char MapKeypadDecimal(unsigned char key) override;

  int TimeLimit = 0;  // seconds; 0: none
  int BaseTime = 0;
  int ExtraTime = 0;
  bool GoalsActive = false;
  int GoalLevel = 0;
  int GoalAccuracy = 0;
  int LevelTarget = 0, TargetMinus3 = 0, TargetMinus7 = 0, NextLevelTarget = 100;
  int AccuracyBonus = 0, CompletionSpeed = 0;
  int SpeedFinalGoal = 0, SpeedStartGoal = 0, SpeedMidGoal = 0;
  int ObjectiveIndex = 0;
  int GoalProgress = 0;
  bool NoGoalInterrupt = false;
  GoalPanels* Panels() const { return panels_; }

  // The clock tick, public so tests can drive it without waiting.
  void Tick();
  // Called by typing events for every keystroke they process.
  void NoteKeystroke() { lastKeyTick_ = clock().tickMs(); }
  Measures* measures() const;

 protected:
  bool DismissGoalIntroduction() override;
  // A running event is paused while the close is asked, and goes on when it is refused.
  void CloseQuery(bool& abort) override;
  // The two lines shown when the event has finished.
  void ShowFinishMessage(const QString& line1, const QString& line2);
  // The line over the exercise that tells where it stands in the course; nothing outside one.
  void AddExerciseContext(QWidget* page, int top);
  // A limit that replaces the line's own after the setup (an exam's duration): the gauge and the
  // time follow it; `caption` ("[3:00]") stays beside the time caption.
  void ChangeTimeLimit(int seconds, const QString& caption);
  GoalInputs CurrentGoalInputs() const;

 private:
  void readGoals();
  void setTargets();
  void chooseLevel(int row);
  void showGoalStatus(bool finished);
  void storeNoInterrupt();
  void showTime(int seconds);
  QString timeCaption() const;

  QTimer clockTimer_;
  int lastRemaining_ = -1;
  int64_t lastKeyTick_ = 0;
  int64_t finishTick_ = 0;
  QString durationCaption_;
  QLabel* timeCaption_ = nullptr;
  QLabel* timeValue_ = nullptr;
  QProgressBar* gauge_ = nullptr;
  QPushButton* pauseBtn_ = nullptr;
  QLabel* messagePanel_ = nullptr;
  QProgressBar* goalBar_ = nullptr;
  GoalPanels* panels_ = nullptr;
};

}  // namespace ks
