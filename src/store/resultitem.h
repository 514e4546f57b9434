// The result of one lesson event. Typing events fill the measure fields when they end; the
// results store keeps, ranks and writes the records.
#pragma once

#include <string>

namespace ks {

struct TResultItem {
  int Number = 0;
  std::string Source;  // "BKM" (a course exercise), "NAME" (a named text) or empty
  std::string CourseId;
  int Chapter = 0;
  int Exercise = 0;
  int Event = 0;
  std::string Name;
  bool Checked = false;  // the attempt counts as passed
  double Date = 0;       // when the event started
  int StudySeconds = 0;
  std::string SubKind =
      "0";  // exercise kind: "CT", "C2", "KT", "KR", "KS", "PG", "NK", "KB", "REV"
  int ExerciseStudySeconds = 0;
  std::string Kind = "STD";  // "STD", "TIME", "GAME", "TEXT" or "TEST"
  bool Passed = false;
  bool Complete = false;
  bool Valid = false;        // enough typing for measures
  bool HasMeasures = false;  // a typing event filled the measures (valid or not)
  int TypingSeconds = 0;
  int TimeLimit = 0;
  int GrossSpeed = 0;  // keystrokes per minute
  int NetSpeed = 0;
  int Accuracy = 0;
  int Rhythm = 0;
  int Efficiency = 0;
  int DiffIndex = 0;
  std::string Tip;
  std::string TestName;
  int TotalHits = -1;  // -1: absent
  int ErrorHits = -1;
  int ErrorFactor = -1;  // characters one error costs; set by the loader, -1 when absent
  int GameScore = 0;
  std::string ExerciseType;
};

}  // namespace ks
