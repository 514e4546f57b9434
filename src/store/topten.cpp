#include "store/topten.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <thread>

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "store/errors.h"
#include "store/fileobj.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "text/dates.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr int kAttempts = 15;
constexpr int kPauseMs = 200;
constexpr int kWriteOpenFailed = -801;
constexpr int kReadOpenFailed = -802;

OpenRetry* installedRetry = nullptr;

// Whole days of a date: the day it falls on.
int32_t dayOf(double date) {
  if (!std::isfinite(date)) return 0;
  return static_cast<int32_t>(std::clamp(std::floor(date), -2147483648.0, 2147483647.0));
}

std::string cut255(const std::string& text) {
  return text.substr(0, std::min<size_t>(text.size(), 255));
}

}  // namespace

void OpenRetry::Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool OpenRetry::AskAgain(const std::string& question) {
  return dialogs().messageBox(question, Localize().GetStringDefault(1), BoxKind::Question);
}

OpenRetry& openRetry() {
  static OpenRetry fallback;
  return installedRetry ? *installedRetry : fallback;
}

void setOpenRetry(OpenRetry* retry) {
  installedRetry = retry;
}

TtopTen::TtopTen(std::string listName, std::filesystem::path folder, const Clock* clock,
                 OpenRetry* retry)
    : listName_(std::move(listName)),
      clock_(clock ? clock : &systemClock()),
      retry_(retry),
      entries_(MaxEntries) {
  if (folder.empty() && ProgramSettings) folder = ProgramSettings->dataPath();
  path_ = joinResolved(folder, listName_ + ".topten");
  Fresh();
}

void TtopTen::Fresh() {
  const std::string name = Localize().GetStringDefault(1);
  const double today = std::floor(clock_->now());
  for (int i = 1; i <= MaxEntries; ++i) {
    entries_[static_cast<size_t>(i - 1)] = {name, i <= 10 ? 1000 - 70 * i : 300 - 2 * i, today};
  }
  length_ = DefaultLength;
}

int TtopTen::open(TRecFile& file, int access, int sharing, bool forWrite) {
  OpenRetry& retry = retry_ ? *retry_ : openRetry();
  const std::string path = path_.string();
  const TLocalize& lang = Localize();
  for (;;) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      if (attempt > 0) retry.Pause(kPauseMs);
      const int status = file.OpenRecords(path, access, sharing);
      // Only a file held by someone else is worth waiting for.
      if (status != fsOpenFailed) return status;
    }
    if (!retry.AskAgain(lang.GetString(259) + lang.GetString(260))) break;
  }
  ReportError(forWrite ? kWriteOpenFailed : kReadOpenFailed, path + " Topten open failed.");
  return fsOpenFailed;
}

bool TtopTen::Load() {
  for (TopTenEntry& e : entries_) e = {"Nobody", 1, 0};
  TRecFile file;
  if (open(file, TRecFile::raOpen, TRecFile::rsDenyWrite, false) != fsOk) {
    Fresh();
    return false;
  }
  const int records = file.RecordCount(RecordSize);
  // A longer file than a list can hold is read as far as the list goes.
  if (records > 0) length_ = std::min(records, MaxEntries);
  for (int i = 0; i < length_; ++i) {
    TopTenEntry e;
    int32_t score = 0;
    int32_t day = 0;
    if (!file.ReadShortString(e.Name, 255) || !file.ReadInt32(score) || !file.ReadInt32(day)) break;
    e.Score = score;
    e.Date = day;
    entries_[static_cast<size_t>(i)] = std::move(e);
  }
  return true;
}

void TtopTen::LoadOrCreate() {
  if (!Load()) Save(DefaultLength);
}

bool TtopTen::Save(int length) {
  saveFailure_.clear();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path_, ec);
  TRecFile file;
  if (open(file, exists ? TRecFile::raOpen : TRecFile::raCreate, TRecFile::rsExclusive, true) !=
      fsOk) {
    saveFailure_ = "the list could not be opened";  // reported by open
    return false;
  }
  if (length > 0) length_ = std::min(length, MaxEntries);
  file.SeekTo(0);
  bool ok = true;
  for (int i = 0; i < length_ && ok; ++i) {
    const TopTenEntry& e = entries_[static_cast<size_t>(i)];
    ok = file.WriteShortBlock(cut255(e.Name)) && file.WriteInt32(e.Score) &&
         file.WriteInt32(dayOf(e.Date));
  }
  // Only a complete list reaches the file.
  takeWriteFailure();
  ok = ok && file.Flush() == fsOk;
  saveFailure_ = takeWriteFailure();
  ok = file.Close() == fsClosed && ok;
  if (ok) return true;
  if (saveFailure_.empty()) saveFailure_ = takeWriteFailure();
  if (saveFailure_.empty()) saveFailure_ = "the list could not be written";
  LogError(-5, path_.string() + " Topten save failed: " + saveFailure_);
  return false;
}

int TtopTen::Insert(int32_t score, const std::string& name) {
  const size_t last = static_cast<size_t>(length_ - 1);
  if (score < entries_[last].Score) return 0;
  entries_[last] = {cut255(name), score, clock_->now()};
  std::vector<size_t> order(static_cast<size_t>(length_));
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [this](size_t a, size_t b) { return entries_[a].Score > entries_[b].Score; });
  std::vector<TopTenEntry> sorted;
  int rank = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(entries_[order[i]]);
    if (order[i] == last) rank = static_cast<int>(i) + 1;
  }
  std::copy(sorted.begin(), sorted.end(), entries_.begin());
  return rank;
}

int TtopTen::CommitName(int32_t score, const std::string& name) {
  Load();
  const int rank = Insert(score, name.empty() ? Localize().GetString(137) : name);
  if (rank >= 1 && rank <= 10) Save();
  return rank;
}

void TtopTen::SetName(int index, const std::string& name) {
  entries_.at(static_cast<size_t>(index)).Name = cut255(name);
}

bool TtopTen::IsPlaceholder(int index) const {
  const TopTenEntry& e = entries_.at(static_cast<size_t>(index));
  if (e.Name == "Nobody" && e.Score == 1) return true;
  if (e.Name != Localize().GetStringDefault(1)) return false;
  for (int i = 1; i <= MaxEntries; ++i) {
    if (e.Score == (i <= 10 ? 1000 - 70 * i : 300 - 2 * i)) return true;
  }
  return false;
}

std::vector<std::string> TtopTen::DisplayLines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < length_; ++i) {
    const TopTenEntry& e = entries_[static_cast<size_t>(i)];
    const std::string name = e.Name.find(';') != std::string::npos ? "the Winner" : e.Name;
    lines.push_back(name + ";" + intToStr(e.Score) + ";" + shortDateText(e.Date));
  }
  return lines;
}

}  // namespace ks
