// A learner and a keyboard for course tests: the learner's settings live in memory, results and
// typed texts are kept in lists, the keyboard records what it was asked to load.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "content/courseservices.h"
#include "store/dynamicsettings.h"
#include "store/qssettings.h"

namespace ks::test {

class FakeLearner : public CourseLearner {
 public:
  FakeLearner() { settings.Open("", omMemory); }

  TDynamicSettings& Settings() override { return settings; }
  std::string UserName() override { return name; }
  int AddKeyGroup(const std::string& keys) override {
    keyOrder.push_back(keys == "SEMICOLON" ? ";" : keys);
    return static_cast<int>(keyOrder.size());
  }
  int KeyGroupCount() override { return static_cast<int>(keyOrder.size()); }
  std::string KeysUpTo(int level) override {
    std::string keys;
    for (int i = 0; i < level && i < static_cast<int>(keyOrder.size()); ++i) keys += keyOrder[i];
    return keys;
  }
  int KeyLevel() override { return keyLevel; }
  void ResetKeyLevel() override { keyLevel = 1; }
  void RaiseKeyLevel(int level) override { keyLevel = std::max(keyLevel, level); }
  int HighestKeyLevel() override { return highest; }
  void SetHighestKeyLevel(int level) override { highest = level; }
  std::string LayoutMode() override { return layoutMode; }
  void SetLayoutMode(const std::string& mode) override { layoutMode = mode; }
  std::string LayoutFile() override { return layoutFile; }
  int NextResultNumber() override { return static_cast<int>(results.size()); }
  void AddResult(const TResultItem& item) override { results.push_back(item); }
  void DemoteOlder(const TResultItem& item) override { demoted.push_back(item); }
  void StoreTypedTexts(int number, const TypedTextPairs& pairs) override { typed[number] = pairs; }
  void SaveUser() override { ++saves; }

  TDynamicSettings settings;
  std::string name = "Ann";
  std::vector<std::string> keyOrder;
  int keyLevel = 1;
  int highest = 0;
  std::string layoutMode;
  std::string layoutFile = "qwerty.kbd";
  std::vector<TResultItem> results;
  std::vector<TResultItem> demoted;
  std::map<int, TypedTextPairs> typed;
  int saves = 0;
};

class FakeKeyboard : public CourseKeyboard {
 public:
  std::string MaterialName() override { return material; }
  std::string LayoutCode() override { return code; }
  LayoutLoad LoadLayout(const std::string& file) override {
    loaded.push_back(file);
    return file == missing ? LayoutLoad::Missing : LayoutLoad::Loaded;
  }
  void SwitchOffSemicolonReplacement() override { semicolonOff = true; }
  void ActivateSystemLayout() override { ++activations; }

  std::string material = "qwerty";
  std::string code = "00000409";
  std::string missing = "missing.kbd";
  std::vector<std::string> loaded;
  bool semicolonOff = false;
  int activations = 0;
};

// A policy store in memory for the lifetime of the object.
class ScopedPolicy {
 public:
  ScopedPolicy() {
    PolicySettings = std::make_unique<TDynamicSettings>();
    PolicySettings->Open("", omMemory);
  }
  ~ScopedPolicy() { PolicySettings.reset(); }
  TDynamicSettings& operator*() { return *PolicySettings; }
  TDynamicSettings* operator->() { return PolicySettings.get(); }
};

}  // namespace ks::test
