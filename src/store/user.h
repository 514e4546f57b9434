// A learner: a settings store of its own (".usr" in the data folder) with its group's settings
// and locks, its results, its key statistics and word list (".DTA"), its list of monitored
// programs (".SET") and the key groups of the course it works on. Both programs open learners
// through OpenUser; holding one for writing keeps every other process from writing it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/diffkeys.h"
#include "analysis/wordlist.h"
#include "store/dynamicsettings.h"
#include "store/group.h"
#include "store/programsetup.h"
#include "store/userresults.h"

namespace ks {

// The monitored programs of a learner (the monitor's list); the monitor installs a factory.
class UserAppList {
 public:
  virtual ~UserAppList() = default;
  virtual bool Load(const std::filesystem::path& file) = 0;
  // The built-in entries, not monitored.
  virtual void AddDefaults() = 0;
  virtual bool Save(const std::filesystem::path& file) = 0;
};
using UserAppListFactory = std::function<std::unique_ptr<UserAppList>()>;
// Without a factory learners are opened without a list.
void setUserAppListFactory(UserAppListFactory factory);

// Where a learner's key statistics and word list live while the learner is open: a program
// passes the ones its analyzer works on; a learner opened without them keeps its own.
struct StatisticsHome {
  DifficultKeySets* keys = nullptr;
  TWordList* words = nullptr;
};

// Lock modes of OpenUser.
enum UserLock : int {
  ulExclusive = 0,  // no one else may open the learner
  ulWrite = 2,      // others may only read
  ulRead = 4,       // read only; others may read and write
};

class TUser : public TDynamicSettings {
 public:
  ~TUser() override;

  std::string UserName() { return ReadString("UserName"); }
  // The base of the learner's file names and the files made of it.
  const std::string& FileBase() const { return fileBase_; }
  std::filesystem::path SettingsPath() const { return filePath(".usr"); }
  std::filesystem::path StatisticsPath() const { return filePath(".DTA"); }
  std::filesystem::path AppListPath() const { return filePath(".SET"); }
  std::filesystem::path TypedTextPath(int resultNumber) const;
  int LockMode() const { return lockMode_; }
  bool IsGuest() const;

  TResults& Results() { return results_; }
  DifficultKeySets& Difficulties();
  TWordList& Words();
  UserAppList* AppList() { return appList_.get(); }
  // Makes the monitor statistics current for 1, the lesson statistics otherwise.
  void UseKeySet(int which) { Difficulties().SelectDifficulties(which); }
  bool NoStatistics() const { return noStatistics_; }

  // Passwords: a digest in "Password"; empty means none.
  bool CheckPassword(std::string_view text);
  // False (and nothing written) when no digest could be made.
  bool SetPassword(std::string_view text);

  int GroupId();  // negative reads as 0
  void SetGroupId(int id) { WriteInteger("UserGroupId", id); }
  // The group's name, or message 1107 without a group.
  std::string GroupName();
  TDynamicSettings* Group() { return group_.get(); }
  // Reads the group's settings again: after `SetGroupId` the learner's locks, messages and
  // tests come from the new group.
  void ReopenGroup();

  // Locked in the policy or the group: the name followed by ".locked" holds true.
  bool IsLocked(const std::string& name);
  // A setting with the locks applied. A lock in the policy, then in the group, decides; else
  // `precedence` 0 takes the learner's value, 1 the first non-empty of the learner's, the
  // policy's and the group's, 2 the group's. Without a group only the policy's lock and the
  // learner's value count.
  std::string GetSetting(const std::string& name, int precedence);
  bool GetSettingBool(const std::string& name, int precedence);
  int32_t GetSettingInt(const std::string& name, int precedence);
  double GetSettingFloat(const std::string& name, int precedence);
  std::vector<std::string> GetSettingList(const std::string& name, int precedence);

  // Key groups of the current course, in course order; levels count from 1.
  // "SEMICOLON" in `keys` stands for the layout's `semicolonSubstitute` (";" when it is 0), by
  // default the current layout's. Returns the new number of groups.
  int AddKeyGroup(std::string_view keys);
  int AddKeyGroup(std::string_view keys, char semicolonSubstitute);
  // The first `level` groups joined, at most 255 characters; message 12 without groups.
  std::string KeysUpTo(int level) const;
  // Group `n` (from 1); empty outside.
  std::string KeyGroup(int n) const;
  void ClearKeyGroups() { keyOrder_.clear(); }
  int KeyGroupCount() const { return static_cast<int>(keyOrder_.size()); }
  void ResetKeyLevel() { keyLevel_ = 1; }
  void RaiseKeyLevel(int level) { keyLevel_ = std::max(keyLevel_, level); }
  int KeyLevel() const { return keyLevel_; }
  int HighestKeyLevel = 0;         // the bookmark keeps it
  std::string LayoutMode = "pri";  // "pri" or "alt"

  // "TimeStudied" in whole minutes: "<h> h <m> min" (messages 273 and 272) or "<m> min".
  std::string StudiedTimeText();
  // The same as "hh:mm".
  std::string StudiedTimeClock();

  // What the layout choice reads (lock precedence 1), and the layout file it yields (default
  // "qwerty.kbd").
  UserLayoutSettings LayoutSettings();
  std::string LayoutFileName();
  // Loads that layout as the current one (a missing file is reported); the result of the load.
  int LoadUserLayout();

 private:
  friend std::unique_ptr<TUser> OpenUser(const std::string&, int, int, bool, StatisticsHome);
  friend int SaveUser(TUser&);
  TUser() = default;

  std::filesystem::path filePath(const std::string& extension) const;
  int64_t studiedMinutes();
  void loadStatistics();
  bool saveStatistics();
  void openAppList();
  void openGroupStore();

  std::filesystem::path dataPath_;
  std::string fileBase_;
  int lockMode_ = ulWrite;
  bool noStatistics_ = false;
  TResults results_;
  std::unique_ptr<TDynamicSettings> group_;
  std::unique_ptr<UserAppList> appList_;
  StatisticsHome home_;
  std::unique_ptr<DifficultKeySets> ownKeys_;
  std::unique_ptr<TWordList> ownWords_;
  std::vector<std::string> keyOrder_;
  int keyLevel_ = 1;
};

// Opens the learner called `name` (the guest for an empty name) in `lockMode`, looking the file
// up in the indexes of `group` (-1: all). A missing learner is created. Raises UserOpenError
// with the text to show: message 1377 for a name with no usable character, 528 when another
// process holds the learner, 1376 when the file belongs to another name, or a statistics file
// that cannot be read.
std::unique_ptr<TUser> OpenUser(const std::string& name, int group, int lockMode, bool noStatistics,
                                StatisticsHome home = {});
// OpenUser only when the learner's file exists; nullptr otherwise.
std::unique_ptr<TUser> FindUser(const std::string& name, int group, int lockMode, bool noStatistics,
                                StatisticsHome home = {});
// Creates (or opens) a learner held for writing, with the settings a new learner starts with.
std::unique_ptr<TUser> NewUser(const std::string& name, StatisticsHome home = {});
// Writes the learner's results, settings and statistics: 1; 0 (after a box) when the data
// folder is missing or (after an error report) when the settings could not be written. The
// guest and learners opened read-only are never written.
int SaveUser(TUser& user);

// The settings file of a learner: the data folder, the file base found for the name, ".usr".
std::filesystem::path UserSettingsPath(const std::string& name, int group);

}  // namespace ks
