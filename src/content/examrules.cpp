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
  const std::string unit = msg(SpeedUnitMessage(cpm));
  const auto speed = [&](int kpm) { return intToStr(DisplaySpeed(kpm, cpm, ctx.WordLength)); };
  r.Tip.clear();
  if (c.MustTypeAll && !finished) {
    r.Tip += msg(265) + "\r\r";
    r.Passed = false;
  }
  if (r.Accuracy < c.MinAccuracy) {
    r.Tip += msg(261) + intToStr(c.MinAccuracy) + "%\r\r";
    r.Passed = false;
  }
  if (r.NetSpeed < c.MinNet) {
    r.Tip += msg(262) + speed(c.MinNet) + " " + unit + " (" + msg(586) + ")\r\r";
    r.Passed = false;
  }
  if (r.GrossSpeed < c.MinGross) {
    r.Tip += msg(262) + speed(c.MinGross) + " " + unit + " (" + msg(587) + ")\r\r";
    r.Passed = false;
  }
  if (r.Rhythm < c.MinRhythm) {
    r.Tip += msg(263) + intToStr(c.MinRhythm) + "%\r\r";
    r.Passed = false;
  }
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
