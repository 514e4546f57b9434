// Private temporary files of a review: a folder of its own (mode 0700) under $TMPDIR, named so
// that a later start can find and remove what a crashed run left behind. Their paths go into
// event lines, so the folder's path never holds ";", "=" or "%".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The folder temporary review folders are made in: $TMPDIR when its path can stand in an event
// line, else /tmp.
std::filesystem::path reviewTempRoot();

// Removes the review folders under `root` (default: reviewTempRoot()) of this user whose program
// is no longer running. Returns how many were removed.
int removeStaleReviewFolders(const std::filesystem::path& root = {});

class TempFileSet {
 public:
  // `root` empty: reviewTempRoot().
  explicit TempFileSet(std::filesystem::path root = {});
  // Deletes every file made and the folder.
  ~TempFileSet();
  TempFileSet(const TempFileSet&) = delete;
  TempFileSet& operator=(const TempFileSet&) = delete;

  // A new file "<stem>XXXXXX<suffix>" holding `content`; an empty path when it could not be
  // made or written (nothing is left behind then).
  std::filesystem::path Create(const std::string& stem, const std::string& suffix,
                               std::string_view content);
  // Deletes every file made so far and the folder.
  void Clear();

  const std::vector<std::filesystem::path>& Files() const { return files_; }
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  bool makeFolder();

  std::filesystem::path root_;
  std::filesystem::path folder_;
  std::vector<std::filesystem::path> files_;
};

}  // namespace ks
