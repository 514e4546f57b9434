#include "engine/resultfill.h"

#include "analysis/diffkeys.h"
#include "analysis/measures.h"
#include "engine/indexes.h"
#include "engine/studyingtip.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

int ResultErrorFactor(const TResultItem& r, int wordLength) {
  // -1 marks an absent factor; a factor of 0 or less would make errors free or a bonus.
  return r.ErrorFactor > 0 ? r.ErrorFactor : wordLength;
}

void FillTypingResult(TResultItem& r, CheckingModel model, const ResultSources& src) {
  src.keys.updateStatistics();
  const TEfficiencyInfo& e = src.measures.Efficiency;
  r.Kind = "TEXT";
  r.SubKind = model == CheckingModel::InputLine ? "CT" : "C2";
  r.HasMeasures = true;
  r.Valid = e.Words >= 5 && src.measures.Timer.Seconds() > 10;
  r.GrossSpeed = r.NetSpeed = r.Accuracy = r.Efficiency = r.Rhythm = r.DiffIndex = 0;
  r.Tip.clear();
  if (!r.Valid) {
    if (model == CheckingModel::InputLine) r.TypingSeconds = 1;
    return;
  }
  const int f = ResultErrorFactor(r, src.wordLength);
  r.GrossSpeed = e.GrossSpeed();
  r.NetSpeed = e.NetSpeed(f);
  r.Accuracy = e.Accuracy(f);
  r.Efficiency = e.Efficiency(f);
  r.Rhythm = src.measures.DeviationMeter.Rhythm();
  r.DiffIndex = DifficultyIndex(src.keys);
  r.Tip = TStudyingTip(src.measures, src.keys, src.lang).ComposeTip(f);
  r.TotalHits = e.TotalHits;
  r.ErrorHits = e.Errors;
}

bool IsLmsEventType(const std::string& eventType) {
  for (const char* t : {"FINALTEST", "TEST", "EASYEXAM", "EXAM", "EXAM2"}) {
    if (sameText(eventType, t)) return true;
  }
  return false;
}

std::vector<std::pair<std::string, std::string>> LmsEntries(const TResultItem& r,
                                                            const Measures& measures,
                                                            int wordLength) {
  const int f = ResultErrorFactor(r, wordLength);
  const TEfficiencyInfo& e = measures.Efficiency;
  return {
      {"qslms.netspeed", "int: " + intToStr(e.NetSpeed(f))},
      {"qslms.grossspeed", "int: " + intToStr(e.GrossSpeed())},
      {"qslms.accuracy", "double: " + floatToStr(e.AccuracyExact(f))},
      {"qslms.timespent", "int: " + intToStr(measures.Timer.Seconds())},
      {"qslms.errorhits", "int: " + intToStr(e.Errors)},
      {"qslms.totalhits", "int: " + intToStr(e.TotalHits)},
  };
}

}  // namespace ks
