// Facts about the running program and its environment.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

// The running program's file (its caption in start-up error boxes).
std::filesystem::path programFilePath();
// The value of an environment variable, or `fallback` when unset or empty.
std::string envOr(const char* name, const std::string& fallback);

}  // namespace ks

namespace ks {

// True when a graphical session can be reached: a display variable is set, or Qt was told to
// use a platform that needs none (offscreen, minimal).
bool displayAvailable();

}  // namespace ks
