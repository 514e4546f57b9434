#include "store/qssettings.h"

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "store/langres.h"

namespace ks {

std::unique_ptr<TDynamicSettings> PolicySettings;
std::unique_ptr<TDynamicSettings> workstationSettings;
std::string LanguageBaseName = "language";

LessonOptions& lessonOptions() {
  static LessonOptions options;
  return options;
}

void ReadLessonOptions() {
  LessonOptions& o = lessonOptions();
  o = LessonOptions{};
  if (!PolicySettings) return;
  o.disableColorKbd = PolicySettings->ReadBool("disable_colorkbd");
  int w = PolicySettings->ReadInteger("wpm_length");
  if (w == 0) w = PolicySettings->ReadInteger("ErrorFactor");
  o.wordLength = w <= 0 ? 5 : w;
  o.preventBackspace = PolicySettings->ReadBool("Prevent_Backspace");
}

bool OpenPolicySettings(const std::string& fileName, const std::filesystem::path& dir) {
  PolicySettings = std::make_unique<TDynamicSettings>();
  if (PolicySettings->Open(joinResolved(dir, fileName).string(), omReadShared) == -1) return false;
  PolicySettings->Load();
  ReadLessonOptions();
  return true;
}

bool OpenWorkstationSettings(const std::filesystem::path& dir, const std::string& fileName,
                             int mode) {
  workstationSettings = std::make_unique<TDynamicSettings>();
  const std::string path = joinResolved(dir, fileName).string();
  workstationSettings->Open(path, mode);
  if (workstationSettings->Load() != -1) return true;
  workstationSettings->Open(path + ".2nd", mode);
  if (workstationSettings->Load() != -1) return true;
  TLocalize& lang = Localize();
  dialogs().messageBox(
      "#1551 " + lang.GetString(1889) + "\r\r" + lang.GetString(1890) + "\r" + lang.GetString(1891),
      lang.GetStringDefault(1), BoxKind::Error);
  return false;
}

namespace {

// The workstation's own file while the store is its ".2nd" copy, else "".
std::string heldFile() {
  constexpr std::string_view kCopy = ".2nd";
  const std::string& path = workstationSettings->path();
  if (path.size() <= kCopy.size() || !path.ends_with(kCopy)) return {};
  return path.substr(0, path.size() - kCopy.size());
}

}  // namespace

std::string ReadWorkstationValue(const std::string& name) {
  if (!workstationSettings) return {};
  std::string value;
  if (workstationSettings->file().ReadString(name, value) == 1) return value;
  const std::string held = heldFile();
  if (held.empty()) return {};
  TDynamicSettings beside;
  if (beside.Open(held, omReadShared) != 1) return {};
  return beside.ReadString(name);
}

bool ReturnToWorkstationFile(int mode) {
  if (!workstationSettings) return false;
  const std::string held = heldFile();
  if (held.empty()) return true;
  auto own = std::make_unique<TDynamicSettings>();
  if (own->Open(held, mode) != 1 || own->Load() == -1) return false;
  // What was written meanwhile stays in the copy, as it would have at the program's end.
  workstationSettings->Flush();
  workstationSettings = std::move(own);
  return true;
}

int workstationOpenMode() {
  return PolicySettings && PolicySettings->ReadBool("WKSLegacyMode") ? omShared : omDenyWrite;
}

}  // namespace ks
