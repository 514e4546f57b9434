// Names the programs the monitor sees, whatever told it which program has the focus.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/monitorports.h"

namespace ks {

// The program file and the description the learner sees for process `pid`: the Name of the
// desktop entry whose Exec, TryExec or StartupWMClass matches, else `windowClass` (an X11 class
// or a Wayland app_id), else the file name. Empty name when the process is gone.
ProgramSeen describeProcess(uint32_t pid, const std::string& windowClass);

}  // namespace ks
