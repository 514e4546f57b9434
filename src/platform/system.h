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

// In a Wayland session Qt draws natively (its xcb platform, through XWayland, only when the
// Wayland one cannot start), unless QT_QPA_PLATFORM already chooses. Call before the application
// is made.
void preferNativeWayland();

}  // namespace ks
