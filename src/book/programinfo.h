// Names and version of the two programs, and the switches every Linux program answers.
#pragma once

#include <optional>

namespace ks {

inline constexpr const char* kProgramTitle = "Quillstroker";
inline constexpr const char* kVersion = KS_VERSION;

// Answers "--help" and "--version" (and "-h", "-V"): prints and returns the exit code. Returns
// nothing when the program should go on.
std::optional<int> answerInfoSwitches(int argc, char** argv, const char* program,
                                      const char* summary, const char* usage);

}  // namespace ks
