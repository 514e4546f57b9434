#include "content/coursereader.h"

#include "platform/dialogs.h"
#include "store/langres.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {

int CourseReader::Open(const std::string& path) {
  return file_.OpenStream(path, 1, false);
}

bool CourseReader::Next(CourseLine& line) {
  std::string raw;
  while (file_.ReadLineShort(raw, 255)) {
    const std::string_view t = trimBlanks(raw);
    if (t.empty() || t[0] == '\'') continue;
    line.Text.assign(t);
    line.Fields = splitFields(t, "=;");
    // A line made only of separators has no fields and means nothing.
    if (line.Fields.empty()) continue;
    line.Name = lowerCase(line.Fields[0]);
    line.Value = line.Fields.size() > 1 ? line.Fields[1] : std::string();
    return true;
  }
  return false;
}

void CourseReader::Warn(const std::string& text) {
  problems_.push_back({kCourseStructureError, text});
  dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Warning);
}

void CourseReader::FieldProblem(const CourseLine& line, const std::string& what) {
  problems_.push_back({kCourseFieldError, "\"" + line.Text + "\": " + what});
}

bool CourseReader::IntValue(const CourseLine& line, int& out) {
  int32_t v = 0;
  if (!tryStrToInt(line.Value, v)) {
    FieldProblem(line, "not a number");
    return false;
  }
  out = v;
  return true;
}

}  // namespace ks
