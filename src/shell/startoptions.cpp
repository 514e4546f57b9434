#include "shell/startoptions.h"

#include "text/textutil.h"

namespace ks {

StartOptions parseStartOptions(const std::vector<std::string>& args) {
  StartOptions o;
  if (args.empty()) return o;
  const std::string& first = args[0];
  const bool alone = args.size() == 1;
  if (sameText(first, "/NOMUTEX")) {
    if (args.size() == 2) {
      o.noMutex = true;
      o.workstationName = args[1];
    }
    return o;
  }
  if (!alone) return o;
  if (sameText(first, "/UNINSTALL")) o.uninstall = true;
  if (sameText(first, "/IN1")) o.in1 = true;
  if (sameText(first, "/SIDEWATCH")) o.sidewatch = true;
  if (sameText(first, "/STATISTICS")) o.statistics = true;
  if (sameText(first, "/SCREENSHOTMODE")) o.screenshotMode = true;
  if (sameText(first, "/TYPETEST")) o.typeTest = true;
  if (sameText(first, "/TYPETEST2")) o.typeTest2 = true;
  return o;
}

}  // namespace ks
