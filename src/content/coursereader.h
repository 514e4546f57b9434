// Reads the body of a course file line by line for the course, lesson and exercise builders, and
// collects what was wrong with it.
#pragma once

#include <string>
#include <vector>

#include "store/fileobj.h"

namespace ks {

// Something a course file got wrong. Structural problems (-1052) have been shown as warning
// boxes while loading; field problems (-11) are reported once the course is loaded.
struct CourseProblem {
  int Code = 0;
  std::string Text;
};

inline constexpr int kCourseStructureError = -1052;
inline constexpr int kCourseFieldError = -11;

// A body line: trimmed, split at "=" and ";", with its name in lower case.
struct CourseLine {
  std::string Text;
  std::vector<std::string> Fields;
  std::string Name;
  std::string Value;  // the second field, "" when there is none
};

class CourseReader {
 public:
  // Opens the file with its header; returns the reader's status (1 on success).
  int Open(const std::string& path);
  void Close() { file_.Close(); }

  bool Ready() const { return file_.isOpen() && file_.status() == fsOk; }
  int Status() const { return file_.status(); }
  TStreamFile& File() { return file_; }

  // The next line that is not empty and not a comment; false at the end of the file.
  bool Next(CourseLine& line);

  // A warning box the loading goes on after.
  void Warn(const std::string& text);
  // A problem noted without a box.
  void Problem(int code, const std::string& text) { problems_.push_back({code, text}); }
  // A field that could not be used; reported after loading.
  void FieldProblem(const CourseLine& line, const std::string& what);
  // The value of `line` as an integer; false (and a field problem) when it is not one.
  bool IntValue(const CourseLine& line, int& out);

  const std::vector<CourseProblem>& Problems() const { return problems_; }

 private:
  TStreamFile file_;
  std::vector<CourseProblem> problems_;
};

}  // namespace ks
