#include "content/bookmark.h"

#include <algorithm>

#include "content/courseservices.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "text/numbers.h"

namespace ks {

void TBookMark::Reset() {
  *this = TBookMark();
}

void TBookMark::LoadBookmark(CourseLearner& learner) {
  if (Mode == bmReview) return;
  if (CourseId.empty()) {
    ReportError(-4000, "Course data cannot be loaded without course id.");
    return;
  }
  TDynamicSettings& s = learner.Settings();
  Chapter = s.ReadInteger(key("Chapter"));
  Exercise = s.ReadInteger(key("Exercise"));
  Event = s.ReadInteger(key("Event"));
  CompExc = s.ReadInteger(key("CompExc"));
  TotalExc = s.ReadInteger(key("TotalExc"));
  Time = s.ReadInteger(key("Time"));
  Duration = s.ReadInteger(key("Duration"));
  DurationSet = s.ReadBool(key("DurationSet"));
  const int level = s.ReadInteger(key("KeyLevel"));
  learner.SetHighestKeyLevel(level);
  learner.ResetKeyLevel();
  learner.RaiseKeyLevel(level);
}

void TBookMark::SaveBookmark(CourseLearner& learner) {
  if (Mode == bmReview) return;
  if (CourseId.empty()) {
    ReportError(-4000, "Course data cannot be saved without course id.");
    return;
  }
  TDynamicSettings& s = learner.Settings();
  s.WriteInteger(key("Chapter"), Chapter);
  s.WriteInteger(key("Exercise"), Exercise);
  s.WriteInteger(key("Event"), Event);
  s.WriteInteger(key("CompExc"), CompExc);
  s.WriteInteger(key("TotalExc"), TotalExc);
  s.WriteInteger(key("CompPrc"), CompletionPercent());
  s.WriteInteger(key("Time"), Time);
  s.WriteInteger(key("Duration"), Duration);
  s.WriteBool(key("DurationSet"), DurationSet);
  const int level = learner.KeyLevel();
  s.WriteInteger(key("KeyLevel"), level);
  learner.SetHighestKeyLevel(level);
  Duration = s.ReadInteger(key("Duration"));
}

int TBookMark::CompletionPercent() const {
  if (TotalExc <= 0) return 0;
  return static_cast<int>(roundHalfEvenDiv(int64_t{CompExc} * 100, TotalExc));
}

int TBookMark::RemainingSeconds() const {
  const int p = CompletionPercent();
  int64_t left;
  if (p <= 50) {
    left = int64_t{TotalSeconds} - Time;
  } else {
    left = roundHalfEvenDiv(int64_t{100 - p} * Time, p);
  }
  return static_cast<int>(std::clamp<int64_t>(left, 0, INT32_MAX));
}

}  // namespace ks
