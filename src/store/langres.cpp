#include "store/langres.h"

#include <algorithm>

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "platform/system.h"
#include "store/dynamicsettings.h"
#include "text/cp1252.h"
#include "text/textutil.h"

namespace fs = std::filesystem;

namespace ks {

std::string ActiveLanguage;
std::string ProductName;

namespace {

constexpr const char* kMissing = "(Localization error - string missing)";
constexpr size_t kMaxText = 10000;

// The id of a language line: decimal digits with an optional minus, nothing else. Returns false
// for a line without "=" or an id that is not an integer.
bool parseLine(const std::string& line, int& id, std::string& text) {
  size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  size_t i = line[0] == '-' ? 1 : 0;
  if (i == eq) return false;
  long long value = 0;
  for (size_t k = i; k < eq; ++k) {
    if (line[k] < '0' || line[k] > '9') return false;
    value = value * 10 + (line[k] - '0');
    if (value > 100000000) return false;
  }
  id = static_cast<int>(i ? -value : value);
  text = line.substr(eq + 1, kMaxText);
  return true;
}

bool isComment(const std::string& line) {
  return line.empty() || line[0] == '/';
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

void errorBox(const std::string& text) {
  dialogs().messageBox(text, pathTo1252(programFilePath()), BoxKind::Error);
}

}  // namespace

TLocalize& Localize() {
  static TLocalize instance;
  return instance;
}

void TLocalize::Reset() {
  table_.clear();
  set_.clear();
  previousSize_ = 0;
  languageList_.clear();
  languageNames_.clear();
  listLoaded_ = false;
  defaultCode_.clear();
  lastError_.clear();
}

int TLocalize::fail(const std::string& text) {
  lastError_ = text;
  errorBox(text);
  return -1;
}

void TLocalize::loadLanguageList() {
  listLoaded_ = true;
  languageList_.clear();
  languageNames_.clear();
  TDynamicSettings list;
  if (list.Open(joinResolved(folder_, "QSLangs.ini").string(), omReadOnce) == 1) {
    defaultCode_ = list.ReadString("language");
    const auto& lines = list.file().Lines();
    for (size_t i = 2; i < lines.size(); ++i) {
      size_t eq = lines[i].find('=');
      languageList_.push_back(lines[i]);
      languageNames_.push_back(eq == std::string::npos ? lines[i] : lines[i].substr(0, eq));
    }
  }
  // Without a usable list English is the one language.
  if (languageList_.empty()) {
    languageList_ = {"English=ENG"};
    languageNames_ = {"English"};
  }
  if (defaultCode_.empty()) defaultCode_ = "ENG";
}

int TLocalize::LoadLanguage(const std::string& basePath, int mode) {
  if (!listLoaded_) loadLanguageList();
  if (ActiveLanguage.empty()) ActiveLanguage = upperCase(defaultCode_);
  fs::path base = pathFrom1252(basePath);
  if (base.is_relative()) base = folder_ / base;
  const auto nameFor = [&](const std::string& code) {
    return resolveCaseInsensitive(fs::path(base.string() + "." + cp1252ToUtf8(code)));
  };
  fs::path file = nameFor(ActiveLanguage);
  if (!fs::exists(file)) {
    errorBox(pathTo1252(file) + " not found");
    file = nameFor(LanguageCodeAt(0));
  }
  int result = LoadStringFile(file, mode);
  fs::path overrides = resolveCaseInsensitive(folder_ / "language.icr");
  if (fs::exists(overrides)) LoadStringFile(overrides, 2);
  fs::path english = resolveCaseInsensitive(folder_ / "language.eng");
  if (upperCase(ActiveLanguage) != "ENG" && fs::exists(english)) LoadStringFile(english, 3);
  return result;
}

int TLocalize::LoadStringFile(const fs::path& path, int mode) {
  const std::string path1252 = pathTo1252(path);
  if (mode == 1) {
    table_.clear();
    set_.clear();
  }
  std::string content;
  if (!readWholeFile(path, content)) {
    if (path1252.find("icr") != std::string::npos) return 0;
    return fail(path1252 + " not found");
  }
  std::vector<std::string> lines = splitLines(content);
  if (mode == 1 || mode == 3) {
    std::string sizing;
    if (!lines.empty())
      sizing = lines.back().empty() && lines.size() > 1 ? lines[lines.size() - 2] : lines.back();
    int lastId = -1;
    std::string ignored;
    if (!parseLine(sizing, lastId, ignored)) lastId = -1;
    int size = lastId + 1;
    if (size < 2) return fail("The last rows of the string resource file not valid in " + path1252);
    if (mode == 3) {
      // Filling gaps must never shrink a table that the active language sized larger.
      previousSize_ = static_cast<int>(table_.size());
      size = std::max(size, previousSize_);
    }
    table_.resize(static_cast<size_t>(size));
    set_.resize(static_cast<size_t>(size), false);
    if (mode == 1) std::fill(set_.begin(), set_.end(), false);
  }
  for (const std::string& line : lines) {
    if (isComment(line)) continue;
    int id;
    std::string text;
    if (!parseLine(line, id, text) || id == -1) continue;
    if (id < 0 || id >= static_cast<int>(table_.size())) {
      // An override file may name ids this table lacks: skip those lines rather than fail.
      if (mode == 2) continue;
      return fail("Range check error: string resource id #" + std::to_string(id) + " in " +
                  path1252);
    }
    size_t slot = static_cast<size_t>(id);
    if (mode == 3 && set_[slot]) continue;
    if (mode == 1 && set_[slot])
      return fail("Duplicate string resource with id #" + std::to_string(id) + " in " + path1252);
    text = replaceAll(text, "\\n", "\r");
    text = replaceAll(text, "\\+", " ");
    table_[slot] = std::move(text);
    set_[slot] = true;
  }
  lastError_.clear();
  // The file names itself in entry 0; a file without one cannot be told from any other.
  if (table_.empty() || table_[0].empty()) return -1;
  return upperCase(path1252).find(upperCase(table_[0])) != std::string::npos ? 0 : -1;
}

std::string TLocalize::GetString(int id) const {
  if (id < 0 || id >= static_cast<int>(table_.size())) return kMissing;
  return set_[static_cast<size_t>(id)] ? table_[static_cast<size_t>(id)] : std::string();
}

std::string TLocalize::GetStringDefault(int id) const {
  std::string text = GetString(id);
  if (text == kMissing) {
    if (id == 1) return "Quillstroker";
    if (id == 2) return "Quillstroker Pro";
  }
  return text;
}

std::string TLocalize::ComposeMessage(int id1, int id2, int id3, int id4, int id5, int id6, int id7,
                                      int id8) const {
  std::string out;
  for (int id : {id1, id2, id3, id4, id5, id6, id7, id8}) {
    if (id == -1) continue;
    out += '\r';
    out += GetString(id);
  }
  return out;
}

void TLocalize::SetString(int id, const std::string& text) {
  if (id < 0) return;
  if (id >= static_cast<int>(table_.size())) {
    table_.resize(static_cast<size_t>(id) + 1);
    set_.resize(static_cast<size_t>(id) + 1, false);
  }
  table_[static_cast<size_t>(id)] = text;
  set_[static_cast<size_t>(id)] = true;
}

std::string TLocalize::LanguageCodeAt(int index) const {
  if (index < 0 || index >= static_cast<int>(languageList_.size())) return {};
  const std::string& entry = languageList_[static_cast<size_t>(index)];
  size_t eq = entry.find('=');
  return eq == std::string::npos ? std::string() : entry.substr(eq + 1);
}

int TLocalize::LanguageIndex(const std::string& code) const {
  const std::string wanted = code.empty() ? ActiveLanguage : code;
  int found = 0;
  for (int i = 0; i < static_cast<int>(languageList_.size()); ++i) {
    if (sameText(LanguageCodeAt(i), wanted)) found = i;
  }
  return found;
}

int TLocalize::SetListedLanguage(const std::string& code) {
  if (!listLoaded_) loadLanguageList();
  for (int i = 0; i < static_cast<int>(languageList_.size()); ++i) {
    if (!code.empty() && sameText(LanguageCodeAt(i), code)) return SetLanguage(code);
  }
  return 0;
}

int TLocalize::SetLanguage(const std::string& code) {
  if (code.empty() || sameText(code, ActiveLanguage)) return 0;
  ActiveLanguage = upperCase(code);
  LoadLanguage("language", 1);
  return 1;
}

}  // namespace ks
