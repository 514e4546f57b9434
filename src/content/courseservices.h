// What courses and their events need from the rest of the tutor: the logged-in learner (key
// order, settings, results) and the keyboard layout. The user store and the layout data
// implement these; tests fake them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "store/resultitem.h"

namespace ks {

class TDynamicSettings;

// (target text, typed text) pairs of an exam; an empty text stands for none.
using TypedTextPairs = std::vector<std::pair<std::string, std::string>>;

class CourseLearner {
 public:
  virtual ~CourseLearner() = default;

  // The learner's own settings store.
  virtual TDynamicSettings& Settings() = 0;
  virtual std::string UserName() = 0;

  // Key order and key levels.
  virtual int AddKeyGroup(const std::string& keys) = 0;  // the new group count
  virtual int KeyGroupCount() = 0;
  virtual std::string KeysUpTo(int level) = 0;
  // Group `n` (from 1); empty outside. Learners that keep their groups answer directly.
  virtual std::string KeyGroup(int n) {
    if (n < 1 || n > KeyGroupCount()) return {};
    const std::string upTo = KeysUpTo(n);
    const std::string before = n > 1 ? KeysUpTo(n - 1) : std::string();
    return upTo.size() > before.size() ? upTo.substr(before.size()) : std::string();
  }
  virtual int KeyLevel() = 0;
  virtual void ResetKeyLevel() = 0;
  virtual void RaiseKeyLevel(int level) = 0;
  virtual int HighestKeyLevel() = 0;
  virtual void SetHighestKeyLevel(int level) = 0;

  // "pri" or "alt": whether the course runs on its own layout or on another one.
  virtual std::string LayoutMode() = 0;
  virtual void SetLayoutMode(const std::string& mode) = 0;
  // The layout file chosen for the learner ("qwerty.kbd" when nothing fits).
  virtual std::string LayoutFile() = 0;

  // Results: the number a new result gets, the best-attempt merge, the demotion of an older
  // passed attempt, and the typed text of an exam under its result number.
  virtual int NextResultNumber() = 0;
  virtual void AddResult(const TResultItem& item) = 0;
  virtual void DemoteOlder(const TResultItem& item) = 0;
  virtual void StoreTypedTexts(int resultNumber, const TypedTextPairs& pairs) = 0;
  // Writes the learner's files.
  virtual void SaveUser() = 0;
};

enum class LayoutLoad {
  Loaded,
  Missing,   // the file could not be opened
  Unusable,  // the file was read but is no layout; the reader has said why
};

// The current keyboard layout, as far as courses choose and consult it.
class CourseKeyboard {
 public:
  virtual ~CourseKeyboard() = default;

  // Lower-case name of the material family the layout suits ("qwerty").
  virtual std::string MaterialName() = 0;
  // The system layout code the layout stands for ("00000409"); may be empty.
  virtual std::string LayoutCode() = 0;
  // Loads `fileName` from the keyboards folder as the current layout.
  virtual LayoutLoad LoadLayout(const std::string& fileName) = 0;
  // Courses that type ";" themselves switch the layout's substitute off.
  virtual void SwitchOffSemicolonReplacement() = 0;
  // Switches the system to the layout's own system layout.
  virtual void ActivateSystemLayout() = 0;
};

}  // namespace ks
