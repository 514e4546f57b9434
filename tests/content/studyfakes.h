// Fakes for studying a course: a learner with results, locks and key statistics; an event
// factory whose events answer from a script; the course loop's screens and the guided flow's
// screens answering from scripts and recording what they were shown.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "analysis/diffkeys.h"
#include "content/bookmark.h"
#include "content/courseloop.h"
#include "content/eventfactory.h"
#include "content/eventline.h"
#include "content/guidedstudying.h"
#include "content/studylearner.h"
#include "coursefakes.h"
#include "text/textutil.h"

namespace ks::test {

class FakeStudyLearner : public StudyLearner {
 public:
  FakeStudyLearner() = default;

  TDynamicSettings& Settings() override { return base.Settings(); }
  std::string UserName() override { return base.UserName(); }
  int AddKeyGroup(const std::string& keys) override { return base.AddKeyGroup(keys); }
  int KeyGroupCount() override { return base.KeyGroupCount(); }
  std::string KeysUpTo(int level) override { return base.KeysUpTo(level); }
  int KeyLevel() override { return base.KeyLevel(); }
  void ResetKeyLevel() override { base.ResetKeyLevel(); }
  void RaiseKeyLevel(int level) override { base.RaiseKeyLevel(level); }
  int HighestKeyLevel() override { return base.HighestKeyLevel(); }
  void SetHighestKeyLevel(int level) override { base.SetHighestKeyLevel(level); }
  std::string LayoutMode() override { return base.LayoutMode(); }
  void SetLayoutMode(const std::string& mode) override { base.SetLayoutMode(mode); }
  std::string LayoutFile() override { return base.LayoutFile(); }
  int NextResultNumber() override { return base.NextResultNumber(); }
  void AddResult(const TResultItem& item) override { base.AddResult(item); }
  void DemoteOlder(const TResultItem& item) override { base.DemoteOlder(item); }
  void StoreTypedTexts(int n, const TypedTextPairs& pairs) override {
    base.StoreTypedTexts(n, pairs);
  }
  void SaveUser() override { base.SaveUser(); }

  bool ExercisePassed(const std::string& courseId, int chapter, int exercise) override {
    for (const TResultItem& r : base.results) {
      if (r.Checked && sameText(r.CourseId, courseId) && r.Chapter == chapter &&
          r.Exercise == exercise)
        return true;
    }
    return passed.count({chapter, exercise}) > 0;
  }
  int PassedCount(const std::string& courseId) override {
    std::set<std::pair<int, int>> done = passed;
    for (const TResultItem& r : base.results) {
      if (r.Checked && sameText(r.CourseId, courseId)) done.insert({r.Chapter, r.Exercise});
    }
    return static_cast<int>(done.size());
  }
  std::string KeyGroup(int n) override {
    return n >= 1 && n <= static_cast<int>(base.keyOrder.size()) ? base.keyOrder[n - 1] : "";
  }
  void ClearKeyGroups() override { base.keyOrder.clear(); }
  std::string GetSetting(const std::string& name, int precedence) override {
    if (precedence == 2) return group[name];
    return Settings().ReadString(name);
  }
  bool IsLocked(const std::string& name) override { return locked.count(name) > 0; }
  DifficultKeySets& Difficulties() override { return keys; }

  FakeLearner base;
  std::set<std::pair<int, int>> passed;  // (lesson, exercise) passed before the test
  std::map<std::string, std::string> group;
  std::set<std::string> locked;
  DifficultKeySets keys;
};

// Events that answer from a script: each run takes the next close result (the last one repeats)
// and, unless told otherwise, fills a passed, complete result.
class ScriptedFactory : public EventFactory {
 public:
  class Event : public LessonEvent {
   public:
    Event(ScriptedFactory& f, std::string keyword) : f_(f), keyword_(std::move(keyword)) {}
    int Execute(const EventHandover& h) override {
      f_.ran.push_back(keyword_);
      if (h.Result != nullptr) {
        h.Result->Kind = "TEXT";
        h.Result->Passed = f_.passes;
        h.Result->Complete = true;
        h.Result->Valid = true;
        h.Result->TypingSeconds = 60;
        h.Result->StudySeconds = 70;
      }
      if (f_.results.empty()) return 3;
      const int r = f_.results.front();
      if (f_.results.size() > 1) f_.results.pop_front();
      return r;
    }

   private:
    ScriptedFactory& f_;
    std::string keyword_;
  };

  std::unique_ptr<LessonEvent> Create(const EventKeyword& kw, const std::string&) override {
    if (missing.count(kw.Keyword)) return nullptr;
    return std::make_unique<Event>(*this, kw.Keyword);
  }

  std::deque<int> results;
  bool passes = true;
  std::set<std::string> missing;  // keywords this program has no event for
  std::vector<std::string> ran;
};

// The course loop's screens: the list answers from a script (answer and chosen exercise), the
// lesson-done view likewise; both record what they were shown.
class ScriptedLoopUi : public CourseLoopUi {
 public:
  struct Shown {
    int chapter, selected;
    bool review, hasPrevious, hasNext;
    std::string status;
  };
  int ShowExerciseList(const ExerciseListRequest& req, int& chosen) override {
    lists.push_back({req.Bookmark->Chapter, chosen, req.Review, req.HasPrevious, req.HasNext,
                     req.Bookmark->StatusText});
    if (listAnswers.empty()) return 0;
    auto [answer, choice] = listAnswers.front();
    listAnswers.pop_front();
    if (choice >= 0) chosen = choice;
    if (onList) onList(*req.Bookmark);
    return answer;
  }
  int ShowLessonDone(TBookMark& bm, bool last, const std::string& next) override {
    done.push_back({bm.Chapter, last, next});
    if (doneAnswers.empty()) return 0;
    const int r = doneAnswers.front();
    doneAnswers.pop_front();
    return r;
  }
  void SetBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
  bool LeaveRequested() override { return leave; }
  ReviewCounters ReadReviewCounters() override { return {}; }

  struct Done {
    int chapter;
    bool last;
    std::string next;
  };
  std::deque<std::pair<int, int>> listAnswers;  // (answer, chosen; -1 keeps the selection)
  std::deque<int> doneAnswers;
  std::function<void(TBookMark&)> onList;
  std::vector<Shown> lists;
  std::vector<Done> done;
  int busyDepth = 0;
  bool leave = false;
};

// The guided flow's screens, answering from scripts; `steps` records the screens in order.
class ScriptedScreens : public StudyingScreens {
 public:
  explicit ScriptedScreens(FakeStudyLearner& learner) : learner_(learner) {}

  void MarkStudyingTab() override { steps.push_back("mark"); }
  int RunCourseList() override {
    steps.push_back("list:" + learner_.Settings().ReadString("NextView"));
    if (!chooseFile.empty()) learner_.Settings().WriteString("ContentsFile", chooseFile);
    return next(listAnswers);
  }
  int RunCourseContents() override {
    steps.push_back("contents:" + learner_.Settings().ReadString("NextView"));
    return next(contentsAnswers);
  }
  int RunWrongKeyboard(const std::string& missing) override {
    steps.push_back("wrong:" + missing);
    const int answer = next(wrongAnswers);
    if (answer == 9 && onLayoutSwitched) onLayoutSwitched();
    return answer;
  }
  int RunCourse(TContents&, bool& finished) override {
    steps.push_back("course:" + learner_.Settings().ReadString("NextView"));
    finished = finishes;
    return next(courseAnswers);
  }
  int RunReview() override {
    steps.push_back("review");
    return next(reviewAnswers);
  }
  void StopProgram() override { steps.push_back("stop"); }

  std::vector<std::string> steps;
  std::string chooseFile;
  std::deque<int> listAnswers, contentsAnswers, wrongAnswers, courseAnswers, reviewAnswers;
  // What the real screens do when the learner switched the desktop's layout: load its layout.
  std::function<void()> onLayoutSwitched;
  bool finishes = false;

 private:
  static int next(std::deque<int>& answers) {
    if (answers.empty()) return 0;
    const int r = answers.front();
    answers.pop_front();
    return r;
  }
  FakeStudyLearner& learner_;
};

}  // namespace ks::test
