// The current layout, the learner's layout, and the system layout that goes with a layout.
#include <string>

#include "analysis/keydataext.h"
#include "platform/layoutids.h"
#include "platform/paths.h"
#include "platform/systemkeyboard.h"
#include "store/errors.h"
#include "store/programsetup.h"
#include "store/qssettings.h"

namespace ks {
namespace {

constexpr int kLayoutMissing = -500;

}  // namespace

int TKeyDataExt::activateWindowsLayout(bool force) {
  if (LayoutCode.empty()) return -1;
  SystemKeyboard& kb = systemKeyboard();
  if (!force) {
    const std::string language = layoutLanguage(LayoutCode);
    const std::vector<std::string> ids = kb.configuredLayoutIds();
    bool installed = false;
    for (const std::string& id : ids) installed = installed || layoutLanguage(id) == language;
    if (!installed) return -1;
  }
  return kb.activateLayout(LayoutCode);
}

void TKeyDataExt::markLayoutChanged() {
  if (DynamicLayout) LayoutChanged = true;
}

bool TKeyDataExt::reloadIfChanged() {
  if (!LayoutChanged || FileName.empty()) return false;
  LayoutChanged = false;
  // The path is taken before the load replaces it; a file gone meanwhile keeps the old keys.
  const std::string path = FileName;
  return loadFromFile(path) > 0;
}

TKeyDataExt& CurrentLayout() {
  static TKeyDataExt layout;
  return layout;
}

int LoadUserLayout(TKeyDataExt& layout, const std::string& layoutFile,
                   const std::filesystem::path& keyboardsPath) {
  const int result = layout.loadFromFile(joinResolved(keyboardsPath, layoutFile).string());
  // Unusable content was reported by the load itself, with the reason.
  if (result < 0 && result != TKeyDataExt::kWrongVersion && result != TKeyDataExt::kBadContent)
    ReportError(kLayoutMissing, layoutFile + " not found!");
  if (!(PolicySettings && PolicySettings->ReadBool("DisableWindowsLayouts")))
    layout.activateWindowsLayout(false);
  return result;
}

int LoadUserLayout(TKeyDataExt& layout, const std::string& layoutFile) {
  const std::filesystem::path folder =
      ProgramSettings ? ProgramSettings->keyboardsPath() : std::filesystem::path("keyboards");
  return LoadUserLayout(layout, layoutFile, folder);
}

}  // namespace ks
