// A learner's stored results as a CSV file for spreadsheets: one row per result, UTF-8, dates
// in ISO 8601, speeds in keystrokes and in words per minute.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ks {

class TResults;
class TUser;

// The header line, without its line end.
extern const char* const kResultsCsvHeader;

// The whole file: the header and one row per result, each line ending in CR LF.
std::string ResultsCsv(const TResults& results, int wordLength);

// Writes the learner's results to `file` (its name as the system spells it) whole. False with
// `cause` (why, in the system's words) when it could not be written; a file that was there
// keeps its old content, one that did not exist before is removed.
bool ExportResultsCsv(TUser& user, const std::filesystem::path& file, std::string& cause);

// The command `keyscholar --export-csv FILE [LEARNER]` (arguments without the program name):
// writes the results of the learner, by default the last one of this computer's account, and
// returns the exit code; nothing when the arguments ask for something else.
std::optional<int> answerExportCsv(const std::vector<std::string>& args);

}  // namespace ks
