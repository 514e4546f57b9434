// The learner as the course loop, the guided flow and the result views see it: what courses
// need, plus the results, the group's settings and locks, the key order and the key statistics.
// UserLearner puts a logged-in TUser behind it; tests fake it.
#pragma once

#include <string>

#include "content/courseservices.h"

namespace ks {

class DifficultKeySets;
class TUser;

class StudyLearner : public CourseLearner {
 public:
  virtual bool ExercisePassed(const std::string& courseId, int chapter, int exercise) = 0;
  virtual int PassedCount(const std::string& courseId) = 0;
  // Group `n` of the key order (from 1); empty outside.
  virtual std::string KeyGroup(int n) = 0;
  virtual void ClearKeyGroups() = 0;
  // A setting with the policy's and the group's locks applied (precedence as TUser has it).
  virtual std::string GetSetting(const std::string& name, int precedence) = 0;
  virtual bool IsLocked(const std::string& name) = 0;
  virtual DifficultKeySets& Difficulties() = 0;
};

class UserLearner : public StudyLearner {
 public:
  explicit UserLearner(TUser& user) : user_(user) {}

  TDynamicSettings& Settings() override;
  std::string UserName() override;
  int AddKeyGroup(const std::string& keys) override;
  int KeyGroupCount() override;
  std::string KeysUpTo(int level) override;
  int KeyLevel() override;
  void ResetKeyLevel() override;
  void RaiseKeyLevel(int level) override;
  int HighestKeyLevel() override;
  void SetHighestKeyLevel(int level) override;
  std::string LayoutMode() override;
  void SetLayoutMode(const std::string& mode) override;
  std::string LayoutFile() override;
  int NextResultNumber() override;
  void AddResult(const TResultItem& item) override;
  void DemoteOlder(const TResultItem& item) override;
  void StoreTypedTexts(int resultNumber, const TypedTextPairs& pairs) override;
  void SaveUser() override;

  bool ExercisePassed(const std::string& courseId, int chapter, int exercise) override;
  int PassedCount(const std::string& courseId) override;
  std::string KeyGroup(int n) override;
  void ClearKeyGroups() override;
  std::string GetSetting(const std::string& name, int precedence) override;
  bool IsLocked(const std::string& name) override;
  DifficultKeySets& Difficulties() override;

  TUser& User() { return user_; }

 private:
  TUser& user_;
};

}  // namespace ks
