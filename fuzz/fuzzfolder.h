// What every fuzz target shares: the input goes through a real file, read by the same code the
// programs run, in a folder of this process that starts empty for every input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>

#include "platform/dialogs.h"

namespace ks::fuzz {

// Boxes cost a write to standard error each: thousands a second would only slow the run.
class QuietDialogs final : public Dialogs {
 public:
  bool messageBox(const std::string&, const std::string&, BoxKind) override { return false; }
};

class FuzzFolder {
 public:
  FuzzFolder() {
    // Memory-backed when the system has it: the targets write files for every input.
    const char* shm = "/dev/shm";
    std::filesystem::path base = ::access(shm, W_OK) == 0 ? std::filesystem::path(shm)
                                                          : std::filesystem::temp_directory_path();
    std::string pattern = (base / "ksfuzz.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    setDialogs(&dialogs_);
  }
  ~FuzzFolder() {
    setDialogs(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;

  // Empties the folder of what the previous input left.
  void clear() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ec))
      std::filesystem::remove_all(entry.path(), ec);
  }
  std::filesystem::path write(const std::string& name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
  QuietDialogs dialogs_;
};

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Two files from one input: the part before the first "\n--\n" and the part after it.
inline std::pair<std::string_view, std::string_view> splitInput(std::string_view in) {
  const size_t at = in.find("\n--\n");
  if (at == std::string_view::npos) return {in, {}};
  return {in.substr(0, at), in.substr(at + 4)};
}

}  // namespace ks::fuzz
