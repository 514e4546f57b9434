#include "platform/sharedfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

// Writes `data` at offset 0 and cuts the file to its length. `touched` tells whether anything
// was overwritten before a failure.
bool writeInPlace(int fd, std::string_view data, bool& touched) {
  touched = false;
  // Reserve the space first so that a full disk fails here, with the old content intact.
  if (!data.empty()) {
    int rc = ::posix_fallocate(fd, 0, static_cast<off_t>(data.size()));
    if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) {
      errno = rc;
      return false;
    }
  }
  touched = true;
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::ftruncate(fd, static_cast<off_t>(data.size())) != 0) return false;
  return ::fdatasync(fd) == 0 || errno == EINVAL;
}

bool writeAllTo(int fd, std::string_view data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool readAllFrom(int fd, std::string& out) {
  out.clear();
  char buf[65536];
  off_t offset = 0;
  for (;;) {
    ssize_t n = ::pread(fd, buf, sizeof buf, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(buf, static_cast<size_t>(n));
    offset += n;
  }
}

// The journal of an unfinished save: a hidden file beside the data file. Its first line names
// the file (by inode, so a journal left behind by a crash never applies to a file created
// later under the same name) and the length of the content that follows.
std::filesystem::path journalPath(const std::filesystem::path& file) {
  return file.parent_path() / ("." + file.filename().string() + "~journal");
}

std::string journalHeader(ino_t ino, size_t length) {
  return "ks-journal " + std::to_string(static_cast<unsigned long long>(ino)) + " " +
         std::to_string(length) + "\n";
}

// The content of a complete journal written for the file open as `fd`.
bool readJournal(const std::filesystem::path& file, int fd, std::string& content) {
  struct stat sb {};
  if (::fstat(fd, &sb) != 0) return false;
  int jfd = ::open(journalPath(file).c_str(), O_RDONLY | O_CLOEXEC);
  if (jfd < 0) return false;
  std::string bytes;
  const bool read = readAllFrom(jfd, bytes);
  ::close(jfd);
  const size_t eol = bytes.find('\n');
  if (!read || eol == std::string::npos) return false;
  unsigned long long ino = 0, length = 0;
  if (std::sscanf(bytes.c_str(), "ks-journal %llu %llu", &ino, &length) != 2) return false;
  if (ino != static_cast<unsigned long long>(sb.st_ino) || length != bytes.size() - eol - 1)
    return false;
  content = bytes.substr(eol + 1);
  return true;
}

FolderSyncObserver folderSyncObserver = nullptr;
thread_local int lastWriteErrno = 0;

// Makes a rename in `folder` durable: without it a power cut can forget the rename, although the
// renamed file's content was synced.
void syncFolder(const std::filesystem::path& folder) {
  const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  ::fsync(dfd);
  ::close(dfd);
  if (folderSyncObserver) folderSyncObserver(folder);
}

// The journal while it is written. One name per file, so a writer killed while writing it leaves
// no file behind that nobody would remove: the next save of the file writes over it.
std::filesystem::path journalDraftPath(const std::filesystem::path& file) {
  return journalPath(file).string() + ".new";
}

// Holds the whole draft for its writer; a draft nobody holds belongs to a writer that is gone.
bool lockDraft(int fd, short type, int command) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  return fcntl(fd, command, &fl) == 0 && (command != F_OFD_GETLK || fl.l_type == F_UNLCK);
}

enum class Journal {
  Written,
  // Not written, for a reason that says nothing about the disk: the folder lets us write the
  // file but create nothing beside it, or another writer of the file is writing its draft.
  Skipped,
  Failed,  // errno holds the cause; the disk cannot take the new content
};

// Puts `data` beside the file as its journal: written whole and synced as a draft, then renamed,
// so a journal is either complete or absent.
Journal writeJournal(const std::filesystem::path& file, int fd, std::string_view data) {
  struct stat sb {};
  if (::fstat(fd, &sb) != 0) return Journal::Failed;
  const std::filesystem::path journal = journalPath(file);
  const std::filesystem::path draft = journalDraftPath(file);
  // The journal holds the file's content: no one may read it who may not read the file.
  int dfd = ::open(draft.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, sb.st_mode & 0777);
  if (dfd < 0) {
    return errno == EACCES || errno == EPERM || errno == EROFS ? Journal::Skipped : Journal::Failed;
  }
  // Another writer's draft, or one that became a journal meanwhile, is left alone.
  struct stat own {
  }, named{};
  const bool mine = lockDraft(dfd, F_WRLCK, F_OFD_SETLK) && ::fstat(dfd, &own) == 0 &&
                    ::stat(draft.c_str(), &named) == 0 && own.st_ino == named.st_ino;
  if (!mine) {
    ::close(dfd);
    return Journal::Skipped;
  }
  const bool ok = ::ftruncate(dfd, 0) == 0 &&
                  writeAllTo(dfd, journalHeader(sb.st_ino, data.size())) && writeAllTo(dfd, data) &&
                  (::fdatasync(dfd) == 0 || errno == EINVAL) &&
                  ::rename(draft.c_str(), journal.c_str()) == 0;
  const int cause = errno;
  if (!ok) ::unlink(draft.c_str());
  ::close(dfd);
  if (!ok) {
    errno = cause;
    return Journal::Failed;
  }
  syncFolder(journal.parent_path());
  return Journal::Written;
}

// A writer that finds the journal of a save that never finished completes that save.
void finishUnfinishedSave(const std::filesystem::path& file, int fd) {
  const std::filesystem::path draft = journalDraftPath(file);
  if (int dfd = ::open(draft.c_str(), O_RDONLY | O_CLOEXEC); dfd >= 0) {
    if (lockDraft(dfd, F_WRLCK, F_OFD_GETLK)) ::unlink(draft.c_str());
    ::close(dfd);
  }
  const std::filesystem::path journal = journalPath(file);
  if (::access(journal.c_str(), F_OK) != 0) return;
  std::string pending;
  bool touched = false;
  if (!readJournal(file, fd, pending)) {
    ::unlink(journal.c_str());  // left behind for an earlier file of that name, or torn
  } else if (writeInPlace(fd, pending, touched)) {
    ::unlink(journal.c_str());
  }
}

}  // namespace

void setFolderSyncObserver(FolderSyncObserver observer) {
  folderSyncObserver = observer;
}

SharedFile::~SharedFile() {
  close();
}

SharedFile::SharedFile(SharedFile&& other) noexcept
    : fd_(other.fd_), access_(other.access_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    access_ = other.access_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

SharedFile SharedFile::open(const std::filesystem::path& path, FileAccess access, FileShare share,
                            bool create, OpenStatus* status, unsigned createMode) {
  OpenStatus dummy;
  OpenStatus& st = status ? *status : dummy;
  int flags = (access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (create) flags |= O_CREAT;
  int fd = ::open(path.c_str(), flags, static_cast<mode_t>(createMode & 07777));
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
  std::error_code ec;
  file.path_ = std::filesystem::absolute(path, ec);
  if (ec) file.path_ = path;
  if (writes) finishUnfinishedSave(file.path_, fd);
  st = OpenStatus::Ok;
  return file;
}

bool SharedFile::readAll(std::string& out) const {
  out.clear();
  if (fd_ < 0) return false;
  // A writer is saving, or was killed while saving: its journal holds the new content whole.
  if (!path_.empty() && readJournal(path_, fd_, out)) return true;
  return readAllFrom(fd_, out);
}

bool SharedFile::writeWhole(std::string_view data) {
  if (fd_ < 0 || access_ != FileAccess::ReadWrite) return false;
  // Without a journal (a folder we may not create files in) the write is still never a
  // truncation first, only no longer proof against a kill half-way. A journal the disk cannot
  // take fails the write: that disk would most likely cut the file half-way too.
  const Journal journal = path_.empty() ? Journal::Skipped : writeJournal(path_, fd_, data);
  if (journal == Journal::Failed) {
    lastWriteErrno = errno;
    return false;
  }
  const bool journaled = journal == Journal::Written;
  bool touched = false;
  const bool ok = writeInPlace(fd_, data, touched);
  lastWriteErrno = ok ? 0 : errno;
  // A failure that left the old content untouched must not let readers see the new one; one
  // that overwrote part of it leaves the journal, so readers get the new content whole.
  if (journaled && (ok || !touched)) ::unlink(journalPath(path_).c_str());
  return ok;
}

void SharedFile::close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

std::string takeWriteFailure() {
  const int e = lastWriteErrno;
  lastWriteErrno = 0;
  return e == 0 ? std::string() : std::string(std::strerror(e));
}

unsigned privateFileMode(const std::filesystem::path& folder) {
  struct stat sb {};
  const bool shared =
      ::stat(folder.empty() ? "." : folder.c_str(), &sb) == 0 && (sb.st_mode & (S_IWGRP | S_ISGID));
  return shared ? 0660 : 0600;
}

bool readWholeFile(const std::filesystem::path& path, std::string& out) {
  SharedFile f = SharedFile::open(path, FileAccess::Read, FileShare{true, true}, false);
  return f.isOpen() && f.readAll(out);
}

bool writeWholeFile(const std::filesystem::path& path, std::string_view data) {
  OpenStatus status = OpenStatus::Ok;
  SharedFile f =
      SharedFile::open(path, FileAccess::ReadWrite, FileShare{true, false}, true, &status);
  if (!f.isOpen()) {
    // The cause is told as for a write that failed.
    const int cause = errno;
    lastWriteErrno = status == OpenStatus::SharingViolation ? EBUSY
                     : status == OpenStatus::AccessDenied   ? EACCES
                     : cause != 0                           ? cause
                                                            : EIO;
    return false;
  }
  return f.writeWhole(data);
}

}  // namespace ks
