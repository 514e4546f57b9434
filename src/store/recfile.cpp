#include <fcntl.h>

#include <algorithm>

#include "store/binio.h"
#include "store/fileobj.h"

namespace ks {
namespace {

constexpr size_t kBlockSize = 256;
// Records are small; a write far past this is a corrupt offset, not data.
constexpr size_t kMaxRecordFileSize = size_t{1} << 30;

FileShare shareFor(int sharing) {
  switch (sharing) {
    case TRecFile::rsDenyWrite:
      return {true, false};
    case TRecFile::rsExclusive:
      return {false, false};
    default:
      return {true, true};
  }
}

bool rangeLock(int fd, short type, int64_t offset, int64_t length) {
  if (fd < 0 || offset < 0 || length <= 0) return false;
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = static_cast<off_t>(length);
  return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

}  // namespace

int TRecFile::OpenRecords(const std::string& path, int access, int sharing) {
  if (open_) {
    status_ = fsAlreadyOpen;
    return status_;
  }
  reset(path);
  const FileShare share = shareFor(sharing);
  if (access == raOpen || access == raOpenToo) {
    const FileAccess mode = sharing == rsDenyWrite ? FileAccess::Read : FileAccess::ReadWrite;
    const int st = openLocal(path, mode, share, false);
    if (st != fsOk) return failOpen(st == fsNotFound ? fsNotFound : fsOpenFailed);
    if (!loadAll()) return failOpen(fsOpenFailed);
    return opened();
  }
  if (access == raCreate) {
    // The old content stays until the new one is written whole at Flush or Close.
    if (openLocal(path, FileAccess::ReadWrite, share, true) != fsOk) return failOpen(fsOpenFailed);
    opened();
    dirty_ = true;
    return status_;
  }
  return failOpen(fsOpenFailed);
}

bool TRecFile::put(std::string_view bytes) {
  if (status_ != fsOk && status_ != fsEnd) return false;
  if (!open_ || !handle_.writable() || pos_ > kMaxRecordFileSize ||
      bytes.size() > kMaxRecordFileSize - pos_) {
    status_ = fsWriteError;
    return false;
  }
  if (pos_ > data_.size()) data_.resize(pos_, '\0');
  data_.replace(pos_, std::min(bytes.size(), data_.size() - pos_), bytes);
  pos_ += bytes.size();
  dirty_ = true;
  return true;
}

bool TRecFile::WriteInt32(int32_t value) {
  std::string bytes;
  putInt32LE(bytes, value);
  return put(bytes);
}

bool TRecFile::WriteInt16(int16_t value) {
  std::string bytes;
  putInt16LE(bytes, value);
  return put(bytes);
}

bool TRecFile::WriteShortString(std::string_view text) {
  const std::string field = encodeShortString(text, 255);
  return put(std::string_view(field).substr(0, 1 + static_cast<unsigned char>(field[0])));
}

bool TRecFile::WriteShortBlock(std::string_view text) {
  return put(encodeShortString(text, static_cast<int>(kBlockSize) - 1));
}

bool TRecFile::WriteWideString(std::string_view text, int maxLen) {
  return put(encodeWideString(text, maxLen));
}

int TRecFile::Flush() {
  if (!open_ || !dirty_) return fsOk;
  if (!handle_.writeWhole(data_)) {
    status_ = fsWriteError;
    return status_;
  }
  dirty_ = false;
  return fsOk;
}

void TRecFile::SeekTo(int64_t offset) {
  pos_ = offset > 0 ? static_cast<size_t>(offset) : 0;
}

int TRecFile::RecordCount(int recordSize) const {
  if (recordSize <= 0) return 0;
  return static_cast<int>(data_.size() / static_cast<size_t>(recordSize));
}

bool TRecFile::ExactRecordCount(int recordSize, int& count) const {
  count = RecordCount(recordSize);
  return recordSize > 0 && data_.size() % static_cast<size_t>(recordSize) == 0;
}

bool TRecFile::LockRange(int64_t offset, int64_t length) {
  return rangeLock(handle_.fd(), handle_.writable() ? F_WRLCK : F_RDLCK, offset, length);
}

bool TRecFile::UnlockRange(int64_t offset, int64_t length) {
  return rangeLock(handle_.fd(), F_UNLCK, offset, length);
}

}  // namespace ks
