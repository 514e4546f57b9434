#include "platform/instancelock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace ks {
namespace {

bool usableFolder(const fs::path& dir) {
  struct stat sb {};
  if (::lstat(dir.c_str(), &sb) != 0) {
    if (::mkdir(dir.c_str(), 0700) != 0) return false;
    if (::lstat(dir.c_str(), &sb) != 0) return false;
  }
  return S_ISDIR(sb.st_mode) && sb.st_uid == ::getuid() && (sb.st_mode & 0077) == 0;
}

fs::path lockPath(const std::string& name) {
  fs::path dir = runtimeFolder();
  return dir.empty() ? fs::path() : dir / (name + ".lock");
}

struct flock wholeLock(short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 1;
  return fl;
}

}  // namespace

fs::path runtimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  fs::path base = xdg && *xdg ? fs::path(xdg) / "keyscholar"
                              : fs::path("/tmp") / ("keyscholar-" + std::to_string(::getuid()));
  return usableFolder(base) ? base : fs::path();
}

bool InstanceLock::acquire() {
  if (fd_ >= 0) return true;
  fs::path path = lockPath(name_);
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct flock fl = wholeLock(F_WRLCK);
  if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::release() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

bool InstanceLock::isHeld(const std::string& name) {
  fs::path path = lockPath(name);
  if (path.empty()) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl = wholeLock(F_WRLCK);
  bool held = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

}  // namespace ks
