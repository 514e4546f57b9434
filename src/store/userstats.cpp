// The learner's statistics file (".DTA"): a header, the lesson and monitor key statistics and
// the word list, read whole and written whole in one pass.
#include "platform/dialogs.h"
#include "platform/sharedfile.h"
#include "store/binio.h"
#include "store/damaged.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/recordbytes.h"
#include "store/user.h"
#include "text/numbers.h"

namespace ks {
namespace {

constexpr int kIgnoredWords = 6;
constexpr int32_t kIgnoredValue = 255;
constexpr int32_t kFormat = 6;  // older files (5) hold no monitor statistics

void resetStatistics(DifficultKeySets& keys, TWordList& words) {
  keys.LessonDifficulties.clearStatistics();
  keys.MonitorDifficulties.clearStatistics();
  words = TWordList{};
  // Counts as changed, so that the next save replaces what was on disk.
  words.Modified = true;
}

}  // namespace

void TUser::loadStatistics() {
  DifficultKeySets& keys = Difficulties();
  TWordList& words = Words();
  // Nothing of the learner opened before may stay behind, whatever the file holds.
  resetStatistics(keys, words);
  const std::string path = StatisticsPath().string();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  TRecordBytes file;
  const int status = file.OpenRecords(path, TRecFile::raOpen, TRecFile::rsExclusive);
  if (status < 0) throw UserOpenError("File error in LoadStatistics: " + intToStr(status));
  const std::string_view bytes = file.Bytes();
  if (bytes.empty()) return;
  size_t pos = (kIgnoredWords + 1) * 4;
  const int32_t format = bytes.size() < pos ? 0 : getInt32LE(bytes.substr(kIgnoredWords * 4));
  const bool known = format == kFormat || format == kFormat - 1;
  // Statistics that do not read start afresh; the next save would then write over the file, so a
  // learner who can change it gets a copy kept first.
  if (!known || !keys.LessonDifficulties.loadRecord(bytes, pos) ||
      (format == kFormat && !keys.MonitorDifficulties.loadRecord(bytes, pos))) {
    resetStatistics(keys, words);
    if (lockMode_ != ulRead) {
      const TLocalize& lang = Localize();
      KeepDamagedCopy(path, lang.GetString(known ? 2606 : 2607), lang.GetString(2610));
    }
    return;
  }
  words.Load(bytes, pos);
}

bool TUser::saveStatistics() {
  std::string bytes;
  for (int i = 0; i < kIgnoredWords; ++i) putInt32LE(bytes, kIgnoredValue);
  putInt32LE(bytes, kFormat);
  DifficultKeySets& keys = Difficulties();
  keys.LessonDifficulties.saveRecord(bytes);
  keys.MonitorDifficulties.saveRecord(bytes);
  // The whole table always, and the file ends with it: no stale words of an older, longer
  // table stay behind.
  Words().Save(bytes);

  const std::string path = StatisticsPath().string();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  TRecordBytes file;
  int status =
      file.OpenRecords(path, exists ? TRecFile::raOpen : TRecFile::raCreate, TRecFile::rsShared);
  if (status == fsOk) {
    file.ReplaceContent(std::move(bytes));
    status = file.Close() == fsClosed ? fsOk : file.status();
  }
  if (status != fsOk) {
    std::string text = "File error in SaveStatistics: " + intToStr(status);
    if (const std::string cause = takeWriteFailure(); !cause.empty()) text += " (" + cause + ")";
    dialogs().messageBox(text, Localize().GetStringDefault(1), BoxKind::Error);
    LogError(status, text + " " + path);
    return false;
  }
  Words().Modified = false;
  return true;
}

}  // namespace ks
