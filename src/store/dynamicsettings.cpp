#include "store/dynamicsettings.h"

#include "text/textutil.h"

namespace ks {

bool textToBool(const std::string& text) {
  if (text.empty()) return false;
  unsigned char c = upperChar(static_cast<unsigned char>(text[0]));
  return c == 'T' || c == 'Y' || c == '1';
}

int TDynamicSettings::Open(const std::string& pathOrUrl, int mode) {
  path_ = pathOrUrl;
  return file_.Open(pathOrUrl, mode);
}

int TDynamicSettings::Clear() {
  if (!file_.Load()) return -1;
  file_.Clear();
  return 1;
}

std::string TDynamicSettings::ReadString(const std::string& name) {
  std::string value;
  file_.ReadString(name, value);
  return value;
}

int32_t TDynamicSettings::ReadInteger(const std::string& name) {
  int32_t value = 0;
  return file_.ReadInteger(name, value) == 1 ? value : 0;
}

int64_t TDynamicSettings::ReadInt64(const std::string& name) {
  int64_t value = 0;
  return file_.ReadInt64(name, value) == 1 ? value : 0;
}

float TDynamicSettings::ReadFloat(const std::string& name) {
  float value = 0;
  return file_.ReadFloat(name, value) == 1 ? value : 0;
}

bool TDynamicSettings::ReadBool(const std::string& name) {
  return textToBool(ReadString(name));
}

std::optional<std::vector<std::string>> TDynamicSettings::ReadList(const std::string& name) {
  std::vector<std::string> list;
  if (file_.ReadList(name, list) != 1) return std::nullopt;
  return list;
}

}  // namespace ks
