// Records message boxes instead of showing them; installed for the lifetime of the object.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace ks::test {

class RecordingDialogs : public Dialogs {
 public:
  struct Box {
    std::string text, caption;
  };
  RecordingDialogs() { setDialogs(this); }
  ~RecordingDialogs() override { setDialogs(nullptr); }
  bool messageBox(const std::string& text, const std::string& caption, BoxKind) override {
    boxes.push_back({text, caption});
    return true;
  }
  std::vector<Box> boxes;
};

}  // namespace ks::test
