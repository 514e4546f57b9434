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

int workstationOpenMode() {
  return PolicySettings && PolicySettings->ReadBool("WKSLegacyMode") ? omShared : omDenyWrite;
}

}  // namespace ks
