#include "monitor/ui/watchproblem.h"

#include <unistd.h>

#include <cstdlib>

#include "store/langres.h"
#include "text/cp1252.h"

namespace ks {

std::string keyboardProblemText(KeyboardProblem problem, const std::string& user) {
  if (problem == KeyboardProblem::None) return {};
  if (problem == KeyboardProblem::NoKeyboard) return Localize().GetString(2952);
  std::string how = Localize().GetString(2951);
  if (const auto at = how.find("%s"); at != std::string::npos) how.replace(at, 2, user);
  return Localize().GetString(2950) + "\n" + how;
}

std::string waylandWatchProblem(const std::string& deviceFolder) {
  KeyboardProblem problem = KeyboardProblem::None;
  for (int fd : openKeyboards(deviceFolder, problem)) close(fd);
  const char* user = std::getenv("USER");
  return keyboardProblemText(problem, utf8ToCp1252(user ? user : ""));
}

}  // namespace ks
