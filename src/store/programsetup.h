// Where the installation's shared files and the learners' files are, resolved once at start-up,
// and which keyboard layout file a learner works with.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ks {

// What the layout choice needs from the learner's settings, read with lock precedence 1 by the
// caller (the user module knows the learner and the locks).
struct UserLayoutSettings {
  bool keyboardAutoDetect = false;  // "KeyboardAutoDetect"
  bool keyboardAutoDetectLocked = false;
  std::string keyboardLayout;  // "KeyboardLayout": a display name from "QSKeyb.ini"
  bool keyboardLayoutLocked = false;
};

// What a "QSNPath.ini" beside the installation says: where the installation's files and the
// learners' data really are, and the install mode.
struct PathRedirection {
  std::filesystem::path dataPath;  // "DataPath", environment names expanded
  std::filesystem::path dataBase;  // "DataBase", or the per-user folder with "AppData=1"
  std::string mode;                // "mode", lower case
};
// Reads the file's bytes; relative folders are taken from `baseFolder`. Touches no file.
PathRedirection ParseRedirection(const std::string& bytes, const std::filesystem::path& baseFolder);

class TProgramSettings {
 public:
  // Resolves every path from `startFolder` (empty: the installation folder). When the root folder
  // or its "Policy.dyn" is missing, the box has been shown and fatal() is true: the program ends.
  explicit TProgramSettings(const std::filesystem::path& startFolder = {});

  bool fatal() const { return fatal_; }

  // Folders, each ending with "/".
  const std::filesystem::path& rootPath() const { return rootPath_; }
  const std::filesystem::path& dataPath() const { return dataPath_; }
  const std::filesystem::path& lessonsPath() const { return lessonsPath_; }
  const std::filesystem::path& keyboardsPath() const { return keyboardsPath_; }
  const std::filesystem::path& storyPath() const { return storyPath_; }
  // The "mode" word of "QSNPath.ini", lower case.
  const std::string& installMode() const { return installMode_; }

  // The parts of the system layout id, upper case: the first six characters, the sub-language
  // part (characters 4-6, empty when "000") and the language part (characters 7-8).
  void SetSystemLayoutId(const std::string& id);
  const std::string& layoutIdPrefix() const { return layoutIdPrefix_; }
  const std::string& subLanguagePart() const { return subLanguagePart_; }
  const std::string& languagePart() const { return languagePart_; }

  // "QSKeyb.ini" without its first line: the display names, and the whole entries.
  const std::vector<std::string>& layoutNames() const { return layoutNames_; }
  const std::vector<std::string>& layoutEntries() const { return layoutEntries_; }

  // The layout file a learner works with (its display name when `wantName`); `defaultFile` when
  // nothing fits.
  std::string UserLayoutFile(const std::string& defaultFile, bool wantName,
                             const UserLayoutSettings& user) const;
  // The folder of custom typing texts: the policy's "CustomStoryPath", else root + "Texts/".
  void InitStoryPath();

  // Set whenever a result is stored.
  bool resultsChanged = false;
  bool screenshotMode = false;
  // Version texts the start-up sets; the error log's header and entries carry them.
  std::string versionText;
  std::string buildNumber;
  std::string buildYear;
  std::string buildDate;

 private:
  void readRedirection(const std::filesystem::path& baseFolder);
  void loadLayoutList();

  bool fatal_ = false;
  std::filesystem::path rootPath_, dataPath_, lessonsPath_, keyboardsPath_, storyPath_;
  std::filesystem::path dataPathValue_;  // from "QSNPath.ini": "DataPath"
  std::filesystem::path dataBaseValue_;  // "DataBase", or the per-user folder
  std::string installMode_;
  std::string layoutIdPrefix_, subLanguagePart_, languagePart_;
  std::vector<std::string> layoutNames_, layoutEntries_;
};

// The program-wide instance; empty until the start-up creates it.
extern std::unique_ptr<TProgramSettings> ProgramSettings;

// The folder the programs take their installation from when no start folder is given:
// $KEYSCHOLAR_ROOT when set, else "../share/keyscholar" beside the program when it exists, else
// the program's own folder.
std::filesystem::path installationFolder();
// The per-user data folder: $XDG_DATA_HOME (default ~/.local/share) + "/Keyscholar8/".
std::filesystem::path userDataFolder();
// Expands "%NAME%", "${NAME}" and "$NAME" from the environment; unknown names stay as written.
std::string expandEnvironment(const std::string& text);

}  // namespace ks
