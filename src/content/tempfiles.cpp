#include "content/tempfiles.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"

namespace ks {
namespace {

constexpr std::string_view kPrefix = "ksreview-";
// Course lines are read up to 255 characters; a temporary path must leave room for the rest of
// an event line.
constexpr size_t kMaxRootLength = 120;

bool usableRoot(const std::filesystem::path& root) {
  const std::string text = root.string();
  if (!root.is_absolute() || text.size() > kMaxRootLength) return false;
  if (text.find_first_of(";=%\r\n") != std::string::npos) return false;
  // The path is written into a Windows-1252 course file and read back from it.
  if (pathFrom1252(pathTo1252(root)) != root) return false;
  std::error_code ec;
  return std::filesystem::is_directory(root, ec);
}

// The program that made a review folder, from its name "ksreview-<pid>-XXXXXX"; 0 when the
// name is not one of ours.
pid_t folderOwnerPid(const std::string& name) {
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return 0;
  const size_t dash = name.find('-', kPrefix.size());
  if (dash == std::string::npos || dash == kPrefix.size() || dash - kPrefix.size() > 9) return 0;
  pid_t pid = 0;
  for (size_t i = kPrefix.size(); i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::filesystem::path reviewTempRoot() {
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp != '\0') {
    std::filesystem::path root = std::filesystem::path(tmp).lexically_normal();
    if (root.has_filename() == false && root.has_parent_path()) root = root.parent_path();
    if (usableRoot(root)) return root;
  }
  return "/tmp";
}

int removeStaleReviewFolders(const std::filesystem::path& rootIn) {
  const std::filesystem::path root = rootIn.empty() ? reviewTempRoot() : rootIn;
  std::error_code ec;
  std::filesystem::directory_iterator it(root, ec);
  if (ec) return 0;
  int removed = 0;
  for (const auto& entry : it) {
    const pid_t pid = folderOwnerPid(entry.path().filename().string());
    if (pid <= 0 || pid == ::getpid()) continue;
    struct stat st {};
    // Only real folders of this user; never follow a link someone else planted.
    if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::getuid()) {
      continue;
    }
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // still running (or not ours to ask)
    std::error_code rmError;
    if (std::filesystem::remove_all(entry.path(), rmError) > 0 && !rmError) ++removed;
  }
  return removed;
}

TempFileSet::TempFileSet(std::filesystem::path root) : root_(std::move(root)) {}

TempFileSet::~TempFileSet() {
  Clear();
}

bool TempFileSet::makeFolder() {
  if (!folder_.empty()) return true;
  const std::filesystem::path root = root_.empty() ? reviewTempRoot() : root_;
  removeStaleReviewFolders(root);
  std::string pattern =
      (root / (std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  folder_ = pattern;
  return true;
}

std::filesystem::path TempFileSet::Create(const std::string& stem, const std::string& suffix,
                                          std::string_view content) {
  if (!makeFolder()) return {};
  std::string pattern = (folder_ / (stem + "XXXXXX" + suffix)).string();
  const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return {};
  const bool written = writeAll(fd, content);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(pattern.c_str());
    return {};
  }
  files_.emplace_back(pattern);
  return files_.back();
}

void TempFileSet::Clear() {
  std::error_code ec;
  for (const auto& file : files_) std::filesystem::remove(file, ec);
  files_.clear();
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  folder_.clear();
}

}  // namespace ks
