// The keyboard layout the desktop uses, as a Windows layout id ("00000409" = US English), which
// is how layout lists and learner settings name layouts.
#pragma once

#include <string>

namespace ks {

// Stand-in until layouts are read from the desktop: US English.
inline std::string systemLayoutId() {
  return "00000409";
}

}  // namespace ks
