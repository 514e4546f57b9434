// Exams: what a learner must reach to pass (from the policy, or from the typing test's own line),
// how long an exam runs, the verdict with its explanation, and the log of what was typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "content/courseservices.h"
#include "engine/typingcore.h"

namespace ks {

struct Measures;

enum class ExamVariant { None, Exam, Internal, Exam2, EasyExam };

// The exam an event type stands for ("EXAMINTERNAL" or an internal "EXAM" is the typing test's).
ExamVariant ExamVariantOf(std::string_view eventType, bool internal = false);

struct ExamCriteria {
  bool MustTypeAll = false;
  int MinGross = 0;  // keystrokes per minute; 0 = none
  int MinNet = 0;
  int MinAccuracy = 0;          // %
  int MinRhythm = 0;            // %
  bool TimeLimited = false;     // the text starts again at its end until the time is up
  bool GoalsOff = false;        // accuracy goals do not apply
  int TimeLimit = 0;            // seconds; the exam duration of the policy may replace the event's
  std::string DurationCaption;  // "[m:ss]" when the exam duration applies
};

// The criteria of an exam. `eventFields` is the line as the event splits it; `timeLimit` the
// event's own limit in seconds; W the word length.
ExamCriteria SetupExam(ExamVariant variant, const std::vector<std::string>& eventFields,
                       const std::string& courseId, int timeLimit, int wordLength);

// What an exam asks for, one line per criterion in force (the texts its verdict uses), speeds
// in the learner's unit (`cpm`: keystrokes instead of words per minute).
std::vector<std::string> ExamRequirements(const ExamCriteria& criteria, bool cpm, int wordLength);

// The log of an exam as (target, typed) pairs; the ending key is not kept.
class ExamTypedLog : public TypedTextLog {
 public:
  void Add(std::string_view expected, std::string_view typed, unsigned char key) override;
  const TypedTextPairs& Pairs() const { return pairs_; }
  void Clear() { pairs_.clear(); }

 private:
  TypedTextPairs pairs_;
};

struct ExamContext {
  CourseLearner* Learner = nullptr;          // none: nothing is written
  const Measures* TypingMeasures = nullptr;  // for the learning-management keys
  int WordLength = 5;
};

// The verdict when an exam is hidden, after the measures are in the result: the passed flag and
// the tip that explains it, the learning-management keys, the typed text under the result's
// number. `finished` tells whether the learner reached the end.
void EvaluateExam(TResultItem& result, const ExamCriteria& criteria, std::string_view eventType,
                  bool finished, const ExamTypedLog& log, const ExamContext& ctx);

}  // namespace ks
