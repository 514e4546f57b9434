// The data file classes: one status scheme, an optional "$" header and optional character
// scrambling, shared by text files, byte streams (local or over HTTP) and record files.
//
// Paths are native (UTF-8) strings; backslashes become "/" and the name is found ignoring letter
// case. Every class reads the file into memory when it opens it and keeps the handle (with its
// sharing) until Close. Content that replaces a file (a created text file, a record file) is
// written whole at Flush or Close, so a crash never leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sharedfile.h"

namespace ks {

// Status values; the same numbers are error-log codes.
enum FileStatus : int {
  fsOk = 1,
  fsEnd = 0,  // end of data, or a read got fewer bytes than asked
  fsClosed = 2,
  fsNotFound = -1,  // also: the download failed
  fsOpenFailed = -2,
  fsAlreadyOpen = -3,
  fsWriteError = -5,
  fsCloseFailed = -6,
  fsReadError = -7,
};

// Scrambled files are produced outside the programs: every byte of a body line is combined with
// this mask by exclusive-or. The transform is its own inverse.
inline constexpr unsigned char kScrambleMask = 0x5C;
std::string scrambleText(std::string_view text);
// True when a line survives scrambling as one line: "Q", "V" and "\" would turn into CR, LF, NUL.
bool scramblable(std::string_view line);

// A line as text files are written: at most 250 characters, then CR LF.
std::string textFileLine(std::string_view text);

class TFile {
 public:
  virtual ~TFile();
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  // Writes pending content back and releases the file: 2, or -6 when that failed. Nothing
  // happens when the status is 2 or -2.
  int Close();

  int status() const { return status_; }
  bool isOpen() const { return open_; }
  bool scrambled() const { return scrambled_; }
  const std::string& fileName() const { return fileName_; }
  const std::string& version() const { return version_; }
  const std::string& longDesc() const { return longDesc_; }
  const std::string& description() const { return description_; }
  const std::string& author() const { return author_; }
  const std::string& notice() const { return notice_; }
  const std::string& language() const { return language_; }
  // Bytes in the file when it was opened; -1 when the open failed.
  int64_t size() const { return size_; }
  size_t position() const { return pos_; }

 protected:
  TFile() = default;

  // Forgets the previous file and its header; the status is left to the caller.
  void reset(const std::string& path);
  // Opens a local file into `handle_`; 1, -1 (missing) or -2.
  int openLocal(const std::string& path, FileAccess access, FileShare share, bool create);
  // Reads the whole file into `data_`; false on a read error.
  bool loadAll();
  int failOpen(int status);
  int opened();

  // Reads header lines from the position; a line that ends the header is left for the body.
  void readHeader(int maxLines, bool textFile);
  // The next line (ended by CR LF, CR or LF), descrambled. False when it had no line end.
  bool nextLine(std::string& line);
  // Everything from the position on, descrambled except CR and LF.
  std::string takeRest();

  // Binary reads at the position. A short read sets 0, a read on a closed file -7.
  bool readBytes(size_t n, std::string& out);
  bool readInt32(int32_t& value);
  bool readInt16(int32_t& value);  // signed, widened
  bool readShortString(std::string& out, int maxLen);
  bool readWideString(std::string& out, int maxLen);
  // `n` bytes of consecutive 256-byte blocks, each a length-prefixed text; the texts joined.
  bool readBlocks(std::string& out, size_t n);

  SharedFile handle_;
  std::string data_;
  size_t pos_ = 0;
  bool open_ = false;
  bool dirty_ = false;  // data_ replaces the file at Close
  int status_ = fsClosed;
  std::string durationList_;

 private:
  bool applyHeaderLine(std::string_view line, bool textFile);

  bool scrambled_ = false;
  std::string fileName_;
  std::string version_;
  std::string longDesc_;
  std::string description_;
  std::string author_;
  std::string notice_;
  std::string language_;
  int64_t size_ = -1;
};

// Line-oriented text through an operating-system handle.
class TTextFile : public TFile {
 public:
  enum : int { tmRead = 1, tmCreate = 2, tmAppend = 3 };

  // Read: the file must exist (else -1), others may only read, the header (15 lines at most) is
  // parsed. Create: the content written replaces any old file at Close. Append: others may only
  // read; each line is added at the end at once. Returns the status.
  int OpenText(const std::string& path, int mode);
  // The next line; at the end an empty text and status 0. A last line without a line end also
  // sets status 0. False when nothing was read.
  bool ReadLine(std::string& out);
  // Everything left; status 0 when nothing was left.
  bool ReadRest(std::string& out);
  // Writes the first 250 characters and CR LF; -5 on failure.
  bool WriteLine(std::string_view text);

  const std::string& durationList() const { return durationList_; }
  bool hasVersion() const { return !version().empty(); }

 private:
  int mode_ = 0;
  uint64_t appendAt_ = 0;
};

// Text or binary data from a local file or a web address.
class TStreamFile : public TFile {
 public:
  // A path holding "http:/" (any case) is fetched; any status but 200 gives -1. Otherwise a local
  // file: mode 3 to write, 2 creating it when missing, else reading; others may read and write.
  // Unless `skipHeader`, the header (8 lines at most) is parsed. Returns the status.
  int OpenStream(const std::string& path, int mode = 1, bool skipHeader = false);
  // Every line of a local file, a "file:" URL or a web address; no header, no descrambling.
  // 1, or -1 when it cannot be opened or fetched.
  static int ReadAllLines(std::vector<std::string>& list, const std::string& path);

  // The next line; status 1, or 0 (and an empty text) at the end.
  bool ReadLineText(std::string& out);
  // As ReadLineText, cut to `maxLen` (at most 255).
  bool ReadLineShort(std::string& out, int maxLen = 255);
  bool ReadRest(std::string& out);
  bool AtEnd() const { return pos_ >= data_.size(); }

  bool ReadInt16(int32_t& value) { return readInt16(value); }
  bool ReadBytes(std::string& out, size_t n) { return readBytes(n, out); }
  bool ReadShortString(std::string& out, int maxLen) { return readShortString(out, maxLen); }
  bool ReadWideString(std::string& out, int maxLen) { return readWideString(out, maxLen); }
  void SeekRecord(int64_t index, int64_t recordSize);
};

// Fixed-size binary records.
class TRecFile : public TFile {
 public:
  enum : int { raOpen = 1, raOpenToo = 2, raCreate = 5 };
  enum : int { rsDenyWrite = -2, rsExclusive = -1, rsShared = 0 };

  // Access 1 or 2: the file must exist (else -1); sharing -2 reads with others allowed to read,
  // -1 reads and writes with no sharing, anything else reads and writes shared. Access 5: a new
  // content that replaces any old file. Returns the status.
  int OpenRecords(const std::string& path, int access, int sharing);

  bool ReadInt32(int32_t& value) { return readInt32(value); }
  bool ReadInt16(int32_t& value) { return readInt16(value); }
  bool ReadShortString(std::string& out, int maxLen) { return readShortString(out, maxLen); }
  bool ReadWideString(std::string& out, int maxLen) { return readWideString(out, maxLen); }
  bool ReadBlocks(std::string& out, size_t n) { return readBlocks(out, n); }

  // Writes are refused unless the status is 1 or 0; a failure sets -5.
  bool WriteInt32(int32_t value);
  bool WriteInt16(int16_t value);
  // The length byte and exactly the characters (at most 255).
  bool WriteShortString(std::string_view text);
  // The same text as a full 256-byte block, zeros after the characters.
  bool WriteShortBlock(std::string_view text);
  bool WriteWideString(std::string_view text, int maxLen);

  // Writes the content now: 1, or -5 (the file keeps its old content).
  int Flush();
  void SeekTo(int64_t offset);
  int RecordCount(int recordSize) const;
  bool ExactRecordCount(int recordSize, int& count) const;
  // Operating-system byte-range locks; true on success.
  bool LockRange(int64_t offset, int64_t length);
  bool UnlockRange(int64_t offset, int64_t length);

 private:
  bool put(std::string_view bytes);
};

}  // namespace ks
