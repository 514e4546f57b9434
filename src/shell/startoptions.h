// The tutor's command-line switches (compared without regard to case).
#pragma once

#include <string>
#include <vector>

namespace ks {

struct StartOptions {
  bool uninstall = false;       // "/UNINSTALL"
  bool noMutex = false;         // "/NOMUTEX" name: no single-instance check
  std::string workstationName;  // the name given with "/NOMUTEX"
  bool in1 = false;             // "/IN1": stamp the workstation and end
  bool sidewatch = false;       // "/SIDEWATCH": start in the monitor section
  bool statistics = false;      // "/STATISTICS": ... on its statistics page
  bool screenshotMode = false;  // "/SCREENSHOTMODE"
  bool typeTest = false;        // "/TYPETEST"
  bool typeTest2 = false;       // "/TYPETEST2"
};

// `args` without the program name. Only the first argument is a switch; "/NOMUTEX" takes exactly
// one more (the workstation name) and is ignored otherwise.
StartOptions parseStartOptions(const std::vector<std::string>& args);

}  // namespace ks
