#include "store/user.h"

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "store/damaged.h"
#include "store/dynamicfile.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "store/userindex.h"
#include "store/usernames.h"
#include "text/cp1252.h"
#include "text/dates.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kNameUnusable = 1377;
constexpr int kUserHeld = 528;
constexpr int kNameTaken = 1376;
constexpr int kDataFolderMissing = 1391;
constexpr int kStoryMinutes = 1390;
constexpr int kTutorFileVersion = 600;
constexpr int kWrittenOver = 2605;
constexpr int kCutShort = 2606;
constexpr int kWhatIsLeft = 2608;  // and 2609 after the number of results

UserAppListFactory& appListFactory() {
  static UserAppListFactory factory;
  return factory;
}

std::filesystem::path dataPath() {
  return ProgramSettings ? ProgramSettings->dataPath() : std::filesystem::path();
}

std::filesystem::path rootPath() {
  return ProgramSettings ? ProgramSettings->rootPath() : std::filesystem::path();
}

int storeModeFor(int lockMode) {
  switch (lockMode) {
    case ulExclusive:
      return omExclusive;
    case ulWrite:
      return omDenyWrite;
    case ulRead:
      return omReadShared;
    default:
      throw UserOpenError("Internal lockmode error in user class");
  }
}

// The file base of a learner as OpenUser finds it.
std::string fileBaseFor(const std::string& name, int group) {
  if (IsGuestName(name)) return std::string(kGuestFileBase);
  return CleanUserName(UserFileFor(group, name).value_or(name));
}

// The settings the monitor keeps for a learner, written when a learner is opened the first time.
void writeMonitorDefaults(TUser& u) {
  u.WriteBool("NotifyWhenBreak", false);
  u.WriteInteger("BreakTrackBar.position", 8);
  u.WriteInteger("InfoWinTop", 338);
  u.WriteInteger("InfoWinLeft", 313);
  u.WriteInteger("InfoWinWidth", 195);
  u.WriteInteger("InfoWinHeight", 113);
  u.WriteInteger("InfoWinVisible", 0);
  for (const char* key :
       {"AppListMode", "AutoIncludeMode", "NotifyWhenDifficulties", "NotifyAfterPages"})
    u.WriteInteger(key, 1);
  u.WriteInteger("PagesTrackBar.position", 5);
}

}  // namespace

void setUserAppListFactory(UserAppListFactory factory) {
  appListFactory() = std::move(factory);
}

std::filesystem::path UserSettingsPath(const std::string& name, int group) {
  const std::string login = name.empty() ? std::string(kGuestName) : name;
  return joinResolved(dataPath(), fileBaseFor(login, group) + ".usr");
}

TUser::~TUser() {
  // Saving is the caller's business (SaveUser); the list of programs and the store close here.
  appList_.reset();
  group_.reset();
}

std::filesystem::path TUser::filePath(const std::string& extension) const {
  return joinResolved(dataPath_, fileBase_ + extension);
}

std::filesystem::path TUser::TypedTextPath(int resultNumber) const {
  return ks::TypedTextPath(dataPath_, fileBase_, resultNumber);
}

bool TUser::IsGuest() const {
  return fileBase_ == kGuestFileBase;
}

DifficultKeySets& TUser::Difficulties() {
  if (home_.keys) return *home_.keys;
  if (!ownKeys_) ownKeys_ = std::make_unique<DifficultKeySets>();
  return *ownKeys_;
}

TWordList& TUser::Words() {
  if (home_.words) return *home_.words;
  if (!ownWords_) ownWords_ = std::make_unique<TWordList>();
  return *ownWords_;
}

void TUser::openAppList() {
  if (!appListFactory()) return;
  appList_ = appListFactory()();
  if (!appList_ || appList_->Load(AppListPath())) return;
  appList_->AddDefaults();
  appList_->Save(AppListPath());
}

void TUser::openGroupStore() {
  const std::filesystem::path root = rootPath();
  std::error_code ec;
  std::filesystem::path file = joinResolved(root, intToStr(GroupId()) + ".grp");
  if (!std::filesystem::exists(file, ec)) {
    SetGroupId(0);
    file = joinResolved(root, "0.grp");
  }
  auto group = std::make_unique<TDynamicSettings>();
  if (group->Open(file.string(), omReadOnce) == 1 && group->Load() == 1) group_ = std::move(group);
}

void TUser::ReopenGroup() {
  group_.reset();
  openGroupStore();
}

std::unique_ptr<TUser> OpenUser(const std::string& name, int group, int lockMode, bool noStatistics,
                                StatisticsHome home) {
  const std::string login = name.empty() ? std::string(kGuestName) : name;
  const int storeMode = storeModeFor(lockMode);
  const TLocalize& lang = Localize();
  const std::string base = fileBaseFor(login, group);
  if (base.empty()) throw UserOpenError(lang.GetString(kNameUnusable));

  std::unique_ptr<TUser> user(new TUser());
  user->dataPath_ = dataPath();
  user->fileBase_ = base;
  user->lockMode_ = lockMode;
  user->noStatistics_ = noStatistics;
  user->home_ = home;
  const std::filesystem::path path = user->SettingsPath();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    SharedFile::open(path, FileAccess::ReadWrite, FileShare{true, false}, true, nullptr,
                     CreationModeFor(path));
  }
  if (user->Open(path.string(), storeMode) != 1 || user->Load() != 1)
    throw UserOpenError(lang.GetString(kUserHeld));
  const std::string stored = user->ReadString("UserName");
  if (!stored.empty() && lowerCase(stored) != lowerCase(login))
    throw UserOpenError(lang.GetString(kNameTaken) + " " + stored);
  user->results_.LoadResults(*user);
  // Every line the program writes ends, and none holds a zero byte; a file that stops inside a
  // line was cut, one with zero bytes was written over by something else, and saving the
  // learner would make the loss final. The learner is told what is left and where the rest is.
  if (lockMode != ulRead) {
    const bool zeroBytes = user->file().heldZeroBytes();
    if (zeroBytes || EndsInMidLine(path)) {
      const std::string kept = lang.GetString(kWhatIsLeft) +
                               intToStr(static_cast<int>(user->results_.Items().size())) +
                               lang.GetString(kWhatIsLeft + 1);
      const std::filesystem::path copy =
          KeepDamagedCopy(path, lang.GetString(zeroBytes ? kWrittenOver : kCutShort), kept);
      if (!copy.empty()) user->WriteString(kDamagedCopyKey, utf8ToCp1252(copy.filename().string()));
    }
  }
  if (lockMode != ulRead) user->WriteString("UserName", login);

  user->results_.SetTypedTextPlace(user->dataPath_, base);
  user->keyLevel_ = 1;
  if (user->ReadString("DateStarted").empty()) {
    const double today = systemClock().now();
    user->WriteString("DateStarted", shortDateText(today));
    user->WriteFloat("Date.Created", static_cast<float>(today));
    writeMonitorDefaults(*user);
  }
  if (!noStatistics) {
    user->loadStatistics();
    user->openAppList();
  }
  user->openGroupStore();
  return user;
}

std::unique_ptr<TUser> FindUser(const std::string& name, int group, int lockMode, bool noStatistics,
                                StatisticsHome home) {
  std::error_code ec;
  if (!std::filesystem::exists(UserSettingsPath(name, group), ec)) return nullptr;
  return OpenUser(name, group, lockMode, noStatistics, home);
}

std::unique_ptr<TUser> NewUser(const std::string& name, StatisticsHome home) {
  std::unique_ptr<TUser> user = OpenUser(name, -1, ulWrite, false, home);
  user->WriteInteger("FileVersion", kTutorFileVersion);
  user->WriteInteger("LargeFonts", 0);
  user->WriteString("StoryTime", "10 " + Localize().GetString(kStoryMinutes));
  for (const char* key : {"Sounds", "ThemeSound"}) {
    user->WriteBool(key, PolicySettings && PolicySettings->ReadBool(key));
  }
  return user;
}

int SaveUser(TUser& user) {
  const TLocalize& lang = Localize();
  std::error_code ec;
  if (!std::filesystem::is_directory(user.dataPath_, ec)) {
    dialogs().messageBox(lang.GetString(kDataFolderMissing), lang.GetStringDefault(1),
                         BoxKind::Warning);
    return 0;
  }
  // The guest is never saved; a learner opened for reading never writes.
  if (user.IsGuest() || user.lockMode_ == ulRead) return 1;
  user.results_.SaveResults(user);
  if (user.Flush() != 1) {
    ReportError(-5, user.SettingsPath().string());
    return 0;
  }
  if (!user.noStatistics_ && !user.saveStatistics()) return 0;
  return 1;
}

}  // namespace ks
