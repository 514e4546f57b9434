#include "store/errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/dialogs.h"
#include "platform/paths.h"
#include "store/fileobj.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "text/dates.h"
#include "text/numbers.h"

namespace ks {
namespace {

struct ErrorEntry {
  int code;
  const char* text;
};

constexpr ErrorEntry kErrorTexts[] = {
    {0, "(0)"},
    {-1, "File not found"},
    {-2, "File open failed"},
    {-3, "File already open"},
    {-4, "out of memory for file"},
    {-5, "File write error"},
    {-6, "File close failed / write failed"},
    {-10, "out of file request"},
    {-11, "textfile field error"},
    {-88, "textfile row over 255 char"},
    {-89, "wrong file version"},
    {-500, "Error in Main-procedure"},
    {-501, "Error in Event"},
    {-802, " Time out while opening for write-denied read mode"},
    {-901, "Database files not found"},
    {-910, "Username already exists, new was not be created"},
    {-1001, "User bookmark vs. Chapter data overflow"},
    {-1052, "Contents detected error"},
    {-1095, "Contents file description invalid"},
    {-1202, "User bookmark vs. exercise data overflow"},
    {-1505, "Cannot open User database"},
    {-1517, "Warning: Wrong Userbase file version, size mitsmatch"},
    {-3321, "Problems in Difficult Keys event"},
    {-4000, "AppFrame.Run.Initialize"},
    {-4001, "AppFrame.Run.DeInitialize"},
    {-5452, "WWW-browser/email software is not properly installed or file extension launch error"},
    {-5633, "The course selected earlier is no more available. Changing to Default course now."},
    {-5733, "Fatal Introduction file error"},
    {-6123, "Contents file(s) *.CNT not available, program halted"},
    {-6633, "Error when renaming default userbase to:"},
    {-6634, "Error when copying default userbase to:"},
    {-6635, "Error when setting default attributes to:"},
    {-8001, "Cannot open an html file, web browser is propably not properly installed"},
    {-9977, "Windows is currently using Large Fonts setting. Program requires small fonts."},
};

constexpr int kMessageCodeFromLanguage = -801;  // its text is message 126
constexpr size_t kDashes = 58;
// Appenders take this byte exclusively: apart from the sharing bytes of SharedFile, so a reader
// holding the log open never blocks an entry.
constexpr off_t kAppendLockByte = (off_t{1} << 62) + 16;
constexpr int kLockAttempts = 500;  // 10 ms apart

const Clock* logClock = nullptr;

std::string osVersion() {
  utsname u{};
  if (::uname(&u) != 0) return "?";
  const std::string release = u.release;
  const size_t first = release.find('.');
  const size_t second =
      first == std::string::npos ? first : release.find_first_not_of("0123456789", first + 1);
  return release.substr(0, second);
}

std::string dateTimeText() {
  const double now = (logClock ? *logClock : systemClock()).now();
  return formatDateTime(now, "%04d-%02d-%02d %02d:%02d:%02d");
}

std::string logHeader() {
  const std::string version = ProgramSettings ? ProgramSettings->versionText : std::string();
  return textFileLine(Localize().GetStringDefault(1) + " " + version + " error file.  ") +
         textFileLine("Please send this file to technical support. ");
}

// The dashes and the date line; `released` marks the entries of ReportError2.
std::string entryStart(bool released) {
  const TProgramSettings& p = *ProgramSettings;
  std::string line = dateTimeText() + " Build " + p.buildNumber + " (" + p.buildYear + ")" +
                     (released ? " released " : " compiled ") + p.buildDate +
                     (released ? "OS " : " - OS ") + osVersion();
  return textFileLine(std::string(kDashes, '-')) + textFileLine(line);
}

void writeEntry(const std::string& entry) {
  appendToLog(joinResolved(ProgramSettings->dataPath(), "Errors.log"), logHeader(), entry);
}

bool takeAppendLock(int fd) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kAppendLockByte;
  fl.l_len = 1;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (::fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

std::string ErrorText(int code) {
  if (code == kMessageCodeFromLanguage) return Localize().GetString(126).substr(0, 255);
  for (const ErrorEntry& e : kErrorTexts) {
    if (e.code == code) return e.text;
  }
  return "Unknown error " + intToStr(code);
}

void setErrorLogClock(const Clock* clock) {
  logClock = clock;
}

bool appendToLog(const std::filesystem::path& path, const std::string& header,
                 const std::string& entry) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = takeAppendLock(fd);
  struct stat sb {};
  ok = ok && ::fstat(fd, &sb) == 0;
  if (ok) {
    // Whoever finds the log empty under the lock writes its header, so it is always first.
    const std::string bytes = sb.st_size == 0 ? header + entry : entry;
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(sb.st_size) + static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      ok = n > 0;
      if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && (::fdatasync(fd) == 0 || errno == EINVAL);
    // A full disk must not leave half an entry: the log ends where it ended before.
    if (!ok) (void)!::ftruncate(fd, sb.st_size);
  }
  ::close(fd);  // releases the lock
  return ok;
}

void ReportError(int code, const std::string& detail) {
  std::string head = "#" + intToStr(code) + " " + ErrorText(code);
  // A failed write says why (a full disk, a lost share), so the learner knows what to do.
  const std::string cause =
      code == fsWriteError || code == fsCloseFailed ? takeWriteFailure() : std::string();
  if (!cause.empty()) head += ": " + cause;
  dialogs().messageBox(head + "\n\r" + detail, Localize().GetStringDefault(1), BoxKind::Error);
  LogError(code, cause.empty() ? detail : detail + " (" + cause + ")");
}

void LogError(int code, const std::string& detail) {
  if (!ProgramSettings) return;
  writeEntry(entryStart(false) + textFileLine("#" + intToStr(code) + "  " + ErrorText(code)) +
             textFileLine(" - " + detail));
}

void ReportError2(int code, int cause) {
  const std::string head = "#" + intToStr(code) + " " + ErrorText(code);
  dialogs().messageBox(head + "\n\r" + ErrorText(cause), Localize().GetStringDefault(1),
                       BoxKind::Error);
  if (!ProgramSettings) return;
  writeEntry(entryStart(true) + textFileLine("#" + intToStr(code) + "  " + ErrorText(code)) +
             textFileLine(" - " + ErrorText(cause) + " = " + intToStr(cause)));
}

}  // namespace ks
