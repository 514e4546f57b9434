// A learner's results: the best attempt per course exercise or named text, kept as numbered
// lines in the learner's settings, and the questions the views and reports ask of them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dynamicsettings.h"
#include "store/resultitem.h"

namespace ks {

class TResults {
 public:
  // The highest number a result line may carry: above it no number for a new result would be
  // left. A line numbered higher is damage: left alone in the file, left out, logged once.
  static constexpr int kHighestNumber = 2147483646;

  // Reads "ReCnt" and the lines "Re0" to "Re<ReCnt>"; lines that do not read are left out (and
  // left alone in the file).
  void LoadResults(TDynamicSettings& user);
  // Writes "ReCnt" and every item's line.
  void SaveResults(TDynamicSettings& user) const;

  // Merges one attempt: it joins the list, replaces the stored attempt at the same exercise (or
  // named text) that it outranks, or is dropped.
  void AddResult(const TResultItem& attempt);
  // The number a new result gets: one above every number in use, including lines that did not
  // read. A typing test numbers its attempt (and its typed-text file) with it before AddResult.
  // Once the highest number is in use, the lowest free one.
  int NextNumber() const;
  int HighestNumber() const { return highest_; }
  // Where the typed texts of tests are ("<data path>/<file base>"): a test that takes over the
  // number of a stored result carries its typed-text file along. Empty: nothing is renamed.
  void SetTypedTextPlace(std::filesystem::path dataPath, std::string fileBase);

  const std::vector<TResultItem>& Items() const { return items_; }
  void Clear();

  // Items of source "BKM" and the course, by date (ascending) or by chapter and exercise.
  std::vector<TResultItem> ResultsOfCourse(std::string_view courseId, bool byDate) const;
  // Tests of at least 10 typing seconds, newest first unless by date (ascending).
  std::vector<TResultItem> Tests(bool byDate) const;
  std::optional<TResultItem> LatestTest() const;
  // Items with the template's source, kind and course id (each only when not empty) and at least
  // its typing seconds. By date ascending; by chapter and exercise when `byPosition` or the
  // template names a course; else newest first.
  std::vector<TResultItem> Filter(const TResultItem& templ, bool byDate, bool byPosition) const;
  bool ExercisePassed(std::string_view courseId, int chapter, int exercise) const;
  int PassedCount(std::string_view courseId) const;
  // An attempt at a later event of an exercise that ranks at least as high takes the pass from
  // the stored attempts at earlier events.
  void DemoteOlder(const TResultItem& attempt);
  // One measure ("NETSPEED", "GROSSSPEED", "ACCURACY", "RHYTHM", "EFFICIENCY", "DIFFINDEX", any
  // case) of the typing results (no reviews) of a course (all when empty) in chapter and exercise
  // order, zeros left out. `labels` gets "chapter.exercise" per value; from 26 values on only the
  // first value of a chapter is labelled.
  std::vector<int> MeasureSeries(std::string_view measure, std::string_view courseId,
                                 std::vector<std::string>* labels = nullptr) const;

 private:
  TResultItem* competitor(const TResultItem& attempt);
  void moveTypedText(int from, int to) const;

  std::vector<TResultItem> items_;
  std::vector<int> unread_;  // numbers of lines that did not read: still taken
  int highest_ = -1;
  std::filesystem::path typedTextDir_;
  std::string typedTextBase_;
};

}  // namespace ks
