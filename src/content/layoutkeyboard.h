// Courses choose and consult the tutor's current keyboard layout through this.
#pragma once

#include <filesystem>
#include <string>

#include "content/courseservices.h"

namespace ks {

class TKeyDataExt;

class LayoutKeyboard : public CourseKeyboard {
 public:
  // `keyboardsFolder` empty: the keyboards folder of the program paths.
  explicit LayoutKeyboard(TKeyDataExt& layout, std::filesystem::path keyboardsFolder = {})
      : layout_(layout), folder_(std::move(keyboardsFolder)) {}

  std::string MaterialName() override;
  std::string LayoutCode() override;
  LayoutLoad LoadLayout(const std::string& fileName) override;
  void SwitchOffSemicolonReplacement() override;
  void ActivateSystemLayout() override;

 private:
  TKeyDataExt& layout_;
  std::filesystem::path folder_;
};

}  // namespace ks
