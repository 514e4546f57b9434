// The learner's settings as the rest of the programs read them: locks and precedence,
// passwords, group, key groups, studied time and layout choice.
#include <cstdio>

#include "analysis/keydataext.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/password.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kNoGroup = 1107;
constexpr int kAlphabet = 12;
constexpr int kHoursText = 273;
constexpr int kMinutesText = 272;
constexpr size_t kMaxKeys = 255;

std::string lockKey(const std::string& name) {
  return name + ".locked";
}

bool policyLocks(const std::string& name) {
  // A program always runs with its policy; without one nothing is locked.
  return PolicySettings && PolicySettings->ReadBool(lockKey(name));
}

std::string policyValue(const std::string& name) {
  return PolicySettings ? PolicySettings->ReadString(name) : std::string();
}

}  // namespace

bool TUser::CheckPassword(std::string_view text) {
  const std::string stored = ReadString("Password");
  if (text.empty() && stored.empty()) return true;
  if (!PasswordMatches(text, stored)) return false;
  // The weak digest of an earlier version gives way to the salted one while the password is
  // known, and reaches the file at once rather than at the end of the session.
  if (IsLegacyDigest(stored) && lockMode_ != ulRead && SetPassword(text) && Flush() != 1)
    LogError(-5, SettingsPath().string());
  return true;
}

bool TUser::SetPassword(std::string_view text) {
  const std::string digest = PasswordDigest(text);
  // Writing an empty digest would remove the password.
  if (digest.empty()) return false;
  return WriteString("Password", digest) == 1;
}

int TUser::GroupId() {
  const int id = ReadInteger("UserGroupId");
  return id < 0 ? 0 : id;
}

std::string TUser::GroupName() {
  return group_ ? group_->ReadString("Name") : Localize().GetString(kNoGroup);
}

bool TUser::IsLocked(const std::string& name) {
  return policyLocks(name) || (group_ && group_->ReadBool(lockKey(name)));
}

std::string TUser::GetSetting(const std::string& name, int precedence) {
  // A policy lock holds whether or not the learner has a group.
  if (policyLocks(name)) return policyValue(name);
  if (!group_) return ReadString(name);
  if (group_->ReadBool(lockKey(name))) return group_->ReadString(name);
  switch (precedence) {
    case 0:
      return ReadString(name);
    case 1: {
      std::string value = ReadString(name);
      if (value.empty()) value = policyValue(name);
      if (value.empty()) value = group_->ReadString(name);
      return value;
    }
    case 2:
      return group_->ReadString(name);
    default:
      return {};
  }
}

bool TUser::GetSettingBool(const std::string& name, int precedence) {
  return GetSetting(name, precedence) == "1";
}

int32_t TUser::GetSettingInt(const std::string& name, int precedence) {
  return strToIntDef(GetSetting(name, precedence), 0);
}

double TUser::GetSettingFloat(const std::string& name, int precedence) {
  double value = 0;
  return tryStrToFloat(GetSetting(name, precedence), value) ? value : 0;
}

std::vector<std::string> TUser::GetSettingList(const std::string& name, int precedence) {
  return parseCommaText(GetSetting(name, precedence));
}

int TUser::AddKeyGroup(std::string_view keys) {
  return AddKeyGroup(keys, CurrentLayout().SemicolonKey);
}

int TUser::AddKeyGroup(std::string_view keys, char semicolonSubstitute) {
  constexpr std::string_view kSemicolon = "SEMICOLON";
  const std::string semicolon(1, semicolonSubstitute ? semicolonSubstitute : ';');
  std::string group(keys);
  for (size_t at = group.find(kSemicolon); at != std::string::npos;
       at = group.find(kSemicolon, at + semicolon.size())) {
    group.replace(at, kSemicolon.size(), semicolon);
  }
  keyOrder_.push_back(std::move(group));
  return static_cast<int>(keyOrder_.size());
}

std::string TUser::KeysUpTo(int level) const {
  if (keyOrder_.empty()) return Localize().GetString(kAlphabet);
  std::string keys;
  for (int i = 0; i < level && i < KeyGroupCount(); ++i) keys += keyOrder_[static_cast<size_t>(i)];
  return keys.substr(0, std::min(keys.size(), kMaxKeys));
}

std::string TUser::KeyGroup(int n) const {
  return n >= 1 && n <= KeyGroupCount() ? keyOrder_[static_cast<size_t>(n - 1)] : std::string();
}

int64_t TUser::studiedMinutes() {
  // A damaged count never shows as negative time.
  return std::max<int64_t>(0, roundHalfEvenDiv(ReadInteger("TimeStudied"), 60));
}

std::string TUser::StudiedTimeText() {
  const int64_t minutes = studiedMinutes();
  const TLocalize& lang = Localize();
  std::string text;
  if (minutes >= 60) text = intToStr(minutes / 60) + lang.GetString(kHoursText);
  return text + intToStr(minutes % 60) + lang.GetString(kMinutesText);
}

std::string TUser::StudiedTimeClock() {
  const int64_t minutes = studiedMinutes();
  char text[32];
  std::snprintf(text, sizeof text, "%2.2lld:%2.2lld", static_cast<long long>(minutes / 60),
                static_cast<long long>(minutes % 60));
  return text;
}

UserLayoutSettings TUser::LayoutSettings() {
  UserLayoutSettings s;
  s.keyboardAutoDetect = GetSettingBool("KeyboardAutoDetect", 1);
  s.keyboardAutoDetectLocked = IsLocked("KeyboardAutoDetect");
  s.keyboardLayout = GetSetting("KeyboardLayout", 1);
  s.keyboardLayoutLocked = IsLocked("KeyboardLayout");
  return s;
}

int TUser::LoadUserLayout() {
  return ks::LoadUserLayout(CurrentLayout(), LayoutFileName());
}

std::string TUser::LayoutFileName() {
  constexpr const char* kDefaultLayout = "qwerty.kbd";
  return ProgramSettings ? ProgramSettings->UserLayoutFile(kDefaultLayout, false, LayoutSettings())
                         : std::string(kDefaultLayout);
}

}  // namespace ks
