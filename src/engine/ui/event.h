// A lesson event: one screen of an exercise (a message, a drill, a text to copy). It is a book
// view that takes the keyboard while active and closes with a close result:
// 0 nothing chosen, 1 next on a message, 2 cancelled early, 3 next after the exercise,
// 4 cancelled after it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "book/formview.h"
#include "content/eventfactory.h"
#include "engine/typingcore.h"
#include "store/resultitem.h"

namespace ks {

class TEvent : public TCustomBookView, public LessonEvent {
  Q_OBJECT

 public:
  explicit TEvent(const std::string& line);
  ~TEvent() override;

  int Execute(const EventHandover& handover) override;

  void Setup() override;
  void Hide() override;
  // Every character typed while the event is active (1252; Enter 13, Backspace 8).
  virtual void KeyPress(unsigned char& key) { (void)key; }
  // 0 here; typing events return the share of the text passed.
  virtual int ProgressPercent() const { return 0; }

  std::vector<std::string> EventLine;
  std::optional<std::string> Text;
  std::optional<std::string> TextOverride;
  std::vector<std::filesystem::path> TextFiles;
  TResultItem* Result = nullptr;
  std::string EventType;
  std::string CourseId;
  int PageIndex = 0;
  int PageCount = 0;
  std::string ActiveKeys;
  TEventState State = esReady;
  int IdleLimit = 0;
  int64_t StartTick = 0;
  bool RepeatText = false;
  char SemicolonChar = 0;
  char KeypadDecimalChar = 0;
  bool DynamicDuration = false;
  bool Internal = false;  // the typing test's own exam
  int GoalNotifyMargin = 10;

  // Where the exercise stands in its course, for the screen's title: "Lesson 3: E and I –
  // Exercise 2: Word drill"; empty outside a course.
  QString ExerciseContext() const;

  // The field `i` of the line, or "" when the line is shorter.
  std::string Field(size_t i) const;
  // Whether the course locks its exercises until they are finished.
  bool ExerciseLocked() const;

 protected:
  bool ShortCut(QKeyEvent* event) override;
  bool KeyDown(QKeyEvent* event) override;
  bool CommitText(const QString& text) override;
  void ButtonClick(QObject* sender) override;
  // The close result a choice of next (1) or cancel (2) comes to.
  int ChooseClose(int choice) const;
  virtual void CloseQuery(bool& abort);
  // Hides the goal introduction when it is up; true when it was.
  virtual bool DismissGoalIntroduction() { return false; }
  const Clock& clock() const;

 private:
  std::string line_;
  unsigned deadKey_ = 0;  // a dead key waiting for its letter
  int lesson_ = 0, exercise_ = 0;
  std::string lessonName_, exerciseTitle_;
};

// The character a Qt key event types, as 1252 (0: none); `deadKey` composes accents.
unsigned char keyEventTo1252(QKeyEvent* event, unsigned& deadKey);

}  // namespace ks
