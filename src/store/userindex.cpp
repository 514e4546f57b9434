#include "store/userindex.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/group.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/usernames.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kRebuildFromUnindexed = 30;
constexpr int kProgressEvery = 20;
constexpr int kProgressPerGroup = 200;

ListProgress* installedProgress = nullptr;

std::filesystem::path dataPath() {
  return ProgramSettings ? ProgramSettings->dataPath() : std::filesystem::path();
}

std::filesystem::path indexPath(int group) {
  return joinResolved(dataPath(), intToStr(group) + ".idx");
}

std::string fileOf(const std::string& line) {
  return line.substr(0, line.find('='));
}

std::string nameOf(const std::string& line) {
  const size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string withoutExtension(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// The learners' files of the data folder, the guest's left out.
std::vector<std::string> userFiles() {
  std::vector<std::string> files = listMatchingFiles(dataPath(), "*.usr");
  const std::string guest = std::string(kGuestFileBase) + ".usr";
  std::erase_if(files, [&](const std::string& f) { return sameText(f, guest); });
  return files;
}

struct UserFileFacts {
  std::string name;
  int group = 0;
};

std::optional<UserFileFacts> readUserFile(const std::string& fileName) {
  TDynamicSettings user;
  if (user.Open(joinResolved(dataPath(), fileName).string(), omReadShared) != 1 || user.Load() != 1)
    return std::nullopt;
  UserFileFacts facts;
  facts.group = user.ReadInteger("UserGroupId");
  facts.name = user.ReadString("UserName");
  // A file that lost its name still lists its learner, under the file's own name.
  if (facts.name.empty()) facts.name = withoutExtension(fileName);
  return facts;
}

std::vector<std::string> readIndex(int group) {
  std::string text;
  if (!readWholeFile(indexPath(group), text)) return {};
  std::vector<std::string> lines;
  for (std::string& line : splitLines(text)) {
    if (line.find('=') != std::string::npos) lines.push_back(std::move(line));
  }
  return lines;
}

void sortLines(std::vector<std::string>& lines) {
  std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return compareText(a, b) < 0;
  });
}

}  // namespace

void setListProgress(ListProgress* progress) {
  installedProgress = progress;
}

std::string RebuildIndexes() {
  static ListProgress silent;
  ListProgress& progress = installedProgress ? *installedProgress : silent;
  const std::vector<std::string> ids = GroupIds();
  const int maxId = MaxGroupId();
  const TLocalize& lang = Localize();
  progress.Begin(lang.GetStringDefault(1), lang.GetString(546),
                 static_cast<int>(ids.size()) * kProgressPerGroup);
  std::map<int, std::vector<std::string>> lists;
  for (const std::string& id : ids) lists[strToIntDef(id, 0)];
  int count = 0;
  for (const std::string& file : userFiles()) {
    const auto facts = readUserFile(file);
    if (!facts) continue;  // held by someone who lets no one read it
    const int group = facts->group < 0 || facts->group > maxId ? 0 : facts->group;
    lists[group].push_back(file + "=" + facts->name);
    if (++count % kProgressEvery == 0) progress.Step(count);
  }
  std::string failure;
  for (auto& [group, lines] : lists) {
    sortLines(lines);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (!writeWholeFile(indexPath(group), text)) {
      std::string cause = takeWriteFailure();
      if (cause.empty()) cause = "the file could not be opened for writing";
      LogError(-5, indexPath(group).string() + ": " + cause);
      if (failure.empty()) failure = utf8ToCp1252(cause);
    }
  }
  progress.End();
  return failure;
}

std::vector<std::string> IndexedUsers(int group) {
  if (group != -1) return readIndex(group);
  std::vector<std::string> all;
  for (const std::string& id : GroupIds()) {
    for (std::string& line : readIndex(strToIntDef(id, 0))) all.push_back(std::move(line));
  }
  return all;
}

std::vector<std::string> UnindexedUsers() {
  // Upper-cased, so that a lookup matches as sameText does; a school has thousands of learners.
  std::unordered_set<std::string> indexed;
  for (const std::string& line : IndexedUsers(-1)) indexed.insert(upperCase(fileOf(line)));
  std::vector<std::string> lines;
  for (const std::string& file : userFiles()) {
    if (indexed.count(upperCase(file))) continue;
    const auto facts = readUserFile(file);
    lines.push_back(file + "=" + (facts ? facts->name : withoutExtension(file)));
  }
  return lines;
}

std::vector<std::string> UserList(int group) {
  std::vector<std::string> list;
  if (group > 0) {
    list = IndexedUsers(group);
    std::error_code ec;
    if (list.empty() && !std::filesystem::exists(indexPath(group), ec)) {
      RebuildIndexes();
      list = IndexedUsers(group);
    }
  } else {
    std::vector<std::string> unindexed = UnindexedUsers();
    if (group == -1 && static_cast<int>(unindexed.size()) >= kRebuildFromUnindexed) {
      RebuildIndexes();
      unindexed = UnindexedUsers();
    }
    list = IndexedUsers(group == -1 ? -1 : 0);
    list.insert(list.end(), unindexed.begin(), unindexed.end());
  }
  sortLines(list);
  return list;
}

std::vector<std::string> UserNames(int group) {
  std::vector<std::string> names;
  for (const std::string& line : UserList(group)) names.push_back(nameOf(line));
  return names;
}

std::optional<std::string> UserFileFor(int group, std::string_view name) {
  for (const auto& lines : {IndexedUsers(group), UnindexedUsers()}) {
    for (const std::string& line : lines) {
      if (sameText(nameOf(line), name)) return withoutExtension(fileOf(line));
    }
  }
  return std::nullopt;
}

}  // namespace ks
