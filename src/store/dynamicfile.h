// The key/value store every setting lives in: a text file of "name=value" lines, loaded on first
// access, read and written through typed operations, written back whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sharedfile.h"

namespace ks {

// Open modes; the numbers are part of the interface.
enum OpenMode : int {
  omDenyWrite = 2,
  omShared = 1,
  omCompat = 0,
  omExclusive = -1,
  omReadDenyWrite = -2,
  omReadShared = -3,
  omReadOnce = -4,
  omUrl = -5,
  omFileUrl = -6,
  omMemory = -7,
};

// Fetches `url` into `body`; returns the HTTP status (200 = success). Installed by the web
// module; until then URL opens fail.
using UrlFetcher = std::function<int(const std::string& url, bool bypassCache, std::string& body)>;
void setUrlFetcher(UrlFetcher fetcher);
// Fetches through the installed fetcher; 0 when none is installed.
int fetchWithUrlFetcher(const std::string& url, bool bypassCache, std::string& body);

// The mode a settings file is created with: learners' and groups' files (".usr", ".grp") hold
// password digests and progress, so they are never readable by everyone (privateFileMode).
unsigned CreationModeFor(const std::filesystem::path& file);

// The local path of a "file:" URL: "file:///home/x" -> "/home/x" (the leading "/" is kept).
std::string fileUrlToPath(const std::string& url);

class TDynamicFile {
 public:
  TDynamicFile() = default;
  ~TDynamicFile();
  TDynamicFile(const TDynamicFile&) = delete;
  TDynamicFile& operator=(const TDynamicFile&) = delete;

  // `pathOrUrl` is a native (UTF-8) path or a URL. 1 on success, -1 on failure (the store stays
  // closed).
  int Open(const std::string& pathOrUrl, int mode);
  // 2, or -1 when writing back failed (the store then stays open and changed).
  int Close();
  // Writes the table back when changed; 1, or -1 when the write failed.
  int Flush();
  bool Load();

  // Status results: 1 found/done, 0 missing, -1 failure.
  int ReadString(const std::string& name, std::string& out);
  int ReadInteger(const std::string& name, int32_t& out);
  int ReadInt64(const std::string& name, int64_t& out);
  int ReadFloat(const std::string& name, float& out);
  // Missing: `list` is emptied. Found: filled from the comma text.
  int ReadList(const std::string& name, std::vector<std::string>& list);

  int WriteString(const std::string& name, const std::string& value);
  int WriteInteger(const std::string& name, int32_t value);
  int WriteInt64(const std::string& name, int64_t value);
  int WriteFloat(const std::string& name, float value);
  int WriteBool(const std::string& name, bool value);

  void Clear();
  std::optional<std::vector<std::string>> KeyNames();
  std::optional<std::vector<std::string>> KeyValuePairs();
  // The table as read, one entry per line (loads first; empty when that fails).
  const std::vector<std::string>& Lines();

  bool readOnly() const { return readOnly_; }
  bool opened() const { return opened_; }
  bool changed() const { return changed_; }
  int state() const { return state_; }
  // The file held zero bytes when it was loaded: damaged (the lines around them were read).
  bool heldZeroBytes() const { return zeroBytes_; }

 private:
  int findLine(const std::string& name) const;
  void buildIndex() const;
  std::string serialize() const;

  bool readOnly_ = false;
  int state_ = 2;
  bool rewindBeforeLoad_ = false;
  std::optional<SharedFile> file_;
  std::optional<std::string> memory_;
  std::vector<std::string> lines_;
  // Large stores (a learner's results run to tens of thousands of lines) find names through the
  // first line of each upper-cased name, built on the first search; small ones are searched in
  // order. Any removal of a line drops it.
  mutable std::unordered_map<std::string, size_t> index_;
  mutable bool indexed_ = false;
  bool loaded_ = false;
  bool changed_ = false;
  bool opened_ = false;
  bool releaseAfterLoad_ = false;
  bool zeroBytes_ = false;
  std::string path_;
};

}  // namespace ks
