#include <algorithm>
#include <cstdint>

#include "store/dynamicfile.h"
#include "store/fileobj.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kStreamHeaderLines = 8;
constexpr FileShare kFullSharing{true, true};

bool isWebAddress(const std::string& path) {
  return findText(path, "http:/") != std::string::npos;
}

}  // namespace

int TStreamFile::OpenStream(const std::string& path, int mode, bool skipHeader) {
  if (open_) {
    status_ = fsAlreadyOpen;
    return status_;
  }
  reset(path);
  if (path.empty()) return failOpen(fsNotFound);
  if (isWebAddress(path)) {
    std::string body;
    if (fetchWithUrlFetcher(path, false, body) != 200) return failOpen(fsNotFound);
    data_ = std::move(body);
  } else {
    const FileAccess access = (mode == 2 || mode == 3) ? FileAccess::ReadWrite : FileAccess::Read;
    const int st = openLocal(path, access, kFullSharing, mode == 2);
    if (st != fsOk) return failOpen(st);
    if (!loadAll()) return failOpen(fsOpenFailed);
  }
  opened();
  if (!skipHeader) readHeader(kStreamHeaderLines, false);
  return status_;
}

int TStreamFile::ReadAllLines(std::vector<std::string>& list, const std::string& path) {
  list.clear();
  TStreamFile file;
  const bool fileUrl = findText(path, "file:/") != std::string::npos && !isWebAddress(path);
  const std::string source = fileUrl ? fileUrlToPath(path.substr(findText(path, "file:/"))) : path;
  if (file.OpenStream(source, 1, true) != fsOk) return fsNotFound;
  list = splitLines(file.data_);
  file.Close();
  return fsOk;
}

bool TStreamFile::ReadLineText(std::string& out) {
  out.clear();
  if (!open_ || pos_ >= data_.size()) {
    status_ = fsEnd;
    return false;
  }
  nextLine(out);
  status_ = fsOk;
  return true;
}

bool TStreamFile::ReadLineShort(std::string& out, int maxLen) {
  const bool ok = ReadLineText(out);
  const auto max = static_cast<size_t>(std::clamp(maxLen, 0, 255));
  if (out.size() > max) out.resize(max);
  return ok;
}

bool TStreamFile::ReadRest(std::string& out) {
  out = open_ ? takeRest() : std::string();
  if (out.empty()) status_ = fsEnd;
  return !out.empty();
}

void TStreamFile::SeekRecord(int64_t index, int64_t recordSize) {
  int64_t offset = 0;
  if (__builtin_mul_overflow(index, recordSize, &offset)) offset = INT64_MAX;
  pos_ = offset > 0 ? static_cast<size_t>(offset) : 0;
}

}  // namespace ks
