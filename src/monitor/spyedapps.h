// The programs a learner's typing was seen in, each with a switch saying whether typing there
// is analysed. Kept in the learner's ".SET" file as fixed 772-byte records.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/user.h"

namespace ks {

class TAppSettings {
 public:
  TAppSettings(bool monitored, std::string name)
      : monitored(monitored), name(name), description(std::move(name)) {}

  bool monitored;
  std::string name;  // upper case; the list key
  bool hidden = false;
  std::string description;  // at most 255 characters
  std::string path;         // folder with trailing "/"; empty for built-in entries
  std::array<uint32_t, 11> pids{};
  int position = 0;  // the slot last written

  // Holds `pid` in slots 0 to position.
  bool holds(uint32_t pid) const;
  static constexpr size_t RecordSize = 772;
  void writeRecord(std::string& out) const;
  // Reads one record at `at` (RecordSize bytes there).
  static std::unique_ptr<TAppSettings> readRecord(std::string_view bytes, size_t at);
};

class TSpyedApps final : public UserAppList {
 public:
  // Reads `file`; false when it cannot be read (the list is then empty). A size that is no
  // whole number of records is reported and the whole records are kept.
  bool loadApps(const std::filesystem::path& file);
  // Replaces the file's content at once (never a half file); false when it could not be written.
  bool saveApps(const std::filesystem::path& file) const;
  void add(bool monitored, std::string_view name, bool hidden, std::string_view path,
           std::string_view description);
  // -1 when no entry has the name, 1 when it is monitored, 0 when not.
  int find(std::string_view name) const;
  TAppSettings* entry(std::string_view name);
  // The first entry holding `pid`; none for 0.
  TAppSettings* findByProcess(uint32_t pid);
  bool setPID(uint32_t pid, std::string_view name);
  static bool clearProcess(TAppSettings& entry, uint32_t pid);
  bool updateSpyedState(std::string_view name, bool monitored);
  // Whether one of the entry's processes still runs that program (pids are reused).
  static bool running(const TAppSettings& entry);

  const std::vector<std::unique_ptr<TAppSettings>>& entries() const { return entries_; }
  uint32_t CurrentProcess = 0;

  // The learner's list as the store opens and closes it.
  bool Load(const std::filesystem::path& file) override { return loadApps(file); }
  void AddDefaults() override;
  bool Save(const std::filesystem::path& file) override { return saveApps(file); }

 private:
  std::vector<std::unique_ptr<TAppSettings>> entries_;
  bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
};

// Makes every learner the store opens carry a monitored list.
void installSpyedAppsFactory();

}  // namespace ks
