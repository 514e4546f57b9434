#include "store/userresults.h"

#include <algorithm>
#include <limits>
#include <map>
#include <system_error>

#include "platform/paths.h"
#include "store/errors.h"
#include "store/resultline.h"
#include "store/usernames.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr std::string_view kCountKey = "ReCnt";

// The number of a line name "Re<n>" written the way SaveResults writes it (digits without a
// sign or leading zeros); -1 for other names, the largest int for numbers too long for one.
int lineNumber(std::string_view name) {
  if (name.size() < 3 || !startsWithText(name, "Re")) return -1;
  int32_t n = 0;
  const std::string_view digits = name.substr(2);
  if (digits.find_first_not_of("0123456789") != std::string_view::npos ||
      (digits.size() > 1 && digits[0] == '0'))
    return -1;
  return tryStrToInt(digits, n) ? n : std::numeric_limits<int>::max();
}

bool sameExercise(const TResultItem& a, const TResultItem& b) {
  return a.Source == "BKM" && b.Source == "BKM" && sameText(a.CourseId, b.CourseId) &&
         a.Chapter == b.Chapter && a.Exercise == b.Exercise;
}

bool ofCourse(const TResultItem& r, std::string_view courseId) {
  return r.Source == "BKM" && sameText(r.CourseId, courseId);
}

void sortByDate(std::vector<TResultItem>& items, bool ascending) {
  std::stable_sort(items.begin(), items.end(), [ascending](const auto& a, const auto& b) {
    return ascending ? a.Date < b.Date : a.Date > b.Date;
  });
}

void sortByPosition(std::vector<TResultItem>& items) {
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return a.Chapter != b.Chapter ? a.Chapter < b.Chapter : a.Exercise < b.Exercise;
  });
}

const int* measureField(const TResultItem& r, const std::string& measure) {
  if (measure == "NETSPEED") return &r.NetSpeed;
  if (measure == "GROSSSPEED") return &r.GrossSpeed;
  if (measure == "ACCURACY") return &r.Accuracy;
  if (measure == "RHYTHM") return &r.Rhythm;
  if (measure == "EFFICIENCY") return &r.Efficiency;
  if (measure == "DIFFINDEX") return &r.DiffIndex;
  return nullptr;
}

}  // namespace

void TResults::Clear() {
  items_.clear();
  unread_.clear();
  highest_ = -1;
}

int TResults::NextNumber() const {
  if (highest_ < kHighestNumber) return highest_ + 1;
  std::vector<int> taken = unread_;
  for (const TResultItem& item : items_) taken.push_back(item.Number);
  std::sort(taken.begin(), taken.end());
  int lowest = 0;
  for (int n : taken) {
    if (n > lowest) break;
    if (n == lowest) ++lowest;
  }
  return lowest;
}

void TResults::LoadResults(TDynamicSettings& user) {
  Clear();
  // Every result line counts, whatever the count says: a count that is damaged or too low must
  // neither hide results nor let new ones take their numbers. Only the first line of a number
  // counts, as for every key of the store: names of one number differ only in the letter case
  // of "Re". The lines are read in place; a learner of many years has tens of thousands.
  std::map<int, std::string_view> values;
  std::string pastRange;
  for (const std::string& line : user.file().Lines()) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const int n = lineNumber(std::string_view(line).substr(0, eq));
    if (n > kHighestNumber) {
      if (pastRange.empty()) pastRange = line.substr(0, eq);
    } else if (n >= 0) {
      values.try_emplace(n, std::string_view(line).substr(eq + 1));
    }
  }
  if (!pastRange.empty()) {
    LogError(-11, user.path() + ": the result line \"" + pastRange +
                      "\" is numbered past the highest result number; it is kept in the file "
                      "and left out");
  }
  items_.reserve(values.size());
  for (const auto& [number, value] : values) {
    // A line that does not read still holds its number: a new result must not overwrite it.
    highest_ = std::max(highest_, number);
    TResultItem item;
    item.Number = number;
    if (ReadResultLine(value, item) == 1) {
      items_.push_back(std::move(item));
    } else {
      unread_.push_back(number);
    }
  }
}

void TResults::SaveResults(TDynamicSettings& user) const {
  user.WriteInteger(std::string(kCountKey), highest_);
  for (const TResultItem& item : items_) {
    user.WriteString("Re" + intToStr(item.Number), ResultLine(item));
  }
}

void TResults::SetTypedTextPlace(std::filesystem::path dataPath, std::string fileBase) {
  typedTextDir_ = std::move(dataPath);
  typedTextBase_ = std::move(fileBase);
}

void TResults::moveTypedText(int from, int to) const {
  if (typedTextBase_.empty() || from == to || from < 0) return;
  const auto source = TypedTextPath(typedTextDir_, typedTextBase_, from);
  std::error_code ec;
  if (!std::filesystem::exists(source, ec)) return;
  std::filesystem::rename(source, TypedTextPath(typedTextDir_, typedTextBase_, to), ec);
}

TResultItem* TResults::competitor(const TResultItem& attempt) {
  for (TResultItem& item : items_) {
    if (attempt.Source == "NAME") {
      if (item.Source == "NAME" && sameText(item.Name, attempt.Name)) return &item;
    } else if (sameExercise(item, attempt)) {
      return &item;
    }
  }
  return nullptr;
}

void TResults::AddResult(const TResultItem& attempt) {
  TResultItem* stored = competitor(attempt);
  int number = -1;
  if (!stored) {
    number = NextNumber();
  } else {
    const int storedRank = Rank(*stored);
    const int rank = Rank(attempt);
    bool replace = storedRank < rank;
    if (storedRank == rank) {
      const bool measured =
          (attempt.Kind != "TEXT" && attempt.Kind != "TEST") || attempt.GrossSpeed != 0;
      replace = measured && (attempt.Checked || !stored->Checked) && attempt.Event >= stored->Event;
    }
    if (!replace) return;
    number = stored->Number;
    items_.erase(items_.begin() + (stored - items_.data()));
  }
  TResultItem copy = attempt;
  copy.Number = number;
  if (copy.Kind == "TEST") moveTypedText(attempt.Number, number);
  items_.push_back(std::move(copy));
  highest_ = std::max(highest_, number);
}

std::vector<TResultItem> TResults::ResultsOfCourse(std::string_view courseId, bool byDate) const {
  std::vector<TResultItem> out;
  for (const TResultItem& r : items_) {
    if (ofCourse(r, courseId)) out.push_back(r);
  }
  if (byDate) {
    sortByDate(out, true);
  } else {
    sortByPosition(out);
  }
  return out;
}

std::vector<TResultItem> TResults::Tests(bool byDate) const {
  std::vector<TResultItem> out;
  for (const TResultItem& r : items_) {
    if (r.Kind == "TEST" && r.TypingSeconds >= 10) out.push_back(r);
  }
  sortByDate(out, byDate);
  return out;
}

std::optional<TResultItem> TResults::LatestTest() const {
  std::vector<TResultItem> tests = Tests(false);
  if (tests.empty()) return std::nullopt;
  return tests.front();
}

std::vector<TResultItem> TResults::Filter(const TResultItem& templ, bool byDate,
                                          bool byPosition) const {
  std::vector<TResultItem> out;
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    const TResultItem& r = *it;
    if (!templ.Source.empty() && r.Source != templ.Source) continue;
    if (!templ.Kind.empty() && r.Kind != templ.Kind) continue;
    if (!templ.CourseId.empty() && !sameText(r.CourseId, templ.CourseId)) continue;
    if (r.TypingSeconds < templ.TypingSeconds) continue;
    out.push_back(r);
  }
  if (byDate) {
    sortByDate(out, true);
  } else if (byPosition || !templ.CourseId.empty()) {
    sortByPosition(out);
  } else {
    sortByDate(out, false);
  }
  return out;
}

bool TResults::ExercisePassed(std::string_view courseId, int chapter, int exercise) const {
  for (const TResultItem& r : items_) {
    if (ofCourse(r, courseId) && r.Chapter == chapter && r.Exercise == exercise) return r.Checked;
  }
  return false;
}

int TResults::PassedCount(std::string_view courseId) const {
  return static_cast<int>(std::count_if(items_.begin(), items_.end(), [&](const auto& r) {
    return ofCourse(r, courseId) && r.Checked;
  }));
}

void TResults::DemoteOlder(const TResultItem& attempt) {
  const int rank = Rank(attempt);
  for (TResultItem& r : items_) {
    if (sameExercise(r, attempt) && r.Event < attempt.Event && rank >= Rank(r)) r.Checked = false;
  }
}

std::vector<int> TResults::MeasureSeries(std::string_view measure, std::string_view courseId,
                                         std::vector<std::string>* labels) const {
  const std::string name = upperCase(measure);
  std::vector<TResultItem> chosen;
  for (const TResultItem& r : items_) {
    if ((r.Kind == "TEXT" || r.Kind == "TEST") && r.SubKind != "REV" &&
        (courseId.empty() || sameText(r.CourseId, courseId)))
      chosen.push_back(r);
  }
  sortByPosition(chosen);
  std::vector<int> values;
  std::vector<const TResultItem*> sources;
  for (const TResultItem& r : chosen) {
    const int* field = measureField(r, name);
    if (!field) return {};
    if (*field == 0) continue;
    values.push_back(*field);
    sources.push_back(&r);
  }
  if (labels) {
    labels->clear();
    const bool crowded = values.size() >= 26;
    for (size_t i = 0; i < sources.size(); ++i) {
      const TResultItem& r = *sources[i];
      const bool firstOfChapter = i == 0 || sources[i - 1]->Chapter != r.Chapter;
      labels->push_back(!crowded || firstOfChapter
                            ? intToStr(r.Chapter) + "." + intToStr(r.Exercise)
                            : std::string());
    }
  }
  return values;
}

}  // namespace ks
