// Failures reported to the learner: a box, and an entry in "Errors.log" in the data folder that
// can be sent to support.
#pragma once

#include <filesystem>
#include <string>

#include "platform/clock.h"

namespace ks {

// The fixed English text of an error code; "Unknown error " and the code for others.
std::string ErrorText(int code);

// Shows "#code text" and `detail` in an error box, then appends an entry to the log once the
// program paths exist.
void ReportError(int code, const std::string& detail);
// Only the log entry of ReportError: for failures found where no box can be shown (a store
// written back as it is destroyed).
void LogError(int code, const std::string& detail);
// The same for a failure whose cause is itself an error code.
void ReportError2(int code, int cause);

// The clock the log's entries are dated with (nullptr: the system clock).
void setErrorLogClock(const Clock* clock);

// Appends `entry` to the log at `path` under an exclusive lock, in one write, with `header` first
// when the log is new. Several processes may append at once. False when it could not be written.
bool appendToLog(const std::filesystem::path& path, const std::string& header,
                 const std::string& entry);

}  // namespace ks
