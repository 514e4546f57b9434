// One event line of an exercise: it keeps the parsed line and, when the exercise reaches it,
// creates the event, runs it and looks after the result: shown, marked passed, stored.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "content/eventline.h"

namespace ks {

class TExercise;
class TBookMark;
class CourseLearner;
class EventFactory;
class ResultPresenter;
struct TResultItem;

// What a run needs besides the line.
struct EventRuntime {
  EventFactory& Factory;
  ResultPresenter* Presenter = nullptr;  // none: no result views
  CourseLearner* Learner = nullptr;      // none: nobody logged in
};

class TEventLoader {
 public:
  explicit TEventLoader(const std::string& line, TExercise* exercise = nullptr);

  // Runs the event and handles its result; returns the close result.
  int Execute(const EventRuntime& rt);

  int ChapterNumber() const;
  int ExerciseNumber() const;
  // The line as the event itself splits it (at ";" only).
  std::vector<std::string> EventFields() const;
  bool KnownKeyword() const { return FindEventKeyword(keyword_) != nullptr; }

  const std::string& Line() const { return line_.Line; }
  const std::vector<std::string>& Fields() const { return line_.Fields; }
  const std::string& Name() const { return line_.Name; }
  const std::string& Keyword() const { return keyword_; }
  int Weight() const { return line_.Weight; }
  bool WeightMalformed() const { return line_.WeightMalformed; }
  const std::string& SourceFile() const { return line_.SourceFile; }

  int TimeLimit = 0;  // the weight until the durations replace it with seconds
  int Number = 0;
  TExercise* Exercise = nullptr;
  std::string ResultSource = "BKM";
  std::string SourceName;
  std::string ExerciseType;
  std::string TestName;  // typing tests name their text
  // The text files the event types, one after the other, instead of its line's text field (a
  // folder that 1252 cannot spell stays as the system names it); none: the line's.
  std::vector<std::filesystem::path> TextFiles;
  std::string CourseId;
  int ResultShowMode = 0;
  bool SaveResults = true;
  bool CancelVisible = true;
  bool MenuVisible = false;
  bool DynamicDuration = false;
  int KeyLevel = 0;
  std::string KnownKeys;
  std::vector<std::string> GameWordList;
  bool Checked = false;
  int TimeStudied = 0;
  int ExerciseTime = 0;
  int CloseResult = 0;
  // When set, receives the result as it was judged (events that run a loader of their own take
  // their figures from it).
  TResultItem* Outcome = nullptr;

 private:
  void InitResult(TResultItem& item, const EventKeyword& kw);
  int ShowResult(const EventRuntime& rt, TResultItem& item, const EventKeyword& kw, bool builder);
  void StoreResult(CourseLearner& learner, TResultItem& item);
  const TBookMark* Bookmark() const;

  EventLine line_;
  std::string keyword_;
};

// Close results outside 0..7 and below 600 mean nothing to the caller and become 0.
int ClampCloseResult(int result);

}  // namespace ks
