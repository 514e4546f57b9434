#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "store/fileobj.h"

namespace ks {
namespace {

constexpr int kTextHeaderLines = 15;
constexpr FileShare kOthersMayOnlyRead{true, false};

}  // namespace

int TTextFile::OpenText(const std::string& path, int mode) {
  if (open_) {
    status_ = fsAlreadyOpen;
    return status_;
  }
  reset(path);
  mode_ = mode;
  if (mode == tmRead) {
    int st = openLocal(path, FileAccess::Read, kOthersMayOnlyRead, false);
    if (st != fsOk) return failOpen(st);
    if (!loadAll()) return failOpen(fsOpenFailed);
    opened();
    readHeader(kTextHeaderLines, true);
    return status_;
  }
  if (mode == tmCreate) {
    // The old content stays until the new one is written whole at Close.
    if (openLocal(path, FileAccess::ReadWrite, kOthersMayOnlyRead, true) != fsOk)
      return failOpen(fsOpenFailed);
    opened();
    dirty_ = true;
    return status_;
  }
  if (mode == tmAppend) {
    if (openLocal(path, FileAccess::ReadWrite, kOthersMayOnlyRead, false) != fsOk)
      return failOpen(fsOpenFailed);
    struct stat sb {};
    if (::fstat(handle_.fd(), &sb) != 0) return failOpen(fsOpenFailed);
    appendAt_ = static_cast<uint64_t>(sb.st_size);
    opened();
    return status_;
  }
  return failOpen(fsOpenFailed);
}

bool TTextFile::ReadLine(std::string& out) {
  out.clear();
  if (!open_ || mode_ != tmRead || pos_ >= data_.size()) {
    status_ = fsEnd;
    return false;
  }
  if (!nextLine(out)) status_ = fsEnd;
  return true;
}

bool TTextFile::ReadRest(std::string& out) {
  out.clear();
  if (open_ && mode_ == tmRead) out = takeRest();
  if (out.empty()) status_ = fsEnd;
  return !out.empty();
}

bool TTextFile::WriteLine(std::string_view text) {
  if (!open_ || (mode_ != tmCreate && mode_ != tmAppend)) {
    status_ = fsWriteError;
    return false;
  }
  const std::string line = textFileLine(text);
  if (mode_ == tmCreate) {
    data_ += line;
    return true;
  }
  // One write per line at the end: a reader never sees half a line from us.
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::pwrite(handle_.fd(), line.data() + done, line.size() - done,
                               static_cast<off_t>(appendAt_ + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      status_ = fsWriteError;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  appendAt_ += done;
  return true;
}

}  // namespace ks
