#include "store/typedtexts.h"

#include <algorithm>

#include "store/binio.h"
#include "store/errors.h"
#include "store/recordbytes.h"

namespace ks {
namespace {

constexpr int kHeaderWords = 5;
constexpr int32_t kFormat = 4;
constexpr int32_t kOldFormat = 3;
// The smallest stored pair: two 2-byte lengths and two length bytes.
constexpr int kSmallestPair = 6;

std::string_view cut255(std::string_view text) {
  return text.substr(0, std::min<size_t>(text.size(), 255));
}

bool readLine(TRecFile& f, std::string& text) {
  int32_t length = 0;
  if (!f.ReadInt16(length)) return false;
  return f.ReadShortString(text, std::clamp(length, 0, 255));
}

}  // namespace

void TTypedTexts::Add(std::string_view target, std::string_view typed) {
  target = cut255(target);
  typed = cut255(typed);
  pairs_.push_back(
      {std::string(target), typed == target ? std::string(1, SameAsTarget) : std::string(typed)});
}

std::string TTypedTexts::TypedLine(int index) const {
  const Pair& p = pairs_.at(static_cast<size_t>(index));
  return p.Typed == std::string(1, SameAsTarget) ? p.Target : p.Typed;
}

int TTypedTexts::Save(const std::string& path) const {
  std::string bytes;
  for (int i = 0; i < kHeaderWords; ++i) putInt32LE(bytes, kFormat);
  putInt32LE(bytes, static_cast<int32_t>(pairs_.size()));
  for (const Pair& p : pairs_) {
    for (const std::string& line : {p.Target, p.Typed}) {
      const std::string_view text = cut255(line);
      putInt16LE(bytes, static_cast<int16_t>(text.size()));
      bytes += encodeShortString(text, static_cast<int>(text.size()));
    }
  }
  // The new content replaces the old one whole; a failed save keeps the old file.
  TRecordBytes f;
  const int opened = f.OpenRecords(path, TRecFile::raCreate, TRecFile::rsExclusive);
  if (opened != fsOk) {
    ReportError(opened, "File Open failed TypedText.Save, file=" + path);
    return opened;
  }
  f.ReplaceContent(std::move(bytes));
  const int closed = f.Close();
  if (closed != fsClosed) {
    ReportError(closed, "Data Write error in TypedText.Save, file=" + path);
    return closed;
  }
  return fsOk;
}

int TTypedTexts::Load(const std::string& path) {
  pairs_.clear();
  TRecFile f;
  const int opened = f.OpenRecords(path, TRecFile::raOpen, TRecFile::rsExclusive);
  if (opened != fsOk) return opened;
  int32_t first = 0;
  if (!f.ReadInt32(first)) {
    ReportError(f.status(), "Data Reading error or EOF in TypedText.Load, file=" + path);
    return f.status();
  }
  if (first == kOldFormat) return fsOk;
  int32_t word = 0;
  for (int i = 1; i < kHeaderWords; ++i) f.ReadInt32(word);
  int32_t count = 0;
  if (!f.ReadInt32(count)) {
    ReportError(f.status(), "Data Reading error or EOF in TypedText.Load, file=" + path);
    return f.status();
  }
  // A damaged count never makes the list larger than the file can hold.
  const int64_t room = (f.size() - static_cast<int64_t>(f.position())) / kSmallestPair;
  count = static_cast<int32_t>(std::clamp<int64_t>(count, 0, room));
  for (int i = 0; i < count; ++i) {
    Pair p;
    if (!readLine(f, p.Target) || !readLine(f, p.Typed)) {
      ReportError(f.status(), "Data Read error in TypedText.Load, file=" + path);
      return f.status() == fsOk ? fsEnd : f.status();
    }
    pairs_.push_back(std::move(p));
  }
  return fsOk;
}

}  // namespace ks
