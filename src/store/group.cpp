#include "store/group.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/paths.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr int kUnnamedGroup = 1162;

std::filesystem::path rootPath() {
  return ProgramSettings ? ProgramSettings->rootPath() : std::filesystem::path();
}

}  // namespace

std::unique_ptr<TUserGroup> OpenGroup(int id, int mode) {
  auto group = std::make_unique<TUserGroup>(id);
  // Existing files are found in any letter case; a new one is written in lower case.
  const std::string path = joinResolved(rootPath(), intToStr(id) + ".grp").string();
  if ((group->Open(path, mode) != 1 || group->Load() != 1) &&
      (group->Open(path, omShared) != 1 || group->Load() != 1)) {
    const TLocalize& lang = Localize();
    throw UserOpenError(lang.GetString(1887) + " " + path + "\r" + lang.GetString(1888));
  }
  if (id == 0 && mode == omShared && group->ReadString("Name").empty())
    group->WriteString("Name", Localize().GetString(kUnnamedGroup));
  if (group->ReadFloat("Date") == 0)
    group->WriteFloat("Date", static_cast<float>(systemClock().now()));
  return group;
}

std::vector<std::string> GroupIds() {
  const std::filesystem::path root = rootPath();
  std::vector<std::string> ids;
  std::error_code ec;
  if (!std::filesystem::exists(joinResolved(root, "0.grp"), ec)) ids.push_back("0");
  for (const std::string& name : listMatchingFiles(root, "*.grp")) {
    ids.push_back(name.substr(0, name.find('.')));
  }
  return ids;
}

int MaxGroupId() {
  int highest = 0;
  for (const std::string& id : GroupIds()) highest = std::max(highest, strToIntDef(id, 0));
  return highest;
}

std::vector<std::string> GroupNames(const std::vector<std::string>& ids, int mode) {
  std::vector<std::string> names;
  for (const std::string& id : ids.empty() ? GroupIds() : ids) {
    std::string name = OpenGroup(strToIntDef(id, 0), mode)->ReadString("Name");
    names.push_back(name.empty() ? Localize().GetString(kUnnamedGroup) : name);
  }
  return names;
}

}  // namespace ks
