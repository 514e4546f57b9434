// What a typing event writes into its result when it ends: the measures of the exercise, or
// none when too little was typed to judge.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "store/resultitem.h"

namespace ks {

struct Measures;
class TDifficultKeys;
class TLocalize;

enum class CheckingModel { InputLine, InPlace };

struct ResultSources {
  Measures& measures;
  TDifficultKeys& keys;  // the current key statistics
  const TLocalize& lang;
  int wordLength;  // W: the error factor when the result has none
};

// The error factor of a result: its own, or W when it has none.
int ResultErrorFactor(const TResultItem& r, int wordLength);

// Folds the exercise's key presses into the statistics and fills the measure fields; the
// caller has set the typing time and limit. An input-line result without enough typing (fewer
// than 5 words or 10 seconds) gets 1 second of typing time; an in-place one keeps its time.
void FillTypingResult(TResultItem& r, CheckingModel model, const ResultSources& src);

// The learning-management values an exam in a course lesson writes into the learner's
// settings (name, typed value).
std::vector<std::pair<std::string, std::string>> LmsEntries(const TResultItem& r,
                                                            const Measures& measures,
                                                            int wordLength);
// Whether an event type writes them.
bool IsLmsEventType(const std::string& eventType);

}  // namespace ks
