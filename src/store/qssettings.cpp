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

namespace {

// Opens `path` as the workstation store, else its ".2nd" copy; the error box when neither opens.
bool openWorkstationAt(const std::string& path, int mode) {
  workstationSettings = std::make_unique<TDynamicSettings>();
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

}  // namespace

bool OpenWorkstationSettings(const std::filesystem::path& dir, const std::string& fileName,
                             int mode) {
  return openWorkstationAt(joinResolved(dir, fileName).string(), mode);
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

bool CloseWorkstationSettings() {
  if (!workstationSettings) return true;
  const bool written = workstationSettings->Flush() == 1;
  workstationSettings->Close();
  return written;
}

bool ReopenWorkstationSettings(int mode) {
  if (!workstationSettings) return false;
  if (workstationSettings->file().opened()) {
    ReturnToWorkstationFile(mode);  // the copy serves while the file is held
    return true;
  }
  const std::string held = heldFile();
  // A copy: the store that holds the path is replaced.
  const std::string path = held.empty() ? workstationSettings->path() : held;
  return openWorkstationAt(path, mode);
}

int workstationOpenMode() {
  return PolicySettings && PolicySettings->ReadBool("WKSLegacyMode") ? omShared : omDenyWrite;
}

}  // namespace ks
