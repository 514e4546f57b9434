// Named locks in place of named mutexes: "is the tutor running?", "is the monitor running?".
// A lock file per name in the user's runtime folder holds an open-file-description lock; the
// kernel drops it when the holder ends, however it ends.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

// The user's private runtime folder for locks and sockets: $XDG_RUNTIME_DIR/keyscholar, else
// /tmp/keyscholar-<uid>. Created 0700; refused (empty path) when it exists but is not a real
// folder of ours with that mode.
std::filesystem::path runtimeFolder();

class InstanceLock {
 public:
  explicit InstanceLock(std::string name) : name_(std::move(name)) {}
  ~InstanceLock() { release(); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock; false when another process holds it (or the folder is unusable).
  bool acquire();
  void release();
  bool held() const { return fd_ >= 0; }

  // True when some process holds the named lock (this one's own hold counts too).
  static bool isHeld(const std::string& name);

 private:
  std::string name_;
  int fd_ = -1;
};

}  // namespace ks
