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
// without workstation settings. Returns why the entry could not be written or removed (logged
// too), for the caller to tell the learner; empty when it is as the settings ask.
std::string MakeAutoStartable(const std::filesystem::path& programPath);

// What the learner is told when MakeAutoStartable failed for `failure`.
std::string AutoStartFailureText(const std::string& failure);

// The login name of the account the program runs under (1252).
std::string LoginName();

}  // namespace ks
