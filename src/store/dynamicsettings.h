// The typed facade of a settings store: values instead of statuses. Users, groups and test lists
// are settings stores themselves and derive from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/dynamicfile.h"

namespace ks {

class TDynamicSettings {
 public:
  TDynamicSettings() = default;
  virtual ~TDynamicSettings() = default;
  TDynamicSettings(const TDynamicSettings&) = delete;
  TDynamicSettings& operator=(const TDynamicSettings&) = delete;

  int Open(const std::string& pathOrUrl, int mode);
  int Close() { return file_.Close(); }
  // 1, or -1 when writing failed.
  int Flush() { return file_.Flush(); }
  int Load() { return file_.Load() ? 1 : -1; }
  int Clear();

  std::string ReadString(const std::string& name);
  int32_t ReadInteger(const std::string& name);
  int64_t ReadInt64(const std::string& name);
  float ReadFloat(const std::string& name);
  bool ReadBool(const std::string& name);
  std::optional<std::vector<std::string>> ReadList(const std::string& name);

  int WriteString(const std::string& name, const std::string& value) {
    return file_.WriteString(name, value);
  }
  int WriteInteger(const std::string& name, int32_t value) {
    return file_.WriteInteger(name, value);
  }
  int WriteInt64(const std::string& name, int64_t value) { return file_.WriteInt64(name, value); }
  int WriteBool(const std::string& name, bool value) { return file_.WriteBool(name, value); }
  int WriteFloat(const std::string& name, float value) { return file_.WriteFloat(name, value); }

  const std::string& path() const { return path_; }
  TDynamicFile& file() { return file_; }

 private:
  TDynamicFile file_;
  std::string path_;
};

// True when the first character, upper-cased, is "T", "Y" or "1".
bool textToBool(const std::string& text);

}  // namespace ks
