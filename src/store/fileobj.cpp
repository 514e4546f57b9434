#include "store/fileobj.h"

#include <algorithm>
#include <filesystem>

#include "platform/paths.h"
#include "store/binio.h"
#include "text/fields.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr size_t kMaxShortText = 255;
constexpr size_t kWrittenLineMax = 250;
constexpr size_t kBlockSize = 256;

std::string cut255(std::string text) {
  if (text.size() > kMaxShortText) text.resize(kMaxShortText);
  return text;
}

void descramble(std::string& text, bool keepLineBreaks) {
  for (char& c : text) {
    if (keepLineBreaks && (c == '\r' || c == '\n')) continue;
    c = static_cast<char>(static_cast<unsigned char>(c) ^ kScrambleMask);
  }
}

}  // namespace

std::string scrambleText(std::string_view text) {
  std::string out(text);
  descramble(out, false);
  return out;
}

bool scramblable(std::string_view line) {
  return line.find_first_of("QV\\") == std::string_view::npos;
}

std::string textFileLine(std::string_view text) {
  std::string line(text.substr(0, kWrittenLineMax));
  line += "\r\n";
  return line;
}

TFile::~TFile() {
  if (open_) Close();
}

int TFile::Close() {
  if (status_ == fsClosed || status_ == fsOpenFailed) return status_;
  bool ok = true;
  if (open_ && dirty_) ok = handle_.writeWhole(data_);
  handle_.close();
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
  open_ = dirty_ = false;
  status_ = ok ? fsClosed : fsCloseFailed;
  return status_;
}

void TFile::reset(const std::string& path) {
  handle_.close();
  data_.clear();
  pos_ = 0;
  open_ = dirty_ = false;
  scrambled_ = false;
  fileName_ = path;
  version_.clear();
  longDesc_.clear();
  description_.clear();
  author_.clear();
  notice_.clear();
  language_.clear();
  durationList_.clear();
  size_ = -1;
}

int TFile::openLocal(const std::string& path, FileAccess access, FileShare share, bool create) {
  std::string slashed = path;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const std::filesystem::path resolved = resolveCaseInsensitive(std::filesystem::path(slashed));
  OpenStatus st = OpenStatus::Failed;
  handle_ = SharedFile::open(resolved, access, share, create, &st);
  if (handle_.isOpen()) return fsOk;
  return st == OpenStatus::NotFound ? fsNotFound : fsOpenFailed;
}

bool TFile::loadAll() {
  return handle_.readAll(data_);
}

int TFile::failOpen(int status) {
  handle_.close();
  data_.clear();
  open_ = false;
  size_ = -1;
  status_ = status;
  return status;
}

int TFile::opened() {
  open_ = true;
  pos_ = 0;
  size_ = static_cast<int64_t>(data_.size());
  status_ = fsOk;
  return fsOk;
}

bool TFile::applyHeaderLine(std::string_view line, bool textFile) {
  const std::string_view t = trimBlanks(line);
  if (t.empty() || t[0] != '$' || startsWithText(t, "$end")) return false;
  const std::vector<std::string> fields = splitFields(t);
  const std::string name = lowerCase(trimBlanks(fields[0]));
  const std::string value = fields.size() > 1 ? fields[1] : std::string();
  if (name == "$version") {
    version_ = cut255(value);
  } else if (name == "$copyright") {
    notice_ = cut255(value);
  } else if (name == "$longdesc") {
    longDesc_ = cut255(value);
  } else if (name == "$description") {
    description_ = value;
  } else if (name == "$author") {
    author_ = cut255(value);
  } else if (name == "$fileformat") {
    scrambled_ = sameText(trimBlanks(value), "crypted");
  } else if (name == "$durationlist" && textFile) {
    durationList_ = value;
  } else if (name == "$language" && !textFile) {
    language_ = upperCase(cut255(value));
  }
  return true;
}

void TFile::readHeader(int maxLines, bool textFile) {
  for (int i = 0; i < maxLines && pos_ < data_.size(); ++i) {
    const size_t start = pos_;
    std::string line;
    nextLine(line);
    if (!applyHeaderLine(line, textFile)) {
      pos_ = start;
      return;
    }
  }
}

bool TFile::nextLine(std::string& line) {
  line.clear();
  if (pos_ >= data_.size()) return false;
  const size_t end = data_.find_first_of("\r\n", pos_);
  bool ended = end != std::string::npos;
  if (!ended) {
    line = data_.substr(pos_);
    pos_ = data_.size();
  } else {
    line = data_.substr(pos_, end - pos_);
    const bool crlf = data_[end] == '\r' && end + 1 < data_.size() && data_[end + 1] == '\n';
    pos_ = end + (crlf ? 2 : 1);
  }
  if (scrambled_) descramble(line, false);
  return ended;
}

std::string TFile::takeRest() {
  std::string rest = pos_ < data_.size() ? data_.substr(pos_) : std::string();
  pos_ = std::max(pos_, data_.size());
  if (scrambled_) descramble(rest, true);
  return rest;
}

bool TFile::readBytes(size_t n, std::string& out) {
  out.clear();
  if (!open_) {
    status_ = fsReadError;
    return false;
  }
  const size_t available = pos_ < data_.size() ? data_.size() - pos_ : 0;
  const size_t got = std::min(n, available);
  if (got > 0) out = data_.substr(pos_, got);
  pos_ += got;
  if (got < n) {
    status_ = fsEnd;
    return false;
  }
  return true;
}

bool TFile::readInt32(int32_t& value) {
  std::string bytes;
  const bool ok = readBytes(4, bytes);
  value = ok ? getInt32LE(bytes) : 0;
  return ok;
}

bool TFile::readInt16(int32_t& value) {
  std::string bytes;
  const bool ok = readBytes(2, bytes);
  value = ok ? getInt16LE(bytes) : 0;
  return ok;
}

bool TFile::readShortString(std::string& out, int maxLen) {
  const int max = std::clamp(maxLen, 0, 255);
  std::string field;
  const bool ok = readBytes(static_cast<size_t>(max) + 1, field);
  out = decodeShortString(field, max);
  return ok;
}

bool TFile::readWideString(std::string& out, int maxLen) {
  const int max = std::clamp(maxLen, 0, 255);
  std::string field;
  const bool ok = readBytes((static_cast<size_t>(max) + 1) * 2, field);
  out = decodeWideString(field, max);
  return ok;
}

bool TFile::readBlocks(std::string& out, size_t n) {
  out.clear();
  while (n > 0) {
    const size_t piece = std::min(n, kBlockSize);
    std::string block;
    const bool ok = readBytes(piece, block);
    out += decodeShortString(block, static_cast<int>(piece) - 1);
    if (!ok) return false;
    n -= piece;
  }
  return true;
}

}  // namespace ks
