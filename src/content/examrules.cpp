#include "content/examrules.h"

#include <cstdio>

#include "content/policy.h"
#include "engine/indexes.h"
#include "engine/resultfill.h"
#include "store/dynamicsettings.h"
#include "store/langres.h"
#include "text/numbers.h"

namespace ks {
namespace {

int fieldInt(const std::vector<std::string>& fields, size_t i) {
  return i < fields.size() ? strToIntDef(fields[i], 0) : 0;
}

std::string msg(int id) {
  return Localize().GetString(id);
}

enum class Criterion { WholeText, Accuracy, NetSpeed, GrossSpeed, Rhythm };

// The line of a criterion, as the verdict and the exam's introduction show it.
std::string criterionText(Criterion which, const ExamCriteria& c, bool cpm, int wordLength) {
  const auto speed = [&](int kpm, int kind) {
    return msg(262) + intToStr(DisplaySpeed(kpm, cpm, wordLength)) + " " +
           msg(SpeedUnitMessage(cpm)) + " (" + msg(kind) + ")";
  };
  switch (which) {
    case Criterion::WholeText:
      return msg(265);
    case Criterion::Accuracy:
      return msg(261) + intToStr(c.MinAccuracy) + "%";
    case Criterion::NetSpeed:
      return speed(c.MinNet, 586);
    case Criterion::GrossSpeed:
      return speed(c.MinGross, 587);
    case Criterion::Rhythm:
      return msg(263) + intToStr(c.MinRhythm) + "%";
  }
  return {};
}

}  // namespace

ExamVariant ExamVariantOf(std::string_view eventType, bool internal) {
  if (eventType == "EXAMINTERNAL") return ExamVariant::Internal;
  if (eventType == "EXAM") return internal ? ExamVariant::Internal : ExamVariant::Exam;
  if (eventType == "EXAM2") return ExamVariant::Exam2;
  if (eventType == "EASYEXAM") return ExamVariant::EasyExam;
  return ExamVariant::None;
}

ExamCriteria SetupExam(ExamVariant variant, const std::vector<std::string>& eventFields,
                       const std::string& courseId, int timeLimit, int wordLength) {
  ExamCriteria c;
  if (variant == ExamVariant::None) return c;
  const std::string prefix = courseId + ".";
  c.TimeLimit = timeLimit;
  c.MustTypeAll = policyBool(prefix + "chapter_must_type_all");
  if (variant == ExamVariant::Internal) {
    c.MinGross = fieldInt(eventFields, 5) * wordLength;
    c.MinAccuracy = fieldInt(eventFields, 6);
    c.MinRhythm = fieldInt(eventFields, 7);
    if (eventFields.size() > 8) c.MinNet = fieldInt(eventFields, 8) * wordLength;
    if (eventFields.size() > 9) {
      const int mode = fieldInt(eventFields, 9);
      c.MustTypeAll = mode == 1;
      c.TimeLimited = mode != 0;
    }
    c.GoalsOff = true;
  } else {
    c.MinGross = 0;
    c.MinNet = policyInt(prefix + "chapter_min_speed") * wordLength;
    c.MinAccuracy = policyInt(prefix + "chapter_min_accuracy");
    c.MinRhythm = policyInt(prefix + "chapter_min_rhythm");
    c.GoalsOff = variant == ExamVariant::Exam || variant == ExamVariant::Exam2;
  }
  if (variant == ExamVariant::Exam2 || variant == ExamVariant::EasyExam) {
    const int minutes = policyInt(prefix + "chapter_exam_duration");
    if (minutes != 0) {
      c.TimeLimit = minutes * 60;
      char caption[32];
      std::snprintf(caption, sizeof caption, "[%1.1d:%2.2d]", c.TimeLimit / 60, c.TimeLimit % 60);
      c.DurationCaption = caption;
    }
  }
  // Last, so that nothing sets it again: without a time limit a restarting text never ends.
  if (c.TimeLimit <= 0) c.TimeLimited = false;
  return c;
}

std::vector<std::string> ExamRequirements(const ExamCriteria& c, bool cpm, int wordLength) {
  std::vector<std::string> lines;
  const auto add = [&](bool inForce, Criterion which) {
    if (inForce) lines.push_back(criterionText(which, c, cpm, wordLength));
  };
  add(c.MinAccuracy > 0, Criterion::Accuracy);
  add(c.MinNet > 0, Criterion::NetSpeed);
  add(c.MinGross > 0, Criterion::GrossSpeed);
  add(c.MinRhythm > 0, Criterion::Rhythm);
  add(c.MustTypeAll, Criterion::WholeText);
  return lines;
}

void ExamTypedLog::Add(std::string_view expected, std::string_view typed, unsigned char key) {
  (void)key;
  pairs_.emplace_back(std::string(expected), std::string(typed));
}

void EvaluateExam(TResultItem& r, const ExamCriteria& c, std::string_view eventType, bool finished,
                  const ExamTypedLog& log, const ExamContext& ctx) {
  r.Kind = "TEST";
  if (!r.Valid) return;
  TDynamicSettings* user = ctx.Learner != nullptr ? &ctx.Learner->Settings() : nullptr;
  const bool lesson = r.Chapter > 0;

  r.Passed = true;
  if (user != nullptr) user->WriteInteger("qslms.exampassed", lesson && r.Complete ? 1 : 0);

  const bool cpm = user != nullptr && user->ReadBool("cpm");
  r.Tip.clear();
  const auto fail = [&](Criterion which) {
    r.Tip += criterionText(which, c, cpm, ctx.WordLength) + "\r\r";
    r.Passed = false;
  };
  if (c.MustTypeAll && !finished) fail(Criterion::WholeText);
  if (r.Accuracy < c.MinAccuracy) fail(Criterion::Accuracy);
  if (r.NetSpeed < c.MinNet) fail(Criterion::NetSpeed);
  if (r.GrossSpeed < c.MinGross) fail(Criterion::GrossSpeed);
  if (r.Rhythm < c.MinRhythm) fail(Criterion::Rhythm);
  if (r.Passed) {
    r.Tip = msg(375);
    if (lesson && user != nullptr) user->WriteInteger("qslms.exampassed", 2);
  }

  if (user != nullptr && lesson && ctx.TypingMeasures != nullptr &&
      IsLmsEventType(std::string(eventType))) {
    for (const auto& [name, value] : LmsEntries(r, *ctx.TypingMeasures, ctx.WordLength)) {
      user->WriteString(name, value);
    }
  }
  if (ctx.Learner != nullptr) {
    ctx.Learner->StoreTypedTexts(r.Number, log.Pairs());
    // Exam texts always start at their beginning.
    user->WriteInteger("StoryPointer", 0);
  }
}

}  // namespace ks
