#include "store/resultline.h"

#include <vector>

#include "text/fields.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr std::string_view kNoText = "-";

bool hasStatus(const std::string& kind) {
  return !kind.empty() && kind != "STD";
}

bool hasMeasures(const std::string& kind) {
  return kind == "TEST" || kind == "TEXT";
}

// A text field that keeps its place: the splitter drops empty fields and splits at ";", and a
// "%" at a field's end would join it to the next one.
std::string textField(std::string_view text) {
  if (text.empty()) return std::string(kNoText);
  std::string out(text);
  for (char& c : out) {
    if (c == ';' || c == '=') c = ',';
  }
  if (out.back() == '%') out += ' ';
  return out;
}

std::string storedText(const std::string& field) {
  return field == kNoText ? std::string() : field;
}

int statusOf(const TResultItem& r) {
  if (r.Passed && r.Complete) return 4;
  if (r.Passed) return 2;
  if (r.Complete) return 3;
  return 0;
}

// Takes the fields of a split line in order.
class FieldReader {
 public:
  explicit FieldReader(std::vector<std::string> fields) : fields_(std::move(fields)) {}

  bool atEnd() const { return next_ >= fields_.size(); }
  bool text(std::string& out) {
    if (atEnd()) return false;
    out = std::move(fields_[next_++]);
    return true;
  }
  bool integer(int& out) {
    int32_t value = 0;
    if (atEnd() || !tryStrToInt(fields_[next_], value)) return false;
    ++next_;
    out = value;
    return true;
  }
  bool skip() {
    if (atEnd()) return false;
    ++next_;
    return true;
  }

 private:
  std::vector<std::string> fields_;
  size_t next_ = 0;
};

bool readHead(FieldReader& in, TResultItem& r) {
  std::string text;
  if (!in.text(text)) return false;
  r.Source = storedText(text);
  if (r.Source == "BKM") {
    if (!in.text(text) || !in.integer(r.Chapter) || !in.integer(r.Exercise) ||
        !in.integer(r.Event) || !in.skip())
      return false;
    r.CourseId = storedText(text);
  } else if (r.Source == "NAME") {
    if (!in.text(text) || !in.skip() || !in.skip()) return false;
    r.Name = storedText(text);
  }
  int checked = 0;
  if (!in.integer(checked) || !in.text(text)) return false;
  r.Checked = checked != 0;
  double date = 0;
  r.Date = tryStrToFloat(text, date) ? date : 0;
  if (!in.integer(r.StudySeconds) || !in.text(text)) return false;
  r.SubKind = storedText(text);
  if (!in.skip() || !in.integer(r.ExerciseStudySeconds) || !in.text(text)) return false;
  r.Kind = storedText(text);
  return true;
}

bool readTail(FieldReader& in, TResultItem& r) {
  if (hasStatus(r.Kind)) {
    int status = 0;
    if (!in.integer(status) || !in.integer(r.TypingSeconds) || !in.integer(r.TimeLimit) ||
        !in.skip() || !in.skip())
      return false;
    // 1 is how older files wrote "passed and complete".
    r.Passed = status == 1 || status == 2 || status == 4;
    r.Complete = status == 1 || status == 3 || status == 4;
  }
  if (r.Kind == "GAME") return in.integer(r.GameScore) && in.skip() && in.skip();
  if (!hasMeasures(r.Kind)) return true;
  std::string name;
  if (!in.integer(r.GrossSpeed) || !in.integer(r.NetSpeed) || !in.integer(r.Accuracy) ||
      !in.integer(r.Rhythm) || !in.integer(r.Efficiency) || !in.integer(r.DiffIndex) ||
      !in.text(name))
    return false;
  if (r.Kind == "TEST") r.TestName = name;
  // Lines of older versions end before these.
  for (int* field : {&r.TotalHits, &r.ErrorHits, &r.ErrorFactor}) {
    *field = -1;
    if (!in.atEnd() && !in.integer(*field)) return false;
  }
  return true;
}

}  // namespace

int Rank(const TResultItem& item) {
  const std::string& kind = item.Kind;
  const std::string& sub = item.SubKind;
  int rank = kind == "STD"    ? 1
             : kind == "TIME" ? 3
             : kind == "GAME" ? 4
             : kind == "TEXT" ? 5
             : kind == "TEST" ? 10
                              : 0;
  if (kind == "TEXT" && sub == "C2") rank = 7;
  if (kind == "TEXT" && sub == "CT") rank = 8;
  if (kind == "TIME" && sub == "NK") rank = 2;
  if (kind == "TIME" && sub == "KB") rank = 5;
  if (sub == "REV") rank = 4;
  return rank;
}

std::string ResultLine(const TResultItem& r) {
  std::vector<std::string> f;
  f.push_back(textField(r.Source));
  if (r.Source == "BKM") {
    f.insert(f.end(), {textField(r.CourseId), intToStr(r.Chapter), intToStr(r.Exercise),
                       intToStr(r.Event), "0"});
  } else if (r.Source == "NAME") {
    f.insert(f.end(), {textField(r.Name), "0", "0"});
  }
  f.insert(f.end(),
           {r.Checked ? "1" : "0", floatToStr(r.Date), intToStr(r.StudySeconds),
            textField(r.SubKind), "0", intToStr(r.ExerciseStudySeconds), textField(r.Kind)});
  if (hasStatus(r.Kind)) {
    f.insert(f.end(),
             {intToStr(statusOf(r)), intToStr(r.TypingSeconds), intToStr(r.TimeLimit), "0", "0"});
  }
  if (r.Kind == "GAME") {
    f.insert(f.end(), {intToStr(r.GameScore), "0", "0"});
  } else if (hasMeasures(r.Kind)) {
    f.insert(f.end(), {intToStr(r.GrossSpeed), intToStr(r.NetSpeed), intToStr(r.Accuracy),
                       intToStr(r.Rhythm), intToStr(r.Efficiency), intToStr(r.DiffIndex),
                       r.Kind == "TEST" ? textField(r.TestName) : "0", intToStr(r.TotalHits),
                       intToStr(r.ErrorHits), intToStr(r.ErrorFactor)});
  }
  std::string line;
  for (const std::string& field : f) {
    if (!line.empty()) line += ';';
    line += field;
  }
  return line;
}

int ReadResultLine(std::string_view value, TResultItem& item) {
  FieldReader in(splitFields(value, ";"));
  TResultItem r;
  r.Number = item.Number;
  if (!readHead(in, r)) return -1;
  if (!readTail(in, r)) return -2;
  item = std::move(r);
  return 1;
}

}  // namespace ks
