// Learner files that no longer read as the program wrote them (cut short by a crash or a full
// disk, or overwritten by something else) are copied aside before anything is written over them,
// and the user is told where the copy is.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

// A settings file the program wrote ends with a line end; one that stops inside a line was cut.
bool EndsInMidLine(const std::filesystem::path& file);

// Copies `file` to "<file>.damaged" (or ".damaged2" ... when that exists) and shows a warning
// naming the file, `reason` (what happened to it) and `outcome` (what the program goes on with),
// and where the copy is: its name and its folder, which a learner can find. Returns the copy, or
// an empty path when no copy could be made (the warning then says so). Texts in 1252.
std::filesystem::path KeepDamagedCopy(const std::filesystem::path& file, const std::string& reason,
                                      const std::string& outcome);

// The learner setting naming the copy of the learner's damaged settings file (file name in the
// data folder), so that pages showing no progress can say where the earlier progress went.
inline constexpr const char* kDamagedCopyKey = "DamagedCopy";

}  // namespace ks
