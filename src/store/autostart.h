// Whether the monitor starts with the learner's desktop session.
#pragma once

#include <filesystem>
#include <string>

namespace ks {

// The autostart entry of the monitor: $XDG_CONFIG_HOME (default ~/.config)/autostart/
// org.quillstroker.Tapwatch.desktop.
std::filesystem::path AutoStartFile();

// Writes the autostart entry for `programPath` when the workstation settings hold true under
// "LaunchAtStartup." followed by the login name, and removes it otherwise. Nothing happens
// without workstation settings or when the folder cannot be made.
void MakeAutoStartable(const std::filesystem::path& programPath);

// The login name of the account the program runs under (1252).
std::string LoginName();

}  // namespace ks
