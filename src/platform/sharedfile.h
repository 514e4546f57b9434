// Files opened with Windows-style sharing: an opener states what it does (read, write) and what it
// allows others (read, write); an incompatible open fails like a sharing violation. Emulated with
// open-file-description locks on four bytes far past the data, which work across processes and,
// on NFSv4/lockd and SMB, across computers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ks {

enum class FileAccess { Read, ReadWrite };

struct FileShare {
  bool read = true;   // others may read
  bool write = true;  // others may write
};

enum class OpenStatus { Ok, NotFound, SharingViolation, AccessDenied, Failed };

class SharedFile {
 public:
  SharedFile() = default;
  ~SharedFile();
  SharedFile(SharedFile&& other) noexcept;
  SharedFile& operator=(SharedFile&& other) noexcept;
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;

  // Opens `path`; with `create` a missing file is created (`createMode` less the umask).
  static SharedFile open(const std::filesystem::path& path, FileAccess access, FileShare share,
                         bool create, OpenStatus* status = nullptr, unsigned createMode = 0666);

  bool isOpen() const { return fd_ >= 0; }
  bool writable() const { return access_ == FileAccess::ReadWrite; }
  int fd() const { return fd_; }

  // Reads the whole file from its start (the pending content of an unfinished save, when one
  // was left behind).
  bool readAll(std::string& out) const;
  // Replaces the whole content without ever truncating first: reserve the space, write at
  // offset 0, cut to the new length, sync. A full disk fails before anything is overwritten.
  // The new content is first put beside the file as a complete journal, removed afterwards, so a
  // writer killed half-way leaves readers the new content whole, never a mix of old and new.
  bool writeWhole(std::string_view data);
  void close();

 private:
  int fd_ = -1;
  FileAccess access_ = FileAccess::Read;
  std::filesystem::path path_;
};

// Called with the folder each time a save has synced one after renaming in it (tests watch it).
using FolderSyncObserver = void (*)(const std::filesystem::path& folder);
void setFolderSyncObserver(FolderSyncObserver observer);

// Why this thread's last whole write failed, in the system's words ("No space left on device"),
// and forgets it; "" when it succeeded.
std::string takeWriteFailure();

// The mode for a file only its owner should read, created in `folder`: 0600, or 0660 where the
// folder is shared through its group (writable by the group, or set-group-ID), so the group's
// programs still read it. Never readable by everyone.
unsigned privateFileMode(const std::filesystem::path& folder);

// Reads a whole file (shared reading). False when it cannot be opened or read.
bool readWholeFile(const std::filesystem::path& path, std::string& out);
// Replaces or creates a file by the safe whole-file write, denying other writers meanwhile. A
// file that cannot be opened fails as a write does (takeWriteFailure tells why).
bool writeWholeFile(const std::filesystem::path& path, std::string_view data);

}  // namespace ks
