// The review course: a one-lesson course written from the learner's most difficult keys and
// words, with every drill text in a temporary file of its own, loaded and run in review mode
// (no bookmark, no stored results). Destroying it deletes the files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "content/contents.h"
#include "content/revisionbuilder.h"
#include "content/tempfiles.h"

namespace ks {

class TDifficultKeys;
class TWordList;

// Where the review's keys and words come from; missing sources count as empty.
struct ReviewSources {
  const TDifficultKeys* Difficulties = nullptr;  // the active set
  const TWordList* Words = nullptr;
};

// The keys a review practises: K (two drill groups of it) and the capitals K5.
struct ReviewKeys {
  std::string K, Group1, Group2, K5;
};
// The six worst keys (in two groups of three) and the five worst capital letters; without any
// difficult key "wopmvcbg" ("wopm", "vcbg") and "WVCBGQ".
ReviewKeys chooseReviewKeys(const TDifficultKeys* difficulties);

// The learner's most difficult words (from lessons, the monitor and their own), at most 15.
std::vector<std::string> reviewWords(const TWordList* words);
// Lines of two consecutive words, each followed by a blank, written twice; a last unpaired word
// alone, written twice.
std::vector<std::string> wordPairLines(const std::vector<std::string>& words);

class TReviewContents {
 public:
  // The builder takes the policy's "SidewatchWizard" word data. `tempRoot` empty: the usual
  // temporary folder.
  TReviewContents(Random& random, const BuilderEnvironment& env, ReviewSources sources,
                  const CourseServices& course, std::filesystem::path tempRoot = {});
  ~TReviewContents();
  TReviewContents(const TReviewContents&) = delete;
  TReviewContents& operator=(const TReviewContents&) = delete;

  // Writes the course (with its exercises when `generate`) and loads it for `duration` minutes
  // in review mode. False when it could not be written or loaded; both are reported.
  bool CreateReview(bool generate, int duration);

  TContents* Contents() const { return contents_.get(); }
  // The course as written (Windows-1252, CR LF).
  const std::string& CourseText() const { return courseText_; }
  const std::filesystem::path& CourseFile() const { return courseFile_; }
  const TempFileSet& TempFiles() const { return files_; }

  std::string Title = "Review Chapter";
  TRevisionBuilder Builder;
  int Duration = -1;

 private:
  // The builder's lines as a temporary file; "" when it built nothing.
  std::string saveLines(const std::string& stem);
  std::string saveText(const std::string& stem, const std::vector<std::string>& lines);
  void writeExercises(std::string& out);

  BuilderEnvironment env_;
  ReviewSources sources_;
  CourseServices course_;
  TempFileSet files_;  // declared before the course, so the course goes first
  std::unique_ptr<TContents> contents_;
  std::string courseText_;
  std::filesystem::path courseFile_;
};

}  // namespace ks
