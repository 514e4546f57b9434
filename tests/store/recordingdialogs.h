// Records message boxes instead of showing them; installed for the lifetime of the object.
#pragma once

#include <functional>
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
    if (onBox) onBox();
    return answer;
  }
  std::vector<Box> boxes;
  bool answer = true;           // the reply to questions
  std::function<void()> onBox;  // runs while a box is up
  // The texts of the boxes shown so far.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const Box& b : boxes) out.push_back(b.text);
    return out;
  }
};

}  // namespace ks::test
