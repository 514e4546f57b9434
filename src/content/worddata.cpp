#include "content/worddata.h"

#include <algorithm>
#include <cstdint>

#include "content/policy.h"
#include "platform/paths.h"
#include "store/dynamicsettings.h"
#include "store/fileobj.h"

namespace ks {
namespace {

int int16At(std::string_view bytes, size_t pos) {
  const auto lo = static_cast<unsigned char>(bytes[pos]);
  const auto hi = static_cast<unsigned char>(bytes[pos + 1]);
  return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}

int readAll(const std::string& path, std::string& out) {
  TStreamFile file;
  const int status = file.OpenStream(path, 1, true);
  if (status != fsOk) return status;
  out.clear();
  if (file.size() > 0 && !file.ReadBytes(out, static_cast<size_t>(file.size()))) {
    return file.status() == fsEnd ? fsOk : file.status();
  }
  return fsOk;
}

bool fileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(resolveCaseInsensitive(path), ec);
}

}  // namespace

std::vector<WordIndexRecord> parseWordIndex(std::string_view bytes) {
  std::vector<WordIndexRecord> index;
  for (size_t pos = 0; pos + kWordIndexRecordSize <= bytes.size(); pos += kWordIndexRecordSize) {
    if (index.size() >= static_cast<size_t>(kWordIndexMax)) break;
    WordIndexRecord r;
    r.Key = static_cast<unsigned char>(int16At(bytes, pos) & 0xFF);
    r.Level = int16At(bytes, pos + 2);
    r.Kind = int16At(bytes, pos + 4);
    r.First = int16At(bytes, pos + 6);
    r.Count = int16At(bytes, pos + 8);
    index.push_back(r);
  }
  return index;
}

std::string wordDataText(std::string_view bytes, int number) {
  if (number < 0) return {};
  const size_t pos = static_cast<size_t>(number) * kWordDataRecordSize;
  if (pos >= bytes.size()) return {};
  const size_t length = std::min<size_t>(static_cast<unsigned char>(bytes[pos]), kWordTextMax);
  return std::string(bytes.substr(pos + 1, length));
}

int WordData::Open(const std::string& headerPath, const std::string& dataPath) {
  index_.clear();
  data_.clear();
  failedFile_.clear();
  std::string header;
  int status = readAll(dataPath, data_);
  if (status != fsOk) {
    failedFile_ = dataPath;
    data_.clear();
    return status;
  }
  status = readAll(headerPath, header);
  if (status != fsOk) {
    failedFile_ = headerPath;
    data_.clear();
    return status;
  }
  index_ = parseWordIndex(header);
  return fsOk;
}

std::vector<std::string> WordData::Texts(const WordIndexRecord& record) const {
  std::vector<std::string> texts;
  if (record.First < 0 || record.Count <= 0) return texts;
  const int records = static_cast<int>(data_.size() / kWordDataRecordSize);
  const int end = std::min(records, record.First + record.Count);
  for (int i = record.First; i < end; ++i) texts.push_back(wordDataText(data_, i));
  return texts;
}

WordDataFiles chooseWordData(const std::string& wizard, const std::string& courseWizard,
                             TDynamicSettings* userSettings, const std::filesystem::path& lessons) {
  const auto file = [&](const std::string& name, const char* extension) {
    return resolveCaseInsensitive(lessons / pathFrom1252(name + extension)).string();
  };
  const std::string policyWizard = policyString("DefaultWizard");
  if (!courseWizard.empty()) {
    WordDataFiles files{file(courseWizard, ".hdr"), file(courseWizard, ".wzd")};
    if (!fileExists(files.Header)) files.Header = file(policyWizard, ".hdr");
    if (!fileExists(files.Data)) files.Data = file(policyWizard, ".wzd");
    return files;
  }
  std::string name = wizard;
  if (name.empty() && userSettings != nullptr) {
    const std::string own = userSettings->ReadString("DefaultWizard");
    if (!own.empty() && fileExists(file(own, ".wzd"))) name = own;
  }
  if (name.empty()) name = policyWizard;
  return {file(name, ".hdr"), file(name, ".wzd")};
}

}  // namespace ks
