// A learner's stored results as a CSV file for spreadsheets: one row per result, UTF-8, dates
// in ISO 8601, speeds in keystrokes and in words per minute.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

class TResults;
class TUser;

// The header line, without its line end.
extern const char* const kResultsCsvHeader;

// The whole file: the header and one row per result, each line ending in CR LF.
std::string ResultsCsv(const TResults& results, int wordLength);

// Writes the learner's results to `file` whole. False with `error` (1252) when it could not be
// written; a file that did not exist before is then removed.
bool ExportResultsCsv(TUser& user, const std::filesystem::path& file, std::string& error);

}  // namespace ks
