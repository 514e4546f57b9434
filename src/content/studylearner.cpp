#include "content/studylearner.h"

#include "analysis/keydataext.h"
#include "store/typedtexts.h"
#include "store/user.h"

namespace ks {

TDynamicSettings& UserLearner::Settings() {
  return user_;
}
std::string UserLearner::UserName() {
  return user_.UserName();
}
int UserLearner::AddKeyGroup(const std::string& keys) {
  return user_.AddKeyGroup(keys, CurrentLayout().SemicolonKey);
}
int UserLearner::KeyGroupCount() {
  return user_.KeyGroupCount();
}
std::string UserLearner::KeysUpTo(int level) {
  return user_.KeysUpTo(level);
}
int UserLearner::KeyLevel() {
  return user_.KeyLevel();
}
void UserLearner::ResetKeyLevel() {
  user_.ResetKeyLevel();
}
void UserLearner::RaiseKeyLevel(int level) {
  user_.RaiseKeyLevel(level);
}
int UserLearner::HighestKeyLevel() {
  return user_.HighestKeyLevel;
}
void UserLearner::SetHighestKeyLevel(int level) {
  user_.HighestKeyLevel = level;
}
std::string UserLearner::LayoutMode() {
  return user_.LayoutMode;
}
void UserLearner::SetLayoutMode(const std::string& mode) {
  user_.LayoutMode = mode;
}
std::string UserLearner::LayoutFile() {
  return user_.LayoutFileName();
}
int UserLearner::NextResultNumber() {
  return user_.Results().NextNumber();
}
void UserLearner::AddResult(const TResultItem& item) {
  user_.Results().AddResult(item);
}
void UserLearner::DemoteOlder(const TResultItem& item) {
  user_.Results().DemoteOlder(item);
}
void UserLearner::StoreTypedTexts(int resultNumber, const TypedTextPairs& pairs) {
  TTypedTexts texts;
  for (const auto& [target, typed] : pairs) texts.Add(target, typed);
  texts.Save(user_.TypedTextPath(resultNumber).string());
}
void UserLearner::SaveUser() {
  ks::SaveUser(user_);
}
bool UserLearner::ExercisePassed(const std::string& courseId, int chapter, int exercise) {
  return user_.Results().ExercisePassed(courseId, chapter, exercise);
}
int UserLearner::PassedCount(const std::string& courseId) {
  return user_.Results().PassedCount(courseId);
}
std::string UserLearner::KeyGroup(int n) {
  return user_.KeyGroup(n);
}
void UserLearner::ClearKeyGroups() {
  user_.ClearKeyGroups();
}
std::string UserLearner::GetSetting(const std::string& name, int precedence) {
  return user_.GetSetting(name, precedence);
}
bool UserLearner::IsLocked(const std::string& name) {
  return user_.IsLocked(name);
}
DifficultKeySets& UserLearner::Difficulties() {
  return user_.Difficulties();
}

}  // namespace ks
