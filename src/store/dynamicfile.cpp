#include "store/dynamicfile.h"

#include "platform/paths.h"
#include "store/errors.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

UrlFetcher& urlFetcher() {
  static UrlFetcher fetcher;
  return fetcher;
}

// Below this many lines an index costs more than it saves.
constexpr size_t kIndexFrom = 64;

// Zero bytes never belong in a settings file (a torn write on some file systems leaves a run of
// them): each run ends a line, so the lines after it still read, and the empty lines that makes
// are dropped.
std::vector<std::string> linesAroundZeroBytes(std::string_view text) {
  std::string cleaned(text);
  for (char& c : cleaned) {
    if (c == '\0') c = '\n';
  }
  std::vector<std::string> lines = splitLines(cleaned);
  std::erase_if(lines, [](const std::string& line) { return line.empty(); });
  return lines;
}

// The name part of a line, or npos-length when the line has no "=".
size_t nameLength(const std::string& line) {
  return line.find('=');
}

struct ModeRule {
  FileAccess access;
  FileShare share;
  bool create;
};

ModeRule ruleFor(int mode) {
  switch (mode) {
    case omDenyWrite:
      return {FileAccess::ReadWrite, {true, false}, true};
    case omShared:
      return {FileAccess::ReadWrite, {true, true}, true};
    case omCompat:
      return {FileAccess::Read, {true, true}, true};
    case omExclusive:
      return {FileAccess::ReadWrite, {false, false}, true};
    case omReadDenyWrite:
      return {FileAccess::Read, {true, false}, false};
    default:
      return {FileAccess::Read, {true, true}, false};  // -3, -4, file URLs
  }
}

}  // namespace

unsigned CreationModeFor(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  if (sameText(extension, ".usr") || sameText(extension, ".grp"))
    return privateFileMode(file.parent_path());
  return 0666;
}

void setUrlFetcher(UrlFetcher fetcher) {
  urlFetcher() = std::move(fetcher);
}

int fetchWithUrlFetcher(const std::string& url, bool bypassCache, std::string& body) {
  UrlFetcher& fetch = urlFetcher();
  return fetch ? fetch(url, bypassCache, body) : 0;
}

std::string fileUrlToPath(const std::string& url) {
  std::string rest = startsWithText(url, "file:") ? url.substr(5) : url;
  while (rest.size() >= 2 && rest[0] == '/' && rest[1] == '/') rest.erase(0, 1);
  return rest;
}

TDynamicFile::~TDynamicFile() {
  // No box can be shown from here, but the loss must not go unnoticed: it is logged.
  if (Close() != 2) LogError(-5, "The settings could not be written back to " + path_);
}

int TDynamicFile::Open(const std::string& pathOrUrl, int mode) {
  if (mode < omMemory || mode > omDenyWrite) return -1;
  // The changes of the file open now are written back first; when that fails the store stays
  // as it is, changed, so nothing is thrown away and the caller learns of it.
  if (opened_ && Close() != 2) {
    LogError(-5, "The settings could not be written back to " + path_);
    return -1;
  }
  file_.reset();
  memory_.reset();
  lines_.clear();
  indexed_ = false;
  loaded_ = changed_ = opened_ = false;
  state_ = 2;
  path_ = pathOrUrl;
  zeroBytes_ = false;
  readOnly_ = mode == omReadDenyWrite || mode == omReadShared || mode == omReadOnce;
  rewindBeforeLoad_ = false;
  releaseAfterLoad_ = mode == omReadOnce;

  std::string path = pathOrUrl;
  const bool fileUrl = mode == omFileUrl || (mode == omUrl && pathOrUrl.rfind("file:/", 0) == 0);
  if (mode == omMemory || (mode == omUrl && !fileUrl)) {
    std::string body;
    if (mode == omUrl) {
      UrlFetcher& fetch = urlFetcher();
      if (!fetch || fetch(pathOrUrl, true, body) != 200) return -1;
    }
    memory_ = std::move(body);
    rewindBeforeLoad_ = releaseAfterLoad_ = true;
  } else {
    if (fileUrl) path = fileUrlToPath(pathOrUrl);
    ModeRule rule = ruleFor(fileUrl ? omReadShared : mode);
    std::filesystem::path resolved = resolveCaseInsensitive(std::filesystem::path(path));
    SharedFile f = SharedFile::open(resolved, rule.access, rule.share, rule.create, nullptr,
                                    CreationModeFor(resolved));
    if (!f.isOpen()) return -1;
    file_ = std::move(f);
  }
  state_ = 1;
  opened_ = true;
  return 1;
}

int TDynamicFile::Close() {
  if (!opened_) return 2;
  if (Flush() != 1) return -1;
  lines_.clear();
  indexed_ = false;
  loaded_ = false;
  file_.reset();
  memory_.reset();
  state_ = 2;
  opened_ = false;
  return 2;
}

std::string TDynamicFile::serialize() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

int TDynamicFile::Flush() {
  if (readOnly_ || !opened_ || !changed_) return 1;
  if (file_ && !file_->writeWhole(serialize())) return -1;
  changed_ = false;
  return 1;
}

bool TDynamicFile::Load() {
  if (loaded_) return true;
  if (!opened_) return false;  // "File not opened!"
  std::string text;
  if (file_) {
    if (!file_->readAll(text)) return false;
  } else if (memory_) {
    text = *memory_;
  }
  zeroBytes_ = text.find('\0') != std::string::npos;
  lines_ = zeroBytes_ ? linesAroundZeroBytes(text) : splitLines(text);
  indexed_ = false;
  loaded_ = true;
  if (releaseAfterLoad_) {
    file_.reset();
    memory_.reset();
  }
  return true;
}

void TDynamicFile::buildIndex() const {
  index_.clear();
  index_.reserve(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) {
    const size_t len = nameLength(lines_[i]);
    // The first line of a name counts, as in the search in order.
    if (len != std::string::npos) index_.emplace(upperCase(lines_[i].substr(0, len)), i);
  }
  indexed_ = true;
}

int TDynamicFile::findLine(const std::string& name) const {
  if (lines_.size() >= kIndexFrom) {
    if (!indexed_) buildIndex();
    const auto it = index_.find(upperCase(name));
    return it == index_.end() ? -1 : static_cast<int>(it->second);
  }
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    size_t len = nameLength(line);
    if (len == name.size() && sameText(std::string_view(line).substr(0, len), name))
      return static_cast<int>(i);
  }
  return -1;
}

int TDynamicFile::ReadString(const std::string& name, std::string& out) {
  out.clear();
  if (!Load()) return -1;
  int i = findLine(name);
  if (i < 0) return 0;
  const std::string& line = lines_[static_cast<size_t>(i)];
  out = line.substr(nameLength(line) + 1);
  return 1;
}

int TDynamicFile::ReadInteger(const std::string& name, int32_t& out) {
  std::string text;
  int status = ReadString(name, text);
  out = status == 1 ? strToIntDef(text, 0) : 0;
  return status;
}

int TDynamicFile::ReadInt64(const std::string& name, int64_t& out) {
  std::string text;
  int status = ReadString(name, text);
  out = 0;
  if (status != 1) return status;
  return tryStrToInt64(text, out) ? 1 : (out = 0, -1);
}

int TDynamicFile::ReadFloat(const std::string& name, float& out) {
  std::string text;
  int status = ReadString(name, text);
  out = 0;
  if (status != 1) return status;
  double value;
  if (!tryStrToFloat(text, value)) return -1;
  out = static_cast<float>(value);
  return 1;
}

int TDynamicFile::ReadList(const std::string& name, std::vector<std::string>& list) {
  std::string text;
  int status = ReadString(name, text);
  list.clear();
  if (status == 1) list = parseCommaText(text);
  return status;
}

int TDynamicFile::WriteString(const std::string& name, const std::string& value) {
  if (!Load()) return -1;
  // A name with "=" or a line break would change the meaning of the file.
  if (name.empty() || name.find_first_of("=\r\n") != std::string::npos) return -1;
  // A value cannot hold a line break: it would become a line, or a key, of its own.
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  int i = findLine(name);
  bool modified = false;
  if (!clean.empty()) {
    std::string line = name + "=" + clean;
    if (i < 0) {
      lines_.push_back(std::move(line));
      if (indexed_) index_.emplace(upperCase(name), lines_.size() - 1);
      modified = true;
    } else if (lines_[static_cast<size_t>(i)] != line) {
      lines_[static_cast<size_t>(i)] = std::move(line);
      modified = true;
    }
  } else if (i >= 0) {
    lines_.erase(lines_.begin() + i);
    indexed_ = false;
    modified = true;
  }
  if (modified && !readOnly_) changed_ = true;
  return 1;
}

int TDynamicFile::WriteInteger(const std::string& name, int32_t value) {
  return WriteString(name, intToStr(value));
}

int TDynamicFile::WriteInt64(const std::string& name, int64_t value) {
  return WriteString(name, intToStr(value));
}

int TDynamicFile::WriteFloat(const std::string& name, float value) {
  return WriteString(name, floatToStr(static_cast<double>(value)));
}

int TDynamicFile::WriteBool(const std::string& name, bool value) {
  return WriteInteger(name, value ? 1 : 0);
}

void TDynamicFile::Clear() {
  if (Load()) lines_.clear();
  indexed_ = false;
}

std::optional<std::vector<std::string>> TDynamicFile::KeyNames() {
  if (!Load()) return std::nullopt;
  std::vector<std::string> names;
  names.reserve(lines_.size());
  for (const std::string& line : lines_) {
    size_t len = nameLength(line);
    names.push_back(len == std::string::npos ? std::string() : line.substr(0, len));
  }
  return names;
}

std::optional<std::vector<std::string>> TDynamicFile::KeyValuePairs() {
  auto names = KeyNames();
  if (!names) return std::nullopt;
  for (std::string& name : *names) {
    int i = findLine(name);
    std::string value;
    if (i >= 0) {
      const std::string& line = lines_[static_cast<size_t>(i)];
      value = line.substr(nameLength(line) + 1);
    }
    name += "=" + value;
  }
  return names;
}

const std::vector<std::string>& TDynamicFile::Lines() {
  static const std::vector<std::string> kEmpty;
  return Load() ? lines_ : kEmpty;
}

}  // namespace ks
