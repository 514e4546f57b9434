#include "store/programsetup.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "platform/system.h"
#include "platform/systemkeyboard.h"
#include "store/dynamicsettings.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/cp1252.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {

std::unique_ptr<TProgramSettings> ProgramSettings;

namespace {

fs::path withSlash(fs::path p) {
  if (!p.empty() && p.string().back() != '/') p += "/";
  return p;
}

bool isDirectory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// A folder value from a settings file (1252, maybe with backslashes) as a native path; relative
// values are taken from `base`.
fs::path folderValue(const std::string& utf8, const fs::path& base) {
  std::string slashed = utf8;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  fs::path p(slashed);
  return p.is_relative() ? base / p : p;
}

// The value of `key` in `section` of a Windows INI text ("" when absent). Names ignore case;
// blanks around names and values do not count.
std::string iniValue(const std::vector<std::string>& lines, std::string_view section,
                     std::string_view key) {
  bool inSection = false;
  for (const std::string& raw : lines) {
    const std::string_view line = trimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      inSection = close != std::string_view::npos && sameText(line.substr(1, close - 1), section);
      continue;
    }
    const size_t eq = line.find('=');
    if (inSection && eq != std::string_view::npos && sameText(trimBlanks(line.substr(0, eq)), key))
      return std::string(trimBlanks(line.substr(eq + 1)));
  }
  return {};
}

struct LayoutEntry {
  std::string name, file, language, subLanguage;
};

bool parseEntry(const std::string& entry, LayoutEntry& out) {
  const std::vector<std::string> f = splitFields(entry);
  if (f.size() < 2) return false;
  out.name = f[0];
  out.file = f[1];
  out.language = f.size() > 2 ? upperCase(f[2]) : "$$$";  // never matches
  out.subLanguage = f.size() > 3 ? upperCase(f[3]) : "";
  return true;
}

void createFolder(const fs::path& p) {
  std::error_code ec;
  fs::create_directories(p, ec);
}

}  // namespace

std::string expandEnvironment(const std::string& text) {
  const auto isNameChar = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  };
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    std::string name;
    size_t next = std::string::npos;
    if (text[i] == '%') {
      const size_t end = text.find('%', i + 1);
      if (end != std::string::npos && end > i + 1)
        name = text.substr(i + 1, end - i - 1), next = end + 1;
    } else if (text[i] == '$' && i + 1 < text.size() && text[i + 1] == '{') {
      const size_t end = text.find('}', i + 2);
      if (end != std::string::npos && end > i + 2)
        name = text.substr(i + 2, end - i - 2), next = end + 1;
    } else if (text[i] == '$') {
      size_t end = i + 1;
      while (end < text.size() && isNameChar(text[end])) ++end;
      if (end > i + 1) name = text.substr(i + 1, end - i - 1), next = end;
    }
    const char* value = next != std::string::npos ? std::getenv(name.c_str()) : nullptr;
    if (value) {
      out += value;
      i = next;
    } else {
      out += text[i++];
    }
  }
  return out;
}

fs::path installationFolder() {
  const std::string own = envOr("KEYSCHOLAR_ROOT", "");
  if (!own.empty()) return own;
  const fs::path programFolder = programFilePath().parent_path();
  const fs::path shared = programFolder / ".." / "share" / "keyscholar";
  if (isDirectory(shared)) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(shared, ec);
    return ec ? shared : canonical;
  }
  return programFolder;
}

fs::path userDataFolder() {
  fs::path base(envOr("XDG_DATA_HOME", ""));
  if (base.empty() || base.is_relative()) {
    std::string home = envOr("HOME", "");
    if (home.empty()) {
      if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) home = pw->pw_dir;
    }
    base = fs::path(home) / ".local" / "share";
  }
  return withSlash(base / "Keyscholar8");
}

TProgramSettings::TProgramSettings(const fs::path& startFolder) {
  SetSystemLayoutId(systemLayoutId());
  const fs::path base = withSlash(startFolder.empty() ? installationFolder() : startFolder);
  readRedirection(base);
  rootPath_ = withSlash(dataPathValue_.empty() ? base : dataPathValue_);
  if (!dataBaseValue_.empty()) {
    dataPath_ = withSlash(dataBaseValue_);
    createFolder(dataPath_);
  } else {
    dataPath_ = withSlash(joinResolved(rootPath_, "Database"));
  }
  lessonsPath_ = withSlash(joinResolved(rootPath_, "lessons"));
  keyboardsPath_ = withSlash(joinResolved(rootPath_, "keyboards"));

  TLocalize& lang = Localize();
  if (!isDirectory(rootPath_)) {
    dialogs().messageBox(lang.GetString(358) + "\r" + lang.GetString(359), lang.GetString(360),
                         BoxKind::Error);
    fatal_ = true;
    return;
  }
  std::error_code ec;
  if (!fs::is_regular_file(joinResolved(rootPath_, "Policy.dyn"), ec)) {
    // The path as it is: on Linux its letter case matters to whoever has to fix it.
    dialogs().messageBox(lang.GetString(361) + "\r" + lang.GetString(362) + pathTo1252(rootPath_) +
                             lang.GetString(363) + "\r\r" + lang.GetString(364),
                         lang.GetStringDefault(1), BoxKind::Error);
    fatal_ = true;
    return;
  }
  if (!isDirectory(dataPath_)) ReportError(0, "Database directory not found");
  loadLayoutList();
}

PathRedirection ParseRedirection(const std::string& bytes, const fs::path& baseFolder) {
  PathRedirection out;
  const std::vector<std::string> lines = splitLines(bytes);
  const std::string dataPath = iniValue(lines, "Path", "DataPath");
  if (!dataPath.empty())
    out.dataPath = folderValue(expandEnvironment(cp1252ToUtf8(dataPath)), baseFolder);
  const std::string dataBase = iniValue(lines, "Path", "DataBase");
  if (!dataBase.empty()) out.dataBase = folderValue(cp1252ToUtf8(dataBase), baseFolder);
  out.mode = lowerCase(iniValue(lines, "Path", "mode"));
  if (iniValue(lines, "Path", "AppData") == "1") out.dataBase = userDataFolder();
  return out;
}

void TProgramSettings::readRedirection(const fs::path& baseFolder) {
  std::string bytes;
  if (!readWholeFile(joinResolved(baseFolder, "QSNPath.ini"), bytes)) return;
  PathRedirection r = ParseRedirection(bytes, baseFolder);
  dataPathValue_ = std::move(r.dataPath);
  dataBaseValue_ = std::move(r.dataBase);
  installMode_ = std::move(r.mode);
}

void TProgramSettings::loadLayoutList() {
  layoutNames_.clear();
  layoutEntries_.clear();
  TDynamicSettings list;
  if (list.Open(joinResolved(rootPath_, "QSKeyb.ini").string(), omReadOnce) != 1) return;
  const std::vector<std::string>& lines = list.file().Lines();
  // The first line is the section title, not an entry; lines without "=" are not entries.
  for (size_t i = 1; i < lines.size(); ++i) {
    const size_t eq = lines[i].find('=');
    if (eq == std::string::npos) continue;
    layoutNames_.push_back(lines[i].substr(0, eq));
    layoutEntries_.push_back(lines[i]);
  }
}

void TProgramSettings::SetSystemLayoutId(const std::string& id) {
  std::string upper = upperCase(id);
  if (upper.size() < 8) upper.insert(0, 8 - upper.size(), '0');
  layoutIdPrefix_ = upper.substr(0, 6);
  subLanguagePart_ = upper.substr(3, 3);
  if (subLanguagePart_ == "000") subLanguagePart_.clear();
  languagePart_ = upper.substr(6, 2);
}

std::string TProgramSettings::UserLayoutFile(const std::string& defaultFile, bool wantName,
                                             const UserLayoutSettings& user) const {
  bool autoDetect = user.keyboardAutoDetect;
  if (user.keyboardLayoutLocked && !user.keyboardAutoDetectLocked) autoDetect = false;
  LayoutEntry entry;
  if (autoDetect || wantName) {
    std::optional<LayoutEntry> chosen;
    for (const std::string& line : layoutEntries_) {
      if (!parseEntry(line, entry) || entry.language != languagePart_) continue;
      if (entry.subLanguage == subLanguagePart_) {
        chosen = entry;
        break;
      }
      if (entry.subLanguage.rfind("XX", 0) == 0) chosen = entry;  // the fallback so far
    }
    if (chosen) return wantName ? chosen->name : chosen->file;
    return wantName ? Localize().GetString(1107) : defaultFile;
  }
  const std::string wanted = upperCase(user.keyboardLayout);
  for (const std::string& line : layoutEntries_) {
    if (parseEntry(line, entry) && upperCase(entry.name) == wanted) return entry.file;
  }
  return defaultFile;
}

void TProgramSettings::InitStoryPath() {
  if (layoutEntries_.empty()) ReportError(0, "No keyboard layouts defined in INI");
  const std::string custom =
      PolicySettings ? PolicySettings->ReadString("CustomStoryPath") : std::string();
  storyPath_ = custom.empty() ? withSlash(joinResolved(rootPath_, "Texts"))
                              : withSlash(folderValue(cp1252ToUtf8(custom), rootPath_));
}

}  // namespace ks
