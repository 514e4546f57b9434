#include "content/layoutkeyboard.h"

#include "analysis/keydataext.h"
#include "platform/paths.h"
#include "store/programsetup.h"

namespace ks {

std::string LayoutKeyboard::MaterialName() {
  return layout_.MaterialName;
}

std::string LayoutKeyboard::LayoutCode() {
  return layout_.LayoutCode;
}

LayoutLoad LayoutKeyboard::LoadLayout(const std::string& fileName) {
  std::filesystem::path folder = folder_;
  if (folder.empty()) {
    folder =
        ProgramSettings ? ProgramSettings->keyboardsPath() : std::filesystem::path("keyboards");
  }
  const int result = layout_.loadFromFile(joinResolved(folder, fileName).string());
  if (result == 1) return LayoutLoad::Loaded;
  if (result == TKeyDataExt::kWrongVersion || result == TKeyDataExt::kBadContent) {
    return LayoutLoad::Unusable;
  }
  return LayoutLoad::Missing;
}

void LayoutKeyboard::SwitchOffSemicolonReplacement() {
  layout_.SemicolonKey = '\0';
}

void LayoutKeyboard::ActivateSystemLayout() {
  layout_.activateWindowsLayout(false);
}

}  // namespace ks
