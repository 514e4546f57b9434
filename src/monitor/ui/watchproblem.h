// Why Sidewatch cannot watch typing in this session, in the learner's language: the tray says it
// when watching fails, the tutor's monitor page before it offers to start the monitor.
#pragma once

#include <string>

#include "platform/linux/keyboardaccess.h"

namespace ks {

// What the learner reads about a keyboard that cannot be read, with what an administrator does
// for the account `user` (1252 text).
std::string keyboardProblemText(KeyboardProblem problem, const std::string& user);

// Under Wayland the monitor reads the keyboard devices in `deviceFolder`: empty when it may read
// one, else why not (1252 text).
std::string waylandWatchProblem(const std::string& deviceFolder = "/dev/input");

}  // namespace ks
