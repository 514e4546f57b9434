#include "platform/sharedfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ks {
namespace {

// Lock bytes: what the holder does and what it denies. Far past any data, so byte-range
// locks on SMB never block data I/O.
constexpr off_t kLockBase = off_t{1} << 62;
enum LockByte { kReading = 0, kWriting = 1, kDenyRead = 2, kDenyWrite = 3 };

bool lockByte(int fd, LockByte which) {
  struct flock fl {};
  fl.l_type = F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kLockBase + which;
  fl.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// True when another open file description holds any lock on the byte.
bool heldByOthers(int fd, LockByte which) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kLockBase + which;
  fl.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return true;
  return fl.l_type != F_UNLCK;
}

}  // namespace

SharedFile::~SharedFile() {
  close();
}

SharedFile::SharedFile(SharedFile&& other) noexcept : fd_(other.fd_), access_(other.access_) {
  other.fd_ = -1;
}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    access_ = other.access_;
    other.fd_ = -1;
  }
  return *this;
}

SharedFile SharedFile::open(const std::filesystem::path& path, FileAccess access, FileShare share,
                            bool create, OpenStatus* status) {
  OpenStatus dummy;
  OpenStatus& st = status ? *status : dummy;
  int flags = (access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (create) flags |= O_CREAT;
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    st = errno == ENOENT                                         ? OpenStatus::NotFound
         : (errno == EACCES || errno == EPERM || errno == EROFS) ? OpenStatus::AccessDenied
                                                                 : OpenStatus::Failed;
    return {};
  }
  struct stat sb {};
  if (fstat(fd, &sb) != 0 || !S_ISREG(sb.st_mode)) {
    ::close(fd);
    st = OpenStatus::Failed;
    return {};
  }
  const bool writes = access == FileAccess::ReadWrite;
  bool ok = lockByte(fd, kReading) && (!writes || lockByte(fd, kWriting)) &&
            (share.read || lockByte(fd, kDenyRead)) && (share.write || lockByte(fd, kDenyWrite));
  if (ok) {
    ok = !heldByOthers(fd, kDenyRead) && !(writes && heldByOthers(fd, kDenyWrite)) &&
         (share.read || !heldByOthers(fd, kReading)) &&
         (share.write || !heldByOthers(fd, kWriting));
  }
  if (!ok) {
    ::close(fd);  // drops every lock this description took
    st = OpenStatus::SharingViolation;
    return {};
  }
  SharedFile file;
  file.fd_ = fd;
  file.access_ = access;
  st = OpenStatus::Ok;
  return file;
}

bool SharedFile::readAll(std::string& out) const {
  out.clear();
  if (fd_ < 0) return false;
  char buf[65536];
  off_t offset = 0;
  for (;;) {
    ssize_t n = ::pread(fd_, buf, sizeof buf, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(buf, static_cast<size_t>(n));
    offset += n;
  }
}

bool SharedFile::writeWhole(std::string_view data) {
  if (fd_ < 0 || access_ != FileAccess::ReadWrite) return false;
  // Reserve the space first so that a full disk fails here, with the old content intact.
  if (!data.empty()) {
    int rc = ::posix_fallocate(fd_, 0, static_cast<off_t>(data.size()));
    if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) return false;
  }
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::ftruncate(fd_, static_cast<off_t>(data.size())) != 0) return false;
  return ::fdatasync(fd_) == 0 || errno == EINVAL;
}

void SharedFile::close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

bool readWholeFile(const std::filesystem::path& path, std::string& out) {
  SharedFile f = SharedFile::open(path, FileAccess::Read, FileShare{true, true}, false);
  return f.isOpen() && f.readAll(out);
}

bool writeWholeFile(const std::filesystem::path& path, std::string_view data) {
  SharedFile f = SharedFile::open(path, FileAccess::ReadWrite, FileShare{true, false}, true);
  return f.isOpen() && f.writeWhole(data);
}

}  // namespace ks
